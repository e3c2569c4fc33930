// The program's windows against the emulator in-process: start-up, the four views, Read,
// Clear, switching, the busy guard, the click rules with their messages, the VFO-A load,
// sort mode, help, about and the end of the program.

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include "aboutbox.h"
#include "app_harness.h"
#include "channelrow.h"
#include "clickdispatch.h"
#include "codec.h"
#include "helpwindow.h"
#include "messageboxhelper.h"
#include "viewdescriptor.h"
#include "views_rows.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {


// The memory requests (opcode 10 with P4 04) the emulator received, as channel numbers.
QList<int> MemoryRequests(const sim::SimRadio& radio)
{
    QList<int> channels;
    for (const CatFrame& f : radio.frameLog())
        if (f.bytes[4] == 0x10 && f.bytes[3] == 0x04)
            channels.append(f.bytes[0]);
    return channels;
}

QList<int> Range(int first, int last)
{
    QList<int> r;
    for (int i = first; i <= last; ++i)
        r.append(i);
    return r;
}

bool NormalCommandsShown(MemoryView& v)
{
    for (const char* name : {"optAll", "optCh99", "optPms", "optQmb"})
        if (!v.findChild<QWidget*>(QString::fromLatin1(name))->isVisible())
            return false;
    for (const char* name : {"cmdRead", "cmdSave", "cmdLoad", "cmdClear", "cmdPrint", "cmdExit"})
        if (!v.button(QString::fromLatin1(name))->isVisible())
            return false;
    return !v.button(QStringLiteral("cmdScan")) || v.button(QStringLiteral("cmdScan"))->isVisible();
}

bool MoveCommandsShown(MemoryView& v)
{
    for (const char* name : {"cmdUp", "cmdDown", "cmdOK"})
        if (!v.button(QString::fromLatin1(name)) || !v.button(QString::fromLatin1(name))->isVisible())
            return false;
    return true;
}

// Selected cells of the grid as "row:first-last" (rows from 1).
QString Selection(MemoryView& v)
{
    const QModelIndexList cells = v.grid()->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return {};
    int first = 99, last = -1;
    for (const QModelIndex& i : cells) {
        if (i.row() != cells.first().row())
            return QStringLiteral("several rows");
        first = std::min(first, i.column());
        last = std::max(last, i.column());
    }
    return QStringLiteral("%1:%2-%3").arg(cells.first().row() + 1).arg(first).arg(last);
}

}  // namespace

class AppWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUpShowsMainWindow();
    void mainOptionOpensView_data();
    void mainOptionOpensView();
    void viewControls_data();
    void viewControls();
    void readFillsRowsAndMirrors_data();
    void readFillsRowsAndMirrors();
    void clearInCh99LeavesAll();
    void switchingViews();
    void busyGuard();
    void closeWhileBusyWaitsForTheRead();
    void refusals_data();
    void refusals();
    void vfoALoad_data();
    void vfoALoad();
    void sortModeAndOk();
    void escapeOutsideScanChangesNothing();
    void rowHooks();
    void readFailureKeepsRows();
    void lostLinkRecoversOnNextRead();
    void helpAndAbout();
    void exitEndsProgram();
    void exitWithAboutOpen();
};

