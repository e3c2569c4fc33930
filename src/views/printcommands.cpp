// SPDX-License-Identifier: GPL-3.0-or-later
#include "printcommands.h"

#include <QCoreApplication>
#include <QPrintDialog>

#include "busystate.h"
#include "channeltable.h"
#include "listing.h"
#include "listingprinter.h"
#include "memoryview.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {

bool AskForPrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

PrintCommands::PrintCommands(ViewHost& host, ViewLookup views, QObject* parent)
    : QObject(parent), m_host(host), m_views(std::move(views))
{
}

void PrintCommands::connectViews()
{
    for (ViewKind kind : kAllViews)
        connect(&m_views(kind), &MemoryView::printRequested, this, [this, kind] { print(kind); });
}

void PrintCommands::print(ViewKind view)
{
    if (m_host.busyState().busy())
        return;
    MemoryView& window = m_views(view);
    const std::vector<RowCells> rows = m_host.family().table(view).rows();
    if (const std::optional<QString> empty = NothingToPrint(rows, view)) {
        ShowMessage(&window, *empty);
        return;
    }
    if (!m_setup(m_printer, &window))
        return;  // cancelled: nothing printed, nothing changed
    std::optional<QString> failure;
    {
        // The hourglass, and no other command starts: not even one clicked while the window
        // repaints where the dialog stood.
        const BusyState::Scope busy(m_host.busyState());
        QCoreApplication::processEvents();
        failure = PrintListing(BuildListing(rows, view), m_printer);
    }
    if (failure)
        ShowMessage(&window, *failure);
}

}  // namespace vardo
