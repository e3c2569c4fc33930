// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel editor as the views use it: a click on a settings cell opens frmChanges on that
// row; its Load rewrites the row and its mirror, then writes the channel into the radio on the
// worker thread. One editor at a time, and it never outlives a view switch.

#include <QObject>
#include <QPointer>

#include "channelindex.h"
#include "channelrow.h"
#include "viewhost.h"

namespace vardo {

class ChannelEditor;
class RadioClient;
struct LinkResult;
struct ValidEdit;

// The note added to a failed write's message: the grids already show the edit.
[[nodiscard]] QString TableAheadOfRadioNote(int channel);
// The note when the radio, read back, holds the channel otherwise than the edit.
[[nodiscard]] QString RadioHoldsOtherwiseNote(int channel);
// What Load says when the radio is still busy with another operation.
[[nodiscard]] QString EditorBusyMessage();
// The status-bar note when the row being edited changed under the editor, which then closed.
[[nodiscard]] QString EditorClosedNote(int channel);

class EditorCommands : public QObject {
    Q_OBJECT
public:
    EditorCommands(ViewHost& host, RadioClient& radio, ViewLookup views, QObject* parent = nullptr);

    // Opens the editor on grid row `row` of `view` (a row the click rules let through).
    void open(ViewKind view, int row);
    // Closes an open editor as Cancel would, without moving the focus (a view switch).
    void closeEditor();
    [[nodiscard]] ChannelEditor* editor() const;

    // Connects every view's click hook to open(); a view that the program hides (a switch to
    // another view, the end of the program) or that enters sort mode closes an editor opened
    // on it. A change to the edited row's settings in its table (a Load, Clear, Read, Import,
    // Undo, Redo, move) closes the editor as Cancel, with a note in the view's status bar.
    void connectViews();

Q_SIGNALS:
    // The channel write that a Load started has ended (ok false: the radio may differ).
    void writeEnded(int channel, bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onLoaded(const ValidEdit& edit);
    void onWriteEnded(ViewKind view, int channel, const LinkResult& outcome);
    void focusSave();
    void keepEditorOpen();
    void onTableChanged(ViewKind kind);

    ViewHost& m_host;
    RadioClient& m_radio;
    ViewLookup m_views;
    QPointer<ChannelEditor> m_editor;
    ViewKind m_view = ViewKind::All;
    int m_row = 0;
    RowCells m_opened;        // the edited row as the editor was opened on it
    bool m_writing = false;   // the editor's own Load is writing the row
    bool m_holdOpen = false;  // the editor's next close is refused
};

}  // namespace vardo
