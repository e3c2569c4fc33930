// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmChanges, the "Memory Channel Editor": one channel's settings in two boxes and seven
// lists, each named by its label. Load checks them and hands the validated edit to whoever
// opened the window; the window then closes itself (and is deleted). Cancel, or Esc, just
// closes it. A dialog that is not modal: the views stay usable while it is open.

#include <QMetaType>
#include <QDialog>

#include "channelrow.h"
#include "validation.h"

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vardo {

class ChannelEditor : public QDialog {
    Q_OBJECT
public:
    // `caption` goes into lblChanges (see EditorCaption); the controls start from the settings
    // of `cells`, the row being edited (its comment is not the editor's).
    ChannelEditor(const QString& caption, const RowCells& cells, QWidget* parent = nullptr);

    // What the controls hold now (a list with no selection gives the empty text).
    [[nodiscard]] EditTexts texts() const;

protected:
    // Esc is Cancel; Enter presses the button that has the keyboard (none is pressed by Enter
    // elsewhere: Load writes the radio).
    void keyPressEvent(QKeyEvent* event) override;

Q_SIGNALS:
    // Load passed every check. Emitted before the window closes.
    void loaded(const vardo::ValidEdit& edit);
    // CmdCancel: nothing changes.
    void cancelled();

private:
    void buildControls();
    void placeControls();
    void setTabOrder();
    void fill(const RowCells& cells);
    void onLoad();
    void onCancel();
    void refuse(const EditRejection& rejection);

    [[nodiscard]] QRect Twips(int left, int top, int width, int height, QPointF stretch = {1.0, 1.0}) const;
    [[nodiscard]] QPointF stretch() const;
    int placeLabel(const char* name, int left, int top, QPointF factor);  // gives its right edge
    QListWidget* addList(const char* name, const QStringList& items);
    QLineEdit* addBox(const char* name);

    QWidget* m_page = nullptr;  // the controls, in a scroll area
    QLineEdit* m_freq = nullptr;
    QLineEdit* m_offset = nullptr;
    QListWidget* m_mode = nullptr;
    QListWidget* m_filt82 = nullptr;
    QListWidget* m_filt455 = nullptr;
    QListWidget* m_ant = nullptr;
    QListWidget* m_rxRit = nullptr;
    QListWidget* m_txRit = nullptr;
    QListWidget* m_rpt = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace vardo

Q_DECLARE_METATYPE(vardo::ValidEdit)