void AppWindowsTest::startUpShowsMainWindow()
{
    int framesAtUpgrade = -1;
    QString upgradedDir;
    std::shared_ptr<sim::SimRadio> seen;
    AppHarness h(sim::Timing::Fast, {}, [&](const QString& dir) {
        upgradedDir = dir;
        framesAtUpgrade = 0;  // no radio call has been made yet: start() runs the step first
    });
    QVERIFY(h.started());
    QCOMPARE(upgradedDir, h.dir.path());
    QCOMPARE(framesAtUpgrade, 0);
    MainWindow& main = h.app->mainWindow();
    QCOMPARE(main.objectName(), QStringLiteral("vovAzidi"));
    QCOMPARE(main.windowTitle(), QStringLiteral("Vardo for Windows"));
    QCOMPARE(h.control<QLabel>(main, "Label2")->text(), QStringLiteral("Select a Memory Operation:"));
    const QString title = h.control<QLabel>(main, "Label1")->text();
    QCOMPARE(title, title.toUpper());
    QCOMPARE(h.control(main, "cmdExit")->text(), QStringLiteral("&Exit"));
    QCOMPARE(h.control<QRadioButton>(main, "optAll")->text(), QStringLiteral("All Memories"));
    QCOMPARE(h.control<QRadioButton>(main, "optCh99")->text(), QStringLiteral("Memories 1-99"));
    QCOMPARE(h.control<QRadioButton>(main, "optPms")->text(), QStringLiteral("PMS Memories"));
    QCOMPARE(h.control<QRadioButton>(main, "optQmb")->text(), QStringLiteral("QMB Memories"));
    for (ViewKind kind : kAllViews)
        QVERIFY(!h.view(kind).isVisible());
    // The search: pacing and the status request, nothing read yet.
    QVERIFY(MemoryRequests(*h.radio).isEmpty());
    QCOMPARE(h.app->radio().portName(), QStringLiteral("sim"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void AppWindowsTest::mainOptionOpensView_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("option");
    QTest::newRow("all") << ViewKind::All << "All Memory Channels" << "optAll";
    QTest::newRow("ch99") << ViewKind::Ch99 << "Memory Channels 1-99" << "optCh99";
    QTest::newRow("pms") << ViewKind::Pms << "PMS Memory Channels" << "optPms";
    QTest::newRow("qmb") << ViewKind::Qmb << "Quick Memory Banks" << "optQmb";
}

void AppWindowsTest::mainOptionOpensView()
{
    QFETCH(ViewKind, kind);
    QFETCH(QString, caption);
    QFETCH(QString, option);
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(kind);
    QVERIFY(!h.app->mainWindow().isVisible());
    QVERIFY(v.isVisible());
    QCOMPARE(v.windowTitle(), caption);
    QVERIFY(v.findChild<QRadioButton*>(option)->isChecked());
    QVERIFY(h.app->mainWindow().findChild<QRadioButton*>(option)->isChecked());
    QCOMPARE(h.app->viewState().current, kind);
    for (ViewKind other : kAllViews)
        QCOMPARE(h.view(other).isVisible(), other == kind);
}

void AppWindowsTest::viewControls_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<bool>("scan");
    QTest::newRow("all") << ViewKind::All << "frmAll" << true << true;
    QTest::newRow("ch99") << ViewKind::Ch99 << "frmCh99" << true << true;
    QTest::newRow("pms") << ViewKind::Pms << "frmPms" << true << false;
    QTest::newRow("qmb") << ViewKind::Qmb << "frmQmb" << false << false;
}

void AppWindowsTest::viewControls()
{
    QFETCH(ViewKind, kind);
    QFETCH(QString, name);
    QFETCH(bool, moves);
    QFETCH(bool, scan);
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(kind);
    QCOMPARE(v.objectName(), name);
    const QList<std::pair<const char*, const char*>> always{
        {"cmdRead", "&Read"}, {"cmdSave", "&Save"}, {"cmdLoad", "&Load"},
        {"cmdClear", "&Clear"}, {"cmdPrint", "&Print"}, {"cmdExit", "&Exit"}};
    for (const auto& [control, caption] : always)
        QCOMPARE(v.button(QString::fromLatin1(control))->text(), QString::fromLatin1(caption));
    for (const auto& [control, caption] : {std::pair{"cmdUp", "&Up"}, {"cmdDown", "&Down"}, {"cmdOK", "&Ok"}}) {
        QCOMPARE(v.button(QString::fromLatin1(control)) != nullptr, moves);
        if (moves) {
            QCOMPARE(v.button(QString::fromLatin1(control))->text(), QString::fromLatin1(caption));
            QVERIFY(!v.button(QString::fromLatin1(control))->isVisible());
        }
    }
    QCOMPARE(v.button(QStringLiteral("cmdScan")) != nullptr, scan);
    QCOMPARE(v.label(QStringLiteral("lblScan")) != nullptr, scan);
    QCOMPARE(v.textBox(QStringLiteral("txtScan")) != nullptr, scan);
    if (scan) {
        QCOMPARE(v.button(QStringLiteral("cmdScan"))->text(), QStringLiteral("Sca&n"));
        QCOMPARE(v.label(QStringLiteral("lblEscape"))->text(), QStringLiteral("(Press <Esc> to cancel scan)"));
        QVERIFY(!v.label(QStringLiteral("lblScan"))->isVisible());
        QVERIFY(!v.label(QStringLiteral("lblEscape"))->isVisible());
        QVERIFY(!v.textBox(QStringLiteral("txtScan"))->isVisible());
    }
    QVERIFY(!v.label(QStringLiteral("lblComments"))->isVisible());
    QVERIFY(!v.textBox(QStringLiteral("txtComments"))->isVisible());
    QVERIFY(NormalCommandsShown(v));
    QCOMPARE(v.findChild<QAction*>(QStringLiteral("itmContents"))->text(), QStringLiteral("Contents"));
    QCOMPARE(v.findChild<QAction*>(QStringLiteral("itmAbout"))->text(), QStringLiteral("About Vardo"));
    QCOMPARE(v.findChild<QMenu*>(QStringLiteral("mnuHelp"))->title(), QStringLiteral("&Help"));

    // The grid: 11 columns in the proportions of their widths in twips, every header whole.
    ChannelGrid* grid = v.findChild<ChannelGrid*>(QStringLiteral("Grid"));
    QVERIFY(grid);
    QHeaderView* header = grid->horizontalHeader();
    QCOMPARE(header->count(), 11);
    const qreal scale = qreal(header->sectionSize(ColMode)) / ColumnTwips(kind, ColMode);
    for (int c = 0; c < ColComment; ++c) {
        QVERIFY2(qAbs(header->sectionSize(c) - ColumnTwips(kind, c) * scale) <= 1.0, qPrintable(QString::number(c)));
        const QString text = grid->model()->headerData(c, Qt::Horizontal).toString();
        QVERIFY2(grid->fontMetrics().horizontalAdvance(text) < header->sectionSize(c), qPrintable(text));
    }
    QVERIFY(header->sectionSize(ColComment) >= qRound(ColumnTwips(kind, ColComment) * scale) - 1);
    QCOMPARE(grid->model()->rowCount(), RowCount(kind));
}

void AppWindowsTest::readFillsRowsAndMirrors_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<QStringList>("rows");  // data rows of frmAll, frmCh99, frmPms, frmQmb
    QTest::newRow("all") << ViewKind::All << QStringList{"1-113", "1-99", "1-9", "1-5"};
    QTest::newRow("ch99") << ViewKind::Ch99 << QStringList{"1-99", "1-99", "", ""};
    QTest::newRow("pms") << ViewKind::Pms << QStringList{"100-108", "", "1-9", ""};
    QTest::newRow("qmb") << ViewKind::Qmb << QStringList{"109-113", "", "", "1-5"};
}

