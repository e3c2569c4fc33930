// The rules of moving, scan set-up and comment captions, as the operator meets them.

#include <QTest>

#include "commentrules.h"
#include "moverules.h"
#include "scansetup.h"

using namespace vardo;

Q_DECLARE_METATYPE(vardo::ViewKind)
Q_DECLARE_METATYPE(vardo::Direction)
Q_DECLARE_METATYPE(vardo::MoveKind)
Q_DECLARE_METATYPE(vardo::PickResult)
Q_DECLARE_METATYPE(vardo::DigitResult)

namespace {

// A set-up that has taken the first row `start`.
ScanSetup PickedFrom(int start)
{
    ScanSetup setup;
    setup.begin();
    setup.pick(start);
    return setup;
}

ScanSetup AskingDigit()
{
    ScanSetup setup = PickedFrom(3);
    setup.pick(17);
    return setup;
}

}  // namespace

class RowOpsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void moves_data();
    void moves();
    void movesNeverLeaveTheirBlock();
    void scrollAfterMove_data();
    void scrollAfterMove();

    void startRow_data();
    void startRow();
    void endRow_data();
    void endRow();
    void digit_data();
    void digit();
    void digitDuringThePauseIsIgnored();
    void looksByStage();
    void escapeFromEveryStage();

    void commentCaption_data();
    void commentCaption();
};

void RowOpsTest::moves_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<MoveKind>("kind");
    QTest::addColumn<int>("target");

    const auto up = Direction::Up;
    const auto down = Direction::Down;
    QTest::newRow("all 1 up: top of regular") << ViewKind::All << 1 << up << MoveKind::Beep << 0;
    QTest::newRow("all 1 down") << ViewKind::All << 1 << down << MoveKind::Swap << 2;
    QTest::newRow("all 99 down: bottom of regular") << ViewKind::All << 99 << down << MoveKind::Beep << 0;
    QTest::newRow("all 99 up") << ViewKind::All << 99 << up << MoveKind::Swap << 98;
    QTest::newRow("all 100 up: top of PMS") << ViewKind::All << 100 << up << MoveKind::Beep << 0;
    QTest::newRow("all 100 down: P1 and P2") << ViewKind::All << 100 << down << MoveKind::Swap << 101;
    QTest::newRow("all 108 down: bottom of PMS") << ViewKind::All << 108 << down << MoveKind::Beep << 0;
    QTest::newRow("all 108 up") << ViewKind::All << 108 << up << MoveKind::Swap << 107;
    QTest::newRow("all 109 up: QMB") << ViewKind::All << 109 << up << MoveKind::Nothing << 0;
    QTest::newRow("all 113 down: QMB") << ViewKind::All << 113 << down << MoveKind::Nothing << 0;
    QTest::newRow("ch99 1 up") << ViewKind::Ch99 << 1 << up << MoveKind::Beep << 0;
    QTest::newRow("ch99 5 up") << ViewKind::Ch99 << 5 << up << MoveKind::Swap << 4;
    QTest::newRow("ch99 99 down") << ViewKind::Ch99 << 99 << down << MoveKind::Beep << 0;
    QTest::newRow("pms 1 up") << ViewKind::Pms << 1 << up << MoveKind::Beep << 0;
    QTest::newRow("pms 3 down") << ViewKind::Pms << 3 << down << MoveKind::Swap << 4;
    QTest::newRow("pms 9 down") << ViewKind::Pms << 9 << down << MoveKind::Beep << 0;
    QTest::newRow("qmb 2 up") << ViewKind::Qmb << 2 << up << MoveKind::Nothing << 0;
    QTest::newRow("qmb 1 down") << ViewKind::Qmb << 1 << down << MoveKind::Nothing << 0;
    QTest::newRow("off the grid") << ViewKind::Ch99 << 100 << up << MoveKind::Nothing << 0;
}

void RowOpsTest::moves()
{
    QFETCH(ViewKind, view);
    QFETCH(int, row);
    QFETCH(Direction, direction);
    QFETCH(MoveKind, kind);
    QFETCH(int, target);
    QCOMPARE(MoveTarget(view, row, direction), (Move{kind, target}));
}

