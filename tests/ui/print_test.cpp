// SPDX-License-Identifier: GPL-3.0-or-later
// Print on the program's views into a PDF through the replaceable printer set-up: every
// channel line of the view's table in order, the empty-view messages, Cancel in the real
// printer dialog, a printer that cannot start, and no Print while the radio is busy.

#include <QApplication>
#include <QPrintDialog>
#include <QTimer>

#include "filebytes.h"
#include "listing.h"
#include "messageboxhelper.h"
#include "pdftext.h"
#include "printcommands.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// The program with Print attached; the printer set-up answers for the operator.
struct PrintApp : AppHarness {
    PrintApp()
    {
        app->printCommands().setPrinterSetup([this](QPrinter& printer, QWidget* parent) {
            ++setups;
            setupParent = parent;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
    }
    MemoryView* ready(ViewKind kind) { return OpenAndRead(*this, kind); }

    QString pdf;
    int setups = 0;
    QWidget* setupParent = nullptr;
};

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT
private slots:
    // frmCh99, two pages: the listing code itself is checked view by view without windows.
    void printsTheViewsTable()
    {
        PrintApp h;
        MemoryView* v = h.ready(ViewKind::Ch99);
        QVERIFY(v);
        const QString comment = QStringLiteral("20 m net, Sundays 1400 UTC");
        h.app->family().setCell(ViewKind::Ch99, 2, ColComment, comment);
        h.pdf = h.dir.filePath("listing.pdf");
        QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
        MessageBoxHelper boxes;
        // The operator's place in the grid stays where it was.
        v->setTopRow(35);
        v->setCurrentCell(40, ColMode);
        h.press(*v, "cmdPrint");
        QVERIFY(v->currentRow() == 40 && v->currentColumn() == ColMode && TopRow(*v) == 35);
        QVERIFY(h.setups == 1 && h.setupParent == v && boxes.count() == 0);
        QCOMPARE(busy.count(), 2);  // the hourglass came and went
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        const QList<QStringList> pages = ListingPdfPages(h.pdf);
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].size(), 3 + 57);
        QCOMPARE(pages[0][0].trimmed(), QStringLiteral("Memory Channels 1 to 99  (page 1)"));
        QCOMPARE(pages[1][0].trimmed(), QStringLiteral("Memory Channels 1 to 99  (page 2)"));
        const std::vector<RowCells> rows = h.table(ViewKind::Ch99).rows();
        QStringList expected;
        for (int row = 1; row <= static_cast<int>(rows.size()); ++row)
            expected << ChannelLine(rows[static_cast<std::size_t>(row - 1)], ViewKind::Ch99, row)
                            .remove(QRegularExpression(" +$"));
        QCOMPARE(pages[0].mid(3) + pages[1].mid(3), expected);  // after the title and the headings
        QCOMPARE(expected.at(1).mid(72), comment);
    }

    void emptyViewSaysSo_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<QString>("message");
        QTest::newRow("all") << ViewKind::All << "Nothing to Print!";
        QTest::newRow("1-99") << ViewKind::Ch99 << "Nothing to print!";
        QTest::newRow("pms") << ViewKind::Pms << "Nothing to print!";
        QTest::newRow("qmb") << ViewKind::Qmb << "Nothing to print!";
    }
    void emptyViewSaysSo()
    {
        QFETCH(ViewKind, view);
        PrintApp h;
        QVERIFY(h.started());
        MessageBoxHelper boxes;
        h.press(h.open(view), "cmdPrint");
        QTEST(boxes.lastText(), "message");
        QVERIFY(boxes.seen().first().icon == QMessageBox::Warning && h.setups == 0);
    }

    // The platform's printer dialog, without page ranges; its Cancel prints nothing.
    void printerDialogCancel()
    {
        PrintApp h;
        MemoryView* v = h.ready(ViewKind::Qmb);
        QVERIFY(v);
        QString dialogClass;
        bool pageRanges = true;
        h.app->printCommands().setPrinterSetup([&](QPrinter& printer, QWidget* parent) {
            QTimer::singleShot(0, parent, [&] {
                if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                    dialogClass = dialog->metaObject()->className();
                    pageRanges = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
                    dialog->reject();
                }
            });
            return AskForPrinter(printer, parent);
        });
        QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
        MessageBoxHelper boxes;
        h.press(*v, "cmdPrint");
        QCOMPARE(dialogClass, QStringLiteral("QPrintDialog"));
        QVERIFY(!pageRanges && busy.isEmpty() && boxes.count() == 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(FileListing(h.dir.path()).filter(".pdf").isEmpty());
    }

    // While the radio is busy Print does nothing; a PDF that cannot be written says why; then it prints.
    void refusedThenPrints()
    {
        PrintApp h;
        MemoryView* v = h.ready(ViewKind::Qmb);
        QVERIFY(v);
        h.pdf = h.dir.filePath("no such folder/listing.pdf");
        QVERIFY(h.app->radio().scan(1, 10, 255, h.app.get(), {}, {}));
        MessageBoxHelper boxes;
        h.press(*v, "cmdPrint");
        QVERIFY(h.setups == 0 && boxes.count() == 0);
        h.app->radio().stopScan();
        QVERIFY(h.idle());
        h.press(*v, "cmdPrint");
        QCOMPARE(boxes.lastText(), "The PDF file \"" + h.pdf + "\" cannot be written: No such file or directory.\r"
                                   "Nothing was printed.");
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!h.app->busyState().busy());
        h.pdf = h.dir.filePath("listing.pdf");
        h.press(*v, "cmdPrint");
        QCOMPARE(ListingPdfPages(h.pdf).size(), 1);
    }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