void AppWindowsTest::readFillsRowsAndMirrors()
{
    QFETCH(ViewKind, kind);
    QFETCH(QStringList, rows);
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(kind);
    QVERIFY(h.read(v));
    QCOMPARE(h.beeps, 1);
    QCOMPARE(MemoryRequests(*h.radio), Range(FirstChannel(kind), LastChannel(kind)));
    for (ViewKind other : kAllViews)
        QCOMPARE(DataRows(h.table(other)), rows.at(int(other)));
    // Each row shows its own channel's record, in the view and in its mirror; no comment.
    for (int ch = FirstChannel(kind); ch <= LastChannel(kind); ++ch) {
        const SettingCells expected = CellsFromChannel(DecodeRecord(h.radio->memory(ch)));
        for (ViewKind shown : {kind, MirrorView(kind, ch)}) {
            const int row = RowOfChannel(shown, ch);
            QCOMPARE(h.table(shown).settings(row), expected);
            QCOMPARE(h.table(shown).cell(row, ColComment), QString());
            QCOMPARE(h.table(shown).cell(row, ColLabel), ChannelLabel(ch));
        }
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void AppWindowsTest::clearInCh99LeavesAll()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& all = h.open(ViewKind::All);
    QVERIFY(h.read(all));
    h.choose(all, "optCh99");
    MemoryView& ch99 = h.view(ViewKind::Ch99);
    QVERIFY(ch99.isVisible());
    h.app->family().setCell(ViewKind::Ch99, 7, ColComment, QStringLiteral("net"));
    const QString freq7 = h.table(ViewKind::All).cell(7, ColFreq);
    h.press(ch99, "cmdClear");
    QCOMPARE(DataRows(h.table(ViewKind::Ch99)), QString());
    QCOMPARE(h.table(ViewKind::Ch99).cell(7, ColComment), QString());
    QCOMPARE(h.table(ViewKind::Ch99).cell(7, ColLabel), QStringLiteral("7"));
    QCOMPARE(h.table(ViewKind::Ch99).headerData(ColComment, Qt::Horizontal).toString(), QStringLiteral("Comments"));
    QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("1-113"));
    QCOMPARE(h.table(ViewKind::All).cell(7, ColFreq), freq7);
    QCOMPARE(h.table(ViewKind::All).cell(7, ColComment), QStringLiteral("net"));
    QCOMPARE(DataRows(h.table(ViewKind::Pms)), QStringLiteral("1-9"));
}

