// SPDX-License-Identifier: GPL-3.0-or-later
// The views' rules without windows, against literal tables of what the operator sees: what a
// click on a cell does, where Up and Down move a channel, the scan set-up's stages and
// captions, the comment box's caption, and when the busy state changes.

#include <QSignalSpy>
#include <QTest>

#include "busystate.h"
#include "clickdispatch.h"
#include "commentrules.h"
#include "moverules.h"
#include "scansetup.h"

using namespace vardo;

Q_DECLARE_METATYPE(ViewKind)
Q_DECLARE_METATYPE(ClickAction)
Q_DECLARE_METATYPE(MoveKind)

namespace {

constexpr auto All = ViewKind::All;
constexpr auto Ch99 = ViewKind::Ch99;
constexpr auto Pms = ViewKind::Pms;
constexpr auto Qmb = ViewKind::Qmb;

// The state flags of a click, as letters: d data, m masked, b busy, s sort mode, c scan
// set-up, r scan running.
ClickInput Click(ViewKind view, int row, int column, const char* flags)
{
    const QByteArray f(flags);
    return {view, row, column, f.contains('d'), f.contains('m'), f.contains('b'), f.contains('s'), f.contains('c'),
            f.contains('r')};
}

}  // namespace

class ViewCoreTest : public QObject {
    Q_OBJECT
private slots:
    void clickDispatch_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<ClickAction>("action");
        QTest::addColumn<QString>("text");  // the refusal
        QTest::addColumn<int>("radioChannel");
        using A = ClickAction;
        const auto row = [](const char* name, ViewKind v, int r, int c, const char* flags, A a, const char* text = "",
                            int channel = 0) {
            QTest::newRow(name) << v << r << c << QString::fromLatin1(flags) << a << QString::fromLatin1(text) << channel;
        };
        row("busy", All, 5, 1, "db", A::Nothing);
        row("scan running", All, 5, 2, "dcr", A::Nothing);
        row("scan set-up takes it", All, 5, 1, "dc", A::ScanPick);
        row("QMB sort, empty", All, 109, 0, "", A::Refuse, "Quick Memory Banks cannot be sorted!");
        row("QMB sort in frmQmb", Qmb, 1, 1, "d", A::Refuse, "Quick Memory Banks cannot be sorted!");
        row("QMB load", All, 110, 2, "d", A::Refuse, "Cannot load QMB memory channels into VFO-A!");
        row("QMB load in frmQmb", Qmb, 5, 2, "d", A::Refuse, "Cannot load QMB memory channels into VFO-A!");
        row("QMB edit", All, 113, 9, "d", A::Refuse, "Quick Memory Banks cannot be edited!");
        row("QMB edit in frmQmb", Qmb, 2, 3, "d", A::Refuse, "Quick Memory Banks cannot be edited!");
        row("load, no data", Ch99, 7, 2, "", A::Refuse, "No memory channel data to load into VFO-A!");
        row("load, masked", All, 7, 2, "dm", A::Refuse, "Cannot load masked memory channels into VFO-A!");
        row("sort, no data", All, 7, 0, "", A::Refuse, "Nothing to sort!");
        row("edit, no data", Pms, 4, 8, "", A::Refuse, "Nothing to edit!");
        row("load channel 7", All, 7, 2, "d", A::LoadVfoA, "", 7);
        row("load P3 in frmPms", Pms, 3, 2, "d", A::LoadVfoA, "", 102);
        row("load P3 in frmAll", All, 102, 2, "d", A::LoadVfoA, "", 102);
        row("load in sort mode", All, 7, 2, "ds", A::LoadVfoA, "", 7);
        row("pick by Ch#", All, 7, 0, "d", A::PickRow);
        row("pick by Freq", Pms, 9, 1, "d", A::PickRow);
        row("sort mode: Offset picks", Ch99, 12, 8, "ds", A::PickRow);
        row("sort mode: Comments pick", All, 12, 10, "ds", A::PickRow);
        row("sort mode: empty comment row", All, 12, 10, "s", A::Nothing);
        row("editor", All, 108, 3, "d", A::OpenEditor);
        row("editor on RPT", Ch99, 99, 9, "d", A::OpenEditor);
        row("comment", Qmb, 3, 10, "d", A::EditComment);
        row("comment, no data", All, 3, 10, "", A::EditComment);
        row("row 0", All, 0, 1, "d", A::Nothing);
        row("below the grid", Pms, 10, 1, "d", A::Nothing);
    }
    void clickDispatch()
    {
        QFETCH(ViewKind, view);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, flags);
        QFETCH(ClickAction, action);
        QFETCH(QString, text);
        QFETCH(int, radioChannel);
        const ClickOutcome outcome = DispatchClick(Click(view, row, column, qPrintable(flags)));
        QCOMPARE(outcome.action, action);
        QCOMPARE(outcome.message, text);
        QCOMPARE(outcome.radioChannel, radioChannel);
    }

    void moveTarget_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<MoveKind>("kind");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("topRow");  // the top row when the moved row went out of sight
        using K = MoveKind;
        const auto row = [](const char* name, ViewKind v, int r, bool up, K k, int target, int top) {
            QTest::newRow(name) << v << r << up << k << target << top;
        };
        row("frmAll 1 up: edge", All, 1, true, K::Beep, 0, 1);
        row("frmAll 2 up", All, 2, true, K::Swap, 1, 2);
        row("frmAll 99 down: edge", All, 99, false, K::Beep, 0, 85);
        row("frmAll 98 down", All, 98, false, K::Swap, 99, 84);
        row("frmAll 100 up: PMS edge", All, 100, true, K::Beep, 0, 100);
        row("frmAll 100 down", All, 100, false, K::Swap, 101, 86);
        row("frmAll 108 down: edge", All, 108, false, K::Beep, 0, 94);
        row("frmAll QMB", All, 110, true, K::Nothing, 0, 110);
        row("frmCh99 5 up", Ch99, 5, true, K::Swap, 4, 5);
        row("frmCh99 99 down: edge", Ch99, 99, false, K::Beep, 0, 85);
        row("frmPms 1 up: edge", Pms, 1, true, K::Beep, 0, 1);
        row("frmPms 9 down: edge", Pms, 9, false, K::Beep, 0, 1);
        row("frmPms 3 down", Pms, 3, false, K::Swap, 4, 1);
        row("frmQmb", Qmb, 2, false, K::Nothing, 0, 1);
        row("off the grid", Pms, 10, true, K::Nothing, 0, 10);
    }
    void moveTarget()
    {
        QFETCH(ViewKind, view);
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(MoveKind, kind);
        QFETCH(int, target);
        QFETCH(int, topRow);
        const Direction d = up ? Direction::Up : Direction::Down;
        QCOMPARE(MoveTarget(view, row, d), (Move{kind, target}));
        QCOMPARE(TopRowAfterMove(row, d), topRow);
    }

    // A set-up as the operator goes through it: each step, what it returns, then the stage's
    // scan caption and whether the digit box shows.
    void scanSetup_data()
    {
        QTest::addColumn<QStringList>("steps");    // "begin", "pick N", "text T", "start", "cancel"
        QTest::addColumn<QStringList>("results");  // what each step returned
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("entry");
        QTest::addColumn<int>("threshold");
        const QString digit = "Enter minimum S-meter reading to pause on signal:  S-";
        QTest::newRow("start prompt") << QStringList{"begin"} << QStringList{"-"}
                                      << "Click on the memory channel row to start the scan at" << false << 0;
        QTest::newRow("row 99 cannot start") << QStringList{"begin", "pick 99", "pick 98"}
                                             << QStringList{"-", "ignored", "start"}
                                             << "Click on the memory channel row to end the scan at" << false << 0;
        QTest::newRow("end above the start goes back")
            << QStringList{"begin", "pick 10", "pick 10", "pick 9", "pick 100"}
            << QStringList{"-", "start", "back", "back", "back"}
            << "Click on the memory channel row to end the scan at" << false << 0;
        QTest::newRow("digit asked") << QStringList{"begin", "pick 3", "pick 99", "pick 50"}
                                     << QStringList{"-", "start", "end", "ignored"} << digit << true << 0;
        QTest::newRow("not a digit") << QStringList{"begin", "pick 3", "pick 17", "text 0", "text a", "text", "start"}
                                     << QStringList{"-", "start", "end", "emptied", "emptied", "ignored", "false"}
                                     << digit << true << 0;
        QTest::newRow("S-5 scans") << QStringList{"begin", "pick 3", "pick 17", "text 5", "text 6", "start"}
                                   << QStringList{"-", "start", "end", "taken", "ignored", "true"}
                                   << "Scanning from Memory Channel 3 to Memory Channel 17" << false << 88;
        QTest::newRow("S-9") << QStringList{"begin", "pick 1", "pick 2", "text 9", "start", "pick 5"}
                             << QStringList{"-", "start", "end", "taken", "true", "ignored"}
                             << "Scanning from Memory Channel 1 to Memory Channel 2" << false << 152;
        QTest::newRow("Esc") << QStringList{"begin", "pick 3", "cancel", "pick 4"}
                             << QStringList{"-", "start", "-", "ignored"} << QString() << false << 0;
        QTest::newRow("begin again forgets") << QStringList{"begin", "pick 3", "pick 17", "text 5", "begin"}
                                             << QStringList{"-", "start", "end", "taken", "-"}
                                             << "Click on the memory channel row to start the scan at" << false << 0;
    }
    void scanSetup()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, results);
        QFETCH(QString, caption);
        QFETCH(bool, entry);
        QFETCH(int, threshold);
        static const QMap<PickResult, QString> picks{{PickResult::Ignored, "ignored"}, {PickResult::StartTaken, "start"},
                                                     {PickResult::EndTaken, "end"}, {PickResult::BackToStart, "back"}};
        static const QMap<DigitResult, QString> digits{
            {DigitResult::Ignored, "ignored"}, {DigitResult::Emptied, "emptied"}, {DigitResult::Taken, "taken"}};
        ScanSetup setup;
        QStringList got;
        for (const QString& step : steps) {
            const QString argument = step.section(' ', 1);
            if (step == "begin")
                setup.begin();
            else if (step == "cancel")
                setup.cancel();
            got << (step.startsWith("pick")    ? picks[setup.pick(argument.toInt())]
                    : step.startsWith("text")  ? digits[setup.enterText(argument)]
                    : step == "start"          ? QString(setup.startScanning() ? "true" : "false")
                                               : QString("-"));
        }
        QCOMPARE(got, results);
        QCOMPARE(setup.look().scanCaption, caption);
        QCOMPARE(setup.look().entryVisible, entry);
        QCOMPARE(setup.scanThreshold(), threshold);
        if (setup.stage() == ScanStage::Scanning)
            QCOMPARE(setup.look().escapeCaption.value_or(QString()), QString("Press <Esc> to end scan"));
    }

    void commentCaption()
    {
        const std::tuple<ViewKind, int, QString> rows[] = {
            {All, 7, "Edit comments for memory channel 7:"},        {All, 99, "Edit comments for memory channel 99:"},
            {All, 100, "Edit comments for PMS memory channel 1:"},  {All, 113, "Edit comments for QMB memory channel 5:"},
            {Ch99, 42, "Edit comments for memory channel 42:"},     {Pms, 9, "Edit comments for PMS memory channel 9:"},
            {Qmb, 2, "Edit comments for QMB memory channel 2:"}};
        for (const auto& [view, row, caption] : rows)
            QCOMPARE(CommentCaption(view, row), caption);
    }

    // Busy while the radio works or any window-thread operation holds a scope; the signal
    // comes only when the answer changes.
    void busyState()
    {
        BusyState state;
        QSignalSpy changes(&state, &BusyState::busyChanged);
        {
            BusyState::Scope outer(state);
            QVERIFY(state.busy());
            {
                BusyState::Scope inner(state);
                state.setRadioBusy(true);
            }
            QVERIFY(state.busy());
            state.setRadioBusy(false);
            QVERIFY(state.busy());
        }
        QVERIFY(!state.busy());
        state.setRadioBusy(true);
        state.setRadioBusy(true);
        state.setRadioBusy(false);
        QList<bool> told;
        for (const QList<QVariant>& change : std::as_const(changes))
            told << change.at(0).toBool();
        QCOMPARE(told, (QList<bool>{true, false, true, false}));
    }
};

QTEST_GUILESS_MAIN(ViewCoreTest)
#include "viewcore_test.moc"
