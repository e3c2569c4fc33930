// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvcommands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "busystate.h"
#include "chirpcsv.h"
#include "donenote.h"
#include "memoryview.h"
#include "messagetext.h"
#include "outputtarget.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "tablesteps.h"
#include "viewdescriptor.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {
namespace {

const QString kCsvFilter = QStringLiteral("CSV files (*.csv);;All files (*)");

// A heading and the items that fit a message box, one a line; nothing without items.
[[nodiscard]] QStringList Listed(const QString& heading, const QStringList& items)
{
    if (items.isEmpty())
        return {};
    return QStringList{heading} + ListThatFits(items);
}

// What an import left out and what it took otherwise than the file gives it.
[[nodiscard]] QString ImportReport(const QString& file, const CsvImport& imported)
{
    return (Listed(QStringLiteral("These rows of %1 were left out:").arg(file), imported.leftOut)
            + Listed(QStringLiteral("These values of %1 were taken otherwise:").arg(file), imported.notes))
        .join(kMessageLineBreak);
}

[[nodiscard]] QString ImportQuestion(int rows, const QString& file, ViewKind view)
{
    const QString noun = rows == 1 ? QStringLiteral("row") : QStringLiteral("rows");
    return QStringLiteral("Import %1 %2 of %3 into %4? The channels at those locations are replaced; the others are "
                          "kept.")
        .arg(rows)
        .arg(noun, file, QString::fromLatin1(Descriptor(view).optionText));
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
    return PathIn(m_dataDir, SavedFileStem(m_view.kind()) + QStringLiteral(".csv"));
}

void CsvCommands::exportCsv()
{
    if (m_host.busyState().busy())
        return;
    const ChannelTable& table = m_host.family().table(m_view.kind());
    if (ChannelsHeld(table) == 0)
        return ShowMessage(&m_view, QStringLiteral("There are no channels to export."));
    const QString path = m_choose(&m_view, true, suggestedPath());
    if (path.isEmpty())
        return;
    if (const QString problem = OutputTargetProblem(path, m_dataDir); !problem.isEmpty())
        return ShowMessage(&m_view, problem);
    const CsvExport csv = ChirpCsvFromRows(m_view.kind(), table.rows());
    if (const QString failure = WriteFileSafely(path, csv.bytes); !failure.isEmpty())
        return ShowMessage(&m_view, failure);
    const QString name = QFileInfo(path).fileName();
    const QStringList leftOut =
        Listed(QStringLiteral("These channels are not in %1:").arg(name),
               csv.leftOut);
    if (!leftOut.isEmpty())
        ShowMessage(&m_view, leftOut.join(kMessageLineBreak), QMessageBox::Information);
    m_beep();
}

bool CsvCommands::askImport(int rows, const QString& file)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), ImportQuestion(rows, file, m_view.kind()),
                    QMessageBox::Yes | QMessageBox::No, &m_view);
    box.setFont(ControlFont());
    return box.exec() == QMessageBox::Yes;
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
    if (imported.taken.empty()) {
        const QString nothing = QStringLiteral("No row of %1 could be imported; nothing was changed.").arg(name);
        return ShowMessage(&m_view, (QStringList{nothing} + Listed(QStringLiteral("These rows were left out:"),
                                                                   imported.leftOut)).join(kMessageLineBreak));
    }
    if (!askImport(int(imported.taken.size()), name))
        return;
    const QString noteBefore = StatusNote(m_view);
    m_host.tableSteps().record(QStringLiteral("Import CSV"), [&] {
        for (const ImportedRow& row : imported.taken)
            m_host.family().setRow(m_view.kind(), row.row, row.cells);
    });
    ShowDoneNote(m_view, QStringLiteral("%1 imported from %2").arg(ChannelCount(qsizetype(imported.taken.size())), name),
                 noteBefore);
    if (const QString report = ImportReport(name, imported); !report.isEmpty())
        ShowMessage(&m_view, report);
    m_beep();
}

}  // namespace vardo