void AppWindowsTest::switchingViews()
{
    AppHarness h;
    QVERIFY(h.started());
    QSignalSpy switching(h.app.get(), &VardoApp::viewSwitching);
    MemoryView& all = h.open(ViewKind::All);
    QCOMPARE(switching.count(), 0);
    h.choose(all, "optQmb");
    MemoryView& qmb = h.view(ViewKind::Qmb);
    QCOMPARE(switching.count(), 1);
    QVERIFY(!all.isVisible());
    QVERIFY(qmb.isVisible());
    QVERIFY(h.control<QRadioButton>(qmb, "optQmb")->isChecked());
    QVERIFY(h.control<QRadioButton>(h.app->mainWindow(), "optQmb")->isChecked());
    QVERIFY(!h.app->mainWindow().isVisible());
    QCOMPARE(h.app->viewState().current, ViewKind::Qmb);
    // A read here fills rows in frmAll too, which shows them when it comes back.
    QVERIFY(h.read(qmb));
    h.choose(qmb, "optQmb");  // the own option: stays
    QVERIFY(qmb.isVisible());
    QCOMPARE(switching.count(), 1);
    h.choose(qmb, "optAll");
    QVERIFY(all.isVisible() && !qmb.isVisible());
    QVERIFY(h.control<QRadioButton>(all, "optAll")->isChecked());
    QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("109-113"));
    QCOMPARE(h.app->viewState().current, ViewKind::All);
    QCOMPARE(switching.count(), 2);
}

