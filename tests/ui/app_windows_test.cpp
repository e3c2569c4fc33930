// SPDX-License-Identifier: GPL-3.0-or-later
// The windows against the emulator: start-up, the views, switching, the busy guard, clicks, help, the command line.

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include "aboutbox.h"
#include "codec.h"
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
        // labels: "row:Ch#" of the first and last rows and the block edges;
        // rows: after Read, data rows of frmAll, frmCh99, frmPms, frmQmb
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
    // Start-up upgrades the files before the radio is asked anything; each view alone, with its
    // caption, headers and labels; Read fills its rows and their mirrors from the channels' records.
    void views()
    {
        QFETCH(ViewKind, kind); QFETCH(QStringList, labels); QFETCH(QStringList, rows); QFETCH(QString, caption);
        sim::SimRadio* radio = nullptr;
        int framesAtUpgrade = -1;
        AppHarness h(sim::Timing::Fast, [&](sim::SimRadio& r) { radio = &r; }, [&](const QString& dir) {
            framesAtUpgrade = dir == h.dir.path() ? int(radio->frameLog().size()) : -2;  // -2: another folder
        });
        QVERIFY(h.started() && framesAtUpgrade == 0 && MemoryRequests(*h.radio).isEmpty());
        QCOMPARE(h.app->mainWindow().windowTitle(), QStringLiteral("Vardo for Windows"));
        MemoryView& v = h.open(kind);
        QVERIFY(!h.app->mainWindow().isVisible());
        for (ViewKind other : kAllViews)
            QCOMPARE(h.view(other).isVisible(), other == kind);
        // The placeholder shows "*" while the view is unsaved, nothing otherwise.
        QVERIFY(v.windowTitle() == caption + QStringLiteral("[*]") && !v.isWindowModified());
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
        QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("1-113"));
        QCOMPARE(h.table(ViewKind::All).cell(7, ColFreq), freq7);
        QCOMPARE(h.table(ViewKind::All).cell(7, ColComment), QStringLiteral("net"));
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
        QVERIFY(h.app->busyState().busy() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        for (const char* command : {"cmdRead", "cmdClear", "cmdExit", "cmdSave"})
            h.press(pms, command);
        h.choose(pms, "optAll");
        for (int column : {ColLabel, ColMode, ColOffset})
            h.clickCell(pms, 2, column);
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
        QVERIFY(ended.at(0).at(0).toInt() == 0 && !pms.isVisible() && !QApplication::overrideCursor());
        QCOMPARE(DataRows(h.table(ViewKind::Pms)), QStringLiteral("1-9"));
    }

    void closeWhileBusyShowsFailureFirst_data()
    {
        // told: a part of the failure's message
        Columns<QString, QString>("command", "told");
        QTest::newRow("read") << "cmdRead" << "did not answer";
        QTest::newRow("load from the saved file") << "cmdLoad" << "No channel was written.";
        QTest::newRow("editor write") << "editor" << "did not answer";
    }
    // A window closed while an operation runs that then fails: the failure is shown, and the
    // program ends only once it is answered; the tables are as they were.
    void closeWhileBusyShowsFailureFirst()
    {
        QFETCH(QString, command); QFETCH(QString, told);
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
        QVERIFY2(shown.contains(told), qPrintable(shown));
        QCOMPARE(AllTables(h), before);
        QVERIFY(endedWhileShown == 0 && windowWhileShown && ended.at(0).at(0).toInt() == 0);
        QVERIFY(!pms.isVisible() && !QApplication::overrideCursor());
    }

    // Every refusal with its view and column (focus to cmdLoad, nothing sent, no box opened),
    // and the loads into VFO-A (focus to cmdExit).
    void clicks_data()
    {
        Columns<ViewKind, bool, int, int, QString, QString>("kind", "readFirst", "row", "column", "message", "frame");
        QTest::newRow("all qmb freq") << ViewKind::All << true << 113 << 1 << "Quick Memory Banks cannot be sorted!" << "";
        QTest::newRow("all masked") << ViewKind::All << true << 21 << 2 << "Cannot load masked memory channels into VFO-A!" << "";
        QTest::newRow("all qmb comment empty") << ViewKind::All << false << 110 << 10 << "Nothing to comment on!" << "";
        QTest::newRow("pms row 3 loads") << ViewKind::Pms << true << 3 << 2 << "" << "00 00 00 66 06";
    }
    void clicks()
    {
        QFETCH(ViewKind, kind); QFETCH(bool, readFirst); QFETCH(QString, message); QFETCH(QString, frame);
        QFETCH(int, row); QFETCH(int, column);
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
        // unplug: else the radio falls silent after five channels; radioLine: in the status bars after the failure
        Columns<bool, QString, QString>("unplug", "kept", "radioLine");
        QTest::newRow("silent radio") << false << "1-5" << "FT-1000MP on sim";
        QTest::newRow("lost link") << true << "" << "Radio link lost";
    }
    // The read stops with a message, the rows read stay, and the next Read works again and
    // names the radio's port again.
    void readFailure()
    {
        QFETCH(bool, unplug); QFETCH(QString, kept); QFETCH(QString, radioLine);
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
        QVERIFY(boxes.seen().first().icon == QMessageBox::Warning && h.beeps == 0 && !QApplication::overrideCursor());
        QCOMPARE(DataRows(h.table(ViewKind::All)) + "|" + DataRows(h.table(ViewKind::Ch99)), kept + "|" + kept);
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
        QVERIFY(ended.count() == 1 && ended.at(0).at(0).toInt() == 0);
    }

    // The comment box takes the options' line while it is open: the grid, its rows and the
    // window stay where they were.
    void commentBoxKeepsTheWindow()
    {
        AppHarness h;
        MemoryView* all = OpenAndRead(h, ViewKind::All);
        QVERIFY(all && QTest::qWaitForWindowExposed(all));
        const QRect place = all->grid()->geometry();
        const QSize window = all->size();
        const int top = TopRow(*all);
        h.clickCell(*all, 3, ColComment);
        QTRY_VERIFY(CommentBox(*all)->isVisible());
        QVERIFY(all->grid()->geometry() == place && all->size() == window && TopRow(*all) == top);
    }
};

QTEST_MAIN(AppWindowsTest)
#include "app_windows_test.moc"
