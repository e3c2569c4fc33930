// The memory scan in frmAll and frmCh99 against the emulator: the set-up stages with their
// captions and colours, refused rows, the digit, Esc from every stage, the frames of a pass,
// the threshold at its edge, the held channel measured again, the grid following the scan,
// and a radio that stops answering.

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "messageboxhelper.h"
#include "rowops_harness.h"
#include "scancontroller.h"
#include "scansetup.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

const QString kLoadFrame = QStringLiteral("000000%1 06");
const QString kMeterFrame = QStringLiteral("00000000 f7");
constexpr int kScanWaitMs = 15000;  // a pass and a five-second hold fit many times over

// The frames the radio received, as "000000 0a 06" style texts: P1..P4, then the opcode.
QStringList Frames(const sim::SimRadio& radio)
{
    QStringList frames;
    for (const CatFrame& f : radio.frameLog())
        frames << QString::fromLatin1(f.toBytes().left(4).toHex() + ' ' + f.toBytes().right(1).toHex());
    return frames;
}

QString Load(int channel)
{
    return kLoadFrame.arg(channel, 2, 16, QLatin1Char('0'));
}

// The four options and the normal command set all shown (or all hidden).
bool NormalCommandsAre(MemoryView& v, bool shown)
{
    for (const char* name : {"optAll", "optCh99", "optPms", "optQmb", "cmdRead", "cmdSave", "cmdLoad", "cmdClear",
                             "cmdScan", "cmdPrint", "cmdExit"})
        if (v.findChild<QWidget*>(QString::fromLatin1(name))->isVisible() != shown)
            return false;
    return true;
}

QColor CaptionColour(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

// One view with rows 1-99 filled, scan controls at hand.
struct ScanBench {
    RowOpsHarness h;
    MemoryView* view = nullptr;
    QLabel* scan = nullptr;
    QLabel* escape = nullptr;
    QLineEdit* entry = nullptr;

    explicit ScanBench(std::function<void(sim::SimRadio&)> prepare = {}) : h(std::move(prepare)) {}

    bool open(ViewKind kind)
    {
        if (!h.started())
            return false;
        h.fillRows(ViewKind::All, 1, kLastQmb);
        view = &h.open(kind);
        scan = view->label(QStringLiteral("lblScan"));
        escape = view->label(QStringLiteral("lblEscape"));
        entry = view->textBox(QStringLiteral("txtScan"));
        h.radio->clearLog();
        return QTest::qWaitForWindowActive(view);
    }
    void click(int row) const { h.clickCell(*view, row, ColFreq); }
    void esc() const { QTest::keyClick(view->grid(), Qt::Key_Escape); }
    // cmdScan, the two rows and the digit; true once the scan caption shows.
    bool setUp(int first, int last, const QString& digit) const
    {
        h.press(*view, "cmdScan");
        click(first);
        click(last);
        QTest::keyClicks(entry, digit);
        return scanning();
    }
    [[nodiscard]] bool scanning() const
    {
        return QTest::qWaitFor([this] { return h.app->viewState().Scanning; }, kScanWaitMs);
    }
    // Waits until the radio has received `count` frames.
    [[nodiscard]] bool framesReach(int count) const
    {
        return QTest::qWaitFor([this, count] { return int(h.radio->frameLog().size()) >= count; }, kScanWaitMs);
    }
    // After Esc: every scan control gone and the normal commands back.
    [[nodiscard]] bool endedCleanly() const
    {
        const ViewState& state = h.app->viewState();
        return !state.ScanMode && !state.Scanning && !scan->isVisible() && !escape->isVisible() && !entry->isVisible()
            && NormalCommandsAre(*view, true) && SelectedCells(*view).isEmpty() && view->currentColumn() == ColLabel;
    }
};

}  // namespace

class ScanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingToScan_data();
    void nothingToScan();
    void setUpStages_data();
    void setUpStages();
    void escape_data();
    void escape();
    void quietPassFrames();
    void threshold_data();
    void threshold();
    void heldChannelMeasuredAgain();
    void gridFollowsTheScan();
    void silentMeterEndsTheScan();
};