void AppWindowsTest::busyGuard()
{
    AppHarness h(sim::Timing::Real);  // a read that takes a while, as on the real link
    QVERIFY(h.started());
    MemoryView& pms = h.open(ViewKind::Pms);
    QSignalSpy saves(&pms, &MemoryView::saveRequested);
    QSignalSpy ended(h.app.get(), &VardoApp::ended);
    MessageBoxHelper boxes;
    h.press(pms, "cmdRead");
    QVERIFY(h.app->busyState().busy());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Every command pressed now is turned away without a word.
    h.press(pms, "cmdRead");
    h.press(pms, "cmdClear");
    h.press(pms, "cmdExit");
    h.choose(pms, "optAll");
    h.press(pms, "cmdSave");
    h.clickCell(pms, 1, ColLabel);
    h.clickCell(pms, 2, ColMode);
    h.clickCell(pms, 9, ColOffset);
    QVERIFY(h.app->busyState().busy());
    // The window stays live: rows appear one by one while the read goes on.
    QSet<int> counts;
    QVERIFY(QTest::qWaitFor([&] {
        int filled = 0;
        for (int row = 1; row <= 9; ++row)
            filled += h.table(ViewKind::Pms).hasData(row) ? 1 : 0;
        counts.insert(filled);
        return !h.app->busyState().busy();
    }, kWaitMs));
    QVERIFY2(counts.size() > 3, "rows did not fill one at a time");
    QCOMPARE(MemoryRequests(*h.radio), Range(100, 108));
    QCOMPARE(DataRows(h.table(ViewKind::Pms)), QStringLiteral("1-9"));
    QVERIFY(pms.isVisible());
    QVERIFY(!h.view(ViewKind::All).isVisible());
    QVERIFY(h.control<QRadioButton>(pms, "optPms")->isChecked());
    QCOMPARE(h.app->viewState().current, ViewKind::Pms);
    QVERIFY(!h.app->viewState().SortMode);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(saves.count(), 0);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(h.beeps, 1);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // Idle again: the same commands work.
    h.press(pms, "cmdSave");
    QCOMPARE(saves.count(), 1);
}

void AppWindowsTest::closeWhileBusyWaitsForTheRead()
{
    AppHarness h(sim::Timing::Real);
    QVERIFY(h.started());
    MemoryView& pms = h.open(ViewKind::Pms);
    QSignalSpy ended(h.app.get(), &VardoApp::ended);
    h.press(pms, "cmdRead");
    QVERIFY(h.app->busyState().busy());
    pms.close();
    QVERIFY(pms.isVisible());
    QCOMPARE(ended.count(), 0);
    QVERIFY(ended.wait(kWaitMs));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 0);
    QCOMPARE(DataRows(h.table(ViewKind::Pms)), QStringLiteral("1-9"));  // the read ran to its end
    QVERIFY(!pms.isVisible());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void AppWindowsTest::refusals_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<bool>("readFirst");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message");
    QTest::newRow("all qmb ch# empty") << ViewKind::All << false << 109 << 0 << Refusal::kQmbSort;
    QTest::newRow("all qmb freq") << ViewKind::All << true << 113 << 1 << Refusal::kQmbSort;
    QTest::newRow("all qmb mode") << ViewKind::All << true << 110 << 2 << Refusal::kQmbLoad;
    QTest::newRow("all qmb mode empty") << ViewKind::All << false << 110 << 2 << Refusal::kQmbLoad;
    QTest::newRow("all qmb ant") << ViewKind::All << true << 111 << 5 << Refusal::kQmbEdit;
    QTest::newRow("qmb ch#") << ViewKind::Qmb << true << 1 << 0 << Refusal::kQmbSort;
    QTest::newRow("qmb mode") << ViewKind::Qmb << true << 2 << 2 << Refusal::kQmbLoad;
    QTest::newRow("qmb rpt") << ViewKind::Qmb << true << 5 << 9 << Refusal::kQmbEdit;
    QTest::newRow("ch99 mode empty") << ViewKind::Ch99 << false << 5 << 2 << Refusal::kNoLoadData;
    QTest::newRow("all masked") << ViewKind::All << true << 21 << 2 << Refusal::kMaskedLoad;
    QTest::newRow("ch99 masked") << ViewKind::Ch99 << true << 21 << 2 << Refusal::kMaskedLoad;
    QTest::newRow("pms ch# empty") << ViewKind::Pms << false << 4 << 0 << Refusal::kNothingToSort;
    QTest::newRow("all freq empty") << ViewKind::All << false << 100 << 1 << Refusal::kNothingToSort;
    QTest::newRow("ch99 filter empty") << ViewKind::Ch99 << false << 7 << 3 << Refusal::kNothingToEdit;
    QTest::newRow("pms offset empty") << ViewKind::Pms << false << 9 << 8 << Refusal::kNothingToEdit;
}