void RowOpsTest::movesNeverLeaveTheirBlock()
{
    for (ViewKind view : kAllViews) {
        for (int row = 1; row <= RowCount(view); ++row) {
            for (Direction direction : {Direction::Up, Direction::Down}) {
                const Move move = MoveTarget(view, row, direction);
                if (move.kind != MoveKind::Swap)
                    continue;
                const int from = ChannelOfRow(view, row);
                const int to = ChannelOfRow(view, move.target);
                QCOMPARE(IsPmsChannel(to), IsPmsChannel(from));
                QVERIFY(!IsQmbChannel(to));
                QCOMPARE(std::abs(move.target - row), 1);
            }
        }
    }
}

void RowOpsTest::scrollAfterMove_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<int>("top");
    QTest::newRow("up: the row on top") << 40 << Direction::Up << 40;
    QTest::newRow("down: 14 rows above") << 40 << Direction::Down << 26;
    QTest::newRow("down near the top") << 10 << Direction::Down << 1;
}

void RowOpsTest::scrollAfterMove()
{
    QFETCH(int, row);
    QFETCH(Direction, direction);
    QFETCH(int, top);
    QCOMPARE(TopRowAfterMove(row, direction), top);
}

void RowOpsTest::startRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<PickResult>("result");
    QTest::newRow("1") << 1 << PickResult::StartTaken;
    QTest::newRow("98") << 98 << PickResult::StartTaken;
    QTest::newRow("99: nothing after it") << 99 << PickResult::Ignored;
    QTest::newRow("100: PMS 1") << 100 << PickResult::Ignored;
    QTest::newRow("113: QMB 5") << 113 << PickResult::Ignored;
}

void RowOpsTest::startRow()
{
    QFETCH(int, row);
    QFETCH(PickResult, result);
    ScanSetup setup;
    setup.begin();
    QCOMPARE(setup.pick(row), result);
    const bool taken = result == PickResult::StartTaken;
    QCOMPARE(setup.stage(), taken ? ScanStage::PickingEnd : ScanStage::PickingStart);
    QCOMPARE(setup.scanStart(), taken ? row : 0);
}

void RowOpsTest::endRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<PickResult>("result");
    // The start row is 10.
    QTest::newRow("5: above the start") << 5 << PickResult::BackToStart;
    QTest::newRow("10: the start itself") << 10 << PickResult::BackToStart;
    QTest::newRow("11") << 11 << PickResult::EndTaken;
    QTest::newRow("99") << 99 << PickResult::EndTaken;
    QTest::newRow("100: PMS 1") << 100 << PickResult::BackToStart;
    QTest::newRow("110: QMB 2") << 110 << PickResult::BackToStart;
}

void RowOpsTest::endRow()
{
    QFETCH(int, row);
    QFETCH(PickResult, result);
    ScanSetup setup = PickedFrom(10);
    QCOMPARE(setup.pick(row), result);
    const bool taken = result == PickResult::EndTaken;
    QCOMPARE(setup.stage(), taken ? ScanStage::ThresholdEntry : ScanStage::PickingEnd);
    QCOMPARE(setup.scanStart(), 10);
    QCOMPARE(setup.scanEnd(), taken ? row : 0);
}

void RowOpsTest::digit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<DigitResult>("result");
    QTest::addColumn<int>("threshold");
    QTest::newRow("empty box: wait") << QString() << DigitResult::Ignored << 0;
    QTest::newRow("0") << QStringLiteral("0") << DigitResult::Emptied << 0;
    QTest::newRow("letter") << QStringLiteral("a") << DigitResult::Emptied << 0;
    QTest::newRow("colon, just above 9") << QStringLiteral(":") << DigitResult::Emptied << 0;
    QTest::newRow("slash, just below 0") << QStringLiteral("/") << DigitResult::Emptied << 0;
    QTest::newRow("blank") << QStringLiteral(" ") << DigitResult::Emptied << 0;
    QTest::newRow("1") << QStringLiteral("1") << DigitResult::Taken << 24;
    QTest::newRow("7") << QStringLiteral("7") << DigitResult::Taken << 120;
    QTest::newRow("9") << QStringLiteral("9") << DigitResult::Taken << 152;
}

