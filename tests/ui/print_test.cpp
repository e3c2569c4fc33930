// Print on the program's views: the listing of the view's table into a PDF through the
// replaceable printer set-up, the empty-view messages, Cancel, a printer that cannot start,
// and the busy guard.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QTimer>

#include "app_harness.h"
#include "listing.h"
#include "messageboxhelper.h"
#include "pdftext.h"
#include "printcommands.h"
#include "wire.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

// The program with the editor and Print attached; the printer set-up answers for the operator.
struct PrintApp : AppHarness {
    PrintApp()
    {
        const ViewCommands commands =
            AttachViewCommands(*app, app->radio(), [this](ViewKind k) -> MemoryView& { return view(k); }, *app);
        commands.print->setPrinterSetup([this](QPrinter& printer, QWidget* parent) {
            ++setups;
            setupParent = parent;
            if (pdf.isEmpty())
                return false;  // Cancel
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
    }

    QString pdf;  // where the operator "prints"; empty: the operator cancels
    int setups = 0;
    QWidget* setupParent = nullptr;
};

// The lines the listing holds for each channel row, as printed.
QStringList ChannelLines(const ChannelTable& table)
{
    QStringList lines;
    const QList<QStringList> rows = ListingRows(table);
    for (int row = 1; row <= rows.size(); ++row) {
        QString line = ChannelLine(rows[row - 1], table.kind(), row);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines << line;
    }
    return lines;
}

QStringList Titles(const QList<QStringList>& pages)
{
    QStringList titles;
    for (const QStringList& page : pages)
        titles << (page.isEmpty() ? QString() : page.first().trimmed());
    return titles;
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void printsTheViewsTable_data();
    void printsTheViewsTable();
    void emptyViewSaysSo_data();
    void emptyViewSaysSo();
    void cancelPrintsNothing();
    void printerDialogCancel();
    void printerThatCannotStart();
    void busyRefusesPrint();
};

void PrintTest::printsTheViewsTable_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("pageBreakRow");  // first row on page 2; 0 for one page

    QTest::newRow("all") << ViewKind::All
                         << QStringList{"All Memory Channels  (page 1)", "All Memory Channels  (page 2)"} << 58;
    QTest::newRow("1-99") << ViewKind::Ch99
                          << QStringList{"Memory Channels 1 to 99  (page 1)", "Memory Channels 1 to 99  (page 2)"}
                          << 58;
    QTest::newRow("pms") << ViewKind::Pms << QStringList{"PMS Memory Channels"} << 0;
    QTest::newRow("qmb") << ViewKind::Qmb << QStringList{"QMB Memory Channels"} << 0;
}

void PrintTest::printsTheViewsTable()
{
    QFETCH(ViewKind, view);
    QFETCH(QStringList, titles);
    QFETCH(int, pageBreakRow);

    PrintApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(view);
    QVERIFY(h.read(v));
    const QString comment = QStringLiteral("20 m net, Sundays 1400 UTC");
    h.app->family().setCell(view, 2, ColComment, comment);
    h.pdf = h.dir.filePath(QStringLiteral("listing.pdf"));
    QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
    MessageBoxHelper boxes;
    h.press(v, "cmdPrint");

    QCOMPARE(h.setups, 1);
    QCOMPARE(h.setupParent, &v);
    QCOMPARE(boxes.texts(), QStringList());
    // The hourglass came and went.
    QCOMPARE(busy.count(), 2);
    QVERIFY(busy.at(0).at(0).toBool());
    QVERIFY(!busy.at(1).at(0).toBool());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    const QList<QStringList> pages = ListingPdfPages(h.pdf);
    QCOMPARE(Titles(pages), titles);
    QStringList printed;
    for (const QStringList& page : pages)
        printed << page.mid(3);  // after the title and the two heading lines
    const QStringList expected = ChannelLines(h.table(view));
    QCOMPARE(printed, expected);
    if (pageBreakRow)
        QCOMPARE(pages.first().size() - 3, pageBreakRow - 1);
    // Row 1's number ends on character 13; row 2's comment starts on 73.
    const QString freq = h.table(view).cell(1, ColFreq).trimmed().remove(QLatin1Char('*'));
    QCOMPARE(printed.at(0).mid(13 - freq.size(), freq.size()), freq);
    QCOMPARE(printed.at(1).mid(72), comment);
}

void PrintTest::emptyViewSaysSo_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QString>("message");
    QTest::newRow("all") << ViewKind::All << "Nothing to Print!";
    QTest::newRow("1-99") << ViewKind::Ch99 << "Nothing to print!";
    QTest::newRow("pms") << ViewKind::Pms << "Nothing to print!";
    QTest::newRow("qmb") << ViewKind::Qmb << "Nothing to print!";
}