void AppWindowsTest::refusals()
{
    QFETCH(ViewKind, kind);
    QFETCH(bool, readFirst);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, message);
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(kind);
    if (readFirst)
        QVERIFY(h.read(v));
    const auto framesBefore = h.radio->frameLog().size();
    MessageBoxHelper boxes;
    h.clickCell(v, row, column);
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
    QCOMPARE(boxes.seen().first().title, QStringLiteral("Vardo"));
    QCOMPARE(boxes.seen().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(v.focusWidget(), v.button(QStringLiteral("cmdLoad")));
    QCOMPARE(h.radio->frameLog().size(), framesBefore);
    QVERIFY(!h.app->viewState().SortMode);
    QVERIFY(NormalCommandsShown(v));
}

void AppWindowsTest::vfoALoad_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("pms row 3") << ViewKind::Pms << 3 << QByteArray::fromHex("0000006606");
    QTest::newRow("all row 102") << ViewKind::All << 102 << QByteArray::fromHex("0000006606");
    QTest::newRow("ch99 row 40") << ViewKind::Ch99 << 40 << QByteArray::fromHex("0000002806");
}

void AppWindowsTest::vfoALoad()
{
    QFETCH(ViewKind, kind);
    QFETCH(int, row);
    QFETCH(QByteArray, frame);
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(kind);
    QVERIFY(h.read(v));
    const auto before = h.radio->frameLog().size();
    const SettingCells cells = h.table(kind).settings(row);
    MessageBoxHelper boxes;
    h.clickCell(v, row, ColMode);
    QVERIFY(h.idle());
    const auto log = h.radio->frameLog();
    QCOMPARE(log.size(), before + 1);
    QCOMPARE(log.back().toBytes(), frame);
    QCOMPARE(h.radio->recalledChannel(), int(quint8(frame.at(3))));
    QCOMPARE(h.app->viewState().LoadChannel, int(quint8(frame.at(3))));
    QCOMPARE(v.focusWidget(), v.button(QStringLiteral("cmdExit")));
    QCOMPARE(h.table(kind).settings(row), cells);
    QCOMPARE(boxes.count(), 0);
}

void AppWindowsTest::sortModeAndOk()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& all = h.open(ViewKind::All);
    QVERIFY(h.read(all));
    QSignalSpy edits(&all, &MemoryView::editRequested);
    h.clickCell(all, 10, ColFreq);
    QVERIFY(h.app->viewState().SortMode);
    QCOMPARE(Selection(all), QStringLiteral("10:0-10"));
    QCOMPARE(all.currentRow(), 10);
    QCOMPARE(all.currentColumn(), 0);
    QVERIFY(MoveCommandsShown(all));
    for (const char* name : {"optAll", "optCh99", "optPms", "optQmb"})
        QVERIFY(!all.findChild<QWidget*>(QString::fromLatin1(name))->isVisible());
    for (const char* name : {"cmdRead", "cmdSave", "cmdLoad", "cmdClear", "cmdScan", "cmdPrint", "cmdExit"})
        QVERIFY(!all.button(QString::fromLatin1(name))->isVisible());
    // In sort mode a click on a settings cell of another row picks that row; no editor.
    h.clickCell(all, 12, ColOffset);
    QCOMPARE(Selection(all), QStringLiteral("12:0-10"));
    QCOMPARE(edits.count(), 0);
    // The Mode column still loads VFO-A.
    h.clickCell(all, 12, ColMode);
    QVERIFY(h.idle());
    QCOMPARE(h.radio->frameLog().back().toBytes(), QByteArray::fromHex("0000000C06"));
    QVERIFY(h.app->viewState().SortMode);
    // Ok ends it.
    h.press(all, "cmdOK");
    QVERIFY(!h.app->viewState().SortMode);
    QCOMPARE(Selection(all), QString());
    QCOMPARE(all.currentColumn(), int(ColFreq));
    QVERIFY(NormalCommandsShown(all));
    for (const char* name : {"cmdUp", "cmdDown", "cmdOK"})
        QVERIFY(!all.button(QString::fromLatin1(name))->isVisible());
    QCOMPARE(all.focusWidget(), all.button(QStringLiteral("cmdSave")));
    // Rows scrolled out of sight and back, as moves and the scan do.
    all.setTopRow(50);
    QVERIFY(all.rowVisible(50));
    QVERIFY(!all.rowVisible(10));
    all.setTopRow(1);
    QVERIFY(all.rowVisible(10));
}

