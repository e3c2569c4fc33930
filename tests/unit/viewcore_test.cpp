// SPDX-License-Identifier: GPL-3.0-or-later
// The views' rules without windows, against literal tables of what the operator sees.

#include <QSignalSpy>
#include <QTest>

#include "busystate.h"
#include "clickdispatch.h"
#include "commentrules.h"
#include "moverules.h"
#include "scansetup.h"

using namespace vardo;

namespace {

constexpr auto All = ViewKind::All;
constexpr auto Ch99 = ViewKind::Ch99;
constexpr auto Pms = ViewKind::Pms;
constexpr auto Qmb = ViewKind::Qmb;

// Flags: d data, m masked, b busy, s sort mode, c scan set-up, r scan running.
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
    // view, row, column, flags, what the click does, the refusal, the channel loaded into VFO-A
    void clickDispatch()
    {
        using A = ClickAction;
        const std::tuple<const char*, ViewKind, int, int, const char*, ClickAction, QString, int> rows[] = {
            {"busy", All, 5, 1, "db", A::Nothing, "", 0}, {"scan running", All, 5, 2, "dcr", A::Nothing, "", 0},
            {"scan set-up takes it", All, 5, 1, "dc", A::ScanPick, "", 0},
            {"QMB sort, empty", All, 109, 0, "", A::Refuse, "Quick Memory Banks cannot be sorted!", 0},
            {"QMB sort in frmQmb", Qmb, 1, 1, "d", A::Refuse, "Quick Memory Banks cannot be sorted!", 0},
            {"QMB load", All, 110, 2, "d", A::Refuse, "Cannot load QMB memory channels into VFO-A!", 0},
            {"QMB edit", All, 113, 9, "d", A::Refuse, "Quick Memory Banks cannot be edited!", 0},
            {"load, no data", Ch99, 7, 2, "", A::Refuse, "No memory channel data to load into VFO-A!", 0},
            {"load, masked", All, 7, 2, "dm", A::Refuse, "Cannot load masked memory channels into VFO-A!", 0},
            {"sort, no data", All, 7, 0, "", A::Refuse, "Nothing to sort!", 0},
            {"edit, no data", Pms, 4, 8, "", A::Refuse, "Nothing to edit!", 0},
            {"load channel 7", All, 7, 2, "d", A::LoadVfoA, "", 7},
            {"load P3 in frmPms", Pms, 3, 2, "d", A::LoadVfoA, "", 102},
            {"load P3 in frmAll", All, 102, 2, "d", A::LoadVfoA, "", 102},
            {"load in sort mode", All, 7, 2, "ds", A::LoadVfoA, "", 7},
            {"pick by Ch#", All, 7, 0, "d", A::PickRow, "", 0}, {"pick by Freq", Pms, 9, 1, "d", A::PickRow, "", 0},
            {"sort mode: Comments pick", All, 12, 10, "ds", A::PickRow, "", 0},
            {"sort mode: empty comment row", All, 12, 10, "s", A::Nothing, "", 0},
            {"editor", All, 108, 3, "d", A::OpenEditor, "", 0},
            {"editor on RPT", Ch99, 99, 9, "d", A::OpenEditor, "", 0},
            {"comment", Qmb, 3, 10, "d", A::EditComment, "", 0},
            {"comment, no data", All, 3, 10, "", A::EditComment, "", 0}, {"row 0", All, 0, 1, "d", A::Nothing, "", 0},
            {"below the grid", Pms, 10, 1, "d", A::Nothing, "", 0},
        };
        for (const auto& [name, view, row, column, flags, action, text, radioChannel] : rows) {
            const ClickOutcome outcome = DispatchClick(Click(view, row, column, flags));
            QVERIFY2(outcome.action == action && outcome.radioChannel == radioChannel && outcome.message == text,
                     qPrintable(QString::fromLatin1(name) + ": " + outcome.message));
        }
    }

