// SPDX-License-Identifier: GPL-3.0-or-later
// The views' and the editor's rules against literal tables of what the operator sees; nothing the
// editor accepts loses a frequency or offset command.

#include <QRandomGenerator>
#include <QTest>

#include "busystate.h"
#include "clickdispatch.h"
#include "codec.h"
#include "commentrules.h"
#include "moverules.h"
#include "rowreader.h"
#include "scansetup.h"
#include "validation.h"

using namespace vardo;

Q_DECLARE_METATYPE(vardo::EditTexts)

namespace {

constexpr auto All = ViewKind::All;
constexpr auto Ch99 = ViewKind::Ch99;
constexpr auto Pms = ViewKind::Pms;
constexpr auto Qmb = ViewKind::Qmb;

// A USB channel with wide filters and everything off; each row changes what it tests.
EditTexts Edit(const QString& freq, const QString& offset, const QString& mode = "USB", const QString& rx = "OFF",
               const QString& f82 = "2.4K", const QString& f455 = "2.4K", const QString& rpt = "OFF")
{
    return EditTexts{freq, offset, mode, f82, f455, "A", rx, "OFF", rpt};
}

QString RitLimit(const QString& offset, const QString& word, const QString& limit)
{
    return "The RIT offset is set to " + offset + " kHz, so the\r" + word + " allowable frequency is " + limit
        + " kHz.\r\r You must change either the frequency or the\rRIT offset to be within the correct frequency range.";
}

QString Hex(const std::optional<CatFrame>& frame) { return frame ? frame->toHex() : QStringLiteral("none"); }

// Texts an operator might type: numbers near every limit, and random junk.
QString RandomNumberText(QRandomGenerator& rng)
{
    static const QStringList boundary = {
        "90.01", "90", "99.99", "100", "100.00", "100.01", "104.99", "109.99", "29990.01", "30000",
        "30000.00", "30000.01", "30009.99", "30010", "0", "9.99", "-9.99", "+9.99", "10", "-10",
        "0.01", "-0.01", ".", "+", "-", "", " ", "1e5", "1.", ".5", "1,5", "-,99", "99999999", "7050.5*",
        "00100", "0030000.00", "*", "1.5.", "1..", "..", "9.995", "-0", "+0.00"};
    if (rng.bounded(2) == 0)
        return boundary[rng.bounded(boundary.size())];
    static const QString alphabet = QStringLiteral("0123456789.,+-* e\t");
    QString text;
    for (int i = rng.bounded(10); i > 0; --i)
        text += alphabet[rng.bounded(alphabet.size())];
    return text;
}

}  // namespace

