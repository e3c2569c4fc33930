// SPDX-License-Identifier: GPL-3.0-or-later
#include "historycommands.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "busystate.h"
#include "comparecommands.h"
#include "history.h"
#include "memoryview.h"
#include "messagetext.h"
#include "restoreplan.h"
#include "tablesteps.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {
namespace {

[[nodiscard]] QPushButton* AddButton(QDialogButtonBox* box, const QString& text, const char* name)
{
    QPushButton* button = box->addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

HistoryCommands::HistoryCommands(MemoryView& view, ViewHost& host, CompareCommands& compare, QString dataDir)
    : QObject(&view), m_view(view), m_host(host), m_compare(compare), m_dataDir(std::move(dataDir))
{
    if (auto* file = view.findChild<QMenu*>(QStringLiteral("mnuFile"))) {
        file->addSeparator();
        QAction* item = file->addAction(QStringLiteral("&History..."));
        item->setObjectName(QStringLiteral("itmHistory"));
        connect(item, &QAction::triggered, this, &HistoryCommands::showHistory);
    }
    m_dialog = new QDialog(&view);
    m_dialog->setObjectName(QStringLiteral("dlgHistory"));
    m_dialog->setWindowTitle(QStringLiteral("History"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_list = new QListWidget(m_dialog);
    m_list->setObjectName(QStringLiteral("lstHistory"));
    m_list->setAccessibleName(QStringLiteral("Snapshots"));
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, m_dialog);
    QPushButton* open = AddButton(buttons, QStringLiteral("&Open"), "cmdOpenSnapshot");
    QPushButton* compareButton = AddButton(buttons, QStringLiteral("&Compare with Radio"), "cmdCompareSnapshot");
    auto* layout = new QVBoxLayout(m_dialog);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    // Wide enough for a snapshot line, but never wider than the screen (at 200 % a 1280 screen).
    m_dialog->resize(QSize(760, 360).boundedTo(m_dialog->screen()->availableSize()));
    connect(buttons, &QDialogButtonBox::rejected, m_dialog, &QDialog::reject);
    connect(open, &QPushButton::clicked, this, [this] { openSnapshot(chosenNumber()); });
    connect(compareButton, &QPushButton::clicked, this, [this] { compareSnapshot(chosenNumber()); });
    connect(m_list, &QListWidget::itemActivated, this, [this] { openSnapshot(chosenNumber()); });
}

int HistoryCommands::chosenNumber() const
{
    return m_list->currentRow() + 1;
}

void HistoryCommands::showHistory()
{
    if (m_host.busyState().busy())
        return;
    m_list->clear();
    const QStringList lines = HistoryListing(m_dataDir, m_view.kind());
    if (lines.isEmpty())
        return ShowMessage(&m_view,
                           QStringLiteral("No snapshot of this view yet: each Read and each Load keeps one."),
                           QMessageBox::Information);
    for (const QString& line : lines)
        m_list->addItem(line.trimmed());
    m_list->setCurrentRow(0);
    m_dialog->show();
    m_dialog->raise();
}

std::optional<std::vector<RowCells>> HistoryCommands::snapshotRows(int number)
{
    if (m_host.busyState().busy() || number < 1)
        return std::nullopt;
    const LoadedSnapshot loaded = LoadSnapshot(m_dataDir, m_view.kind(), number);
    if (!loaded.load.ok()) {
        ShowMessage(m_dialog->isVisible() ? static_cast<QWidget*>(m_dialog) : &m_view, loaded.load.message);
        return std::nullopt;
    }
    m_dialog->accept();
    return PlanRestore(m_view.kind(), loaded.load.rows).rows;
}

void HistoryCommands::openSnapshot(int number)
{
    if (const auto rows = snapshotRows(number))
        m_host.tableSteps().replaceRows(m_view.kind(), *rows, QStringLiteral("Open Snapshot"));
}

void HistoryCommands::compareSnapshot(int number)
{
    if (const auto rows = snapshotRows(number))
        m_compare.compareWith(*rows, QStringLiteral("snapshot"));
}

}  // namespace vardo