    // view, row, up, what the press does, the target, the top row when the moved row left sight
    void moveTarget()
    {
        using K = MoveKind;
        const std::tuple<const char*, ViewKind, int, bool, MoveKind, int, int> rows[] = {
            {"frmAll 1 up: edge", All, 1, true, K::Beep, 0, 1},
            {"frmAll 99 down: edge", All, 99, false, K::Beep, 0, 85},
            {"frmAll 98 down", All, 98, false, K::Swap, 99, 84},
            {"frmAll 100 up: PMS edge", All, 100, true, K::Beep, 0, 100},
            {"frmAll 100 down", All, 100, false, K::Swap, 101, 86},
            {"frmAll 108 down: edge", All, 108, false, K::Beep, 0, 94},
            {"frmAll QMB", All, 110, true, K::Nothing, 0, 110},
            {"frmCh99 5 up", Ch99, 5, true, K::Swap, 4, 5},
            {"frmCh99 99 down: edge", Ch99, 99, false, K::Beep, 0, 85},
            {"frmPms 1 up: edge", Pms, 1, true, K::Beep, 0, 1},
            {"frmPms 9 down: edge", Pms, 9, false, K::Beep, 0, 1},
            {"frmQmb", Qmb, 2, false, K::Nothing, 0, 1},
            {"off the grid", Pms, 10, true, K::Nothing, 0, 10},
        };
        for (const auto& [name, view, row, up, kind, target, topRow] : rows) {
            const Direction d = up ? Direction::Up : Direction::Down;
            QVERIFY2(MoveTarget(view, row, d) == (Move{kind, target}), name);
            QVERIFY2(TopRowAfterMove(row, d) == topRow, name);
        }
    }

    // Each step and what it returns, then the stage's caption and whether the digit box shows.
    void scanSetup_data()
    {
        QTest::addColumn<QString>("steps");    // "begin", "pick N", "text T", "start", "cancel", by "|"
        QTest::addColumn<QString>("results");  // what each step returned, by "|"
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("entry");
        QTest::addColumn<int>("threshold");
        const auto row = [](const char* name, const char* steps, const char* results, const QString& caption,
                            bool entry = false, int threshold = 0) {
            QTest::newRow(name) << steps << results << caption << entry << threshold;
        };
        const QString start = "Click on the memory channel row to start the scan at";
        const QString end = "Click on the memory channel row to end the scan at";
        const QString digit = "Enter minimum S-meter reading to pause on signal:  S-";
        row("start prompt", "begin", "-", start);
        row("row 99 cannot start", "begin|pick 99|pick 98", "-|ignored|start", end);
        row("end above the start goes back", "begin|pick 10|pick 10|pick 9|pick 100", "-|start|back|back|back", end);
        row("digit asked", "begin|pick 3|pick 99|pick 50", "-|start|end|ignored", digit, true);
        row("not a digit", "begin|pick 3|pick 17|text 0|text a|text|start", "-|start|end|emptied|emptied|ignored|false",
            digit, true);
        row("S-5 scans", "begin|pick 3|pick 17|text 5|text 6|start", "-|start|end|taken|ignored|true",
            "Scanning from Memory Channel 3 to Memory Channel 17", false, 88);
        row("S-9", "begin|pick 1|pick 2|text 9|start|pick 5", "-|start|end|taken|true|ignored",
            "Scanning from Memory Channel 1 to Memory Channel 2", false, 152);
        row("Esc", "begin|pick 3|cancel|pick 4", "-|start|-|ignored", QString());
        row("begin again forgets", "begin|pick 3|pick 17|text 5|begin", "-|start|end|taken|-", start);
    }
    void scanSetup()
    {
        QFETCH(QString, steps);
        static const QMap<PickResult, QString> picks{{PickResult::Ignored, "ignored"}, {PickResult::StartTaken, "start"},
                                                     {PickResult::EndTaken, "end"}, {PickResult::BackToStart, "back"}};
        static const QMap<DigitResult, QString> digits{
            {DigitResult::Ignored, "ignored"}, {DigitResult::Emptied, "emptied"}, {DigitResult::Taken, "taken"}};
        ScanSetup setup;
        QStringList got;
        for (const QString& step : steps.split('|')) {
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
        QTEST(got.join('|'), "results");
        QTEST(setup.look().scanCaption, "caption");
        QTEST(setup.look().entryVisible, "entry");
        QTEST(setup.scanThreshold(), "threshold");
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

    // Busy while the radio works or any scope is held; the signal comes only on a change.
    void busyState()
    {
        BusyState state;
        QSignalSpy changes(&state, &BusyState::busyChanged);
        {
            BusyState::Scope outer(state);
            {
                BusyState::Scope inner(state);
                state.setRadioBusy(true);
            }
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
