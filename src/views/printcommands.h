// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Print on each view: the listing of the view's table on the printer the operator picks.
// The printer set-up step is replaceable, so a test can print into a PDF without a dialog.

#include <functional>

#include <QObject>
#include <QPrinter>

#include "channelindex.h"
#include "viewhost.h"

class QWidget;

namespace vardo {

// Lets the operator choose the printer and its page settings; false when set-up is cancelled.
using PrinterSetup = std::function<bool(QPrinter& printer, QWidget* parent)>;

// The platform's printer dialog, without page ranges (a listing is printed whole).
[[nodiscard]] bool AskForPrinter(QPrinter& printer, QWidget* parent);

class PrintCommands : public QObject {
    Q_OBJECT
public:
    PrintCommands(ViewHost& host, ViewLookup views, QObject* parent = nullptr);

    void setPrinterSetup(PrinterSetup setup) { m_setup = std::move(setup); }
    // Connects every view's cmdPrint hook to print().
    void connectViews();
    // cmdPrint of `view`.
    void print(ViewKind view);

private:
    ViewHost& m_host;
    ViewLookup m_views;
    PrinterSetup m_setup = &AskForPrinter;
    QPrinter m_printer{QPrinter::HighResolution};  // keeps the operator's choice between prints
};

}  // namespace vardo