void AppWindowsTest::escapeOutsideScanChangesNothing()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& ch99 = h.open(ViewKind::Ch99);
    QVERIFY(h.read(ch99));
    QSignalSpy scanEnded(&ch99, &MemoryView::scanEnded);
    const auto frames = h.radio->frameLog().size();
    for (bool sort : {false, true}) {
        if (sort)
            h.clickCell(ch99, 4, ColLabel);
        const ViewState state = h.app->viewState();
        const QString selection = Selection(ch99);
        const int row = ch99.currentRow(), column = ch99.currentColumn();
        QTest::keyClick(ch99.grid(), Qt::Key_Escape);
        QCOMPARE(h.app->viewState(), state);
        QCOMPARE(Selection(ch99), selection);
        QCOMPARE(ch99.currentRow(), row);
        QCOMPARE(ch99.currentColumn(), column);
        QCOMPARE(NormalCommandsShown(ch99), !sort);
        QCOMPARE(MoveCommandsShown(ch99), sort);
        QVERIFY(!ch99.label(QStringLiteral("lblScan"))->isVisible());
    }
    QCOMPARE(scanEnded.count(), 0);
    QCOMPARE(h.radio->frameLog().size(), frames);
}

void AppWindowsTest::rowHooks()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& all = h.open(ViewKind::All);
    QVERIFY(h.read(all));
    QSignalSpy edits(&all, &MemoryView::editRequested);
    QSignalSpy comments(&all, &MemoryView::commentRequested);
    QSignalSpy loads(&all, &MemoryView::loadRequested);
    QSignalSpy prints(&all, &MemoryView::printRequested);
    MessageBoxHelper boxes;  // Load says the view was never saved
    h.clickCell(all, 104, Col455);
    h.clickCell(all, 110, ColComment);
    h.press(all, "cmdLoad");
    // Print opens the printer dialog; the operator cancels it.
    QTimer::singleShot(0, &all, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    h.press(all, "cmdPrint");
    QCOMPARE(edits.count(), 1);
    QCOMPARE(edits.at(0).at(0).toInt(), 104);
    QCOMPARE(all.currentRow(), 110);
    QCOMPARE(comments.count(), 1);
    QCOMPARE(comments.at(0).at(0).toInt(), 110);
    QCOMPARE(loads.count(), 1);
    QCOMPARE(prints.count(), 1);
}

void AppWindowsTest::readFailureKeepsRows()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& all = h.open(ViewKind::All);
    sim::Faults faults;
    faults.stopAfter = h.radio->replyCount() + 5;  // five channels, then silence
    h.radio->setFaults(faults);
    MessageBoxHelper boxes;
    h.press(all, "cmdRead");
    QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
    QVERIFY(h.idle());
    QVERIFY2(boxes.lastText().contains(QStringLiteral("did not answer")), qPrintable(boxes.lastText()));
    QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
    QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("1-5"));
    QCOMPARE(DataRows(h.table(ViewKind::Ch99)), QStringLiteral("1-5"));
    QCOMPARE(h.beeps, 0);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The radio answers again: the next Read works.
    h.radio->setFaults({});
    QVERIFY(h.read(all));
    QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("1-113"));
}

