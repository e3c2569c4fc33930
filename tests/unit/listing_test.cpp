// SPDX-License-Identifier: GPL-3.0-or-later
// The printed listing: where each field stands, headings, titles, page split, long comments.

#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include "channelrow.h"
#include "listing.h"
#include "listingprinter.h"
#include "pdftext.h"

using namespace vardo;

namespace {

RowCells Row(const QString& freq, const QString& mode = "USB", const QString& comment = "net")
{
    return {freq, mode, "2.4K", "2.0K", "A", "OFF", "OFF", "0.00", "OFF", comment};
}

std::vector<RowCells> Rows(ViewKind view)
{
    std::vector<RowCells> rows;
    for (int row = 1; row <= RowCount(view); ++row)
        rows.push_back(Row(QString::number(100.0 + row * 263.17, 'f', 2) + "  ", "USB", QStringLiteral("comment %1").arg(row)));
    return rows;
}

}  // namespace

class ListingTest : public QObject {
    Q_OBJECT
private slots:
    // A row's line from the text's first position (counted from 1); an unknown code reads as an empty
    // cell and the columns after it stay in place.
    void columns()
    {
        const ViewKind all = ViewKind::All;
        const std::tuple<RowCells, ViewKind, int, QString, int> rows[] = {
            {Row("14250.00  "), all, 1, "  1  14250.00    USB      2.4K     2.0K     A    OFF   OFF   0.00  OFF  net", 1},
            {Row("14025.00* "), all, 1, "14025.00*", 6},  // the mark on 14
            {Row("100.00  "), all, 1, "  1    100.00 ", 1},
            {Row("7080.00  ", "RTTY (lsb)"), all, 1, " RTTY (lsb) ", 14},
            {RowCells{"7000.00  ", "USB", "250", "500", "Rx (B)", "ON", "ON", "-9.99", "-RPT", "net"}, all, 1,
             " 250      500   Rx (B)  ON    ON  -9.99 -RPT  net", 27},
            {Row("14250.00  ", "USB", QString(200, 'c')), all, 1, QString(200, 'c'), 73},
            {Row("14250.00  "), all, 10, " 10  14250.00", 1}, {Row("1800.00  "), ViewKind::Pms, 1, " P1   1800.00", 1},
            {Row(""), all, 101, " P2" + QString(11, ' ') + "   USB    ", 1}, {Row(" * "), all, 101, QString(8, ' ') + "*", 6},
            {{"14250.00  ", "USB", "", "2.0K", "A", "OFF", "OFF", "0.00", "OFF", "net"}, all, 1, "2.0K     A", 36},
            {{"3573.00  ", "", "", "", "", "", "", "0.00", "", "x"}, all, 1, "0.00", 62}};
        for (const auto& [cells, view, row, text, position] : rows)
            QCOMPARE(ChannelLine(cells, view, row).mid(position - 1, text.size()), text);
    }

    // The title is bold; a two-page listing adds "  (page N)" in plain.
    void pages()
    {
        const std::tuple<ViewKind, int, QString> views[] = {{ViewKind::All, 57, QString(40, ' ') + "All Memory Channels"},
                                                            {ViewKind::Ch99, 57, QString(38, ' ') + "Memory Channels 1 to 99"},
                                                            {ViewKind::Pms, 9, QString(45, ' ') + "PMS Memory Channels"},
                                                            {ViewKind::Qmb, 5, QString(45, ' ') + "QMB Memory Channels"}};
        const QString columns = "Ch# Freq (kHz)   Mode   8.2 Filt 455 Filt  Ant  RxRIT TxRIT Offset RPT" + QString(20, ' ');
        const ListingLine heading{{{columns + "Comments", false}}};
        const ListingLine dashes{{{"--- ---------- -------- -------- -------- ----- ----- ----- ------ ---  " + QString(48, '-'), false}}};
        for (const auto& [view, lastRowOfPage1, title] : views) {
            const std::vector<RowCells> rows = Rows(view);
            const Listing listing = BuildListing(rows, view);
            const int pages = lastRowOfPage1 < int(rows.size()) ? 2 : 1;
            QCOMPARE(listing.size(), pages);
            for (int p = 0, row = 0; p < pages; ++p) {
                ListingPage expected{ListingLine{}, ListingLine{{{title, true}}}, ListingLine{}, heading, dashes};
                if (pages == 2)
                    expected[1].spans.append({QStringLiteral("  (page %1)").arg(p + 1), false});
                for (; row < (p == 0 ? lastRowOfPage1 : int(rows.size())); ++row)
                    expected << ListingLine{{{ChannelLine(rows[std::size_t(row)], view, row + 1), false}}};
                QCOMPARE(listing[p], expected);
            }
        }
    }

    void longCommentPrintedWhole()
    {
        std::vector<RowCells> rows = Rows(ViewKind::Pms);
        const QString comment = "a long comment that runs well past the forty-eight dashes of the heading and past the right edge "
                                "of an 8-point line on A4 paper, end";
        rows[2][CellIndex(ColComment)] = comment;
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("long.pdf"));
        QCOMPARE(PrintListing(BuildListing(rows, ViewKind::Pms), printer), std::nullopt);
        const QString text = test::PdfText(dir.filePath("long.pdf"), {"-raw"});
        QVERIFY2(text.contains(comment), qPrintable(text));
    }
};

QTEST_MAIN(ListingTest)
#include "listing_test.moc"
