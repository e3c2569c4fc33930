#include "memoryfilecommands.h"

#include <optional>
#include <utility>

#include <QMessageBox>

#include "busystate.h"
#include "channelrow.h"
#include "memoryview.h"
#include "radioclient.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "savedfilestore.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {

MemoryFileCommands::MemoryFileCommands(MemoryView& view, ViewHost& host, RadioClient& radio, QString dataDir,
                                       std::function<void()> beep)
    : QObject(&view)
    , m_view(view)
    , m_host(host)
    , m_radio(radio)
    , m_dataDir(std::move(dataDir))
    , m_beep(std::move(beep))
{
    connect(&view, &MemoryView::saveRequested, this, &MemoryFileCommands::save);
    connect(&view, &MemoryView::loadRequested, this, &MemoryFileCommands::load);
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
    const ViewKind kind = m_view.kind();
    if (m_host.busyState().busy())
        return;
    if (!m_host.family().table(kind).hasData(1))
        return ShowMessage(&m_view, NothingToSaveMessage());
    const QByteArray content = SavedFileBytes(kind, m_host.family().table(kind).rows());
    // The hourglass shows while the files are written, not while the question waits.
    std::optional<BusyState::Scope> busy;
    if (!ExactFileExists(m_dataDir, SavedFileName(kind)))
        busy.emplace(m_host.busyState());
    const SaveResult result = SaveWithBackup(m_dataDir, kind, content, [&] {
        const bool yes = askOverwrite();
        if (!busy)
            busy.emplace(m_host.busyState());
        return yes;
    });
    busy.reset();
    if (result.outcome == SaveOutcome::Failed)
        return ShowMessage(&m_view, result.message);
    if (result.outcome == SaveOutcome::Saved) {
        m_view.setCurrentCell(RowCount(kind), ColComment);
        m_beep();
    }
}

void MemoryFileCommands::fillTables(const RestorePlan& plan)
{
    const ViewKind kind = m_view.kind();
    ViewFamily& family = m_host.family();
    family.clear(kind);
    for (int row = 1; row <= static_cast<int>(plan.rows.size()); ++row)
        family.setRow(kind, row, plan.rows[static_cast<std::size_t>(row - 1)]);
    m_view.setCurrentCell(RowCount(kind), ColFreq);
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
    const RestorePlan plan = PlanRestore(kind, loaded.rows);
    fillTables(plan);
    if (kind == ViewKind::Qmb)
        return;  // the Quick Memory Banks are only shown, never written
    m_radio.writeBatch(plan.writes, this, [this](const LinkResult& outcome) { onBatchEnded(outcome); });
}

void MemoryFileCommands::onBatchEnded(const LinkResult& outcome)
{
    // After a failure the batch has given VFO-A back where it could; the message says which
    // channel was the last one written.
    if (outcome.ok)
        m_beep();
    else
        ShowMessage(&m_view, outcome.error);
}

}  // namespace vardo