void ScanTest::nothingToScan_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::newRow("all") << ViewKind::All;
    QTest::newRow("ch99") << ViewKind::Ch99;
}

void ScanTest::nothingToScan()
{
    QFETCH(ViewKind, view);
    ScanBench b;
    QVERIFY(b.open(view));
    b.h.app->family().setCell(view, 1, ColFreq, QString());  // rows 2-99 still have data
    MessageBoxHelper boxes;
    b.h.press(*b.view, "cmdScan");
    QVERIFY(boxes.waitForCount(1));
    QCOMPARE(boxes.lastText(), QStringLiteral("Nothing to scan!"));
    QCOMPARE(boxes.seen().last().icon, QMessageBox::Warning);
    QVERIFY(!b.h.app->viewState().ScanMode);
    QVERIFY(!b.scan->isVisible());
    QVERIFY(NormalCommandsAre(*b.view, true));
}

void ScanTest::setUpStages_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<int>("refusedEnd");  // besides rows above the start
    QTest::newRow("all: PMS 1 is no end") << ViewKind::All << 100;
    QTest::newRow("all: QMB 5 is no end") << ViewKind::All << 113;
    QTest::newRow("ch99: the start row is no end") << ViewKind::Ch99 << 10;
}

void ScanTest::setUpStages()
{
    QFETCH(ViewKind, view);
    QFETCH(int, refusedEnd);
    ScanBench b;
    QVERIFY(b.open(view));
    const ViewState& state = b.h.app->viewState();

    b.h.press(*b.view, "cmdScan");
    QVERIFY(state.ScanMode);
    QVERIFY(NormalCommandsAre(*b.view, false));
    QVERIFY(b.scan->isVisible());
    QVERIFY(b.escape->isVisible());
    QVERIFY(!b.entry->isVisible());
    QCOMPARE(b.scan->text(), QStringLiteral("Click on the memory channel row to start the scan at"));
    QCOMPARE(CaptionColour(b.scan), QColor(0, 0, 192));
    QCOMPARE(b.escape->text(), QStringLiteral("(Press <Esc> to cancel scan)"));

    b.click(99);  // no room for an end after it
    QCOMPARE(b.scan->text(), QStringLiteral("Click on the memory channel row to start the scan at"));
    QCOMPARE(SelectedCells(*b.view), QString());

    b.click(10);
    QCOMPARE(b.scan->text(), QStringLiteral("Click on the memory channel row to end the scan at"));
    QCOMPARE(CaptionColour(b.scan), QColor(0, 128, 0));
    QCOMPARE(SelectedCells(*b.view), QStringLiteral("10:0-10"));

    for (int refused : {5, refusedEnd}) {
        b.click(refused);
        QCOMPARE(SelectedCells(*b.view), QStringLiteral("10:0-10"));
        QCOMPARE(b.view->currentRow(), 10);
        QCOMPARE(b.scan->text(), QStringLiteral("Click on the memory channel row to end the scan at"));
    }

    b.click(12);
    QCOMPARE(b.scan->text(), QStringLiteral("Enter minimum S-meter reading to pause on signal:  S-"));
    QCOMPARE(CaptionColour(b.scan), QColor(192, 0, 0));
    QCOMPARE(b.escape->text(), QString());
    QVERIFY(b.entry->isVisible());
    QCOMPARE(b.view->focusWidget(), b.entry);
    b.click(20);  // the range is set; clicks now change nothing
    QCOMPARE(b.scan->text(), QStringLiteral("Enter minimum S-meter reading to pause on signal:  S-"));

    for (const char* stray : {"0", "a", ":", " "}) {
        QTest::keyClicks(b.entry, QString::fromLatin1(stray));
        QCOMPARE(b.entry->text(), QString());
    }
    QVERIFY(b.h.radio->frameLog().empty());

    QTest::keyClicks(b.entry, QStringLiteral("7"));
    QCOMPARE(b.entry->text(), QStringLiteral("7"));
    QVERIFY(b.scanning());
    QCOMPARE(b.scan->text(), QStringLiteral("Scanning from Memory Channel 10 to Memory Channel 12"));
    QCOMPARE(CaptionColour(b.scan), QApplication::palette().color(QPalette::ButtonText));
    QCOMPARE(b.escape->text(), QStringLiteral("Press <Esc> to end scan"));
    QVERIFY(!b.entry->isVisible());
    QCOMPARE(b.entry->text(), QString());
    QCOMPARE(b.view->findChild<ScanController*>()->setup().scanThreshold(), 120);
    QVERIFY(b.framesReach(1));
    QCOMPARE(Frames(*b.h.radio).first(), Load(10));

    b.esc();
    QVERIFY(b.endedCleanly());
    QVERIFY(b.h.idle());
}

