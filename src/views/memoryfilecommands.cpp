// SPDX-License-Identifier: GPL-3.0-or-later
#include "memoryfilecommands.h"

#include <optional>
#include <utility>

#include <QMenu>
#include <QMessageBox>

#include "busystate.h"
#include "channelrow.h"
#include "donenote.h"
#include "history.h"
#include "memoryview.h"
#include "messagetext.h"
#include "progressrow.h"
#include "radioclient.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "savedfilestore.h"
#include "tablesteps.h"
#include "unsavedviews.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {

MemoryFileCommands::MemoryFileCommands(MemoryView& view, ViewHost& host, RadioClient& radio, ProgressRow& progress,
                                       QString dataDir, std::function<void()> beep)
    : QObject(&view)
    , m_view(view)
    , m_host(host)
    , m_radio(radio)
    , m_progress(progress)
    , m_dataDir(std::move(dataDir))
    , m_beep(std::move(beep))
{
    connect(&view, &MemoryView::saveRequested, this, &MemoryFileCommands::save);
    connect(&view, &MemoryView::loadRequested, this, &MemoryFileCommands::load);
    // The Quick Memory Banks are never written: nothing to keep before a Load there.
    auto* radioMenu = view.findChild<QMenu*>(QStringLiteral("mnuRadio"));
    if (radioMenu && view.kind() != ViewKind::Qmb) {
        m_readFirst = radioMenu->addAction(QStringLiteral("&Read Before Load"));
        m_readFirst->setObjectName(QStringLiteral("actReadBeforeLoad"));
        m_readFirst->setCheckable(true);
    }
}

bool MemoryFileCommands::askOverwrite()
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), OverwriteQuestion(),
                    QMessageBox::Yes | QMessageBox::No, &m_view);
    box.setFont(ControlFont());
    return box.exec() == QMessageBox::Yes;
}

void MemoryFileCommands::save()
{
    saveTable(true);
}

bool MemoryFileCommands::saveWithoutAsking()
{
    return saveTable(false);
}

bool MemoryFileCommands::saveTable(bool askBeforeOverwrite)
{
    const ViewKind kind = m_view.kind();
    if (m_host.busyState().busy())
        return false;
    if (!m_host.family().table(kind).hasData(1)) {
        ShowMessage(&m_view, NothingToSaveMessage());
        return false;
    }
    std::vector<RowCells> rows = m_host.family().table(kind).rows();
    const QByteArray content = SavedFileBytes(kind, rows);
    // The hourglass shows while the files are written, not while the question waits.
    std::optional<BusyState::Scope> busy;
    if (!ExactFileExists(m_dataDir, SavedFileName(kind)))
        busy.emplace(m_host.busyState());
    const SaveResult result = SaveWithBackup(m_dataDir, kind, content, [&] {
        const bool yes = !askBeforeOverwrite || askOverwrite();
        if (!busy)
            busy.emplace(m_host.busyState());
        return yes;
    });
    busy.reset();
    if (result.outcome == SaveOutcome::Failed) {
        ShowMessage(&m_view, result.message);
        return false;
    }
    if (result.outcome != SaveOutcome::Saved)
        return false;
    // The operator's current cell stays where it was.
    m_host.unsavedViews().setSavedRows(kind, std::move(rows));
    m_beep();
    ShowDoneNote(m_view,
                 QStringLiteral("%1 saved to %2").arg(ChannelCount(ChannelsHeld(m_host.family().table(kind))), SavedFileName(kind)),
                 StatusNote(m_view));
    return true;
}

void MemoryFileCommands::fillRow(int row)
{
    // Row by row, not by clearing the table: the operator's current cell stays where it was.
    m_host.family().setRow(m_view.kind(), row, m_plan.rows[static_cast<std::size_t>(row - 1)]);
}

void MemoryFileCommands::fillAllRows()
{
    for (int row = 1; row <= static_cast<int>(m_plan.rows.size()); ++row)
        fillRow(row);
}

void MemoryFileCommands::load()
{
    const ViewKind kind = m_view.kind();
    if (m_host.busyState().busy())
        return;
    // The whole file is read and checked before a table or the radio is touched.
    const LoadResult loaded = LoadSavedFile(m_dataDir, kind);
    if (!loaded.ok())
        return ShowMessage(&m_view, loaded.message);
    m_plan = PlanRestore(kind, loaded.rows);
    m_noteBefore = StatusNote(m_view);
    m_host.family().table(kind).clearMarks();  // they told of what the table held before
    if (kind == ViewKind::Qmb) {
        // The Quick Memory Banks are only shown, never written: an undoable step.
        m_host.unsavedViews().setSavedRows(kind, m_plan.rows);
        m_host.tableSteps().record(QStringLiteral("Load"), [this] { fillAllRows(); });
        return ShowDoneNote(m_view,
                            QStringLiteral("%1 loaded from %2")
                                .arg(ChannelCount(ChannelsHeld(m_host.family().table(kind))), SavedFileName(kind)),
                            m_noteBefore);
    }
    if (m_readFirst && m_readFirst->isChecked() && !m_plan.writes.isEmpty())
        return readBeforeWriting();
    writePlan();
}

