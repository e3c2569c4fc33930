// SPDX-License-Identifier: GPL-3.0-or-later
// The windows against the emulator, by mouse, keys and screen reader; the remembered connection and its dialog.

#include <functional>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include "aboutbox.h"
#include "codec.h"
#include "commandline.h"
#include "connectiondialog.h"
#include "filebytes.h"
#include "helpwindow.h"
#include "launch.h"
#include "messageboxhelper.h"
#include "progressrow.h"
#include "ui_steps.h"
#include "viewdescriptor.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr const char* kOptions[] = {"optAll", "optCh99", "optPms", "optQmb"};

// What the operator sees happen, and where the keyboard is then: "sent 00 00 00 66 06 | Grid".
QString Outcome(AppHarness& h, MemoryView& v, const MessageBoxHelper& boxes)
{
    QString seen = QStringLiteral("nothing");
    const QStringList frames = SentFrames(*h.radio);
    const ViewState& state = h.app->viewState();
    if (!boxes.texts().isEmpty())
        seen = QStringLiteral("refused ") + boxes.texts().join(u'|');
    else if (!frames.isEmpty())
        seen = QStringLiteral("sent ") + frames.join(u'|');
    else if (ChannelEditor* e = h.app->editorCommands().editor())
        seen = QStringLiteral("editor") + e->findChild<QLabel*>(QStringLiteral("lblChanges"))->text();
    else if (auto* caption = v.findChild<QLabel*>(QStringLiteral("lblComments")); caption->isVisible())
        seen = QStringLiteral("comment ") + caption->text();
    else if (state.ScanMode)
        seen = QStringLiteral("scan ") + v.findChild<QLabel*>(QStringLiteral("lblScan"))->text();
    else if (state.SortMode)
        seen = QStringLiteral("picked ") + SelectedCells(v);
    // A window that a message box left is active again on a desktop, not offscreen.
    const QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : v.focusWidget();
    return seen + QStringLiteral(" | ") + (focus ? focus->objectName() : QString());
}

// The controls of `window` an operator works with that have no accessible name, as "window/objectName".
QStringList Unnamed(QWidget& window)
{
    static const QList<QAccessible::Role> kControls{
        QAccessible::EditableText, QAccessible::PushButton, QAccessible::RadioButton, QAccessible::CheckBox,
        QAccessible::ComboBox,     QAccessible::SpinBox,    QAccessible::List,        QAccessible::Table,
        QAccessible::Tree,         QAccessible::ProgressBar, QAccessible::PageTab,    QAccessible::MenuItem};
    QStringList unnamed;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        const bool control = kControls.contains(node->role());
        if (control && node->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << window.objectName() + u'/' + node->object()->objectName();
        // A list's items are named by their texts; an empty cell is no control.
        if (node->tableInterface() || node->role() == QAccessible::List || node->role() == QAccessible::Tree)
            return;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i))
                walk(child);
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    return unnamed;
}

QString Name(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

// The settings live under a folder of the test's own, XDG_CONFIG_HOME, for the whole run.
QString ConfigFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Vardo/Vardo.conf");
}

// Answers the next Connection dialog while the timer lives: the port typed, `fill` for the rest, OK.
std::unique_ptr<QTimer> AnswerConnection(const QString& port, std::function<void(ConnectionDialog&)> fill = {})
{
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [t = timer.get(), port, fill] {
        if (auto* dialog = qobject_cast<ConnectionDialog*>(QApplication::activeModalWidget())) {
            t->stop();
            dialog->findChild<QComboBox*>(QStringLiteral("cboPort"))->setEditText(port);
            if (fill)
                fill(*dialog);
            dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        }
    });
    timer->start(10);
    return timer;
}

QString RadioLine(QWidget& window)
{
    return window.findChild<QLabel*>(QStringLiteral("lblRadio"))->text();
}

}  // namespace

class AppWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void views_data()
    {
        // labels: "row:Ch#" of the ends and block edges; rows: after Read, data rows of each view
        Columns<ViewKind, QString, QStringList, QStringList>("kind", "caption", "labels", "rows");
        QTest::newRow("all") << ViewKind::All << "All Memory Channels"
                             << QStringList{"1:1", "99:99", "100:P1", "108:P9", "109:Q1", "113:Q5"}
                             << QStringList{"1-113", "1-99", "1-9", "1-5"};
        QTest::newRow("ch99") << ViewKind::Ch99 << "Memory Channels 1-99" << QStringList{"1:1", "99:99"}
                              << QStringList{"1-99", "1-99", "", ""};
        QTest::newRow("pms") << ViewKind::Pms << "PMS Memory Channels" << QStringList{"1:P1", "9:P9"}
                             << QStringList{"100-108", "", "1-9", ""};
        QTest::newRow("qmb") << ViewKind::Qmb << "Quick Memory Banks" << QStringList{"1:Q1", "5:Q5"}
                             << QStringList{"109-113", "", "", "1-5"};
    }
    // Start-up upgrades the files before the radio is asked anything; Read fills rows and mirrors from the records.
    void views()
    {
        QFETCH(ViewKind, kind); QFETCH(QStringList, labels); QFETCH(QStringList, rows); QFETCH(QString, caption);
        int framesAtUpgrade = -1;
        AppHarness h(sim::Timing::Fast, {}, [&](const QString& dir) {
            framesAtUpgrade = dir == h.dir.path() ? int(h.radio->frameLog().size()) : -2;  // -2: another folder
        });
        QVERIFY(h.started() && framesAtUpgrade == 0 && MemoryRequests(*h.radio).isEmpty());
        QCOMPARE(h.app->mainWindow().windowTitle(), QStringLiteral("Vardo for Windows"));
        MemoryView& v = h.open(kind);
        for (ViewKind other : kAllViews)
            QCOMPARE(h.view(other).isVisible(), other == kind);
        // The placeholder shows "*" while the view is unsaved, nothing otherwise.
        QVERIFY(v.windowTitle() == caption + QStringLiteral("[*]") && !v.isWindowModified() && !h.app->mainWindow().isVisible());
        QVERIFY(h.control<QRadioButton>(v, kOptions[int(kind)])->isChecked());
        QStringList headers;
        for (int c = 0; c < kColumnCount; ++c)
            headers << v.grid()->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Ch#", "Freq (kHz)", "Mode", "8.2 Filter", "455 Filter", "Ant", "Rx RIT",
                                       "Tx RIT", "Offset", "RPT", "Comments"}));
        QCOMPARE(v.grid()->model()->rowCount(), labels.last().section(u':', 0, 0).toInt());
        for (const QString& label : labels)
            QCOMPARE(h.table(kind).cell(label.section(u':', 0, 0).toInt(), ColLabel), label.section(u':', 1));

        QVERIFY(h.read(v) && h.beeps == 1);
        QCOMPARE(MemoryRequests(*h.radio), Range(FirstChannel(kind), LastChannel(kind)));
        for (ViewKind other : kAllViews)
            QCOMPARE(DataRows(h.table(other)), rows.at(int(other)));
        for (int ch = FirstChannel(kind); ch <= LastChannel(kind); ++ch)
            for (ViewKind shown : {kind, MirrorView(kind, ch)})
                QCOMPARE(h.table(shown).row(RowOfChannel(shown, ch)),
                         CellsFromChannel(DecodeRecord(h.radio->memory(ch))));
    }

    // A screen reader's toggle switches too (it emits no click); Clear in frmCh99 leaves frmAll's rows alone.
    void switchingAndClear()
    {
        AppHarness h;
        QVERIFY(h.started());
        const auto toggle = [&](QWidget& window, const char* name) {
            QAccessible::queryAccessibleInterface(h.control<QRadioButton>(window, name))
                ->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        };
        QSignalSpy switching(h.app.get(), &VardoApp::viewSwitching);
        MemoryView& all = h.view(ViewKind::All);
        MemoryView& qmb = h.view(ViewKind::Qmb);
        MemoryView& ch99 = h.view(ViewKind::Ch99);
        toggle(h.app->mainWindow(), "optPms");
        QTRY_VERIFY(h.view(ViewKind::Pms).isVisible() && !h.app->mainWindow().isVisible());
        h.choose(h.view(ViewKind::Pms), "optAll");
        QVERIFY(h.read(all));
        toggle(all, "optQmb");
        QTRY_VERIFY(!all.isVisible() && qmb.isVisible() && !h.app->mainWindow().isVisible());
        QVERIFY(h.control<QRadioButton>(h.app->mainWindow(), "optQmb")->isChecked());
        h.choose(qmb, "optQmb");  // its own option: it stays
        QVERIFY(qmb.isVisible());
        h.choose(qmb, "optCh99");
        h.app->family().setCell(ViewKind::Ch99, 7, ColComment, QStringLiteral("net"));
        const QString freq7 = h.table(ViewKind::All).cell(7, ColFreq);
        h.press(ch99, "cmdClear");
        QVERIFY(DataRows(h.table(ViewKind::Ch99)).isEmpty() && h.table(ViewKind::Ch99).cell(7, ColComment).isEmpty());
        QCOMPARE(h.table(ViewKind::Ch99).cell(7, ColLabel), QStringLiteral("7"));
        h.choose(ch99, "optAll");
        QVERIFY(all.isVisible() && !ch99.isVisible() && switching.count() == 4);
        QVERIFY(DataRows(h.table(ViewKind::All)) == u"1-113" && h.table(ViewKind::All).cell(7, ColFreq) == freq7);
        QCOMPARE(h.table(ViewKind::All).cell(7, ColComment), QStringLiteral("net"));
    }

    void closeWhileBusy_data()
    {
        // told: a part of the failure's message; none: the read ends well, at the line's pace
        Columns<QString, QString>("command", "told");
        QTest::newRow("read") << "cmdRead" << "";
        QTest::newRow("read, the radio falls silent") << "cmdRead" << "did not answer";
        QTest::newRow("load from the saved file, the radio falls silent") << "cmdLoad" << "No channel was written.";
    }
    // Commands pressed during an operation change nothing; a window closed meanwhile waits for it, and when
    // it fails the program ends only once the failure is answered.
    void closeWhileBusy()
    {
        QFETCH(QString, command); QFETCH(QString, told);
        AppHarness h(told.isEmpty() ? sim::Timing::Real : sim::Timing::Fast);
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        QVERIFY(command == u"cmdRead" || h.read(pms));
        if (command == u"cmdLoad") {
            h.press(pms, "cmdSave");
            h.app->family().clear(ViewKind::Pms);
        }
        const Tables before = AllTables(h);
        if (!told.isEmpty())
            h.radio->setFaults({.ident = {}, .stopAfter = h.radio->replyCount()});  // silent from the next request on
        QSignalSpy saves(&pms, &MemoryView::saveRequested);
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        // The box runs its own event loop: answered from a timer, after ticks the program must sit out.
        QString shown;
        int ticks = 0;
        bool endedWhileShown = false;
        QTimer operatorReads;
        QObject::connect(&operatorReads, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->objectName() == QLatin1String(kUnsavedQuestion) || ++ticks < 15)
                return;
            shown = box->text();
            endedWhileShown = !ended.isEmpty() || !pms.isVisible();
            box->button(QMessageBox::Ok)->click();
        });
        operatorReads.start(20);
        h.press(pms, qPrintable(command));
        QVERIFY(h.app->busyState().busy() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        for (const char* pressed : {"cmdRead", "cmdClear", "cmdExit", "cmdSave"})
            h.press(pms, pressed);
        h.choose(pms, "optAll");
        for (int column : {ColLabel, ColMode, ColOffset})
            h.clickCell(pms, 2, column);
        QVERIFY(h.app->busyState().busy() && !h.app->viewState().SortMode && !h.view(ViewKind::All).isVisible());
        pms.close();
        QVERIFY(pms.isVisible());
        // The window stays live: rows appear one by one while the read goes on.
        QSet<QString> counts;
        QVERIFY(QTest::qWaitFor([&] {
            counts.insert(DataRows(h.table(ViewKind::Pms)));
            return !h.app->busyState().busy();
        }, kWaitMs));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
        QVERIFY(!endedWhileShown && ended.at(0).at(0).toInt() == 0 && !pms.isVisible() && saves.isEmpty()
                && !QApplication::overrideCursor());
        QVERIFY2(told.isEmpty() ? shown.isEmpty() : shown.contains(told), qPrintable(shown));
        if (told.isEmpty()) {
            QVERIFY2(counts.size() > 3, "rows did not fill one at a time");
            QCOMPARE(MemoryRequests(*h.radio), Range(100, 108));
            QCOMPARE(DataRows(h.table(ViewKind::Pms)), QStringLiteral("1-9"));
        } else {
            QCOMPARE(AllTables(h), before);
        }
    }

    void readFailure_data()
    {
        // unplug: else the radio falls silent after five channels; radioLine: in the status bars after the failure
        Columns<bool, QString, QString>("unplug", "kept", "radioLine");
        QTest::newRow("silent radio") << false << "1-5" << "FT-1000MP on sim";
        QTest::newRow("lost link") << true << "" << "Radio link lost";
    }
    // The rows read stay, and the next Read works and names the radio's port again.
    void readFailure()
    {
        QFETCH(bool, unplug); QFETCH(QString, kept); QFETCH(QString, radioLine);
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& all = h.open(ViewKind::All);
        const auto radioLines = [&] { return RadioLine(h.app->mainWindow()) + " | " + RadioLine(all); };
        unplug ? h.radio->unplug() : h.radio->setFaults({.ident = {}, .stopAfter = h.radio->replyCount() + 5});
        MessageBoxHelper boxes;
        h.press(all, "cmdRead");
        QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)) && h.idle());
        QVERIFY2(unplug || boxes.lastText().contains(QStringLiteral("did not answer")), qPrintable(boxes.lastText()));
        QVERIFY(boxes.seen().first().icon == QMessageBox::Warning && h.beeps == 0 && !QApplication::overrideCursor());
        QCOMPARE(DataRows(h.table(ViewKind::All)) + "|" + DataRows(h.table(ViewKind::Ch99)), kept + "|" + kept);
        QCOMPARE(radioLines(), radioLine + " | " + radioLine);
        unplug ? h.radio->replug() : h.radio->setFaults({});
        QVERIFY(h.read(all) && boxes.count() == 1);
        QCOMPARE(DataRows(h.table(ViewKind::All)) + " | " + radioLines(),
                 QStringLiteral("1-113 | FT-1000MP on sim | FT-1000MP on sim"));
    }

    void gridActions_data()
    {
        // how: a click, a key or what opens the row's menu; state: empty row, sort or scan; chosen: the entry, -1: none
        Columns<ViewKind, int, int, QString, QString, QStringList, int, QString>("kind", "row", "column", "state",
            "how", "entries", "chosen", "outcome");
        const auto act = [](const char* name, ViewKind kind, int row, int column, const char* how, const char* outcome) {
            QTest::newRow(name) << kind << row << column << "" << how << QStringList{} << -1 << outcome;
        };
        QTest::newRow("click on an empty row's comment") << ViewKind::All << 110 << int(ColComment) << "empty" << "click"
            << QStringList{} << -1 << "refused Nothing to comment on! | cmdLoad";
        act("click on Mode", ViewKind::Pms, 3, ColMode, "click", "sent 00 00 00 66 06 | cmdExit");
        act("Enter on Mode", ViewKind::Pms, 3, ColMode, "Return", "sent 00 00 00 66 06 | Grid");
        act("F2 on a refused cell", ViewKind::All, 110, ColMode, "F2",
            "refused Cannot load QMB memory channels into VFO-A! | Grid");
        act("Enter on a setting", ViewKind::Ch99, 12, ColOffset, "Enter",
            "editor Enter changes desired for Memory Channel 12:  | txtFreq");
        act("F2 on Comments", ViewKind::Qmb, 2, ColComment, "F2",
            "comment Edit comments for QMB memory channel 2: | txtComments");
        act("Enter on Ch#", ViewKind::Ch99, 7, ColLabel, "Return", "picked 7:0-10 | Grid");
        const QString pick = QStringLiteral("&Pick for Moving\tEnter on Ch#");
        const QString vfo = QStringLiteral("Load into &VFO-A\tEnter on Mode");
        const QString edit = QStringLiteral("&Edit Channel...\tEnter on a setting");
        const QString comment = QStringLiteral("Edit &Comment...\tEnter on Comments");
        QTest::newRow("menu of a row with data") << ViewKind::Ch99 << 12 << int(ColAnt) << "" << "Shift+F10"
            << QStringList{pick, vfo, edit, comment} << 1 << "sent 00 00 00 0C 06 | Grid";
        QTest::newRow("menu of an empty row") << ViewKind::Pms << 4 << int(ColAnt) << "empty" << "right click"
            << QStringList{"No action on this row"} << -1 << "nothing | Grid";
        QTest::newRow("menu of a QMB row") << ViewKind::All << 110 << int(ColAnt) << "" << "right click"
            << QStringList{comment} << 0 << "comment Edit comments for QMB memory channel 2: | txtComments";
        QTest::newRow("menu of the row picked for moving") << ViewKind::Ch99 << 10 << int(ColAnt) << "sort" << "Shift+F10"
            << QStringList{vfo, "Move &Up\tAlt+U", "Move &Down\tAlt+D", "&Ok, Done Moving\tAlt+O"} << 1
            << "picked 9:0-10 | Grid";
        QTest::newRow("menu of the scan's range") << ViewKind::All << 5 << int(ColAnt) << "scan" << "Menu"
            << QStringList{"Pick for the &Scan\tEnter"} << 0 << "scan Click on the memory channel row to end the scan at | Grid";
    }
    // A refusal moves the keyboard to cmdLoad after a click, a load to cmdExit; keys and menus leave it in the grid.
    // The comment box and the move commands take the options' line: the grid and the window stay where they were.
    void gridActions()
    {
        QFETCH(ViewKind, kind); QFETCH(int, row); QFETCH(int, column); QFETCH(QString, state); QFETCH(QString, how);
        QFETCH(QStringList, entries); QFETCH(int, chosen); QFETCH(QString, outcome);
        AppHarness h;
        MemoryView* v = h.openFilled(kind);
        QVERIFY(v);
        ChannelGrid* grid = v->grid();
        grid->setFocus();
        if (state == "empty")
            h.app->family().setRow(kind, row, RowCells{});
        if (state == "sort") {
            v->setCurrentCell(10, ColLabel);
            QTest::keyClick(grid, Qt::Key_Return);
        }
        if (state == "scan")
            h.press(*v, "cmdScan");
        h.radio->clearLog();
        MessageBoxHelper boxes;
        v->setCurrentCell(row, column);
        const QRect place = grid->geometry();
        const QSize window = v->size();
        const int top = TopRow(*v);
        if (how == "click") {
            h.clickCell(*v, row, column);
        } else if (how == "right click") {
            // The press and release do nothing of a left click's; the menu comes with the press.
            const QModelIndex cell = grid->model()->index(row - 1, column);
            grid->scrollTo(cell);
            const QPoint at = grid->visualRect(cell).center();
            QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
            QApplication::sendEvent(grid->viewport(), &event);
        } else {
            const QKeyCombination key = QKeySequence(how)[0];
            QTest::keyClick(grid, key.key(), key.keyboardModifiers());
        }
        if (!entries.isEmpty()) {
            QMenu* menu = nullptr;
            QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
            QStringList texts;
            for (const QAction* action : menu->actions())
                texts << action->text();
            QCOMPARE(texts, entries);
            if (chosen >= 0)
                menu->setActiveAction(menu->actions().at(chosen));
            QTest::keyClick(menu, chosen < 0 ? Qt::Key_Escape : Qt::Key_Return);
        }
        QTRY_VERIFY(!QApplication::activePopupWidget() && h.idle());
        QTRY_COMPARE(Outcome(h, *v, boxes), outcome);
        QVERIFY(grid->geometry() == place && v->size() == window && TopRow(*v) == top);
        for (const SeenMessage& box : boxes.seen())
            QVERIFY(box.icon == QMessageBox::Warning && box.title == u"Vardo" && box.buttons == QMessageBox::Ok);
    }

    // Tab never goes from cell to cell (the options are one stop); every window's controls are named, and the state
    // said in words. About is not modal and names the data folder; Exit unloads all but About, whose OK ends the program.
    void keyboardScreenReaderAndAbout()
    {
        AppHarness h;
        MemoryView* v = OpenAndRead(h, ViewKind::Ch99);  // the read keeps a snapshot for the history
        QVERIFY(v && QTest::qWaitForWindowActive(v));
        MemoryView& ch99 = *v;
        ch99.grid()->setFocus();
        QStringList visited;
        for (int i = 0; i < 10; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
        QCOMPARE(visited, (QStringList{"Grid", "optAll", "cmdRead", "cmdSave", "cmdLoad", "cmdClear", "cmdScan", "cmdPrint",
                                       "cmdExit", "Grid"}));
        QCOMPARE(Name(h.control<QLabel>(ch99, "lblRadio")), QStringLiteral("FT-1000MP on sim"));
        Action(ch99, "itmHistory")->trigger();
        auto* history = ch99.findChild<QDialog*>(QStringLiteral("dlgHistory"));
        h.clickCell(ch99, 12, ColOffset);
        ChannelEditor* editor = Editor(h);
        Action(ch99, "itmContents")->trigger();
        Action(ch99, "itmAbout")->trigger();
        AboutBox& about = h.app->aboutBox();
        QVERIFY(h.app->helpWindow() && h.app->helpWindow()->findChild<QListWidget*>(QStringLiteral("lstIndex"))->count() > 0);
        QVERIFY(about.isVisible() && !about.isModal() && ch99.isVisible());
        QVERIFY(h.control<QLabel>(about, "lblDataDir")->text().contains(QDir::toNativeSeparators(h.dir.path())));
        const QList<QWidget*> windows{&h.app->mainWindow(), &h.view(ViewKind::All), &ch99, &h.view(ViewKind::Pms),
                                      &h.view(ViewKind::Qmb), history, editor, h.app->helpWindow(), &about};
        QStringList unnamed;
        for (QWidget* window : windows)
            unnamed << (window ? Unnamed(*window) : QStringList{"a window missing"});
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));

        // The editor is a dialog whose boxes and lists are named by their labels.
        QCOMPARE(QAccessible::queryAccessibleInterface(editor)->role(), QAccessible::Dialog);
        QStringList names;
        for (const char* control : {"txtFreq", "lstMode", "lst82Filt", "lst455Filt", "lstAnt", "lstRxRit", "lstTxRit",
                                    "txtOffset", "lstRpt"})
            names << Name(editor->findChild<QWidget*>(QString::fromLatin1(control)));
        QCOMPARE(names.join(u'|'), QStringLiteral("Freq (kHz)|Mode|8.2 Filter|455 Filter|Ant|Rx RIT|Tx RIT|Offset|RPT"));
        editor->close();
        history->close();

        // The progress says how far an operation got.
        auto* progress = ch99.findChild<ProgressRow*>();
        progress->start(113);
        for (int i = 0; i < 42; ++i) progress->step();
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(h.control<QProgressBar>(ch99, "progressBar"));
        QCOMPARE(bar->text(QAccessible::Name) + " | " + bar->text(QAccessible::Value),
                 QStringLiteral("channel 42 of 113 | channel 42 of 113"));
        progress->finish();

        // A cell Compare marks tells what the radio holds, not by its colour alone.
        h.app->family().setCell(ViewKind::Ch99, 3, ColFreq, QStringLiteral("5360.00  "));
        MessageBoxHelper boxes;
        Action(ch99, "actCompare")->trigger();
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 1 && h.idle(); }, kWaitMs));
        QAccessibleTableInterface* grid = QAccessible::queryAccessibleInterface(ch99.grid())->tableInterface();
        QCOMPARE(grid->cellAt(2, ColFreq)->text(QAccessible::Description), QStringLiteral("Radio: 5357.00"));
        QCOMPARE(grid->cellAt(2, ColMode)->text(QAccessible::Description), QString());

        // A status message, which the bar paints itself, is the bar's name while it shows.
        ch99.statusBar()->showMessage(QStringLiteral("99 channels read"));
        QCOMPARE(Name(ch99.statusBar()), QStringLiteral("99 channels read"));

        QSignalSpy closing(h.app.get(), &VardoApp::closing);
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        h.press(ch99, "cmdExit");
        QVERIFY(closing.count() == 1 && ended.isEmpty() && about.isVisible() && !h.app->mainWindow().isVisible());
        for (ViewKind kind : kAllViews)
            QVERIFY(!h.view(kind).isVisible());
        h.press(about, "cmdOK");
        QVERIFY(ended.count() == 1 && ended.at(0).at(0).toInt() == 0);
    }

    // Last: these write the settings.
    void storedThenOverridden_data()
    {
        // stored: Vardo.conf as an earlier run left it
        Columns<QByteArray, QStringList, QStringList, int>("stored", "args", "probed", "pacing");
        const QStringList system{"/dev/ttyS0", "/dev/ttyUSB0"};
        const QByteArray usb20("[Connection]\nPorts=tcp://shack:4001, /dev/ttyUSB1\nPacing=20\n");
        QTest::newRow("nothing remembered") << QByteArray() << QStringList{} << system << 5;
        QTest::newRow("ports, in order, and pacing remembered")
            << usb20 << QStringList{} << QStringList{"tcp://shack:4001", "/dev/ttyUSB1"} << 20;
        QTest::newRow("--port and --pacing (at its ends) for this run, in order")
            << usb20 << QStringList{"--port", "COM3", "--pacing=0", "--port=/dev/ttyUSB1", "--pacing=255"}
            << QStringList{"COM3", "/dev/ttyUSB1"} << 255;
        QTest::newRow("--simulate for this run") << usb20 << QStringList{"--simulate"}
                                                 << QStringList{"simulated radio", "tcp://shack:4001", "/dev/ttyUSB1"} << 20;
        QTest::newRow("unusable values left out") << QByteArray("[Connection]\nPorts=tcp://shack\nPacing=300\n")
                                                  << QStringList{} << system << 5;
        // probed empty: the command line is refused
        for (const char* refused : {"--fast", "--port", "--data-dir=", "COM3", "--pacing 256"})
            QTest::addRow("refused: %s", refused) << QByteArray() << QString::fromLatin1(refused).split(u' ')
                                                  << QStringList{} << 5;
    }
    void storedThenOverridden()
    {
        QFETCH(QByteArray, stored); QFETCH(QStringList, args); QFETCH(QStringList, probed);
        // Qt keeps a file it read until its size or time changes; rows write within one instant.
        QFile::remove(ConfigFile());
        (void)StoredConnection();
        QVERIFY(QDir().mkpath(QFileInfo(ConfigFile()).path()));
        QVERIFY(stored.isEmpty() || PutFile(ConfigFile(), stored));
        const CommandLine line = ParseCommandLine(QStringList{"vardo"} + args);
        QCOMPARE(line.error.isEmpty(), !probed.isEmpty());
        if (probed.isEmpty())
            return;
        const Connection run = ConnectionForRun(line, StoredConnection());
        QCOMPARE(PortsToProbe(run.ports, run.simulate, {"/dev/ttyS0", "/dev/ttyUSB0"}), probed);
        QTEST(run.pacing, "pacing");
    }

    void portBox_data()
    {
        // ports: what OK takes; refusal: the message instead; the dialog stays open
        Columns<QString, QStringList, QString>("typed", "ports", "refusal");
        const QString form = QStringLiteral("\rA radio on the network is given as tcp://HOST:PORT, with a port number "
                                            "from 1 to 65535, for example tcp://192.168.1.20:4001.");
        const QString bad = QStringLiteral("\"%1\" is not a network address Vardo can use.") + form;
        QTest::newRow("search every port") << "Search every port" << QStringList{} << "";
        QTest::newRow("a network radio") << "TCP://192.168.1.20:4001" << QStringList{"TCP://192.168.1.20:4001"} << "";
        QTest::newRow("several, in order") << "tcp://shack:4001, COM3," << QStringList{"tcp://shack:4001", "COM3"} << "";
        for (const char* address : {"tcp://shack", "tcp://shack:0", "tcp://shack:65536", "tcp://:4001",
                                    "tcp://shack:4001/radio", "udp://shack:4001", "COM3, tcp://shack:port"}) {
            const QString name = QString::fromLatin1(address).section(QStringLiteral(", "), -1);
            QTest::addRow("%s", address) << address << QStringList{} << bad.arg(name);
        }
    }
    void portBox()
    {
        QFETCH(QString, typed); QFETCH(QString, refusal);
        ConnectionDialog dialog(Connection{{"COM9"}, 5, false}, {"/dev/ttyS0"});
        dialog.findChild<QComboBox*>(QStringLiteral("cboPort"))->setEditText(typed);
        MessageBoxHelper boxes;
        dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(boxes.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QCOMPARE(dialog.result() == QDialog::Accepted, refusal.isEmpty());
        QTEST(refusal.isEmpty() ? dialog.connection().ports : QStringList{}, "ports");
    }

    // From the Radio menu a port where no radio answers leaves the windows saying so.
    void changeFindsNothing()
    {
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        MessageBoxHelper boxes;
        const auto answer = AnswerConnection(QStringLiteral("nowhere"));
        Action(pms, "itmConnection")->trigger();
        QVERIFY(boxes.waitForCount(1));
        QCOMPARE(boxes.lastText(), QStringLiteral("I couldn't find the FT-1000MP on any serial port\rPorts tried:\r"
                                                  "cannot open nowhere: there is no such port"));
        QCOMPARE(RadioLine(pms) + " | " + RadioLine(h.app->mainWindow()), QStringLiteral("No radio found | No radio found"));
        QVERIFY(!Action(pms, "actCompare")->isEnabled());
    }

    void notFoundAtStart_data()
    {
        Columns<QMessageBox::StandardButton, bool>("answer", "runs");
        QTest::newRow("Connection..., then the radio's port") << QMessageBox::Retry << true;
        QTest::newRow("OK ends the program") << QMessageBox::Ok << false;
    }
    // No radio at start: Retry gives the Connection dialog, whose port and pacing are remembered (the emulator not).
    void notFoundAtStart()
    {
        QFETCH(QMessageBox::StandardButton, answer); QFETCH(bool, runs);
        MessageBoxHelper boxes(answer);
        AppHarness h(sim::Timing::Fast, [](sim::SimRadio& r) { r.setFaults({.ident = {}, .silent = true}); });
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        const auto connection = AnswerConnection(QStringLiteral("sim"), [&h](ConnectionDialog& d) {
            h.radio->setFaults({});
            d.findChild<QSpinBox*>(QStringLiteral("spnPacing"))->setValue(9);
            d.findChild<QCheckBox*>(QStringLiteral("chkEmulator"))->setChecked(true);
        });
        QVERIFY(boxes.waitForCount(1));
        QCOMPARE(boxes.lastText(), QStringLiteral("I couldn't find the FT-1000MP on any serial port\rPorts tried:\r"
                                                  "sim did not answer"));
        QVERIFY(runs ? h.started() && h.idle() : QTest::qWaitFor([&] { return ended.count() == 1; }, kWaitMs));
        QCOMPARE(ended.count(), runs ? 0 : 1);
        const QByteArray conf = FileBytes(ConfigFile());
        QVERIFY2(!runs || (h.radio->pacing() == 9 && RadioLine(h.app->mainWindow()) == u"FT-1000MP on sim"
                           && conf.contains("Ports=sim\n") && conf.contains("Pacing=9\n") && !conf.contains("mulat")),
                 conf.constData());
    }
};

int main(int argc, char* argv[])
{
    // Before the first QSettings: Qt reads the folder once.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    AppWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "app_windows_test.moc"