void ScanTest::escape_data()
{
    QTest::addColumn<int>("steps");  // how far the set-up got before Esc
    QTest::newRow("picking the start") << 0;
    QTest::newRow("picking the end") << 1;
    QTest::newRow("asking for the digit") << 2;
    QTest::newRow("showing the digit") << 3;
    QTest::newRow("scanning") << 4;
}

void ScanTest::escape()
{
    QFETCH(int, steps);
    ScanBench b;
    QVERIFY(b.open(ViewKind::Ch99));
    b.h.press(*b.view, "cmdScan");
    if (steps >= 1)
        b.click(3);
    if (steps >= 2)
        b.click(4);
    if (steps >= 3)
        QTest::keyClicks(b.entry, QStringLiteral("5"));
    if (steps >= 4)
        QVERIFY(b.scanning() && b.framesReach(2));

    b.esc();
    QVERIFY(b.endedCleanly());
    QVERIFY(b.h.idle());
    // Longer than the digit's moment on show: a set-up that was ended starts nothing later.
    const qsizetype sent = b.h.radio->frameLog().size();
    QTest::qWait(int(kDigitShowTime.count()) + 500);
    QCOMPARE(qsizetype(b.h.radio->frameLog().size()), sent);
    if (steps < 4)
        QCOMPARE(sent, 0);
    QVERIFY(b.endedCleanly());

    // The next set-up starts from the beginning.
    b.h.press(*b.view, "cmdScan");
    QCOMPARE(b.scan->text(), QStringLiteral("Click on the memory channel row to start the scan at"));
    QCOMPARE(b.entry->text(), QString());
    b.esc();
    QVERIFY(b.endedCleanly());
}

// One pass over a quiet range: load, meter, next; then round again from the first channel.
// The grid's current row follows each channel loaded.
void ScanTest::quietPassFrames()
{
    ScanBench b([](sim::SimRadio& r) {
        for (int channel = 3; channel <= 5; ++channel)
            r.setMeterLevel(channel, 0);
    });
    QVERIFY(b.open(ViewKind::All));
    QStringList followed;
    QObject::connect(&b.h.app->radio(), &RadioClient::scanAt, b.view,
                     [&] { followed << SelectedCells(*b.view) + QStringLiteral(" current %1").arg(b.view->currentRow()); });
    QVERIFY(b.setUp(3, 5, QStringLiteral("9")));
    QVERIFY(b.framesReach(7));
    b.esc();
    QVERIFY(b.h.idle());
    QCOMPARE(Frames(*b.h.radio).mid(0, 7),
             (QStringList{Load(3), kMeterFrame, Load(4), kMeterFrame, Load(5), kMeterFrame, Load(3)}));
    QCOMPARE(followed.mid(0, 4), (QStringList{QStringLiteral("3:0-10 current 3"), QStringLiteral("4:0-10 current 4"),
                                              QStringLiteral("5:0-10 current 5"), QStringLiteral("3:0-10 current 3")}));
}

void ScanTest::threshold_data()
{
    QTest::addColumn<QString>("digit");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("held");
    QTest::newRow("S9, 152: moves on") << "9" << 152 << false;
    QTest::newRow("S9, 153: stays") << "9" << 153 << true;
}

