// Moving channels with cmdUp and cmdDown in sort mode: block edges, mirrors, labels that
// stay, the selection following the channel, scrolling, and silence towards the radio.

#include <QSignalSpy>

#include "reordercommands.h"
#include "rowops_harness.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

// Every row's moving cells, in row order.
QList<QStringList> Snapshot(const ChannelTable& table)
{
    QList<QStringList> rows;
    for (int row = 1; row <= table.channelRows(); ++row)
        rows << Contents(table, row);
    return rows;
}

QStringList Labels(const ChannelTable& table)
{
    QStringList labels;
    for (int row = 1; row <= table.channelRows(); ++row)
        labels << table.cell(row, ColLabel);
    return labels;
}

// `before` with the channel of row `from` taken out and put back in at row `to`.
QList<QStringList> Moved(QList<QStringList> before, int from, int to)
{
    before.move(from - 1, to - 1);
    return before;
}

}  // namespace

class ReorderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void moves_data();
    void moves();
    void scrollsToKeepTheChannelInSight();
};

void ReorderTest::moves_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("endRow");  // where the picked channel ends
    QTest::addColumn<int>("beeps");

    const QString up = QStringLiteral("cmdUp");
    const QString down = QStringLiteral("cmdDown");
    QTest::newRow("all 99 down: edge of the regular block") << ViewKind::All << 99 << down << 1 << 99 << 1;
    QTest::newRow("all 100 down: P1 and P2") << ViewKind::All << 100 << down << 1 << 101 << 0;
    QTest::newRow("all 100 up: edge of the PMS block") << ViewKind::All << 100 << up << 1 << 100 << 1;
    QTest::newRow("all 1 up") << ViewKind::All << 1 << up << 1 << 1 << 1;
    QTest::newRow("all 108 down") << ViewKind::All << 108 << down << 1 << 108 << 1;
    QTest::newRow("all 98 down twice: stops at 99") << ViewKind::All << 98 << down << 2 << 99 << 1;
    QTest::newRow("all 60 up") << ViewKind::All << 60 << up << 1 << 59 << 0;
    QTest::newRow("ch99 5 up") << ViewKind::Ch99 << 5 << up << 1 << 4 << 0;
    QTest::newRow("ch99 10 down three times") << ViewKind::Ch99 << 10 << down << 3 << 13 << 0;
    QTest::newRow("ch99 99 down") << ViewKind::Ch99 << 99 << down << 1 << 99 << 1;
    QTest::newRow("pms 1 up") << ViewKind::Pms << 1 << up << 1 << 1 << 1;
    QTest::newRow("pms 3 down") << ViewKind::Pms << 3 << down << 1 << 4 << 0;
    QTest::newRow("pms 9 down") << ViewKind::Pms << 9 << down << 1 << 9 << 1;
    QTest::newRow("pms 9 up twice") << ViewKind::Pms << 9 << up << 2 << 7 << 0;
}

void ReorderTest::moves()
{
    QFETCH(ViewKind, view);
    QFETCH(int, row);
    QFETCH(QString, button);
    QFETCH(int, presses);
    QFETCH(int, endRow);
    QFETCH(int, beeps);

    RowOpsHarness h;
    QVERIFY(h.started());
    h.fillRows(ViewKind::All, 1, kLastPms);
    MemoryView& v = h.open(view);
    const ViewKind mirror = MirrorView(view, ChannelOfRow(view, row));
    const int mirrorOffset = ViewFamily::MirrorRow(view, row) - row;
    const QList<QStringList> viewBefore = Snapshot(h.table(view));
    const QList<QStringList> mirrorBefore = Snapshot(h.table(mirror));
    const QStringList labelsBefore = Labels(h.table(view));
    h.radio->clearLog();
    QSignalSpy edges(v.findChild<ReorderCommands*>(), &ReorderCommands::edgeReached);

    h.clickCell(v, row, ColLabel);
    QVERIFY(h.app->viewState().SortMode);
    for (int i = 0; i < presses; ++i)
        h.press(v, button.toLatin1().constData());

    QCOMPARE(Snapshot(h.table(view)), Moved(viewBefore, row, endRow));
    QCOMPARE(Snapshot(h.table(mirror)), Moved(mirrorBefore, row + mirrorOffset, endRow + mirrorOffset));
    QCOMPARE(Labels(h.table(view)), labelsBefore);
    QCOMPARE(edges.count(), beeps);
    QCOMPARE(v.currentRow(), endRow);
    QCOMPARE(SelectedCells(v), QStringLiteral("%1:0-10").arg(endRow));
    QVERIFY(h.radio->frameLog().empty());
    QVERIFY(h.app->viewState().SortMode);
}

// Moving down past the last row in sight brings the channel back as the bottom row of a
// 15-row page; moving up past the top makes it the top row.
void ReorderTest::scrollsToKeepTheChannelInSight()
{
    RowOpsHarness h;
    QVERIFY(h.started());
    h.fillRows(ViewKind::Ch99, 1, kLastRegular);
    MemoryView& v = h.open(ViewKind::Ch99);
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    const int shown = v.grid()->viewport()->height() / v.grid()->rowHeight(0);  // rows wholly in sight
    QVERIFY(shown >= 10);

    h.clickCell(v, 1, ColFreq);
    for (int row = 1; row < shown; ++row) {
        h.press(v, "cmdDown");
        QCOMPARE(TopRow(v), 1);  // still in sight: no scrolling
    }
    h.press(v, "cmdDown");
    QCOMPARE(v.currentRow(), shown + 1);
    QCOMPARE(TopRow(v), shown + 1 - 14);

    v.grid()->scrollToBottom();
    const int top = TopRow(v);
    h.clickCell(v, top, ColFreq);
    h.press(v, "cmdUp");
    QCOMPARE(v.currentRow(), top - 1);
    QCOMPARE(TopRow(v), top - 1);
    QCOMPARE(SelectedCells(v), QStringLiteral("%1:0-10").arg(top - 1));
}

QTEST_MAIN(ReorderTest)
#include "rowops_reorder_test.moc"
