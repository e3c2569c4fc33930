// SPDX-License-Identifier: GPL-3.0-or-later
// The memory scan in frmAll and frmCh99 against the emulator: nothing to scan, the set-up
// stages with their captions and colours, refused rows, the digit, Esc in every stage, the
// frames of a pass with the grid following it, the threshold at its edge, the held channel
// measured again, and a radio that stops answering.

#include <QLabel>
#include <QLineEdit>

#include "messageboxhelper.h"
#include "scancontroller.h"
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

QColor Colour(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

// The program with every row filled, one view open, its scan controls at hand.
struct ScanBench : AppHarness {
    explicit ScanBench(std::function<void(sim::SimRadio&)> prepare = {})
        : AppHarness(sim::Timing::Fast, std::move(prepare))
    {
    }

    bool openOn(ViewKind kind)
    {
        view = openFilled(kind);
        if (!view)
            return false;
        scan = view->findChild<QLabel*>(QStringLiteral("lblScan"));
        escape = view->findChild<QLabel*>(QStringLiteral("lblEscape"));
        entry = view->findChild<QLineEdit*>(QStringLiteral("txtScan"));
        radio->clearLog();
        return true;
    }
    void click(int row) const { clickCell(*view, row, ColFreq); }
    void esc() const { QTest::keyClick(view->grid(), Qt::Key_Escape); }
    // cmdScan, the two rows and the digit; true once the scan runs.
    bool setUp(int first, int last, const QString& digit) const
    {
        press(*view, "cmdScan");
        click(first);
        click(last);
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
    void setUpStages_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<QList<int>>("refusedEnds");  // the start row is 10
        QTest::newRow("all") << ViewKind::All << QList<int>{5, 100, 113};
        QTest::newRow("ch99") << ViewKind::Ch99 << QList<int>{5, 10};
    }
    // The set-up stages with their captions and colours, refused rows, the digit; then the scan.
    void setUpStages()
    {
        QFETCH(ViewKind, view);
        QFETCH(QList<int>, refusedEnds);
        ScanBench b;
        QVERIFY(b.openOn(view));
        // An empty first row means nothing to scan, though the rows after it have data.
        b.app->family().setCell(view, 1, ColFreq, QString());
        MessageBoxHelper boxes;
        b.press(*b.view, "cmdScan");
        QVERIFY(boxes.waitForCount(1) && boxes.seen().last().icon == QMessageBox::Warning);
        QCOMPARE(boxes.lastText(), QStringLiteral("Nothing to scan!"));
        QVERIFY(b.endedCleanly());
        b.app->family().setCell(view, 1, ColFreq, QStringLiteral("7050.1"));
        b.press(*b.view, "cmdScan");
        QVERIFY(b.app->viewState().ScanMode);
        QVERIFY(NormalCommandsAre(*b.view, false));
        QVERIFY(b.scan->isVisible() && b.escape->isVisible() && !b.entry->isVisible());
        QCOMPARE(b.scan->text(), kPickStart);
        QCOMPARE(Colour(b.scan), QColor(0, 0, 192));
        QCOMPARE(b.escape->text(), QStringLiteral("(Press <Esc> to cancel scan)"));

        b.click(99);  // no room for an end after it
        QCOMPARE(b.scan->text(), kPickStart);
        QCOMPARE(SelectedCells(*b.view), QString());
        b.click(10);
        QCOMPARE(b.scan->text(), kPickEnd);
        QCOMPARE(Colour(b.scan), QColor(0, 128, 0));
        QCOMPARE(SelectedCells(*b.view), QStringLiteral("10:0-10"));
        for (int refused : refusedEnds) {
            b.click(refused);
            QCOMPARE(SelectedCells(*b.view), QStringLiteral("10:0-10"));
            QCOMPARE(b.view->currentRow(), 10);
            QCOMPARE(b.scan->text(), kPickEnd);
        }

        b.click(12);
        QCOMPARE(b.scan->text(), kAskDigit);
        QCOMPARE(Colour(b.scan), QColor(192, 0, 0));
        QCOMPARE(b.escape->text(), QString());
        QCOMPARE(b.view->focusWidget(), b.entry);
        b.click(20);  // the range is set; clicks now change nothing
        QCOMPARE(b.scan->text(), kAskDigit);
        for (const char* stray : {"0", "a", ":", " "}) {
            QTest::keyClicks(b.entry, QString::fromLatin1(stray));
            QCOMPARE(b.entry->text(), QString());
        }
        QVERIFY(b.radio->frameLog().empty());

        QTest::keyClicks(b.entry, QStringLiteral("7"));
        QCOMPARE(b.entry->text(), QStringLiteral("7"));
        QVERIFY(b.scanning());
        QCOMPARE(b.scan->text(), QStringLiteral("Scanning from Memory Channel 10 to Memory Channel 12"));
        QCOMPARE(Colour(b.scan), QApplication::palette().color(QPalette::ButtonText));
        QCOMPARE(b.escape->text(), QStringLiteral("Press <Esc> to end scan"));
        QVERIFY(!b.entry->isVisible());
        QVERIFY(b.framesReach(1));
        QCOMPARE(SentFrames(*b.radio).first(), Load(10));
        b.esc();
        QVERIFY(b.endedCleanly() && b.idle());
    }

    void escape_data()
    {
        QTest::addColumn<int>("steps");  // how far the set-up got before Esc
        QTest::addColumn<bool>("inDigitBox");  // Esc typed where the focus is, in the digit box
        QTest::newRow("picking the start") << 0 << false;
        QTest::newRow("picking the end") << 1 << false;
        QTest::newRow("asking for the digit") << 2 << false;
        QTest::newRow("asking for the digit, Esc in the box") << 2 << true;
        QTest::newRow("showing the digit") << 3 << false;
        QTest::newRow("showing the digit, Esc in the box") << 3 << true;
        QTest::newRow("scanning") << 4 << false;
    }
    void escape()
    {
        QFETCH(int, steps);
        ScanBench b;
        QVERIFY(b.openOn(ViewKind::Ch99));
        b.press(*b.view, "cmdScan");
        if (steps >= 1)
            b.click(3);
        if (steps >= 2)
            b.click(4);
        if (steps >= 3)
            QTest::keyClicks(b.entry, QStringLiteral("5"));
        if (steps >= 4)
            QVERIFY(b.scanning() && b.framesReach(2));
        QFETCH(bool, inDigitBox);
        if (inDigitBox)
            QTest::keyClick(b.entry, Qt::Key_Escape);
        else
            b.esc();
        QVERIFY(b.endedCleanly() && b.idle());
        // Longer than the digit's moment on show: a set-up that was ended starts nothing later.
        const qsizetype sent = b.radio->frameLog().size();
        QTest::qWait(int(kDigitShowTime.count()) + 500);
        QCOMPARE(qsizetype(b.radio->frameLog().size()), sent);
        if (steps < 4)
            QCOMPARE(sent, 0);
        QVERIFY(b.endedCleanly());
        // The next set-up starts from the beginning.
        b.press(*b.view, "cmdScan");
        QCOMPARE(b.scan->text(), kPickStart);
        QCOMPARE(b.entry->text(), QString());
    }

    void threshold_data()
    {
        QTest::addColumn<int>("level");  // channel 40's meter; 41 is quiet
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QStringList>("followed");  // the grid at each channel the scan reaches
        const QString at40 = QStringLiteral("40:0-10 current 40 top 40");
        QTest::newRow("S9, 152: moves on, then round again")
            << 152 << QStringList{Load(40), kMeter, Load(41), kMeter, Load(40)}
            << QStringList{at40, "41:0-10 current 41 top 40", at40};
        QTest::newRow("S9, 153: held, then measured again")
            << 153 << QStringList{Load(40), kMeter, kMeter, kMeter, kMeter} << QStringList{at40};
    }
    // A pass over a quiet range: load, meter, next, then round again from the first channel. A
    // channel stays while its meter reads above 16 x digit + 8; when its signal goes, the scan
    // holds five seconds, then measures the same channel again before it moves on. The grid's
    // current row follows; a channel out of sight becomes the top row.
    void threshold()
    {
        QFETCH(int, level);
        QFETCH(QStringList, followed);
        ScanBench b([level](sim::SimRadio& r) {
            r.setMeterLevel(40, std::uint8_t(level));
            r.setMeterLevel(41, 0);
        });
        QVERIFY(b.openOn(ViewKind::All));
        QStringList grid;
        QObject::connect(&b.app->radio(), &RadioClient::scanAt, b.view, [&] {
            grid << QStringLiteral("%1 current %2 top %3").arg(SelectedCells(*b.view)).arg(b.view->currentRow())
                        .arg(TopRow(*b.view));
        });
        b.press(*b.view, "cmdScan");
        b.click(40);
        b.click(41);
        b.view->grid()->scrollToTop();
        QTest::keyClicks(b.entry, QStringLiteral("9"));
        QVERIFY(b.scanning() && b.framesReach(5));
        QTEST(SentFrames(*b.radio).mid(0, 5), "frames");
        QTRY_COMPARE(grid.mid(0, 3), followed);
        if (level > 152) {
            b.radio->setMeterLevel(40, 0);
            QVERIFY(QTest::qWaitFor([&] { return SentFrames(*b.radio).contains(Load(41)); }, kScanWaitMs));
            QStringList frames = SentFrames(*b.radio);
            frames.removeAll(kMeter);
            QCOMPARE(frames.mid(0, 3), (QStringList{Load(40), Load(40), Load(41)}));
        }
        b.esc();
        QVERIFY(b.idle());
    }

    void silentMeterEndsTheScan()
    {
        ScanBench b;
        QVERIFY(b.openOn(ViewKind::All));
        sim::Faults silent;
        silent.silent = true;
        b.radio->setFaults(silent);
        MessageBoxHelper boxes;
        QVERIFY(b.setUp(1, 2, QStringLiteral("3")));
        QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kScanWaitMs)));
        QVERIFY2(boxes.lastText().endsWith(QStringLiteral("\rThe scan has ended.")), qPrintable(boxes.lastText()));
        QVERIFY(boxes.lastText().contains(QStringLiteral("S-meter")));
        QVERIFY(b.endedCleanly() && b.idle());
        QCOMPARE(SentFrames(*b.radio), (QStringList{Load(1), kMeter}));
    }
};

QTEST_MAIN(ScanTest)
#include "rowops_scan_test.moc"