void PrintTest::emptyViewSaysSo()
{
    QFETCH(ViewKind, view);
    QFETCH(QString, message);
    PrintApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(view);
    h.pdf = h.dir.filePath(QStringLiteral("listing.pdf"));
    MessageBoxHelper boxes;
    h.press(v, "cmdPrint");
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
    QCOMPARE(h.setups, 0);
    QVERIFY(!QFile::exists(h.pdf));
}

void PrintTest::cancelPrintsNothing()
{
    PrintApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Pms);
    QVERIFY(h.read(v));
    const QList<QStringList> before = ListingRows(h.table(ViewKind::Pms));
    QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
    MessageBoxHelper boxes;
    h.press(v, "cmdPrint");
    QCOMPARE(h.setups, 1);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(busy.count(), 0);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(ListingRows(h.table(ViewKind::Pms)), before);
    QCOMPARE(QDir(h.dir.path()).entryList({QStringLiteral("*.pdf")}), QStringList());
}

void PrintTest::printerDialogCancel()
{
    PrintApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Qmb);
    QVERIFY(h.read(v));
    QString dialogClass;
    bool pageRanges = true;
    h.app->findChild<PrintCommands*>()->setPrinterSetup([&](QPrinter& printer, QWidget* parent) {
        QTimer::singleShot(0, parent, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialogClass = QString::fromLatin1(dialog->metaObject()->className());
            pageRanges = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            const QString folder = qEnvironmentVariable("VARDO_SCREENSHOTS");
            if (!folder.isEmpty())
                dialog->grab().save(folder + QStringLiteral("/print-dialog.png"));
            dialog->reject();
        });
        return AskForPrinter(printer, parent);
    });
    QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
    MessageBoxHelper boxes;
    h.press(v, "cmdPrint");
    QCOMPARE(dialogClass, QStringLiteral("QPrintDialog"));
    QVERIFY(!pageRanges);
    QCOMPARE(busy.count(), 0);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void PrintTest::printerThatCannotStart()
{
    PrintApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Qmb);
    QVERIFY(h.read(v));
    h.pdf = h.dir.filePath(QStringLiteral("no such folder/listing.pdf"));
    MessageBoxHelper boxes;
    h.press(v, "cmdPrint");
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.lastText().contains(QStringLiteral("could not be started")), qPrintable(boxes.lastText()));
    QVERIFY(boxes.lastText().contains(QDir::toNativeSeparators(h.pdf)) || boxes.lastText().contains(h.pdf));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!h.app->busyState().busy());
    // The next Print works again.
    h.pdf = h.dir.filePath(QStringLiteral("listing.pdf"));
    h.press(v, "cmdPrint");
    QCOMPARE(ListingPdfPages(h.pdf).size(), 1);
}

void PrintTest::busyRefusesPrint()
{
    PrintApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Ch99);
    QVERIFY(h.read(v));
    h.pdf = h.dir.filePath(QStringLiteral("listing.pdf"));
    QVERIFY(h.app->radio().scan(1, 10, 255));
    MessageBoxHelper boxes;
    h.press(v, "cmdPrint");
    QCOMPARE(h.setups, 0);
    QCOMPARE(boxes.count(), 0);
    h.app->radio().stopScan();
    QVERIFY(h.idle());
    h.press(v, "cmdPrint");
    QCOMPARE(h.setups, 1);
    QCOMPARE(ListingPdfPages(h.pdf).size(), 2);
}

QTEST_MAIN(PrintTest)
#include "print_test.moc"
