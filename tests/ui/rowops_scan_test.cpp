// SPDX-License-Identifier: GPL-3.0-or-later
// The memory scan: its set-up stages, Esc in each, a pass with the threshold, a radio that falls silent.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include "messageboxhelper.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

const QString kMeter = QStringLiteral("00 00 00 00 F7");
constexpr int kScanWaitMs = 15000;  // a pass and a five-second hold fit many times over
const QString kPickStart = QStringLiteral("Click on the memory channel row to start the scan at");
const QString kPickEnd = QStringLiteral("Click on the memory channel row to end the scan at");
const QString kAskDigit = QStringLiteral("Enter minimum S-meter reading to pause on signal:  S-");

QString Load(int channel)
{
    return QStringLiteral("00 00 00 %1 06").arg(channel, 2, 16, QLatin1Char('0')).toUpper();
}

// The program with every row filled, one view open, its scan controls at hand.
struct ScanBench : AppHarness {
    bool openOn(ViewKind kind)
    {
        MemoryView* opened = openFilled(kind);
        return opened && showing(*opened);
    }
    // `v` active and its scan controls at hand, the emulator's log emptied.
    bool showing(MemoryView& v)
    {
        view = &v;
        scan = view->findChild<QLabel*>(QStringLiteral("lblScan"));
        escape = view->findChild<QLabel*>(QStringLiteral("lblEscape"));
        entry = view->findChild<QLineEdit*>(QStringLiteral("txtScan"));
        radio->clearLog();
        return QTest::qWaitForWindowActive(view);
    }
    // The scan line as the operator sees it: caption | its colour | the Esc line.
    [[nodiscard]] QString line() const
    {
        return scan->text() + " | " + scan->palette().color(QPalette::WindowText).name() + " | " + escape->text();
    }
    void click(int row) const { clickCell(*view, row, ColFreq); }
    void esc() const { QTest::keyClick(view->grid(), Qt::Key_Escape); }
    // cmdScan, the two rows and the digit, the grid scrolled to its top first; true once the scan runs.
    bool setUp(int first, int last, const QString& digit) const
    {
        press(*view, "cmdScan");
        click(first);
        click(last);
        view->grid()->scrollToTop();
        QTest::keyClicks(entry, digit);
        return scanning();
    }
    [[nodiscard]] bool scanning() const
    {
        return QTest::qWaitFor([this] { return app->viewState().Scanning; }, kScanWaitMs);
    }
    [[nodiscard]] bool framesReach(int count) const
    {
        return QTest::qWaitFor([this, count] { return int(radio->frameLog().size()) >= count; }, kScanWaitMs);
    }
    // Every scan control gone, the normal commands back, nothing selected.
    [[nodiscard]] bool endedCleanly() const
    {
        const ViewState& state = app->viewState();
        return !state.ScanMode && !state.Scanning && !scan->isVisible() && !escape->isVisible() && !entry->isVisible()
            && NormalCommandsAre(*view, true) && SelectedCells(*view).isEmpty() && view->currentColumn() == ColLabel;
    }

    MemoryView* view = nullptr;
    QLabel* scan = nullptr;
    QLabel* escape = nullptr;
    QLineEdit* entry = nullptr;
};

}  // namespace

class ScanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The set-up stages with their captions and colours, refused rows, the digit; then the scan.
    void setUpStages()
    {
        ScanBench b;
        QVERIFY(b.openOn(ViewKind::All));
        // An empty first row means nothing to scan, though the rows after it have data.
        b.app->family().setCell(ViewKind::All, 1, ColFreq, QString());
        MessageBoxHelper boxes;
        b.press(*b.view, "cmdScan");
        QVERIFY(boxes.waitForCount(1) && boxes.seen().last().icon == QMessageBox::Warning && b.endedCleanly());
        QCOMPARE(boxes.lastText(), QStringLiteral("Nothing to scan!"));
        b.app->family().setCell(ViewKind::All, 1, ColFreq, QStringLiteral("7050.1"));
        b.press(*b.view, "cmdScan");
        QVERIFY(b.app->viewState().ScanMode && NormalCommandsAre(*b.view, false) && !b.entry->isVisible());
        QCOMPARE(b.line(), kPickStart + " | #0000c0 | (Press <Esc> to cancel scan)");
        b.click(99);  // no room for an end after it
        QVERIFY(b.scan->text() == kPickStart && SelectedCells(*b.view).isEmpty());
        b.click(10);
        QCOMPARE(b.line(), kPickEnd + " | #008000 | (Press <Esc> to cancel scan)");
        b.click(5);  // above the start: refused
        QVERIFY(SelectedCells(*b.view) == u"10:0-10" && b.view->currentRow() == 10 && b.scan->text() == kPickEnd);
        b.click(12);
        QCOMPARE(b.line(), kAskDigit + " | #c00000 | ");
        QCOMPARE(b.view->focusWidget(), b.entry);
        b.click(20);  // the range is set; clicks now change nothing
        QTest::keyClicks(b.entry, QStringLiteral("a"));
        QVERIFY(b.scan->text() == kAskDigit && b.entry->text().isEmpty() && b.radio->frameLog().empty());
        QTest::keyClicks(b.entry, QStringLiteral("7"));
        QVERIFY(b.entry->text() == u"7" && b.scanning() && !b.entry->isVisible());
        QCOMPARE(b.line(), "Scanning from Memory Channel 10 to Memory Channel 12 | "
                               + QApplication::palette().color(QPalette::ButtonText).name() + " | Press <Esc> to end scan");
        QVERIFY(b.framesReach(1));
        QCOMPARE(SentFrames(*b.radio).first(), Load(10));
        b.esc();
        QVERIFY(b.endedCleanly() && b.idle());
    }

    void escape_data()
    {
        // steps: how far the set-up got before Esc; inDigitBox: Esc typed where the focus is, in the digit box
        Columns<int, bool>("steps", "inDigitBox");
        QTest::newRow("asking for the digit, Esc in the box") << 2 << true;
        QTest::newRow("showing the digit") << 3 << false;
        QTest::newRow("scanning") << 4 << false;
    }
    void escape()
    {
        QFETCH(int, steps);
        ScanBench b;
        QVERIFY(b.openOn(ViewKind::Ch99));
        b.press(*b.view, "cmdScan");
        for (int row = 3; row < 3 + std::min(steps, 2); ++row)
            b.click(row);
        if (steps >= 3)
            QTest::keyClicks(b.entry, QStringLiteral("5"));
        QVERIFY(steps < 4 || (b.scanning() && b.framesReach(2)));
        QFETCH(bool, inDigitBox);
        QTest::keyClick(inDigitBox ? static_cast<QWidget*>(b.entry) : b.view->grid(), Qt::Key_Escape);
        QVERIFY(b.endedCleanly() && b.idle() && b.entry->text().isEmpty());
        QVERIFY(steps == 4 || b.radio->frameLog().empty());
        // The ended set-up starts nothing later: a digit shown after its own ends its moment later.
        b.choose(*b.view, "optAll");
        QVERIFY(b.showing(b.app->view(ViewKind::All)) && b.setUp(20, 21, QStringLiteral("5")) && b.framesReach(1));
        QCOMPARE(SentFrames(*b.radio).first(), Load(20));
        b.esc();
        QVERIFY(b.idle());
    }

    void threshold_data()
    {
        // level: channel 40's meter, 41 is quiet; silent: the radio answers nothing; followed: the grid at
        // each channel the scan reaches
        Columns<int, bool, QStringList, QStringList>("level", "silent", "frames", "followed");
        const QString at40 = QStringLiteral("40:0-10 current 40 top 40");
        QTest::newRow("S9, 152: moves on, then round again")
            << 152 << false << QStringList{Load(40), kMeter, Load(41), kMeter, Load(40)}
            << QStringList{at40, "41:0-10 current 41 top 40", at40};
        QTest::newRow("S9, 153: held, then measured again")
            << 153 << false << QStringList{Load(40), kMeter, kMeter, kMeter, kMeter} << QStringList{at40};
        QTest::newRow("a silent meter ends the scan") << 0 << true << QStringList{Load(40), kMeter} << QStringList{at40};
    }
    // A pass loads, meters, moves on and goes round; a channel above 16 x digit + 8 holds, and once
    // quiet is measured again after five seconds. The grid's current row follows (out of sight: top).
    void threshold()
    {
        QFETCH(int, level); QFETCH(bool, silent); QFETCH(QStringList, frames); QFETCH(QStringList, followed);
        ScanBench b;
        b.radio->setMeterLevel(40, std::uint8_t(level));
        b.radio->setMeterLevel(41, 0);
        QVERIFY(b.openOn(ViewKind::All));
        QStringList grid;
        QObject::connect(&b.app->radio(), &RadioClient::scanAt, b.view, [&] {
            grid << QStringLiteral("%1 current %2 top %3").arg(SelectedCells(*b.view)).arg(b.view->currentRow())
                        .arg(TopRow(*b.view));
        });
        sim::Faults faults;
        faults.silent = silent;
        b.radio->setFaults(faults);
        MessageBoxHelper boxes;
        QVERIFY(b.setUp(40, 41, QStringLiteral("9")) && b.framesReach(int(frames.size())));
        QCOMPARE(SentFrames(*b.radio).mid(0, frames.size()), frames);
        QTRY_COMPARE(grid.mid(0, 3), followed);
        if (level > 152) {
            b.radio->setMeterLevel(40, 0);
            QVERIFY(QTest::qWaitFor([&] { return SentFrames(*b.radio).contains(Load(41)); }, kScanWaitMs));
            QStringList loads = SentFrames(*b.radio);
            loads.removeAll(kMeter);
            QCOMPARE(loads.mid(0, 3), (QStringList{Load(40), Load(40), Load(41)}));
        }
        if (silent) {
            QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kScanWaitMs)) && b.endedCleanly());
            QVERIFY2(boxes.lastText().endsWith(QStringLiteral("\rThe scan has ended.")) && boxes.lastText().contains("S-meter"),
                     qPrintable(boxes.lastText()));
            QCOMPARE(SentFrames(*b.radio), frames);
        }
        b.esc();
        QVERIFY(b.idle());
    }
};

QTEST_MAIN(ScanTest)
#include "rowops_scan_test.moc"