// A channel stays while its meter reads above 16 x digit + 8; at the threshold it is quiet.
void ScanTest::threshold()
{
    QFETCH(QString, digit);
    QFETCH(int, level);
    QFETCH(bool, held);
    ScanBench b([level](sim::SimRadio& r) {
        r.setMeterLevel(6, std::uint8_t(level));
        r.setMeterLevel(7, 0);
    });
    QVERIFY(b.open(ViewKind::Ch99));
    QVERIFY(b.setUp(6, 7, digit));
    // Quiet: load, one reading, the next channel. Busy: readings go on and on.
    QVERIFY(b.framesReach(5));
    b.esc();
    QVERIFY(b.h.idle());
    const QStringList expected = held ? QStringList{Load(6), kMeterFrame, kMeterFrame, kMeterFrame, kMeterFrame}
                                      : QStringList{Load(6), kMeterFrame, Load(7), kMeterFrame, Load(6)};
    QCOMPARE(Frames(*b.h.radio).mid(0, 5), expected);
    if (held)
        QCOMPARE(b.view->currentRow(), 6);
}

// After the signal goes, the scan holds five seconds, then measures the same channel again
// before it moves on.
void ScanTest::heldChannelMeasuredAgain()
{
    ScanBench b([](sim::SimRadio& r) {
        r.setMeterLevel(12, 200);
        r.setMeterLevel(13, 0);
    });
    QVERIFY(b.open(ViewKind::Ch99));
    QVERIFY(b.setUp(12, 13, QStringLiteral("5")));
    QVERIFY(b.framesReach(3));
    b.h.radio->setMeterLevel(12, 0);
    QVERIFY(QTest::qWaitFor([&] { return Frames(*b.h.radio).count(Load(12)) >= 2; }, kScanWaitMs));
    QVERIFY(b.framesReach(int(b.h.radio->frameLog().size()) + 3));
    b.esc();
    QVERIFY(b.h.idle());
    QStringList frames = Frames(*b.h.radio);
    frames.removeAll(kMeterFrame);
    QCOMPARE(frames.mid(0, 3), (QStringList{Load(12), Load(12), Load(13)}));
}

// A channel out of sight becomes the top row; one in sight does not move the grid.
void ScanTest::gridFollowsTheScan()
{
    ScanBench b;
    QVERIFY(b.open(ViewKind::Ch99));
    b.h.press(*b.view, "cmdScan");
    b.click(40);
    b.click(41);
    b.view->grid()->scrollToTop();
    QSignalSpy at(&b.h.app->radio(), &RadioClient::scanAt);
    QTest::keyClicks(b.entry, QStringLiteral("9"));
    QVERIFY(b.scanning());
    QVERIFY(QTest::qWaitFor([&] { return at.count() >= 1; }, kScanWaitMs));
    QCOMPARE(TopRow(*b.view), 40);
    QVERIFY(QTest::qWaitFor([&] { return at.count() >= 3; }, kScanWaitMs));
    QCOMPARE(TopRow(*b.view), 40);
    QCOMPARE(b.view->currentRow(), 40);
    b.esc();
    QVERIFY(b.h.idle());
}

void ScanTest::silentMeterEndsTheScan()
{
    ScanBench b;
    QVERIFY(b.open(ViewKind::All));
    sim::Faults silent;
    silent.silent = true;
    b.h.radio->setFaults(silent);
    MessageBoxHelper boxes;
    QVERIFY(b.setUp(1, 2, QStringLiteral("3")));
    QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kScanWaitMs)));
    QVERIFY2(boxes.lastText().endsWith(QStringLiteral("\rThe scan has ended.")), qPrintable(boxes.lastText()));
    QVERIFY(boxes.lastText().contains(QStringLiteral("S-meter")));
    QVERIFY(b.endedCleanly());
    QVERIFY(b.h.idle());
    QCOMPARE(Frames(*b.h.radio), (QStringList{Load(1), kMeterFrame}));
}

QTEST_MAIN(ScanTest)
#include "rowops_scan_test.moc"