void AppWindowsTest::lostLinkRecoversOnNextRead()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& qmb = h.open(ViewKind::Qmb);
    h.radio->unplug();
    MessageBoxHelper boxes;
    h.press(qmb, "cmdRead");
    QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
    QVERIFY(h.idle());
    QVERIFY(!boxes.lastText().isEmpty());
    QCOMPARE(DataRows(h.table(ViewKind::Qmb)), QString());
    h.radio->replug();
    QVERIFY(h.read(qmb));
    QCOMPARE(DataRows(h.table(ViewKind::Qmb)), QStringLiteral("1-5"));
    QCOMPARE(boxes.count(), 1);
}

void AppWindowsTest::helpAndAbout()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& qmb = h.open(ViewKind::Qmb);
    qmb.findChild<QAction*>(QStringLiteral("itmContents"))->trigger();
    HelpWindow* help = h.app->helpWindow();
    QVERIFY(help && help->isVisible());
    auto* tabs = help->findChild<QTabWidget*>(QStringLiteral("tabHelp"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("Contents"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Index"));
    QVERIFY(help->findChild<QTreeWidget*>(QStringLiteral("treeContents"))->topLevelItemCount() >= 5);
    const QString text = help->browser()->toPlainText();
    for (const char* word : {"Read", "Clear", "Exit", "VFO-A", "Scan", "Save", "Load", "Print", "About"})
        QVERIFY2(text.contains(QString::fromLatin1(word)), word);

    qmb.findChild<QAction*>(QStringLiteral("itmAbout"))->trigger();
    AboutBox& about = h.app->aboutBox();
    QVERIFY(about.isVisible());
    QVERIFY(!about.isModal());
    QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vardo"));
    QCOMPARE(h.control<QLabel>(about, "Label1")->text(), QString());
    QVERIFY(h.control<QLabel>(about, "lblDataDir")->text().contains(QDir::toNativeSeparators(h.dir.path())));
    QCOMPARE(h.control(about, "cmdOK")->text(), QStringLiteral("OK"));
    QVERIFY(qmb.isVisible());  // the window it was opened from stays usable
    h.press(about, "cmdOK");
    QVERIFY(!about.isVisible());
}

void AppWindowsTest::exitEndsProgram()
{
    AppHarness h;
    QVERIFY(h.started());
    MemoryView& pms = h.open(ViewKind::Pms);
    QSignalSpy closing(h.app.get(), &VardoApp::closing);
    QSignalSpy ended(h.app.get(), &VardoApp::ended);
    h.press(pms, "cmdExit");
    QCOMPARE(closing.count(), 1);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 0);
    QVERIFY(!h.app->mainWindow().isVisible());
    for (ViewKind kind : kAllViews)
        QVERIFY(!h.view(kind).isVisible());
}

void AppWindowsTest::exitWithAboutOpen()
{
    AppHarness h;
    QVERIFY(h.started());
    QSignalSpy ended(h.app.get(), &VardoApp::ended);
    h.app->mainWindow().findChild<QAction*>(QStringLiteral("itmAbout"))->trigger();
    h.press(h.app->mainWindow(), "cmdExit");
    QVERIFY(!h.app->mainWindow().isVisible());
    QVERIFY(h.app->aboutBox().isVisible());
    QCOMPARE(ended.count(), 0);
    h.press(h.app->aboutBox(), "cmdOK");
    QCOMPARE(ended.count(), 1);
}

QTEST_MAIN(AppWindowsTest)
#include "app_windows_test.moc"