void RowOpsTest::digit()
{
    QFETCH(QString, text);
    QFETCH(DigitResult, result);
    QFETCH(int, threshold);
    ScanSetup setup = AskingDigit();
    QCOMPARE(setup.enterText(text), result);
    QCOMPARE(setup.scanThreshold(), threshold);
    QCOMPARE(setup.startScanning(), result == DigitResult::Taken);
    QCOMPARE(setup.stage(), result == DigitResult::Taken ? ScanStage::Scanning : ScanStage::ThresholdEntry);
}

void RowOpsTest::digitDuringThePauseIsIgnored()
{
    ScanSetup setup = AskingDigit();
    QCOMPARE(setup.enterText(QStringLiteral("3")), DigitResult::Taken);
    QCOMPARE(setup.enterText(QStringLiteral("x")), DigitResult::Ignored);
    QCOMPARE(setup.enterText(QStringLiteral("8")), DigitResult::Ignored);
    QCOMPARE(setup.scanThreshold(), 56);
}

void RowOpsTest::looksByStage()
{
    ScanSetup setup;
    setup.begin();
    QCOMPARE(setup.look(), (ScanLook{QStringLiteral("Click on the memory channel row to start the scan at"),
                                     Rgb{0, 0, 192}, std::nullopt, false}));
    setup.pick(3);
    QCOMPARE(setup.look(), (ScanLook{QStringLiteral("Click on the memory channel row to end the scan at"),
                                     Rgb{0, 128, 0}, std::nullopt, false}));
    setup.pick(17);
    QCOMPARE(setup.look(), (ScanLook{QStringLiteral("Enter minimum S-meter reading to pause on signal:  S-"),
                                     Rgb{192, 0, 0}, QString(), true}));
    setup.enterText(QStringLiteral("5"));
    setup.startScanning();
    QCOMPARE(setup.look(), (ScanLook{QStringLiteral("Scanning from Memory Channel 3 to Memory Channel 17"),
                                     std::nullopt, QStringLiteral("Press <Esc> to end scan"), false}));
}

void RowOpsTest::escapeFromEveryStage()
{
    for (int steps = 0; steps <= 4; ++steps) {
        ScanSetup setup;
        setup.begin();
        if (steps > 0)
            setup.pick(3);
        if (steps > 1)
            setup.pick(17);
        if (steps > 2)
            setup.enterText(QStringLiteral("2"));
        if (steps > 3)
            setup.startScanning();
        setup.cancel();
        QCOMPARE(setup.stage(), ScanStage::Off);
        QVERIFY(!setup.active());
        QCOMPARE(setup.pick(5), PickResult::Ignored);
        QCOMPARE(setup.enterText(QStringLiteral("4")), DigitResult::Ignored);
        // A new set-up starts from nothing.
        setup.begin();
        QCOMPARE(setup.scanStart(), 0);
        QCOMPARE(setup.scanThreshold(), 0);
    }
}

void RowOpsTest::commentCaption_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("caption");
    QTest::newRow("all 7") << ViewKind::All << 7 << QStringLiteral("Edit comments for memory channel 7:");
    QTest::newRow("all 99") << ViewKind::All << 99 << QStringLiteral("Edit comments for memory channel 99:");
    QTest::newRow("all 100") << ViewKind::All << 100 << QStringLiteral("Edit comments for PMS memory channel 1:");
    QTest::newRow("all 108") << ViewKind::All << 108 << QStringLiteral("Edit comments for PMS memory channel 9:");
    QTest::newRow("all 110") << ViewKind::All << 110 << QStringLiteral("Edit comments for QMB memory channel 2:");
    QTest::newRow("ch99 7") << ViewKind::Ch99 << 7 << QStringLiteral("Edit comments for memory channel 7:");
    QTest::newRow("pms 3") << ViewKind::Pms << 3 << QStringLiteral("Edit comments for PMS memory channel 3:");
    QTest::newRow("qmb 2") << ViewKind::Qmb << 2 << QStringLiteral("Edit comments for QMB memory channel 2:");
    QTest::newRow("qmb 5") << ViewKind::Qmb << 5 << QStringLiteral("Edit comments for QMB memory channel 5:");
}

void RowOpsTest::commentCaption()
{
    QFETCH(ViewKind, view);
    QFETCH(int, row);
    QFETCH(QString, caption);
    QCOMPARE(CommentCaption(view, row), caption);
}

QTEST_APPLESS_MAIN(RowOpsTest)
#include "rowops_test.moc"
