// The printed listing: where every field of a channel line stands, the titles and page split
// of each view, and a PDF printed through the real printing code read back as text.

#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "listing.h"
#include "listingprinter.h"
#include "channelrow.h"

using namespace vardo;

namespace {

QStringList Row(const QString& label, const QString& freq, const QString& mode = QStringLiteral("USB"),
                const QString& comment = QStringLiteral("net"))
{
    return {label, freq, mode, "2.4K", "2.0K", "A", "OFF", "OFF", "0.00", "OFF", comment};
}

QStringList With(QStringList row, int column, const QString& text)
{
    row[column] = text;
    return row;
}

// A full view of plausible channels: masked ones, every mode length, long and short cells.
QList<QStringList> SampleRows(ViewKind view)
{
    static const QStringList modes = {"LSB", "USB", "CW (usb)", "AM (sync)", "FM", "RTTY (lsb)", "PKT (fm)"};
    QList<QStringList> rows;
    for (int row = 1; row <= RowCount(view); ++row) {
        const QString freq = QString::number(100.0 + row * 263.17, 'f', 2) + (row % 5 == 0 ? "* " : "  ");
        rows << QStringList{ChannelLabel(ChannelOfRow(view, row)), freq, modes[row % modes.size()],
                            row % 2 ? "2.4K" : "250", row % 3 ? "500" : "6.0K", row % 2 ? "A" : "Rx (B)",
                            row % 4 ? "OFF" : "ON", row % 3 ? "OFF" : "ON", row % 3 ? "+1.50" : "-9.99",
                            row % 4 ? "OFF" : "+RPT", QStringLiteral("comment %1").arg(row)};
    }
    return rows;
}

QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

}  // namespace

class ListingTest : public QObject {
    Q_OBJECT
private slots:
    void columns_data();
    void columns();
    void workedExample();
    void header();
    void pages_data();
    void pages();
    void nothingToPrint_data();
    void nothingToPrint();
    void pdfHoldsEveryLine_data();
    void pdfHoldsEveryLine();
    void longCommentPrintedWhole();
    void unwritablePdfIsReported();
};

void ListingTest::columns_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");  // first character, counted from 1

    const int all = int(ViewKind::All);
    const int ch99 = int(ViewKind::Ch99);
    const int pms = int(ViewKind::Pms);
    const int qmb = int(ViewKind::Qmb);
    const QStringList base = Row("1", "14250.00  ");
    QTest::newRow("masked mark on 14") << Row("1", "14025.00* ") << all << 1 << "14025.00*" << 6;
    QTest::newRow("unmasked blank on 14") << base << all << 1 << "14250.00    USB" << 6;
    QTest::newRow("100.00 ends on 13") << Row("1", "100.00  ") << all << 1 << "  1    100.00 " << 1;
    QTest::newRow("7050.00 ends on 13") << Row("1", "7050.00  ") << all << 1 << "  1   7050.00 " << 1;
    QTest::newRow("masked 100.00") << Row("1", "100.00* ") << all << 1 << "100.00*" << 8;
    QTest::newRow("RTTY (lsb) fills 15-24") << Row("1", "14080.00  ", "RTTY (lsb)") << all << 1 << " RTTY (lsb)  2.4K" << 14;
    QTest::newRow("FM on 19-20") << Row("1", "29600.00  ", "FM") << all << 1 << "     FM      2.4K" << 14;
    QTest::newRow("AM (sync) on 16-24") << Row("1", "6000.00  ", "AM (sync)") << all << 1 << " AM (sync)  " << 15;
    QTest::newRow("CW (usb) on 16-23") << Row("1", "7025.00  ", "CW (usb)") << all << 1 << " CW (usb)   " << 15;
    QTest::newRow("PKT (fm) on 16-23") << Row("1", "7025.00  ", "PKT (fm)") << all << 1 << " PKT (fm)   " << 15;
    QTest::newRow("8.2 250 on 28") << With(base, 3, "250") << all << 1 << " 250   " << 27;
    QTest::newRow("8.2 Thru on 27") << With(base, 3, "Thru") << all << 1 << "Thru   " << 27;
    QTest::newRow("455 500 on 37") << With(base, 4, "500") << all << 1 << "   500  " << 34;
    QTest::newRow("455 6.0K on 36") << With(base, 4, "6.0K") << all << 1 << "6.0K" << 36;
    QTest::newRow("antenna Rx (B) on 43") << With(base, 5, "Rx (B)") << all << 1 << " Rx (B) " << 42;
    QTest::newRow("Rx RIT ON on 51") << With(base, 6, "ON") << all << 1 << " ON   " << 50;
    QTest::newRow("Tx RIT ON on 57") << With(base, 7, "ON") << all << 1 << " ON  " << 56;
    QTest::newRow("offset +1.50 on 61") << With(base, 8, "+1.50") << all << 1 << "+1.50 " << 61;
    QTest::newRow("offset -9.99 on 61") << With(base, 8, "-9.99") << all << 1 << "-9.99 " << 61;
    QTest::newRow("RPT -RPT on 67") << With(base, 9, "-RPT") << all << 1 << "-RPT  net" << 67;
    QTest::newRow("comment on 73") << base << all << 1 << "net" << 73;
    QTest::newRow("long comment whole") << Row("1", "14250.00  ", "USB", QString(200, 'c')) << all << 1
                                        << QString(200, 'c') << 73;
    QTest::newRow("all row 9 label on 3") << Row("9", "14250.00  ") << all << 9 << "  9  14250.00" << 1;
    QTest::newRow("all row 10 label on 2-3") << Row("10", "14250.00  ") << all << 10 << " 10  14250.00" << 1;
    QTest::newRow("ch99 row 5 label on 3") << Row("5", "14250.00  ") << ch99 << 5 << "  5  14250.00" << 1;
    QTest::newRow("all P1 label on 2-3") << Row("P1", "1800.00  ") << all << 100 << " P1   1800.00" << 1;
    QTest::newRow("pms P1 label on 2-3") << Row("P1", "1800.00  ") << pms << 1 << " P1   1800.00" << 1;
    QTest::newRow("qmb Q5 label on 2-3") << Row("Q5", "1800.00  ") << qmb << 5 << " Q5   1800.00" << 1;
    QTest::newRow("no frequency keeps columns") << Row("P2", "") << all << 101 << " P2" + Blanks(11) + "   USB    "
                                                << 1;
    QTest::newRow("no frequency, masked") << Row("P2", " * ") << all << 101 << Blanks(8) + "*" << 6;
}

