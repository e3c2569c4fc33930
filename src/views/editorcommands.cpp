// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorcommands.h"

#include <utility>

#include <QEvent>
#include <QStatusBar>

#include "busystate.h"
#include "channeleditor.h"
#include "channelgrid.h"
#include "editorcaption.h"
#include "memoryview.h"
#include "messagetext.h"
#include "radioclient.h"
#include "tablesteps.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "viewstate.h"
#include "windowkit.h"

namespace vardo {

QString TableAheadOfRadioNote(int channel)
{
    return QStringLiteral("The table shows your changes, but the radio's memory channel %1 may not hold them.")
        .arg(ChannelLabel(channel));
}

QString RadioHoldsOtherwiseNote(int channel)
{
    return QStringLiteral("The table shows your changes, but the radio's memory channel %1 does not hold them: "
                          "the marked cells show what it holds.")
        .arg(ChannelLabel(channel));
}

QString EditorBusyMessage()
{
    return QStringLiteral("The radio is busy with another operation.") + kMessageLineBreak
        + QStringLiteral("Nothing has been changed: press Load again when it has ended.");
}

QString EditorClosedNote(int channel)
{
    return QStringLiteral("The editor was closed: channel %1 changed in the table.").arg(ChannelLabel(channel));
}

EditorCommands::EditorCommands(ViewHost& host, RadioClient& radio, ViewLookup views, QObject* parent)
    : QObject(parent), m_host(host), m_radio(radio), m_views(std::move(views))
{
}

void EditorCommands::connectViews()
{
    for (ViewKind kind : kAllViews) {
        MemoryView& view = m_views(kind);
        connect(&view, &MemoryView::editRequested, this, [this, kind](int row) { open(kind, row); });
        // Rows are about to move: the row the editor was opened on may soon hold another
        // channel, which its Load would overwrite. The edit ends as Cancel.
        connect(&view, &MemoryView::sortModeEntered, this, &EditorCommands::closeEditor);
        view.installEventFilter(this);
        // The editor's Load would write its values, now stale, over what the table was given.
        const ChannelTable& table = m_host.family().table(kind);
        const auto check = [this, kind] { onTableChanged(kind); };
        connect(&table, &ChannelTable::dataChanged, this, check);
        connect(&table, &ChannelTable::modelReset, this, check);
        connect(&table, &ChannelTable::layoutChanged, this, check);
    }
}

void EditorCommands::onTableChanged(ViewKind kind)
{
    if (!m_editor || kind != m_view || m_writing)
        return;
    // Marks and comments leave the editor's settings as they were.
    const RowCells now = m_host.family().table(kind).row(m_row);
    bool changed = false;
    for (int column = ColFreq; column <= ColRpt; ++column)
        changed = changed || now[CellIndex(Column(column))] != m_opened[CellIndex(Column(column))];
    if (!changed)
        return;
    closeEditor();
    m_views(kind).statusBar()->showMessage(EditorClosedNote(ChannelOfRow(kind, m_row)));
}

bool EditorCommands::eventFilter(QObject* watched, QEvent* event)
{
    // The editor closes itself after every Load; one the program could not carry out keeps
    // it open, with the operator's texts.
    if (event->type() == QEvent::Close && m_holdOpen && m_editor && watched == m_editor.data()) {
        m_holdOpen = false;
        event->ignore();
        return true;
    }
    // Only the program hides a view (a switch, the end); a minimised window stays edited.
    if (event->type() == QEvent::Hide && !event->spontaneous() && m_editor && watched == &m_views(m_view))
        closeEditor();
    return QObject::eventFilter(watched, event);
}

void EditorCommands::open(ViewKind view, int row)
{
    const std::optional<QString> caption = EditorCaption(view, row);
    if (!caption)
        return;  // the Quick Memory Banks are never edited
    if (m_editor && m_view == view && m_row == row) {
        m_editor->raise();
        m_editor->activateWindow();
        return;
    }
    // One editor at a time: a click on another row gives up the edit under way, as Cancel.
    closeEditor();
    m_view = view;
    m_row = row;
    MemoryView& window = m_views(view);
    // Filling the editor walks the row's settings columns; the grid is left on the last one.
    window.setCurrentCell(row, ColRpt);
    m_opened = m_host.family().table(view).row(row);
    m_editor = new ChannelEditor(*caption, m_opened, &window);
    m_editor->installEventFilter(this);
    connect(m_editor, &ChannelEditor::loaded, this, &EditorCommands::onLoaded);
    connect(m_editor, &ChannelEditor::cancelled, this, [this] {
        QMetaObject::invokeMethod(this, &EditorCommands::focusSave, Qt::QueuedConnection);
    });
    m_editor->show();
    m_editor->activateWindow();
}

ChannelEditor* EditorCommands::editor() const
{
    return m_editor;
}

void EditorCommands::closeEditor()
{
    if (m_editor)
        m_editor->close();
}

void EditorCommands::keepEditorOpen()
{
    m_holdOpen = true;
}

void EditorCommands::onLoaded(const ValidEdit& edit)
{
    // The grids change only when the radio can take the channel now; otherwise they and the
    // radio would disagree.
    if (m_host.busyState().busy() || m_radio.busy()) {
        ShowMessage(m_editor, EditorBusyMessage());
        // A change to the row while the message waited has closed it already.
        if (m_editor && m_editor->isVisible())
            keepEditorOpen();
        return;
    }
    const ViewKind view = m_view;
    const int channel = ChannelOfRow(view, m_row);
    m_writing = true;
    m_host.family().fillRow(view, channel, edit.cells);
    m_writing = false;
    // The channel goes into the radio: the tables show what it holds, and the steps before no
    // longer undo into that.
    m_host.tableSteps().forget();
    m_radio.writeChannel(ChannelWrite{edit.channel, RadioChannelNumber(channel), edit.MaskCode()}, this,
                         [this, view, channel](const LinkResult& outcome) { onWriteEnded(view, channel, outcome); });
    // After the editor has gone: the focus then stays where it is put.
    QMetaObject::invokeMethod(this, &EditorCommands::focusSave, Qt::QueuedConnection);
}

void EditorCommands::onWriteEnded(ViewKind view, int channel, const LinkResult& outcome)
{
    if (!outcome.ok) {
        // A channel the radio read back otherwise is marked where the edit was made, as
        // Compare would mark it; the message says what the radio holds.
        m_host.family().table(view).markMismatches(outcome.mismatches);
        const QString note =
            outcome.mismatches.isEmpty() ? TableAheadOfRadioNote(channel) : RadioHoldsOtherwiseNote(channel);
        QWidget* parent = &m_views(m_host.viewState().current);
        ShowMessage(parent->isVisible() ? parent : nullptr, outcome.error + kMessageLineBreak + kMessageLineBreak + note);
    }
    Q_EMIT writeEnded(channel, outcome.ok);
}

void EditorCommands::focusSave()
{
    MemoryView& view = m_views(m_host.viewState().current);
    if (view.isVisible() && view.focusButton("cmdSave"))
        view.activateWindow();
}

}  // namespace vardo