void MemoryFileCommands::readBeforeWriting()
{
    const ViewKind kind = m_view.kind();
    m_before.clear();
    m_progress.start(RowCount(kind));
    const bool started = m_radio.readMemories(
        FirstChannel(kind), LastChannel(kind), this,
        [this](int channel, const Channel& held) {
            m_before[channel] = held;
            m_progress.step();
        },
        [this](const LinkResult& outcome) { afterReadFirst(outcome); });
    if (!started)
        m_progress.finish();
}

void MemoryFileCommands::afterReadFirst(const LinkResult& outcome)
{
    m_progress.finish();
    const QString nothingWritten = QStringLiteral("Nothing was written into the radio.");
    if (!outcome.ok) {
        LinkResult told = outcome;
        told.error += kMessageLineBreak + nothingWritten;
        return ShowUnfinished(&m_view, told);
    }
    // The radio's channels with the comments the table gives them, as a Read would show them.
    const ViewKind kind = m_view.kind();
    const ChannelTable& table = m_host.family().table(kind);
    std::vector<RowCells> rows(std::size_t(RowCount(kind)));
    for (const auto& [channel, held] : m_before) {
        const int row = RowOfChannel(kind, channel);
        RowCells& cells = rows[std::size_t(row - 1)];
        cells = CellsFromChannel(held);
        cells[CellIndex(ColComment)] = table.row(row)[CellIndex(ColComment)];
    }
    const QStringList problems = KeepRowsSnapshot(m_dataDir, kind, SnapshotOperation::Read, rows);
    if (!problems.isEmpty())
        return ShowMessage(&m_view, problems.join(kMessageLineBreak) + kMessageLineBreak
                                        + QStringLiteral("The channels the radio held could not be kept. ")
                                        + nothingWritten);
    writePlan();
}

// A row shows the file once its channel is in the radio (stored and read back), so that a
// radio that stops answering, or a Stop, leaves the tables telling what the radio holds.
void MemoryFileCommands::writePlan()
{
    const ViewKind kind = m_view.kind();
    m_written = 0;
    m_progress.start(int(m_plan.writes.size()));
    m_host.tableSteps().begin(QStringLiteral("Load"));
    const bool started = m_radio.writeBatch(
        m_plan.writes, this,
        [this](int channel) {
            ++m_written;
            m_progress.step();
            fillRow(RowOfChannel(m_view.kind(), channel));
        },
        [this](const LinkResult& outcome) { onBatchEnded(outcome); });
    if (!started) {
        m_progress.finish();
        m_host.tableSteps().end();
        return;
    }
    m_host.unsavedViews().setSavedRows(kind, m_plan.rows);
}

void MemoryFileCommands::onBatchEnded(const LinkResult& outcome)
{
    m_progress.finish();
    // Every channel went into the radio: the rows that are not written (empty ones, comments
    // without a channel, QMB lines) show the file too.
    const bool everyChannel = m_written == m_plan.writes.size();
    if (everyChannel)
        fillAllRows();
    // The tables show what the radio holds now: the steps before no longer undo into it. A
    // batch that stored nothing changed nothing.
    if (m_written > 0) {
        m_host.tableSteps().forget();
        keepSnapshot(outcome);
    } else {
        m_host.tableSteps().end();
    }
    // Channels the radio read back otherwise than the file has them are marked; the message
    // lists them. After a failure or a Stop the batch has given VFO-A back where it could,
    // and the message says which channel was the last one written. Channels left out as
    // unsendable are named in the same message.
    m_host.family().table(m_view.kind()).markMismatches(outcome.mismatches);
    const QString leftOut = LeftOutReport(m_plan.leftOut).join(kMessageLineBreak);
    if (!outcome.ok) {
        LinkResult told = outcome;
        if (!leftOut.isEmpty())
            told.error += kMessageLineBreak + leftOut;
        return ShowUnfinished(&m_view, told);
    }
    ShowDoneNote(m_view,
                 QStringLiteral("%1 loaded from %2 into the radio").arg(ChannelCount(m_written), SavedFileName(m_view.kind())),
                 m_noteBefore);
    if (!leftOut.isEmpty())
        return ShowMessage(&m_view, leftOut);
    m_beep();
}

// What the radio was given, marked with how the batch ended. A snapshot that cannot be
// written is told and changes nothing else.
void MemoryFileCommands::keepSnapshot(const LinkResult& outcome)
{
    const WriteEnd end{outcome.ok, outcome.cancelled, m_written == m_plan.writes.size(), true, outcome.mismatches};
    const QStringList problems = KeepRowsSnapshot(m_dataDir, m_view.kind(), SnapshotOperation::Load,
                                                  WrittenRows(m_view.kind(), m_plan, m_written), WriteResult(end));
    if (!problems.isEmpty())
        ShowMessage(&m_view, problems.join(kMessageLineBreak));
}

}  // namespace vardo
