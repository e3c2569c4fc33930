#include "csvcommands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "busystate.h"
#include "chirpcsv.h"
#include "memoryview.h"
#include "messagetext.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {
namespace {

constexpr int kLeftOutShown = 15;  // a message box longer than this would not fit the screen

const QString kCsvFilter = QStringLiteral("CSV files (*.csv);;All files (*)");

[[nodiscard]] QString LeftOutText(const QString& file, const QStringList& leftOut)
{
    QStringList lines{QStringLiteral("These rows of %1 were left out:").arg(file)};
    lines += leftOut.mid(0, kLeftOutShown);
    if (leftOut.size() > kLeftOutShown)
        lines << QStringLiteral("... and %1 more.").arg(leftOut.size() - kLeftOutShown);
    return lines.join(kMessageLineBreak);
}

}  // namespace

QString AskForCsvFile(QWidget* parent, bool saving, const QString& suggested)
{
    return saving ? QFileDialog::getSaveFileName(parent, QStringLiteral("Export CSV"), suggested, kCsvFilter)
                  : QFileDialog::getOpenFileName(parent, QStringLiteral("Import CSV"), suggested, kCsvFilter);
}

CsvCommands::CsvCommands(MemoryView& view, ViewHost& host, QString dataDir, std::function<void()> beep)
    : QObject(&view), m_view(view), m_host(host), m_dataDir(std::move(dataDir)), m_beep(std::move(beep))
{
    auto* file = new QMenu(QStringLiteral("&File"), &view);
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* exportItem = file->addAction(QStringLiteral("&Export CSV..."));
    exportItem->setObjectName(QStringLiteral("itmExportCsv"));
    QAction* importItem = file->addAction(QStringLiteral("&Import CSV..."));
    importItem->setObjectName(QStringLiteral("itmImportCsv"));
    QMenuBar* bar = view.menuBar();
    bar->insertMenu(bar->actions().value(0), file);
    connect(exportItem, &QAction::triggered, this, &CsvCommands::exportCsv);
    connect(importItem, &QAction::triggered, this, &CsvCommands::importCsv);
}

QString CsvCommands::suggestedPath() const
{
    return PathIn(m_dataDir, QFileInfo(SavedFileName(m_view.kind())).completeBaseName() + QStringLiteral(".csv"));
}

void CsvCommands::exportCsv()
{
    if (m_host.busyState().busy())
        return;
    const ChannelTable& table = m_host.family().table(m_view.kind());
    bool any = false;
    for (int row = 1; row <= table.channelRows(); ++row)
        any = any || table.hasData(row);
    if (!any)
        return ShowMessage(&m_view, QStringLiteral("There are no channels to export."));
    const QString path = m_choose(&m_view, true, suggestedPath());
    if (path.isEmpty())
        return;
    const QString failure = WriteFileSafely(path, ChirpCsvFromRows(m_view.kind(), table.rows()));
    if (!failure.isEmpty())
        return ShowMessage(&m_view, failure);
    m_beep();
}

void CsvCommands::importCsv()
{
    if (m_host.busyState().busy())
        return;
    const QString path = m_choose(&m_view, false, m_dataDir);
    if (path.isEmpty())
        return;
    // The whole file is read and checked before the table is touched.
    const ReadResult read = ReadWholeFile(path);
    if (!read.ok())
        return ShowMessage(&m_view, read.error);
    const CsvImport imported = RowsFromChirpCsv(m_view.kind(), read.bytes);
    const QString name = QFileInfo(path).fileName();
    if (!imported.ok()) {
        return ShowMessage(&m_view, QStringLiteral("%1 is not a CHIRP CSV file: %2.").arg(name, imported.refusal)
                                        + kMessageLineBreak + QStringLiteral("Nothing was changed."));
    }
    for (int row = 1; row <= int(imported.rows.size()); ++row)
        m_host.family().setRow(m_view.kind(), row, imported.rows[std::size_t(row - 1)]);
    if (!imported.leftOut.isEmpty())
        ShowMessage(&m_view, LeftOutText(name, imported.leftOut));
    m_beep();
}

}  // namespace vardo
