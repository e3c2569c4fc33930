// The views' tables without windows: the grid model, which rows a read or an edit writes in
// each view, and what a click on each cell does.

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "busystate.h"
#include "channeltable.h"
#include "clickdispatch.h"
#include "viewfamily.h"
#include "views_rows.h"

using namespace vardo;
using vardo::test::DataRows;

Q_DECLARE_METATYPE(vardo::ViewKind)
Q_DECLARE_METATYPE(vardo::ClickAction)

namespace {

SettingCells Cells(const QString& freq)
{
    return {freq, "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "0.00", "OFF"};
}


}  // namespace

class ViewsTablesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void modelIsSound();
    void layout_data();
    void layout();
    void alignment();
    void masked_data();
    void masked();
    void readFillsViewAndMirrors_data();
    void readFillsViewAndMirrors();
    void cellWritesReachTheMirror_data();
    void cellWritesReachTheMirror();
    void swapMovesContentsNotLabels();
    void clearLeavesOtherViews();
    void click_data();
    void click();
    void busyFromRadioOrLongOperation();
};

void ViewsTablesTest::modelIsSound()
{
    for (ViewKind kind : kAllViews) {
        ChannelTable table(kind);
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        table.setCell(1, ColFreq, QStringLiteral("14195.00  "));
        table.setSettings(2, Cells(QStringLiteral("7050.00* ")));
        table.swapCells(1, 2);
        table.layOut();
    }
}

void ViewsTablesTest::layout_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("labels");  // first, last, and for frmAll the block edges
    QTest::newRow("all") << ViewKind::All << 113
                         << QStringList{"1", "Q5", "99", "P1", "P9", "Q1"};
    QTest::newRow("ch99") << ViewKind::Ch99 << 99 << QStringList{"1", "99"};
    QTest::newRow("pms") << ViewKind::Pms << 9 << QStringList{"P1", "P9"};
    QTest::newRow("qmb") << ViewKind::Qmb << 5 << QStringList{"Q1", "Q5"};
}

void ViewsTablesTest::layout()
{
    QFETCH(ViewKind, kind);
    QFETCH(int, rows);
    QFETCH(QStringList, labels);
    ChannelTable t(kind);
    QCOMPARE(t.rowCount(), rows);
    QCOMPARE(t.columnCount(), 11);
    const QStringList headers{"Ch#", "Freq (kHz)", "Mode", "8.2 Filter", "455 Filter", "Ant",
                              "Rx RIT", "Tx RIT", "Offset", "RPT", "Comments"};
    for (int c = 0; c < 11; ++c)
        QCOMPARE(t.headerData(c, Qt::Horizontal).toString(), headers.at(c));
    QCOMPARE(t.cell(1, ColLabel), labels.at(0));
    QCOMPARE(t.cell(rows, ColLabel), labels.at(1));
    if (kind == ViewKind::All) {
        QCOMPARE(t.cell(99, ColLabel), labels.at(2));
        QCOMPARE(t.cell(100, ColLabel), labels.at(3));
        QCOMPARE(t.cell(108, ColLabel), labels.at(4));
        QCOMPARE(t.cell(109, ColLabel), labels.at(5));
    }
    QCOMPARE(DataRows(t), QString());
}

