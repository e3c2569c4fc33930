// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows against the emulator in-process: start-up, the four views, Read,
// Clear, switching, the busy guard, clicks with their refusals and the VFO-A load, sort mode,
// a failed read, help, about and the end; and the command line.

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QTimer>

#include "aboutbox.h"
#include "codec.h"
#include "commandline.h"
#include "helptopics.h"
#include "helpwindow.h"
#include "launch.h"
#include "ui_steps.h"
#include "viewdescriptor.h"

using namespace vardo;
using namespace vardo::test;

namespace {
constexpr const char* kOptions[] = {"optAll", "optCh99", "optPms", "optQmb"};
}  // namespace

class AppWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void views_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("labels");  // "row:Ch#" of the first and last rows and the block edges
        QTest::addColumn<QStringList>("rows");    // after Read, data rows of frmAll, frmCh99, frmPms, frmQmb
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
    // The main window first, after the saved files are upgraded and before the radio is asked
    // anything; then each view alone on screen with its caption, menus, headers whole and row
    // labels; Read fills its rows and their mirrors, each with its own channel's record.
    void views()
    {
        QFETCH(ViewKind, kind);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, rows);
        sim::SimRadio* radio = nullptr;
        int framesAtUpgrade = -1;
        AppHarness h(sim::Timing::Fast, [&](sim::SimRadio& r) { radio = &r; }, [&](const QString& dir) {
            framesAtUpgrade = dir == h.dir.path() ? int(radio->frameLog().size()) : -2;  // -2: another folder
        });
        QVERIFY(h.started());
        QCOMPARE(framesAtUpgrade, 0);
        QCOMPARE(h.app->mainWindow().windowTitle(), QStringLiteral("Vardo for Windows"));
        for (ViewKind other : kAllViews)
            QVERIFY(!h.view(other).isVisible());
        QVERIFY(MemoryRequests(*h.radio).isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        MemoryView& v = h.open(kind);
        QVERIFY(!h.app->mainWindow().isVisible());
        for (ViewKind other : kAllViews)
            QCOMPARE(h.view(other).isVisible(), other == kind);
        // The placeholder shows "*" while the view is unsaved, nothing otherwise.
        QFETCH(QString, caption);
        QCOMPARE(v.windowTitle(), caption + QStringLiteral("[*]"));
        QVERIFY(!v.isWindowModified());
        QVERIFY(h.control<QRadioButton>(v, kOptions[int(kind)])->isChecked());
        QVERIFY(NormalCommandsAre(v, true) && !CommentBox(v)->isVisible());
        QStringList menus;
        for (QAction* menu : v.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{"&File", "Ed&it", "R&adio", "&Help"}));
        QStringList headers;
        for (int c = 0; c < kColumnCount; ++c) {
            headers << v.grid()->model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(v.grid()->fontMetrics().horizontalAdvance(headers.last())
                         < v.grid()->horizontalHeader()->sectionSize(c),
                     qPrintable(headers.last()));
        }
        QCOMPARE(headers, (QStringList{"Ch#", "Freq (kHz)", "Mode", "8.2 Filter", "455 Filter", "Ant", "Rx RIT",
                                       "Tx RIT", "Offset", "RPT", "Comments"}));
        QCOMPARE(v.grid()->model()->rowCount(), labels.last().section(u':', 0, 0).toInt());
        for (const QString& label : labels)
            QCOMPARE(h.table(kind).cell(label.section(u':', 0, 0).toInt(), ColLabel), label.section(u':', 1));

        QVERIFY(h.read(v));
        QCOMPARE(h.beeps, 1);
        QCOMPARE(MemoryRequests(*h.radio), Range(FirstChannel(kind), LastChannel(kind)));
        for (ViewKind other : kAllViews)
            QCOMPARE(DataRows(h.table(other)), rows.at(int(other)));
        for (int ch = FirstChannel(kind); ch <= LastChannel(kind); ++ch)
            for (ViewKind shown : {kind, MirrorView(kind, ch)})
                QCOMPARE(h.table(shown).row(RowOfChannel(shown, ch)),
                         CellsFromChannel(DecodeRecord(h.radio->memory(ch))));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Switching through the option buttons, by click or by a screen reader's toggle action
    // (which emits no click); Clear in frmCh99 leaves frmAll's rows 1-99 alone.
    void switchingAndClear()
    {
        AppHarness h;
        QVERIFY(h.started());
        const auto toggle = [&](QWidget& window, const char* name) {
            QAccessibleInterface* option = QAccessible::queryAccessibleInterface(h.control<QRadioButton>(window, name));
            QVERIFY(option && option->actionInterface());
            option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
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
        QVERIFY(h.control<QRadioButton>(qmb, "optQmb")->isChecked());
        QVERIFY(h.control<QRadioButton>(h.app->mainWindow(), "optQmb")->isChecked());
        h.choose(qmb, "optQmb");  // its own option: it stays
        QVERIFY(qmb.isVisible());
        h.choose(qmb, "optCh99");
        QCOMPARE(h.app->viewState().current, ViewKind::Ch99);
        h.app->family().setCell(ViewKind::Ch99, 7, ColComment, QStringLiteral("net"));
        const QString freq7 = h.table(ViewKind::All).cell(7, ColFreq);
        h.press(ch99, "cmdClear");
        QCOMPARE(DataRows(h.table(ViewKind::Ch99)), QString());
        QCOMPARE(h.table(ViewKind::Ch99).cell(7, ColComment), QString());
        QCOMPARE(h.table(ViewKind::Ch99).cell(7, ColLabel), QStringLiteral("7"));
        h.choose(ch99, "optAll");
        QVERIFY(all.isVisible() && !ch99.isVisible() && h.control<QRadioButton>(all, "optAll")->isChecked());
        QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("1-113"));
        QCOMPARE(h.table(ViewKind::All).cell(7, ColFreq), freq7);
        QCOMPARE(h.table(ViewKind::All).cell(7, ColComment), QStringLiteral("net"));
        QCOMPARE(switching.count(), 4);
    }

    // Commands pressed during a read change nothing; closing the window waits for the read.
    void busyGuardThenClose()
    {
        AppHarness h(sim::Timing::Real);  // a read that takes a while, as on the real link
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        QSignalSpy saves(&pms, &MemoryView::saveRequested);
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        MessageBoxHelper boxes;
        h.press(pms, "cmdRead");
        QVERIFY(h.app->busyState().busy());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        for (const char* command : {"cmdRead", "cmdClear", "cmdExit", "cmdSave"})
            h.press(pms, command);
        h.choose(pms, "optAll");
        h.clickCell(pms, 1, ColLabel);
        h.clickCell(pms, 2, ColMode);
        h.clickCell(pms, 9, ColOffset);
        QVERIFY(h.app->busyState().busy() && !h.app->viewState().SortMode);
        QVERIFY(pms.isVisible() && !h.view(ViewKind::All).isVisible());
        pms.close();
        QVERIFY(pms.isVisible());
        // The window stays live: rows appear one by one while the read goes on.
        QSet<QString> counts;
        QVERIFY(QTest::qWaitFor([&] {
            counts.insert(DataRows(h.table(ViewKind::Pms)));
            return !h.app->busyState().busy();
        }, kWaitMs));
        QVERIFY2(counts.size() > 3, "rows did not fill one at a time");
        QCOMPARE(MemoryRequests(*h.radio), Range(100, 108));
        QVERIFY(boxes.count() == 0 && saves.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QCOMPARE(DataRows(h.table(ViewKind::Pms)), QStringLiteral("1-9"));
        QVERIFY(!pms.isVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void closeWhileBusyShowsFailureFirst_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("told");  // a part of the failure's message
        QTest::newRow("read") << "cmdRead" << "did not answer";
        QTest::newRow("load from the saved file") << "cmdLoad" << "No channel was written.";
        QTest::newRow("editor write") << "editor" << "did not answer";
    }
    // A window closed while an operation runs that then fails: the failure is shown, and the
    // program ends only once the operator has answered it. Nothing reached the radio, so the
    // tables do not show the file either.
    void closeWhileBusyShowsFailureFirst()
    {
        QFETCH(QString, command);
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        QVERIFY(command == u"cmdRead" || h.read(pms));
        if (command == u"cmdLoad") {
            h.press(pms, "cmdSave");
            h.app->family().clear(ViewKind::Pms);
        }
        QCOMPARE(QFile::exists(h.dir.filePath(QStringLiteral("Pms.txt"))), command == u"cmdLoad");
        if (command == u"editor")
            h.clickCell(pms, 4, ColOffset);
        const Tables before = AllTables(h);
        sim::Faults faults;
        faults.stopAfter = h.radio->replyCount();  // silent from the next request on
        h.radio->setFaults(faults);
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        // The box runs its own event loop: it is watched and answered from a timer, after a
        // pause the program must sit out however long the operator takes.
        QString shown;
        int endedWhileShown = -1;
        bool windowWhileShown = false;
        QElapsedTimer shownFor;
        QTimer operatorReads;
        QObject::connect(&operatorReads, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->objectName() == QLatin1String(kUnsavedQuestion))
                return;
            if (!shownFor.isValid()) {
                shownFor.start();
                shown = box->text();
            } else if (shownFor.elapsed() > 300) {
                endedWhileShown = int(ended.count());
                windowWhileShown = pms.isVisible();
                box->button(QMessageBox::Ok)->click();
            }
        });
        operatorReads.start(20);
        h.press(command == u"editor" ? *static_cast<QWidget*>(Editor(h)) : pms,
                command == u"editor" ? "cmdOK" : qPrintable(command));
        QVERIFY(h.app->busyState().busy());
        pms.close();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
        QFETCH(QString, told);
        QVERIFY2(shown.contains(told), qPrintable(shown));
        QCOMPARE(AllTables(h), before);
        QCOMPARE(endedWhileShown, 0);
        QVERIFY(windowWhileShown);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QVERIFY(!pms.isVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Every refusal with its view and column (focus to cmdLoad, nothing sent, no box opened),
    // and the loads into VFO-A (focus to cmdExit).
    void clicks_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<bool>("readFirst");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("frame");
        const QString qmbSort = "Quick Memory Banks cannot be sorted!";
        const QString qmbLoad = "Cannot load QMB memory channels into VFO-A!";
        const QString qmbEdit = "Quick Memory Banks cannot be edited!";
        const QString masked = "Cannot load masked memory channels into VFO-A!";
        const QString sort = "Nothing to sort!";
        const QString edit = "Nothing to edit!";
        QTest::newRow("all qmb ch# empty") << ViewKind::All << false << 109 << 0 << qmbSort << "";
        QTest::newRow("all qmb freq") << ViewKind::All << true << 113 << 1 << qmbSort << "";
        QTest::newRow("all qmb mode") << ViewKind::All << true << 110 << 2 << qmbLoad << "";
        QTest::newRow("all qmb ant") << ViewKind::All << true << 111 << 5 << qmbEdit << "";
        QTest::newRow("qmb ch#") << ViewKind::Qmb << true << 1 << 0 << qmbSort << "";
        QTest::newRow("qmb mode empty") << ViewKind::Qmb << false << 2 << 2 << qmbLoad << "";
        QTest::newRow("qmb rpt") << ViewKind::Qmb << true << 5 << 9 << qmbEdit << "";
        QTest::newRow("ch99 mode empty") << ViewKind::Ch99 << false << 5 << 2
                                         << "No memory channel data to load into VFO-A!" << "";
        QTest::newRow("all masked") << ViewKind::All << true << 21 << 2 << masked << "";
        QTest::newRow("ch99 masked") << ViewKind::Ch99 << true << 21 << 2 << masked << "";
        QTest::newRow("pms ch# empty") << ViewKind::Pms << false << 4 << 0 << sort << "";
        QTest::newRow("all freq empty") << ViewKind::All << false << 100 << 1 << sort << "";
        QTest::newRow("ch99 filter empty") << ViewKind::Ch99 << false << 7 << 3 << edit << "";
        QTest::newRow("pms offset empty") << ViewKind::Pms << false << 9 << 8 << edit << "";
        QTest::newRow("all qmb comment empty") << ViewKind::All << false << 110 << 10 << "Nothing to comment on!" << "";
        QTest::newRow("pms row 3 loads") << ViewKind::Pms << true << 3 << 2 << "" << "00 00 00 66 06";
        QTest::newRow("all row 102 loads") << ViewKind::All << true << 102 << 2 << "" << "00 00 00 66 06";
    }
    void clicks()
    {
        QFETCH(ViewKind, kind);
        QFETCH(bool, readFirst);
        QFETCH(QString, message);
        QFETCH(QString, frame);
        QFETCH(int, row);
        QFETCH(int, column);
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& v = h.open(kind);
        QVERIFY(!readFirst || h.read(v));
        h.radio->clearLog();
        MessageBoxHelper boxes;
        h.clickCell(v, row, column);
        QVERIFY(h.idle());
        QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(SentFrames(*h.radio), frame.isEmpty() ? QStringList{} : QStringList{frame});
        QCOMPARE(v.focusWidget(), v.button(message.isEmpty() ? QStringLiteral("cmdExit") : QStringLiteral("cmdLoad")));
        for (const SeenMessage& box : boxes.seen())
            QVERIFY(box.icon == QMessageBox::Warning && box.title == u"Vardo" && box.buttons == QMessageBox::Ok);
        QVERIFY(!h.app->viewState().SortMode && NormalCommandsAre(v, true) && !CommentBox(v)->isVisible() && !Editor(h));
    }

    void readFailure_data()
    {
        QTest::addColumn<bool>("unplug");  // else the radio falls silent after five channels
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("radioLine");  // in the status bars after the failure
        QTest::newRow("silent radio") << false << "1-5" << "FT-1000MP on sim";
        QTest::newRow("lost link") << true << "" << "Radio link lost";
    }
    // The read stops with a message, the rows read stay, and the next Read works again and
    // names the radio's port again.
    void readFailure()
    {
        QFETCH(bool, unplug);
        QFETCH(QString, kept);
        QFETCH(QString, radioLine);
        const auto radioLines = [](QList<QWidget*> windows) {
            QStringList lines;
            for (QWidget* window : windows)
                lines << window->findChild<QLabel*>(QStringLiteral("lblRadio"))->text();
            return lines;
        };
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& all = h.open(ViewKind::All);
        sim::Faults faults;
        faults.stopAfter = h.radio->replyCount() + 5;
        unplug ? h.radio->unplug() : h.radio->setFaults(faults);
        MessageBoxHelper boxes;
        h.press(all, "cmdRead");
        QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
        QVERIFY(h.idle());
        QVERIFY2(unplug || boxes.lastText().contains(QStringLiteral("did not answer")), qPrintable(boxes.lastText()));
        QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
        QCOMPARE(DataRows(h.table(ViewKind::All)) + "|" + DataRows(h.table(ViewKind::Ch99)), kept + "|" + kept);
        QCOMPARE(h.beeps, 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(radioLines({&h.app->mainWindow(), &all}), QStringList(2, radioLine));
        unplug ? h.radio->replug() : h.radio->setFaults({});
        QVERIFY(h.read(all));
        QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("1-113"));
        QCOMPARE(radioLines({&h.app->mainWindow(), &all}), QStringList(2, "FT-1000MP on sim"));
        QCOMPARE(boxes.count(), 1);
    }

    // Help opens with its index; About is not modal and names the data folder; Exit unloads
    // every window but About, whose OK then ends the program.
    void helpAboutAndExit()
    {
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        QSignalSpy closing(h.app.get(), &VardoApp::closing);
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        Action(pms, "itmContents")->trigger();
        QVERIFY(h.app->helpWindow() && h.app->helpWindow()->isVisible());
        QVERIFY(h.app->helpWindow()->findChild<QListWidget*>(QStringLiteral("lstIndex"))->count() > 0);
        Action(pms, "itmAbout")->trigger();
        AboutBox& about = h.app->aboutBox();
        QVERIFY(about.isVisible() && !about.isModal() && pms.isVisible());
        QVERIFY(h.control<QLabel>(about, "lblDataDir")->text().contains(QDir::toNativeSeparators(h.dir.path())));
        h.press(pms, "cmdExit");
        QVERIFY(closing.count() == 1 && ended.isEmpty() && about.isVisible() && !h.app->mainWindow().isVisible());
        for (ViewKind kind : kAllViews)
            QVERIFY(!h.view(kind).isVisible());
        h.press(about, "cmdOK");
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
    }

    // Each index term once, though a heading and an index comment may name the same thing.
    void helpIndexListsEachEntryOnce()
    {
        QFile file(QString::fromLatin1(kHelpResource));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll()) + QStringLiteral("<!-- index: read | read -->");
        QStringList terms;
        for (const HelpEntry& entry : HelpIndex(html))
            terms << entry.term.toLower();
        QVERIFY(terms.contains(QStringLiteral("exit")));
        QVERIFY(terms.contains(QStringLiteral("read")));
        QCOMPARE(QSet<QString>(terms.begin(), terms.end()).size(), terms.size());
    }

    // The grid takes the room its window gives it: width goes to Comments, height to more rows;
    // sort and scan modes leave it where it is; the current row carries the marker.
    void gridFitsTheWindow()
    {
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& all = h.open(ViewKind::All);
        QVERIFY(QTest::qWaitForWindowExposed(&all));
        QVERIFY(h.read(all));
        ChannelGrid* grid = all.grid();
        const auto rowsShown = [&] { return grid->viewport()->height() / grid->rowHeight(0); };
        const int comments = grid->horizontalHeader()->sectionSize(ColComment);
        const int rows = rowsShown();
        const int freq = grid->horizontalHeader()->sectionSize(ColFreq);
        all.resize(all.width() + 200, all.height() + 200);
        QTRY_VERIFY(grid->horizontalHeader()->sectionSize(ColComment) >= comments + 190);
        QCOMPARE(grid->horizontalHeader()->sectionSize(ColFreq), freq);
        QVERIFY(rowsShown() >= rows + 200 / grid->rowHeight(0) - 1);
        // No band between the grid and the options under it.
        auto* optionRow = h.control<QRadioButton>(all, "optAll")->parentWidget();
        QVERIFY(optionRow->geometry().top() - grid->geometry().bottom() <= 20);

        // The comment box takes the options' line while it is open: the grid, its rows and
        // the window stay as they were.
        const QRect place = grid->geometry();
        const QRect options = optionRow->geometry();
        const QSize window = all.size();
        const int top = TopRow(all);
        h.clickCell(all, 3, ColComment);
        auto* box = all.findChild<QLineEdit*>(QStringLiteral("txtComments"));
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->parentWidget()->geometry(), options);
        QCOMPARE(grid->geometry(), place);
        QCOMPARE(all.size(), window);
        QCOMPARE(TopRow(all), top);
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(optionRow->isVisible());
        QCOMPARE(grid->geometry(), place);
        h.clickCell(all, 30, ColLabel);
        QCOMPARE(grid->geometry(), place);
        QVERIFY(grid->marksRow(30));
        h.press(all, "cmdOK");
        h.press(all, "cmdScan");
        QVERIFY(h.app->viewState().ScanMode);
        QCOMPARE(grid->geometry(), place);
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(grid->geometry(), place);

        // A view whose rows all show keeps its height: no band below its last row, nor between
        // the grid and the options.
        h.choose(all, "optQmb");
        MemoryView& qmb = h.view(ViewKind::Qmb);
        QVERIFY(QTest::qWaitForWindowExposed(&qmb));
        QVERIFY(h.control<QRadioButton>(qmb, "optQmb")->parentWidget()->geometry().top() - qmb.grid()->geometry().bottom() <= 20);
        qmb.resize(qmb.width() + 200, qmb.height() + 200);
        QTRY_VERIFY(qmb.grid()->horizontalHeader()->sectionSize(ColComment) >= 190);
        QVERIFY(qmb.grid()->viewport()->height() - 5 * qmb.grid()->rowHeight(0) < qmb.grid()->rowHeight(0));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("probed");  // empty: the command line is refused
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<int>("pacing");
        const QStringList system{"/dev/ttyS0", "/dev/ttyUSB0"};
        const QString sim = QStringLiteral("simulated radio");
        QTest::newRow("nothing: the system's ports") << QStringList{} << system << "" << 5;
        QTest::newRow("named ports replace them, in order")
            << QStringList{"--port", "/dev/ttyUSB1", "--port=COM3"} << QStringList{"/dev/ttyUSB1", "COM3"} << "" << 5;
        QTest::newRow("data dir") << QStringList{"--data-dir", "/tmp/vardo files"} << system << "/tmp/vardo files" << 5;
        QTest::newRow("simulate first") << QStringList{"--simulate"} << QStringList{sim} + system << "" << 5;
        QTest::newRow("simulate and named") << QStringList{"--port", "X", "--simulate"} << QStringList{sim, "X"} << "" << 5;
        QTest::newRow("pacing") << QStringList{"--pacing", "20"} << system << "" << 20;
        QTest::newRow("pacing at its ends") << QStringList{"--pacing=0", "--pacing=255"} << system << "" << 255;
        QTest::newRow("unknown option") << QStringList{"--fast"} << QStringList{} << "" << 5;
        QTest::newRow("port without name") << QStringList{"--port"} << QStringList{} << "" << 5;
        QTest::newRow("empty data dir") << QStringList{"--data-dir="} << QStringList{} << "" << 5;
        QTest::newRow("stray word") << QStringList{"COM3"} << QStringList{} << "" << 5;
        QTest::newRow("pacing too long") << QStringList{"--pacing", "256"} << QStringList{} << "" << 5;
        QTest::newRow("pacing below zero") << QStringList{"--pacing=-1"} << QStringList{} << "" << 5;
        QTest::newRow("pacing not a number") << QStringList{"--pacing", "5ms"} << QStringList{} << "" << 5;
        QTest::newRow("pacing without value") << QStringList{"--pacing"} << QStringList{} << "" << 5;
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, probed);
        const CommandLine line = ParseCommandLine(QStringList{"vardo"} + args);
        QCOMPARE(line.error.isEmpty(), !probed.isEmpty());
        if (!probed.isEmpty()) {
            QCOMPARE(PortsToProbe(line.ports, line.simulate, {"/dev/ttyS0", "/dev/ttyUSB0"}), probed);
            QTEST(line.dataDir, "dataDir");
            QTEST(line.pacing, "pacing");
        }
    }
};

QTEST_MAIN(AppWindowsTest)
#include "app_windows_test.moc"