class ViewCoreTest : public QObject {
    Q_OBJECT
private slots:
    // view, row, column, flags (d data, m masked, b busy, s sort mode, c scan set-up, r scan running),
    // what the click does, the refusal, the channel loaded into VFO-A
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
            const QByteArray f(flags);
            const ClickOutcome outcome = DispatchClick({view, row, column, f.contains('d'), f.contains('m'), f.contains('b'),
                                                        f.contains('s'), f.contains('c'), f.contains('r')});
            QVERIFY2(outcome.action == action && outcome.radioChannel == radioChannel && outcome.message == text,
                     qPrintable(QString::fromLatin1(name) + ": " + outcome.message));
        }
    }

    // view, row, up, what the press does, the target, the top row when the moved row left sight
    void moveTarget()
    {
        using K = MoveKind;
        const std::tuple<const char*, ViewKind, int, bool, MoveKind, int, int> rows[] = {
            {"frmAll 1 up: edge", All, 1, true, K::Beep, 0, 1}, {"frmAll 99 down: edge", All, 99, false, K::Beep, 0, 85},
            {"frmAll 98 down", All, 98, false, K::Swap, 99, 84}, {"frmAll 100 up: PMS edge", All, 100, true, K::Beep, 0, 100},
            {"frmAll 100 down", All, 100, false, K::Swap, 101, 86}, {"frmAll 108 down: edge", All, 108, false, K::Beep, 0, 94},
            {"frmAll QMB", All, 110, true, K::Nothing, 0, 110}, {"frmCh99 5 up", Ch99, 5, true, K::Swap, 4, 5},
            {"frmCh99 99 down: edge", Ch99, 99, false, K::Beep, 0, 85}, {"frmPms 1 up: edge", Pms, 1, true, K::Beep, 0, 1},
            {"frmPms 9 down: edge", Pms, 9, false, K::Beep, 0, 1}, {"frmQmb", Qmb, 2, false, K::Nothing, 0, 1},
            {"off the grid", Pms, 10, true, K::Nothing, 0, 10}};
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
        QList<bool> told;
        connect(&state, &BusyState::busyChanged, this, [&told](bool busy) { told << busy; });
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
        QCOMPARE(told, (QList<bool>{true, false, true, false}));
    }

    void rules_data()
    {
        QTest::addColumn<EditTexts>("texts");
        QTest::addColumn<QStringList>("rejection");  // message, focus, the boxes after it; empty: it passes
        QTest::addColumn<QString>("sent");  // when it passes: the frequency and offset cells and frames

        const QString none, txtFreq = "txtFreq", txtOffset = "txtOffset", on = "ON", fm = "FM", thru = "Thru", k6 = "6.0K";
        const QString offNonNumeric = "Offset contains non-numeric character(s)!";
        const QString freqNonNumeric = "Frequency contains non-numeric character(s)!";
        const QString offsetRange = "The RIT Offset must be within the\rrange of -9.99 to +9.99 kHz!";
        const QString points = "Either there are too many decimal points in the %1 box\r"
                               "or there are too many digits after it (only 2 are allowed).";
        const QString widest = "Even the RxRIT can't handle that frequency!";
        const QString offLimit = "With the RxRIT turned off, the %1\rallowable frequency is %2 kHz.";
        const QString modeBlank = "The Mode is blank!\r\rSelect a Mode from the Mode menu.";
        const QString rtty = "RTTY modes cannot use the \"250\" %1 filter.";
        const QString fmFilter = "FM or PKT (fm) mode MUST use the \"%1\" %2 Filter.";
        const QString rpt = "RPT cannot be on unless Mode is set to \"FM\" or \"PKT (fm).\"";
        const QString sign = "Offset has improper placement of plus (+) or minus (-) sign!";
        // The boxes keep what the edit typed unless the row names what they show after a failure.
        auto row = [](const char* name, const EditTexts& t, const QString& message, const QString& focus,
                      const QString& freqBox = QStringLiteral("="), const QString& offsetBox = QStringLiteral("=")) {
            QTest::newRow(name) << t << (message.isEmpty() ? QStringList() : QStringList{message, focus, freqBox == "=" ? t.freq : freqBox,
                                                                                        offsetBox == "=" ? t.offset : offsetBox})
                                << QString();
        };
        const auto sends = [](const char* name, const EditTexts& t, const QString& sent) {
            QTest::newRow(name) << t << QStringList() << sent;
        };
        sends("7050,5 LSB", Edit("7050,5", "0", "LSB"), "7050.50  |0.00|50 50 70 00 0A|00 00 00 FF 09");
        sends("rx rit on +1.5", Edit("14026.50", "+1.5", "USB", on), "14026.50  |+1.50|00 25 40 01 0A|50 01 00 FF 09");
        sends("offset comma", Edit(" 3573 ", "-0,5"), "3573.00  |-0.50|00 73 35 00 0A|50 00 FF FF 09");
        sends("lowest with -9.99", Edit("90.01", "-9.99", "USB", on), "90.01  |-9.99|00 00 01 00 0A|99 09 FF FF 09");
        sends("highest with 9.99", Edit("30009.99", "9.99", "USB", on), "30009.99  |+9.99|00 00 00 03 0A|99 09 00 FF 09");

        row("offset empty", Edit("14025.00", ""), QStringLiteral("The Offset box is blank!"), none);
        row("offset only blanks passes as 0", Edit("14025.00", "   "), none, none);
        row("offset comma stays a point after a failure", Edit("14025.00", "1,5", ""), modeBlank, none, "=", "1.5");
        row("offset second comma non-numeric", Edit("14025.00", "1,5,0"), offNonNumeric, txtOffset, "=", "1.5,0");
        row("offset inner blank non-numeric", Edit("14025.00", "1 5"), offNonNumeric, txtOffset);
        row("offset tab non-numeric, not a blank", Edit("14025.00", "\t1"), offNonNumeric, txtOffset);
        row("offset exponent non-numeric", Edit("14025.00", "1e1"), offNonNumeric, txtOffset);
        row("offset two signs", Edit("14025.00", "+-1"), QStringLiteral("Offset has too many plus (+) and/or minus (-) signs!"), none);
        row("offset sign after the number", Edit("14025.00", "1-"), sign, none);
        row("offset sign after a blank", Edit("14025.00", " -1"), sign, none);
        row("offset lone plus passes as 0", Edit("14025.00", "+"), none, none);
        row("offset 9.991 out of range", Edit("14025.00", "9.991"), offsetRange, none);
        row("offset three decimals", Edit("14025.00", "1.234"), points.arg("Offset"), txtOffset);
        row("offset two points", Edit("14025.00", "1.2.3"), points.arg("Offset"), txtOffset);
        row("offset lone point passes as 0", Edit("14025.00", "."), none, none);

        row("frequency empty", Edit("", "0"), "The frequency box is blank!", txtFreq);
        row("frequency mask mark passes", Edit("14025.5*", "0"), none, none, "14025.5");
        row("frequency mask mark stays removed after a failure", Edit(" 14025,5* ", "0", ""), modeBlank, none, "14025.5");
        row("frequency only a mask mark", Edit("*", "0"), widest, none, "");
        row("frequency letter non-numeric", Edit("14O25", "0"), freqNonNumeric, txtFreq);
        row("frequency second mask mark non-numeric", Edit("14025**", "0"), freqNonNumeric, txtFreq, "14025*");
        row("frequency digit of another script non-numeric", Edit(QStringLiteral("\u0663"), "0"), freqNonNumeric, txtFreq);
        row("frequency sign in the middle", Edit("140-25", "0"),
            QStringLiteral("You can't put a plus (+) or minus (-) sign in the middle of the frequency!"), none);
        row("frequency leading minus allowed, then beyond any Rx RIT", Edit("-100", "0"), widest, none);
        row("frequency leading plus passes", Edit("+7050", "0"), none, none);
        row("frequency two points", Edit("7.000.00", "0"), points.arg("Freq"), txtFreq);

        row("below 90.01 beyond any Rx RIT", Edit("90", "0", "USB", on), widest, none);
        row("above 30009.99 beyond any Rx RIT", Edit("30010", "0", "USB", on), widest, none);
        row("Rx RIT off 30000.00 passes", Edit("30000.00", "0"), none, none);
        row("Rx RIT off above 30000.00", Edit("30000.01", "0"), offLimit.arg("maximum", "30000.00"), txtFreq);
        row("Rx RIT off 100.00 passes", Edit("100.00", "0"), none, none);
        row("Rx RIT off below 100.00", Edit("99.99", "0"), offLimit.arg("minimum", "100.00"), txtFreq);
        row("Rx RIT on +5 at its maximum passes", Edit("30005.00", "+5", "USB", on), none, none);
        row("Rx RIT on +5 above its maximum", Edit("30005.01", "+5", "USB", on), RitLimit("+5", "maximum", "30005"), none);
        row("Rx RIT on +0.25 below its minimum", Edit("100.2", ".25", "USB", on), RitLimit("+0.25", "minimum", "100.25"), none);
        row("Rx RIT on 0 below its minimum", Edit("99.99", "0", "USB", on), RitLimit("0", "minimum", "100"), none);
        row("Rx RIT blank", Edit("95", "0", "USB", ""), "The Rx RIT is blank!\r\rSelect ON or OFF from the Rx RIT menu.", "lstRxRit");

        row("mode blank", Edit("14025.00", "0", ""), modeBlank, none);
        row("FM needs the Thru 8.2 filter", Edit("29600", "0", fm, "OFF", "2.4K", k6), fmFilter.arg("Thru", "8.2"), "lst82Filt");
        row("FM needs the 6.0K 455 filter", Edit("29600", "0", fm, "OFF", thru, "2.4K"), fmFilter.arg("6.0K", "455"), "lst455Filt");
        row("FM with +RPT passes", Edit("29600", "0", fm, "OFF", thru, k6, "+RPT"), none, none);
        row("PKT (fm) with -RPT passes", Edit("29600", "0", "PKT (fm)", "OFF", thru, k6, "-RPT"), none, none);
        row("RTTY with the 250 8.2 filter", Edit("14080", "0", "RTTY (lsb)", "OFF", "250", "500"), rtty.arg("8.2"), "lst82Filt");
        row("RTTY with the 250 455 filter", Edit("14080", "0", "RTTY (usb)", "OFF", "500", "250"), rtty.arg("455"), "lst455Filt");
        row("CW with 250 filters passes", Edit("14025", "0", "CW (usb)", "OFF", "250", "250"), none, none);
        row("RPT outside FM", Edit("14025", "0", "USB", "OFF", "2.4K", "2.4K", "-RPT"), rpt, QStringLiteral("lstRpt"));
        row("blank RPT outside FM", Edit("14025", "0", "USB", "OFF", "2.4K", "2.4K", ""), rpt, QStringLiteral("lstRpt"));
        row("blank filters pass", Edit("14025", "0", "USB", "OFF", "", ""), none, none);

        // Order: the offset box is checked before the frequency box, the range before the mode.
        row("order offset first", Edit("", ""), QStringLiteral("The Offset box is blank!"), none);
        row("order range before mode", Edit("99", "0", ""), offLimit.arg("minimum", "100.00"), txtFreq);
    }
    void rules()
    {
        QFETCH(EditTexts, texts);
        QFETCH(QString, sent);
        const EditVerdict verdict = ValidateEdit(texts);
        const auto* rejection = std::get_if<EditRejection>(&verdict);
        QTEST((rejection ? QStringList{rejection->message, rejection->focus, rejection->freqBox, rejection->offsetBox} : QStringList()),
              "rejection");
        if (const auto* edit = std::get_if<ValidEdit>(&verdict); edit && !sent.isEmpty())
            QCOMPARE(QStringList({edit->cells[CellIndex(ColFreq)], edit->cells[CellIndex(ColOffset)], Hex(SendFreq(edit->channel)),
                                  Hex(SendRitOffset(edit->channel)), edit->cells[CellIndex(ColMode)], edit->cells[CellIndex(ColAnt)]}),
                     (sent.split('|') << texts.mode << texts.ant));
    }

    void acceptedEditsAlwaysReachTheRadio()
    {
        QRandomGenerator rng(20240517);
        int accepted = 0;
        for (int i = 0; i < 200000; ++i) {
            const QString f = RandomNumberText(rng), o = RandomNumberText(rng), rx = rng.bounded(2) ? "ON" : "OFF";
            // Settings the mode rules accept, so the numbers decide.
            const EditTexts t = rng.bounded(2) ? Edit(f, o, "FM", rx, "Thru", "6.0K", "+RPT") : Edit(f, o, "USB", rx);
            const EditVerdict verdict = ValidateEdit(t);
            if (!std::holds_alternative<ValidEdit>(verdict))
                continue;
            ++accepted;
            const auto& edit = std::get<ValidEdit>(verdict);
            const auto freq = SendFreq(edit.channel);
            const QString what = QStringLiteral("freq '%1' offset '%2' rx '%3'").arg(t.freq, t.offset, t.rxRit);
            QVERIFY2(freq && SendRitOffset(edit.channel) && SendRxRit(edit.channel), qPrintable(what));
            const QStringList bcd = freq->toHex().split(' ');  // least significant byte first
            const double kHz = (bcd[3] + bcd[2] + bcd[1] + bcd[0]).toDouble() / 100.0;
            QVERIFY2(kHz >= 100.0 && kHz <= 30000.0, qPrintable(what));
            // The grid row, read back later for a save or restore, sends the same frequency.
            QCOMPARE(Hex(SendFreq(test::ChannelFromCells(edit.cells))), Hex(freq));
            QCOMPARE(Hex(SendRitOffset(test::ChannelFromCells(edit.cells))), Hex(SendRitOffset(edit.channel)));
        }
        QVERIFY2(accepted > 1000, qPrintable(QString::number(accepted)));
    }
};

QTEST_GUILESS_MAIN(ViewCoreTest)
#include "viewcore_test.moc"