void ListingTest::columns()
{
    QFETCH(QStringList, cells);
    QFETCH(int, view);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(int, position);
    const QString line = ChannelLine(cells, ViewKind(view), row);
    QCOMPARE(line.mid(position - 1, text.size()), text);
}

void ListingTest::workedExample()
{
    const QString line = ChannelLine(Row("1", "14250.00  "), ViewKind::All, 1);
    QCOMPARE(line, QStringLiteral("  1  14250.00    USB      2.4K     2.0K     A    OFF   OFF   0.00  OFF  net"));
}

void ListingTest::header()
{
    const QStringList header = ListingHeader();
    QCOMPARE(header.size(), 2);
    QCOMPARE(header[0], QStringLiteral("Ch# Freq (kHz)   Mode   8.2 Filt 455 Filt  Ant  RxRIT TxRIT Offset RPT")
                            + Blanks(20) + "Comments");
    QCOMPARE(header[0].indexOf("Comments") + 1, 91);
    QCOMPARE(header[1], QStringLiteral("--- ---------- -------- -------- -------- ----- ----- ----- ------ ---  ")
                            + QString(48, '-'));
    QCOMPARE(header[1].size(), 120);
}

void ListingTest::pages_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("lastRowOfPage1");
    QTest::addColumn<QString>("boldTitle");
    QTest::addColumn<QString>("page1Suffix");  // the plain piece after the title

    QTest::newRow("all") << int(ViewKind::All) << 2 << 57 << Blanks(40) + "All Memory Channels" << "  (page 1)";
    QTest::newRow("ch99") << int(ViewKind::Ch99) << 2 << 57 << Blanks(38) + "Memory Channels 1 to 99" << "  (page 1)";
    QTest::newRow("pms") << int(ViewKind::Pms) << 1 << 9 << Blanks(45) + "PMS Memory Channels" << "";
    QTest::newRow("qmb") << int(ViewKind::Qmb) << 1 << 5 << Blanks(45) + "QMB Memory Channels" << "";
}

void ListingTest::pages()
{
    QFETCH(int, view);
    QFETCH(int, pageCount);
    QFETCH(int, lastRowOfPage1);
    QFETCH(QString, boldTitle);
    QFETCH(QString, page1Suffix);
    const ViewKind kind = ViewKind(view);
    const QList<QStringList> rows = SampleRows(kind);
    const Listing listing = BuildListing(rows, kind);
    QCOMPARE(listing.size(), pageCount);

    const int headingLines = 5;  // empty, title, empty, two heading lines
    QList<ListingSpan> title{{boldTitle, true}};
    if (!page1Suffix.isEmpty())
        title.append({page1Suffix, false});
    const ListingPage& page1 = listing[0];
    QCOMPARE(page1[0], ListingLine{});
    QCOMPARE(page1[1].spans, title);
    QCOMPARE(page1[2], ListingLine{});
    QCOMPARE(page1[3].text(), ListingHeader()[0]);
    QCOMPARE(page1[4].text(), ListingHeader()[1]);
    QCOMPARE(page1.size(), headingLines + lastRowOfPage1);
    QCOMPARE(page1.last().text(), ChannelLine(rows[lastRowOfPage1 - 1], kind, lastRowOfPage1));
    if (pageCount == 1)
        return;
    const ListingPage& page2 = listing[1];
    QCOMPARE(page2[1].spans, (QList<ListingSpan>{{boldTitle, true}, {"  (page 2)", false}}));
    QCOMPARE(page2[4].text(), ListingHeader()[1]);
    QCOMPARE(page2[headingLines].text(), ChannelLine(rows[kFirstRowOfPage2 - 1], kind, kFirstRowOfPage2));
    QCOMPARE(page2.size(), headingLines + rows.size() - lastRowOfPage1);
}

