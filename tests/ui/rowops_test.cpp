// SPDX-License-Identifier: GPL-3.0-or-later
// Moving channels, editing comments and the memory scan in the real windows against the emulator.

#include <algorithm>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include "messageboxhelper.h"
#include "reordercommands.h"
#include "savedfilestore.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// Every label, and every row's moving cells (the comment too).
struct Snapshot {
    explicit Snapshot(const ChannelTable& table) : rows(table.rows())
    {
        for (int row = 1; row <= table.channelRows(); ++row)
            labels << table.cell(row, ColLabel);
    }
    bool operator==(const Snapshot&) const = default;

    QStringList labels;
    std::vector<RowCells> rows;
};

// `before` with the channel of row `from` taken out and put back in at row `to`.
Snapshot Moved(Snapshot before, int from, int to)
{
    const auto at = [&](int row) { return before.rows.begin() + (row - 1); };
    if (from < to)
        std::rotate(at(from), at(from) + 1, at(to) + 1);
    else
        std::rotate(at(to), at(from), at(from) + 1);
    return before;
}

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

class RowOpsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sortMode_data()
    {
        // row: the row picked and moved; presses: of cmdDown, or of cmdUp when below 0; endRow: where the
        // picked channel ends; action: what the operator does after picking it ("offset": the row two
        // above picked first, then this row's Offset); disagree: the mirror rows hold other texts first
        Columns<ViewKind, int, int, int, QString, int, bool, QString>("view", "row", "presses", "endRow", "action",
            "beeps", "disagree", "frame");
        const auto row = [](const char* name, ViewKind view, int row, int presses, int endRow, const char* action = "",
                            int beeps = 0, bool disagree = false, const char* frame = "") {
            QTest::newRow(name) << view << row << presses << endRow << action << beeps << disagree << frame;
        };
        row("all 99 down: edge of the regular block", ViewKind::All, 99, 1, 99, "", 1);
        row("all 100 down: P1 and P2", ViewKind::All, 100, 1, 101);
        row("ch99 10 down, frmAll otherwise", ViewKind::Ch99, 10, 1, 11, "", 0, true);
        row("pms 9 up twice", ViewKind::Pms, 9, -2, 7);
        row("Mode click on another row loads it", ViewKind::All, 10, 1, 11, "mode", 0, false, "00 00 00 14 06");
        row("refused click on a QMB row", ViewKind::All, 10, 1, 11, "qmb");
        row("arrow key", ViewKind::All, 10, 1, 11, "arrow");
        row("Esc, picked from Freq", ViewKind::All, 10, 1, 11, "esc");
        row("a settings cell of another row picks it", ViewKind::All, 12, 1, 13, "offset");
    }
    // Sort mode: whatever moves the grid's current cell, the picked row stays marked; another row's
    // settings cell picks that row, Mode still loads VFO-A. The channel and its mirror move, labels
    // stay, the selection follows, the radio hears nothing of it; the mirror takes the rows as this
    // view shows them; the table keeps Qt's model rules; cmdOK ends it.
    void sortMode()
    {
        QFETCH(ViewKind, view); QFETCH(int, row); QFETCH(int, presses); QFETCH(int, endRow); QFETCH(QString, action);
        QFETCH(int, beeps); QFETCH(bool, disagree); QFETCH(QString, frame);
        AppHarness h;
        MemoryView* opened = h.openFilled(view);
        QVERIFY(opened);
        MemoryView& v = *opened;
        const ViewKind mirror = MirrorView(view, ChannelOfRow(view, row));
        const int shift = ViewFamily::MirrorRow(view, row) - row;
        QAbstractItemModelTester tester(&h.app->family().table(view),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const Snapshot viewBefore(h.table(view));
        const Snapshot mirrorBefore(h.table(mirror));
        if (disagree) {
            h.app->family().table(mirror).setCell(row + shift + 1, ColComment, QStringLiteral("only in the mirror"));
            h.app->family().table(mirror).setCell(row + shift, ColFreq, QStringLiteral("14000.00  "));
        }
        h.radio->clearLog();
        QSignalSpy edges(v.findChild<ReorderCommands*>(), &ReorderCommands::edgeReached);
        QTest::keyClick(v.grid(), Qt::Key_Escape);  // outside scan mode: nothing
        QVERIFY(!h.app->viewState().SortMode && NormalCommandsAre(v, true));
        MessageBoxHelper boxes;
        h.clickCell(v, action == u"offset" ? row - 2 : row, action == u"esc" ? ColFreq : ColLabel);
        QVERIFY(h.app->viewState().SortMode && MoveCommandsAre(v, true) && NormalCommandsAre(v, false));
        QCOMPARE(v.currentColumn(), 0);
        const ViewState state = h.app->viewState();
        if (action == u"mode")
            h.clickCell(v, 20, ColMode);
        else if (action == u"qmb")
            h.clickCell(v, 110, ColLabel);
        else if (action == u"offset")
            h.clickCell(v, row, ColOffset);
        else if (!action.isEmpty())
            QTest::keyClick(v.grid(), action == u"esc" ? Qt::Key_Escape : Qt::Key_Down);
        QVERIFY(h.idle());
        QCOMPARE(boxes.count(), action == u"qmb" ? 1 : 0);
        QVERIFY(!Editor(h) && (action != u"esc" || h.app->viewState() == state));
        QVERIFY(SelectedCells(v) == QStringLiteral("%1:0-10").arg(row) && v.grid()->marksRow(row));
        for (int i = 0; i < std::abs(presses); ++i)
            h.press(v, presses < 0 ? "cmdUp" : "cmdDown");
        QCOMPARE(Snapshot(h.table(view)), Moved(viewBefore, row, endRow));
        QCOMPARE(Snapshot(h.table(mirror)), Moved(mirrorBefore, row + shift, endRow + shift));
        QVERIFY(edges.count() == beeps && v.currentRow() == endRow);
        QCOMPARE(SelectedCells(v), QStringLiteral("%1:0-10").arg(endRow));
        QCOMPARE(SentFrames(*h.radio), frame.isEmpty() ? QStringList{} : QStringList{frame});
        h.press(v, "cmdOK");
        QVERIFY(!h.app->viewState().SortMode && NormalCommandsAre(v, true) && MoveCommandsAre(v, false));
        QVERIFY(SelectedCells(v).isEmpty() && v.currentColumn() == int(ColFreq));
        QCOMPARE(v.focusWidget(), v.button(QStringLiteral("cmdSave")));
    }

    void comments_data()
    {
        // emptied: the row's comment emptied first, its mirror's kept; replace: the box's text selected first;
        // typed: key by key, "<" a Backspace, empty: Delete; closer: a key, or 0: the focus leaves the box;
        // comment: the row's afterwards; steps: undo steps made by the visit
        Columns<ViewKind, int, ViewKind, int, bool, bool, QString, int, QString, int>("view", "row", "mirror",
            "mirrorRow", "emptied", "replace", "typed", "closer", "comment", "steps");
        QTest::newRow("all 100, Return") << ViewKind::All << 100 << ViewKind::Pms << 1 << false << false << " 4U<"
                                         << int(Qt::Key_Return) << "comment 100 4" << 1;
        QTest::newRow("all 110, focus out") << ViewKind::All << 110 << ViewKind::Qmb << 2 << false << false << "!" << 0
                                            << "comment 110!" << 1;
        QTest::newRow("pms 9, Esc puts it back") << ViewKind::Pms << 9 << ViewKind::All << 108 << false << true << "net"
                                                 << int(Qt::Key_Escape) << "comment 108" << 0;
        QTest::newRow("all 108 emptied, Enter") << ViewKind::All << 108 << ViewKind::Pms << 9 << false << true << ""
                                                << int(Qt::Key_Enter) << "" << 1;
        QTest::newRow("pms 5 empty, the mirror's own back on Esc") << ViewKind::Pms << 5 << ViewKind::All << 104 << true
                                                                   << false << "n" << int(Qt::Key_Escape) << "" << 0;
    }
    // The box starts with the row's comment; a box open on the row above before, and the box's own
    // context menu, write nothing; each key reaches both grids; Enter or leaving keeps it (one undo
    // step), Esc gives each row back its own; the rest of the row is untouched.
    void comments()
    {
        QFETCH(ViewKind, view); QFETCH(int, row); QFETCH(ViewKind, mirror); QFETCH(int, mirrorRow);
        QFETCH(bool, emptied); QFETCH(QString, typed); QFETCH(int, closer); QFETCH(bool, replace);
        AppHarness h;
        MemoryView* v = h.openFilled(view);
        QVERIFY(v);
        const auto comment = [&h](ViewKind kind, int r) { return h.table(kind).cell(r, ColComment); };
        if (emptied)
            h.app->family().table(view).setCell(row, ColComment, QString());
        const QString old = comment(view, row);
        const QString mirrorOld = comment(mirror, mirrorRow);
        auto* caption = v->findChild<QLabel*>(QStringLiteral("lblComments"));
        QLineEdit* box = CommentBox(*v);
        h.clickCell(*v, row - 1, ColComment);
        h.clickCell(*v, row, ColComment);
        QVERIFY(caption->isVisible() && box->isVisible() && box->text() == old && v->focusWidget() == box);
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(box, &popup);
        QVERIFY(box->isVisible() && comment(mirror, mirrorRow) == mirrorOld);
        if (replace)
            box->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        for (const QChar key : typed) {
            key == u'<' ? QTest::keyClick(box, Qt::Key_Backspace) : QTest::keyClick(box, key.toLatin1());
            QVERIFY(comment(view, row) == box->text() && comment(mirror, mirrorRow) == box->text());
        }
        if (closer)
            QTest::keyClick(box, Qt::Key(closer));
        else
            v->grid()->setFocus(Qt::MouseFocusReason);
        QVERIFY(!box->isVisible() && !caption->isVisible());
        if (closer) {
            QCOMPARE(v->focusWidget(), v->button(QStringLiteral("cmdSave")));
            QTest::keyClick(v->focusWidget(), Qt::Key_X);  // keys now go nowhere near the cell
        }
        QTEST(comment(view, row), "comment");
        QCOMPARE(comment(mirror, mirrorRow), closer == Qt::Key_Escape ? mirrorOld : comment(view, row));
        QCOMPARE(h.table(view).cell(row, ColFreq), QStringLiteral("7050.%1").arg(ChannelOfRow(view, row)));
        QCOMPARE(comment(view, row - 1), QStringLiteral("comment %1").arg(ChannelOfRow(view, row - 1)));
        QTEST(h.app->tableSteps().stack().count(), "steps");
    }

    void commentReachesMirrorRowsWithData_data()
    {
        // clearAllFirst: frmAll emptied before its rows 1-99 are read again
        Columns<bool, QString>("clearAllFirst", "mirrorComment");
        QTest::newRow("mirror row with data") << false << "net";
        QTest::newRow("mirror row without data") << true << "";
    }
    // A comment typed in frmPms reaches frmAll's row only where that row shows the channel;
    // frmAll's saved file loads again either way.
    void commentReachesMirrorRowsWithData()
    {
        QFETCH(bool, clearAllFirst);
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        MemoryView& all = h.view(ViewKind::All);
        QVERIFY(h.read(pms));
        h.choose(pms, "optAll");
        if (clearAllFirst)
            h.press(all, "cmdClear");
        h.choose(all, "optCh99");
        QVERIFY(h.read(h.view(ViewKind::Ch99)));
        h.choose(h.view(ViewKind::Ch99), "optPms");
        QVERIFY(QTest::qWaitForWindowActive(&pms));
        TypeComment(h, pms, 3, QStringLiteral("net"));
        QTEST(h.table(ViewKind::All).cell(102, ColComment), "mirrorComment");
        QCOMPARE(h.table(ViewKind::All).hasData(102), !clearAllFirst);
        h.choose(pms, "optAll");
        MessageBoxHelper boxes;
        h.press(all, "cmdSave");
        QVERIFY(boxes.texts().isEmpty());
        const LoadResult again = LoadSavedFile(h.dir.path(), ViewKind::All);
        QVERIFY2(again.ok(), qPrintable(again.message));
    }

    void commandClosesTheBox_data()
    {
        // key: pressed with Alt while the box is open; saved: the view's file is saved first
        Columns<int, bool>("key", "saved");
        QTest::newRow("Alt+C Clear") << int(Qt::Key_C) << false;
        QTest::newRow("Alt+L Load") << int(Qt::Key_L) << true;
        QTest::newRow("Alt+R Read") << int(Qt::Key_R) << false;
    }
    // A command run from its access key while the comment box is open closes the box first:
    // the next keystroke changes no row.
    void commandClosesTheBox()
    {
        QFETCH(int, key); QFETCH(bool, saved);
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        QVERIFY(QTest::qWaitForWindowActive(&pms));
        QVERIFY(h.read(pms));
        MessageBoxHelper boxes(QMessageBox::Yes);
        if (saved)
            h.press(pms, "cmdSave");
        auto* box = pms.findChild<QLineEdit*>(QStringLiteral("txtComments"));
        h.clickCell(pms, 3, ColComment);
        QTest::keyClicks(box, QStringLiteral("net"));
        QVERIFY(h.pressByKey(pms, Qt::Key(key), box));
        QVERIFY(h.idle() && !box->isVisible());
        const Tables rows = AllTables(h);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClicks(focus ? focus : &pms, QStringLiteral("x"));
        QCOMPARE(AllTables(h), rows);
    }

    void setUpStages_data()
    {
        // escAt: the stage Esc ends: 2 asking for the digit (Esc in the digit box), 3 showing it, 4 scanning
        Columns<int>("escAt");
        QTest::newRow("asking for the digit, Esc in the box") << 2;
        QTest::newRow("showing the digit") << 3;
        QTest::newRow("scanning") << 4;
    }
    // The set-up stages with their captions and colours, refused rows, the digit, then the scan.
    // Esc at any stage ends it all, and the ended set-up starts nothing later.
    void setUpStages()
    {
        QFETCH(int, escAt);
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
        if (escAt > 2) {
            b.click(20);  // the range is set; clicks now change nothing
            QTest::keyClicks(b.entry, QStringLiteral("a"));
            QVERIFY(b.scan->text() == kAskDigit && b.entry->text().isEmpty() && b.radio->frameLog().empty());
            QTest::keyClicks(b.entry, QStringLiteral("7"));
        }
        if (escAt > 3) {
            QVERIFY(b.entry->text() == u"7" && b.scanning() && !b.entry->isVisible());
            QCOMPARE(b.line(), "Scanning from Memory Channel 10 to Memory Channel 12 | "
                                   + QApplication::palette().color(QPalette::ButtonText).name()
                                   + " | Press <Esc> to end scan");
            QVERIFY(b.framesReach(2));
            QCOMPARE(SentFrames(*b.radio).first(), Load(10));
        }
        QTest::keyClick(escAt == 2 ? static_cast<QWidget*>(b.entry) : b.view->grid(), Qt::Key_Escape);
        QVERIFY(b.endedCleanly() && b.idle() && b.entry->text().isEmpty());
        QVERIFY(escAt == 4 || b.radio->frameLog().empty());
        // The ended set-up starts nothing later: a digit shown after its own ends its moment later.
        b.choose(*b.view, "optCh99");
        QVERIFY(b.showing(b.app->view(ViewKind::Ch99)) && b.setUp(20, 21, QStringLiteral("5")) && b.framesReach(1));
        QCOMPARE(SentFrames(*b.radio).first(), Load(20));
        QTest::keyClick(b.view->grid(), Qt::Key_Escape);
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
        QTest::newRow("S9, 153: held")
            << 153 << false << QStringList{Load(40), kMeter, kMeter, kMeter, kMeter} << QStringList{at40};
        QTest::newRow("a silent meter ends the scan")
            << 0 << true << QStringList{Load(40), kMeter} << QStringList{at40};
    }
    // A pass loads, meters, moves on and goes round; a channel above 16 x digit + 8 holds (the hold's
    // end is the scan loop's own test's). The grid's current row follows (out of sight: top).
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
        if (silent) {
            QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kScanWaitMs)) && b.endedCleanly());
            QVERIFY2(boxes.lastText().endsWith(QStringLiteral("\rThe scan has ended.")) && boxes.lastText().contains("S-meter"),
                     qPrintable(boxes.lastText()));
            QCOMPARE(SentFrames(*b.radio), frames);
        }
        QTest::keyClick(b.view->grid(), Qt::Key_Escape);
        QVERIFY(b.idle());
    }
};

QTEST_MAIN(RowOpsTest)
#include "rowops_test.moc"