void ViewsTablesTest::alignment()
{
    ChannelTable t(ViewKind::All);
    const auto align = [&t](int column) { return t.data(t.index(0, column), Qt::TextAlignmentRole).toInt(); };
    QCOMPARE(align(ColFreq), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(align(ColComment), int(Qt::AlignLeft | Qt::AlignVCenter));
    for (int c : {0, 2, 3, 4, 5, 6, 7, 8, 9})
        QCOMPARE(align(c), int(Qt::AlignCenter));
    QCOMPARE(t.headerData(ColFreq, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
}

void ViewsTablesTest::masked_data()
{
    QTest::addColumn<QString>("freq");
    QTest::addColumn<bool>("hasData");
    QTest::addColumn<bool>("masked");
    QTest::newRow("plain") << "14195.00  " << true << false;
    QTest::newRow("masked") << "14195.00* " << true << true;
    QTest::newRow("short masked") << "100.00* " << true << true;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("blanks") << "  " << true << false;
}

void ViewsTablesTest::masked()
{
    QFETCH(QString, freq);
    ChannelTable t(ViewKind::Ch99);
    t.setCell(4, ColFreq, freq);
    QTEST(t.hasData(4), "hasData");
    QTEST(t.masked(4), "masked");
}

void ViewsTablesTest::readFillsViewAndMirrors_data()
{
    QTest::addColumn<ViewKind>("current");
    QTest::addColumn<QStringList>("rows");  // data rows of frmAll, frmCh99, frmPms, frmQmb
    QTest::newRow("all") << ViewKind::All << QStringList{"1-113", "1-99", "1-9", "1-5"};
    QTest::newRow("ch99") << ViewKind::Ch99 << QStringList{"1-99", "1-99", "", ""};
    QTest::newRow("pms") << ViewKind::Pms << QStringList{"100-108", "", "1-9", ""};
    QTest::newRow("qmb") << ViewKind::Qmb << QStringList{"109-113", "", "", "1-5"};
}

void ViewsTablesTest::readFillsViewAndMirrors()
{
    QFETCH(ViewKind, current);
    QFETCH(QStringList, rows);
    ViewFamily family;
    for (int ch = FirstChannel(current); ch <= LastChannel(current); ++ch)
        family.fillRow(current, ch, Cells(QStringLiteral("%1.00  ").arg(1000 + ch)));
    for (ViewKind kind : kAllViews)
        QCOMPARE(DataRows(family.table(kind)), rows.at(int(kind)));
    // Every written row holds its own channel, in both views.
    const int last = LastChannel(current);
    const int mirrorRow = RowOfChannel(MirrorView(current, last), last);
    QCOMPARE(family.table(MirrorView(current, last)).cell(mirrorRow, ColFreq), QStringLiteral("%1.00  ").arg(1000 + last));
    QCOMPARE(family.table(current).cell(RowOfChannel(current, last), ColMode), QStringLiteral("USB"));
}

void ViewsTablesTest::cellWritesReachTheMirror_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<ViewKind>("mirror");
    QTest::addColumn<int>("mirrorRow");
    QTest::newRow("all regular") << ViewKind::All << 7 << ViewKind::Ch99 << 7;
    QTest::newRow("all pms") << ViewKind::All << 102 << ViewKind::Pms << 3;
    QTest::newRow("all qmb") << ViewKind::All << 110 << ViewKind::Qmb << 2;
    QTest::newRow("ch99") << ViewKind::Ch99 << 99 << ViewKind::All << 99;
    QTest::newRow("pms") << ViewKind::Pms << 9 << ViewKind::All << 108;
    QTest::newRow("qmb") << ViewKind::Qmb << 1 << ViewKind::All << 109;
}

void ViewsTablesTest::cellWritesReachTheMirror()
{
    QFETCH(ViewKind, kind);
    QFETCH(int, row);
    QFETCH(ViewKind, mirror);
    QFETCH(int, mirrorRow);
    ViewFamily family;
    family.setCell(kind, row, ColComment, QStringLiteral("net: 19:00"));
    QCOMPARE(family.table(kind).cell(row, ColComment), QStringLiteral("net: 19:00"));
    QCOMPARE(family.table(mirror).cell(mirrorRow, ColComment), QStringLiteral("net: 19:00"));
    int written = 0;
    for (ViewKind k : kAllViews)
        for (int r = 1; r <= RowCount(k); ++r)
            written += family.table(k).cell(r, ColComment).isEmpty() ? 0 : 1;
    QCOMPARE(written, 2);
}

void ViewsTablesTest::swapMovesContentsNotLabels()
{
    ViewFamily family;
    family.fillRow(ViewKind::Pms, 100, Cells(QStringLiteral("1800.00  ")));
    family.fillRow(ViewKind::Pms, 101, Cells(QStringLiteral("3500.00* ")));
    family.setCell(ViewKind::Pms, 2, ColComment, QStringLiteral("80 m"));
    family.swapRows(ViewKind::All, 100, 101);
    for (const auto& [kind, first] : {std::pair{ViewKind::All, 100}, std::pair{ViewKind::Pms, 1}}) {
        const ChannelTable& t = family.table(kind);
        QCOMPARE(t.cell(first, ColFreq), QStringLiteral("3500.00* "));
        QCOMPARE(t.cell(first, ColComment), QStringLiteral("80 m"));
        QCOMPARE(t.cell(first + 1, ColFreq), QStringLiteral("1800.00  "));
        QCOMPARE(t.cell(first + 1, ColComment), QString());
        QCOMPARE(t.cell(first, ColLabel), QStringLiteral("P1"));
        QCOMPARE(t.cell(first + 1, ColLabel), QStringLiteral("P2"));
    }
}

void ViewsTablesTest::clearLeavesOtherViews()
{
    ViewFamily family;
    for (int ch = 1; ch <= 99; ++ch)
        family.fillRow(ViewKind::Ch99, ch, Cells(QStringLiteral("7000.00  ")));
    family.setCell(ViewKind::Ch99, 3, ColComment, QStringLiteral("ragchew"));
    family.clear(ViewKind::Ch99);
    QCOMPARE(DataRows(family.table(ViewKind::Ch99)), QString());
    QCOMPARE(family.table(ViewKind::Ch99).cell(3, ColComment), QString());
    QCOMPARE(family.table(ViewKind::Ch99).cell(3, ColLabel), QStringLiteral("3"));
    QCOMPARE(DataRows(family.table(ViewKind::All)), QStringLiteral("1-99"));
    QCOMPARE(family.table(ViewKind::All).cell(3, ColComment), QStringLiteral("ragchew"));
}

void ViewsTablesTest::click_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("hasData");
    QTest::addColumn<bool>("masked");
    QTest::addColumn<bool>("sortMode");
    QTest::addColumn<ClickAction>("action");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("radioChannel");
    using A = ClickAction;
    const QString qSort = Refusal::kQmbSort, qLoad = Refusal::kQmbLoad, qEdit = Refusal::kQmbEdit;
    const QString noLoad = Refusal::kNoLoadData, masked = Refusal::kMaskedLoad;
    const QString noSort = Refusal::kNothingToSort, noEdit = Refusal::kNothingToEdit;
    // The refusals, in the order they are tested.
    QTest::newRow("all qmb ch# empty") << ViewKind::All << 109 << 0 << false << false << false << A::Refuse << qSort << 0;
    QTest::newRow("all qmb freq data") << ViewKind::All << 113 << 1 << true << false << false << A::Refuse << qSort << 0;
    QTest::newRow("all qmb mode empty") << ViewKind::All << 110 << 2 << false << false << false << A::Refuse << qLoad << 0;
    QTest::newRow("all qmb mode masked") << ViewKind::All << 110 << 2 << true << true << false << A::Refuse << qLoad << 0;
    QTest::newRow("all qmb filter") << ViewKind::All << 111 << 3 << true << false << false << A::Refuse << qEdit << 0;
    QTest::newRow("all qmb rpt empty") << ViewKind::All << 112 << 9 << false << false << false << A::Refuse << qEdit << 0;
    QTest::newRow("qmb ch#") << ViewKind::Qmb << 1 << 0 << true << false << false << A::Refuse << qSort << 0;
    QTest::newRow("qmb freq") << ViewKind::Qmb << 5 << 1 << false << false << false << A::Refuse << qSort << 0;
    QTest::newRow("qmb mode") << ViewKind::Qmb << 2 << 2 << true << false << false << A::Refuse << qLoad << 0;
    QTest::newRow("qmb offset") << ViewKind::Qmb << 3 << 8 << true << false << false << A::Refuse << qEdit << 0;
    QTest::newRow("ch99 mode empty") << ViewKind::Ch99 << 5 << 2 << false << false << false << A::Refuse << noLoad << 0;
    QTest::newRow("all mode masked") << ViewKind::All << 21 << 2 << true << true << false << A::Refuse << masked << 0;
    QTest::newRow("pms mode masked") << ViewKind::Pms << 2 << 2 << true << true << true << A::Refuse << masked << 0;
    QTest::newRow("pms ch# empty") << ViewKind::Pms << 4 << 0 << false << false << false << A::Refuse << noSort << 0;
    QTest::newRow("all freq empty") << ViewKind::All << 108 << 1 << false << false << false << A::Refuse << noSort << 0;
    QTest::newRow("ch99 filter empty") << ViewKind::Ch99 << 7 << 3 << false << false << false << A::Refuse << noEdit << 0;
    QTest::newRow("all rpt empty sort") << ViewKind::All << 7 << 9 << false << false << true << A::Refuse << noEdit << 0;
    // The actions.
    QTest::newRow("pms mode loads 102") << ViewKind::Pms << 3 << 2 << true << false << false << A::LoadVfoA << "" << 102;
    QTest::newRow("all mode loads 102") << ViewKind::All << 102 << 2 << true << false << false << A::LoadVfoA << "" << 102;
    QTest::newRow("sort mode still loads") << ViewKind::Ch99 << 40 << 2 << true << false << true << A::LoadVfoA << "" << 40;
    QTest::newRow("ch# picks") << ViewKind::All << 10 << 0 << true << false << false << A::PickRow << "" << 0;
    QTest::newRow("freq picks masked") << ViewKind::Pms << 9 << 1 << true << true << false << A::PickRow << "" << 0;
    QTest::newRow("sort offset picks") << ViewKind::All << 12 << 8 << true << false << true << A::PickRow << "" << 0;
    QTest::newRow("sort comment picks") << ViewKind::Ch99 << 12 << 10 << true << false << true << A::PickRow << "" << 0;
    QTest::newRow("sort comment empty") << ViewKind::Ch99 << 12 << 10 << false << false << true << A::Nothing << "" << 0;
    QTest::newRow("filter edits") << ViewKind::All << 104 << 4 << true << false << false << A::OpenEditor << "" << 0;
    QTest::newRow("rpt edits masked") << ViewKind::Ch99 << 99 << 9 << true << true << false << A::OpenEditor << "" << 0;
    QTest::newRow("comment") << ViewKind::All << 110 << 10 << true << false << false << A::EditComment << "" << 0;
    QTest::newRow("comment empty row") << ViewKind::Qmb << 4 << 10 << false << false << false << A::EditComment << "" << 0;
}

void ViewsTablesTest::click()
{
    QFETCH(ViewKind, view);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, hasData);
    QFETCH(bool, masked);
    QFETCH(bool, sortMode);
    QFETCH(ClickAction, action);
    QFETCH(QString, message);
    QFETCH(int, radioChannel);
    const ClickInput in{view, row, column, hasData, masked, false, sortMode, false, false};
    const ClickOutcome out = DispatchClick(in);
    QCOMPARE(out.action, action);
    QCOMPARE(out.message, message);
    QCOMPARE(out.radioChannel, radioChannel);

    // Busy or scanning: nothing at all. Setting up a scan: the scan takes every click.
    ClickInput busy = in;
    busy.busy = true;
    QCOMPARE(DispatchClick(busy).action, ClickAction::Nothing);
    ClickInput scanning = in;
    scanning.scanMode = scanning.scanning = true;
    QCOMPARE(DispatchClick(scanning).action, ClickAction::Nothing);
    ClickInput setup = in;
    setup.scanMode = true;
    QCOMPARE(DispatchClick(setup).action, ClickAction::ScanPick);
}

void ViewsTablesTest::busyFromRadioOrLongOperation()
{
    BusyState busy;
    QSignalSpy changes(&busy, &BusyState::busyChanged);
    {
        BusyState::Scope save(busy);
        QVERIFY(busy.busy());
        busy.setRadioBusy(true);  // overlapping: still one busy period
        {
            BusyState::Scope nested(busy);
        }
        busy.setRadioBusy(false);
        QVERIFY(busy.busy());
    }
    QVERIFY(!busy.busy());
    busy.setRadioBusy(true);
    busy.setRadioBusy(false);
    QCOMPARE(changes.count(), 4);
    QCOMPARE(changes.at(0).at(0).toBool(), true);
    QCOMPARE(changes.at(1).at(0).toBool(), false);
    QCOMPARE(changes.at(2).at(0).toBool(), true);
    QCOMPARE(changes.at(3).at(0).toBool(), false);
}

QTEST_GUILESS_MAIN(ViewsTablesTest)
#include "views_tables_test.moc"