void ListingTest::nothingToPrint_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("firstFreq");
    QTest::addColumn<QString>("message");  // empty: the listing prints
    QTest::newRow("all empty") << int(ViewKind::All) << "" << "Nothing to Print!";
    QTest::newRow("ch99 empty") << int(ViewKind::Ch99) << "" << "Nothing to print!";
    QTest::newRow("pms empty") << int(ViewKind::Pms) << "" << "Nothing to print!";
    QTest::newRow("qmb empty") << int(ViewKind::Qmb) << "" << "Nothing to print!";
    QTest::newRow("all filled") << int(ViewKind::All) << "14250.00  " << "";
    QTest::newRow("qmb filled") << int(ViewKind::Qmb) << "7050.00* " << "";
}

void ListingTest::nothingToPrint()
{
    QFETCH(int, view);
    QFETCH(QString, firstFreq);
    QFETCH(QString, message);
    const auto result = NothingToPrint({Row("1", firstFreq)}, ViewKind(view));
    QCOMPARE(result.value_or(QString()), message);
}

namespace {

// Character width of the listing font in points, for pdftotext's fixed-pitch layout.
double CharWidthPoints(QPrinter& printer)
{
    const QFontMetricsF metrics(ListingFont(), &printer);
    return metrics.horizontalAdvance(QLatin1Char('-')) * 72.0 / printer.resolution();
}

QString PdfText(const QString& file, const QStringList& options)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), options + QStringList{file, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// The page's non-empty lines with the page margin taken off (the dash line starts the text).
QStringList PageLines(const QString& page)
{
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line;
    qsizetype margin = 0;
    for (const QString& line : lines)
        if (line.trimmed().startsWith(QStringLiteral("--- ")))
            margin = line.indexOf(QLatin1Char('-'));
    for (QString& line : lines)
        line = line.mid(margin).trimmed().isEmpty() ? QString() : line.mid(margin);
    for (QString& line : lines) {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
    }
    return lines;
}

QStringList ExpectedLines(const ListingPage& page)
{
    QStringList lines;
    for (const ListingLine& line : page) {
        QString text = line.text();
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        if (!text.trimmed().isEmpty())
            lines << text;
    }
    return lines;
}

}  // namespace

void ListingTest::pdfHoldsEveryLine_data()
{
    QTest::addColumn<int>("view");
    QTest::newRow("all") << int(ViewKind::All);
    QTest::newRow("ch99") << int(ViewKind::Ch99);
    QTest::newRow("pms") << int(ViewKind::Pms);
    QTest::newRow("qmb") << int(ViewKind::Qmb);
}

void ListingTest::pdfHoldsEveryLine()
{
    QFETCH(int, view);
    const ViewKind kind = ViewKind(view);
    const Listing listing = BuildListing(SampleRows(kind), kind);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("listing.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QCOMPARE(PrintListing(listing, printer), std::nullopt);

    const QString width = QString::number(CharWidthPoints(printer), 'f', 3);
    const QString text = PdfText(file, {QStringLiteral("-layout"), QStringLiteral("-fixed"), width});
    QVERIFY2(!text.isEmpty(), "pdftotext gave nothing");
    QStringList pages = text.split(QLatin1Char('\f'));
    while (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    QCOMPARE(pages.size(), listing.size());
    for (qsizetype p = 0; p < listing.size(); ++p)
        QCOMPARE(PageLines(pages[p]), ExpectedLines(listing[p]));
}

void ListingTest::longCommentPrintedWhole()
{
    QList<QStringList> rows = SampleRows(ViewKind::Pms);
    const QString comment = QStringLiteral("a long comment that runs well past the forty-eight dashes of the "
                                           "heading and past the right edge of an 8-point line on A4 paper, end");
    rows[2][ColComment] = comment;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("long.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QCOMPARE(PrintListing(BuildListing(rows, ViewKind::Pms), printer), std::nullopt);
    const QString text = PdfText(file, {QStringLiteral("-raw")});
    QVERIFY2(text.contains(comment), qPrintable(text));
}

void ListingTest::unwritablePdfIsReported()
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = dir.filePath(QStringLiteral("missing/listing.pdf"));
    printer.setOutputFileName(file);
    const auto message = PrintListing(BuildListing(SampleRows(ViewKind::Qmb), ViewKind::Qmb), printer);
    QCOMPARE(message.value_or(QString()),
             QStringLiteral("The printer \"%1\" could not be started.\rNothing more was printed.").arg(file));
}

QTEST_MAIN(ListingTest)
#include "listing_test.moc"
