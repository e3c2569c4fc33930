// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows against the emulator in-process: start-up, the four views, Read,
// Clear, switching, the busy guard, clicks with their refusals and the VFO-A load, sort mode,
// a failed read, help, about and the end; and the command line.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "aboutbox.h"
#include "app_harness.h"
#include "clickdispatch.h"
#include "codec.h"
#include "channeleditor.h"
#include "commandline.h"
#include "editorcommands.h"
#include "launch.h"
#include "helptopics.h"
#include "helpwindow.h"
#include "messageboxhelper.h"
#include "viewdescriptor.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

constexpr const char* kOptions[] = {"optAll", "optCh99", "optPms", "optQmb"};

bool MoveCommandsAre(MemoryView& v, bool shown)
{
    for (const char* name : {"cmdUp", "cmdDown", "cmdOK"})
        if (v.button(QString::fromLatin1(name))->isVisible() != shown)
            return false;
    return true;
}

}  // namespace

class AppWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUp()
    {
        sim::SimRadio* radio = nullptr;
        QString upgradedDir;
        int framesAtUpgrade = -1;
        AppHarness h(sim::Timing::Fast, [&](sim::SimRadio& r) { radio = &r; }, [&](const QString& dir) {
            upgradedDir = dir;
            framesAtUpgrade = int(radio->frameLog().size());
        });
        QVERIFY(h.started());
        QCOMPARE(upgradedDir, h.dir.path());
        QCOMPARE(framesAtUpgrade, 0);  // the saved files come before the radio search
        QCOMPARE(h.app->mainWindow().objectName(), QStringLiteral("vovAzidi"));
        QCOMPARE(h.app->mainWindow().windowTitle(), QStringLiteral("Vardo for Windows"));
        for (ViewKind kind : kAllViews)
            QVERIFY(!h.view(kind).isVisible());
        QVERIFY(MemoryRequests(*h.radio).isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void views_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<bool>("scan");
        QTest::addColumn<QStringList>("labels");  // "row:Ch#" of the first and last rows and the block edges
        QTest::newRow("all") << ViewKind::All << "frmAll" << "All Memory Channels" << true << true
                             << QStringList{"1:1", "99:99", "100:P1", "108:P9", "109:Q1", "113:Q5"};
        QTest::newRow("ch99") << ViewKind::Ch99 << "frmCh99" << "Memory Channels 1-99" << true << true
                              << QStringList{"1:1", "99:99"};
        QTest::newRow("pms") << ViewKind::Pms << "frmPms" << "PMS Memory Channels" << true << false
                             << QStringList{"1:P1", "9:P9"};
        QTest::newRow("qmb") << ViewKind::Qmb << "frmQmb" << "Quick Memory Banks" << false << false
                             << QStringList{"1:Q1", "5:Q5"};
    }
    void views()
    {
        QFETCH(ViewKind, kind);
        QFETCH(bool, moves);
        QFETCH(bool, scan);
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& v = h.open(kind);
        QVERIFY(!h.app->mainWindow().isVisible());
        for (ViewKind other : kAllViews)
            QCOMPARE(h.view(other).isVisible(), other == kind);
        QTEST(v.objectName(), "name");
        // The placeholder shows "*" while the view is unsaved, nothing otherwise.
        QFETCH(QString, caption);
        QCOMPARE(v.windowTitle(), caption + QStringLiteral("[*]"));
        QVERIFY(!v.isWindowModified());
        QVERIFY(h.control<QRadioButton>(v, kOptions[int(kind)])->isChecked());
        QVERIFY(h.control<QRadioButton>(h.app->mainWindow(), kOptions[int(kind)])->isChecked());
        QVERIFY(NormalCommandsAre(v, true));
        QCOMPARE(v.button(QStringLiteral("cmdOK")) != nullptr, moves);
        QVERIFY(!moves || MoveCommandsAre(v, false));
        QCOMPARE(v.button(QStringLiteral("cmdScan")) != nullptr, scan);
        QCOMPARE(v.findChild<QLineEdit*>(QStringLiteral("txtScan")) != nullptr, scan);
        for (const char* name : {"lblScan", "lblEscape", "txtScan", "lblComments", "txtComments"}) {
            auto* hidden = v.findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY(!hidden || !hidden->isVisible());
        }
        // Top to bottom: grid, options, commands. The comment row (while its box is open) and
        // the scan row (in scan mode) take the options' line in turn.
        QWidget* optionRow = h.control<QRadioButton>(v, kOptions[int(kind)])->parentWidget();
        int above = -1;
        for (QWidget* control : {static_cast<QWidget*>(v.grid()), optionRow, static_cast<QWidget*>(v.button("cmdRead"))}) {
            const int top = control->mapTo(&v, QPoint(0, 0)).y();
            QVERIFY2(top > above && control->height() > 0, qPrintable(control->objectName()));
            above = top + control->height() - 1;
        }

        // The grid: 11 centred headers whole, in the proportions of their widths in twips.
        const QStringList headers{"Ch#", "Freq (kHz)", "Mode", "8.2 Filter", "455 Filter", "Ant",
                                  "Rx RIT", "Tx RIT", "Offset", "RPT", "Comments"};
        ChannelGrid* grid = v.findChild<ChannelGrid*>(QStringLiteral("Grid"));
        QAbstractItemModel* model = grid->model();
        QHeaderView* header = grid->horizontalHeader();
        QCOMPARE(header->count(), 11);
        const qreal scale = qreal(header->sectionSize(ColMode)) / ColumnTwips(kind, ColMode);
        for (int c = 0; c < ColComment; ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), headers.at(c));
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
            QVERIFY2(qAbs(header->sectionSize(c) - ColumnTwips(kind, c) * scale) <= 1.0, qPrintable(headers.at(c)));
            QVERIFY2(grid->fontMetrics().horizontalAdvance(headers.at(c)) < header->sectionSize(c),
                     qPrintable(headers.at(c)));
        }
        QVERIFY(header->sectionSize(ColComment) >= qRound(ColumnTwips(kind, ColComment) * scale) - 1);
        QCOMPARE(model->rowCount(), RowCount(kind));
        QFETCH(QStringList, labels);
        for (const QString& label : labels)
            QCOMPARE(h.table(kind).cell(label.section(u':', 0, 0).toInt(), ColLabel), label.section(u':', 1));
    }

    void readFillsRowsAndMirrors_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<QStringList>("rows");  // data rows of frmAll, frmCh99, frmPms, frmQmb
        QTest::newRow("all") << ViewKind::All << QStringList{"1-113", "1-99", "1-9", "1-5"};
        QTest::newRow("ch99") << ViewKind::Ch99 << QStringList{"1-99", "1-99", "", ""};
        QTest::newRow("pms") << ViewKind::Pms << QStringList{"100-108", "", "1-9", ""};
        QTest::newRow("qmb") << ViewKind::Qmb << QStringList{"109-113", "", "", "1-5"};
    }
    void readFillsRowsAndMirrors()
    {
        QFETCH(ViewKind, kind);
        QFETCH(QStringList, rows);
        AppHarness h;
        QVERIFY(h.started());
        QVERIFY(h.read(h.open(kind)));
        QCOMPARE(h.beeps, 1);
        QCOMPARE(MemoryRequests(*h.radio), Range(FirstChannel(kind), LastChannel(kind)));
        for (ViewKind other : kAllViews)
            QCOMPARE(DataRows(h.table(other)), rows.at(int(other)));
        // Each row shows its own channel's record, in the view and in its mirror; no comment.
        for (int ch = FirstChannel(kind); ch <= LastChannel(kind); ++ch) {
            const RowCells expected = CellsFromChannel(DecodeRecord(h.radio->memory(ch)));  // no comment
            for (ViewKind shown : {kind, MirrorView(kind, ch)}) {
                const int row = RowOfChannel(shown, ch);
                QCOMPARE(h.table(shown).row(row), expected);
                QCOMPARE(h.table(shown).cell(row, ColLabel), ChannelLabel(ch));
            }
        }
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Switching through the option buttons; Clear in frmCh99 leaves frmAll's rows 1-99 alone.
    void switchingAndClear()
    {
        AppHarness h;
        QVERIFY(h.started());
        QSignalSpy switching(h.app.get(), &VardoApp::viewSwitching);
        MemoryView& all = h.open(ViewKind::All);
        MemoryView& qmb = h.view(ViewKind::Qmb);
        MemoryView& ch99 = h.view(ViewKind::Ch99);
        QVERIFY(h.read(all));
        h.choose(all, "optQmb");
        QVERIFY(!all.isVisible() && qmb.isVisible() && !h.app->mainWindow().isVisible());
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
        QVERIFY(all.isVisible() && !ch99.isVisible());
        QVERIFY(h.control<QRadioButton>(all, "optAll")->isChecked());
        QCOMPARE(DataRows(h.table(ViewKind::All)), QStringLiteral("1-113"));
        QCOMPARE(h.table(ViewKind::All).cell(7, ColFreq), freq7);
        QCOMPARE(h.table(ViewKind::All).cell(7, ColComment), QStringLiteral("net"));
        QCOMPARE(switching.count(), 3);
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
        QVERIFY(h.app->busyState().busy());
        QVERIFY(pms.isVisible() && !h.view(ViewKind::All).isVisible());
        QVERIFY(!h.app->viewState().SortMode);
        pms.close();
        QVERIFY(pms.isVisible());
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
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(saves.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QCOMPARE(DataRows(h.table(ViewKind::Pms)), QStringLiteral("1-9"));
        QVERIFY(!pms.isVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void closeWhileBusyShowsFailureFirst_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("read") << "cmdRead";
        QTest::newRow("load from the saved file") << "cmdLoad";
        QTest::newRow("editor write") << "editor";
    }
    // A window closed while an operation runs that then fails: the failure is shown, and the
    // program ends only once the operator has answered it.
    void closeWhileBusyShowsFailureFirst()
    {
        QFETCH(QString, command);
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        if (command == u"cmdLoad") {
            QVERIFY(h.read(pms));
            h.press(pms, "cmdSave");
            QVERIFY(QFile::exists(h.dir.filePath(QStringLiteral("Pms.txt"))));
        }
        if (command == u"editor") {
            QVERIFY(h.read(pms));
            h.clickCell(pms, 4, ColOffset);
            QVERIFY(h.app->editorCommands().editor());
        }
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
        if (command == u"editor")
            h.press(*h.app->editorCommands().editor(), "cmdOK");
        else
            h.press(pms, qPrintable(command));
        QVERIFY(h.app->busyState().busy());
        pms.close();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
        QVERIFY2(shown.contains(QStringLiteral("did not answer")), qPrintable(shown));
        QCOMPARE(endedWhileShown, 0);
        QVERIFY(windowWhileShown);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QVERIFY(!pms.isVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Every refusal with its view and column (focus to cmdLoad, nothing sent), and the loads
    // into VFO-A (focus to cmdExit).
    void clicks_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<bool>("readFirst");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("frame");
        QTest::newRow("all qmb ch# empty") << ViewKind::All << false << 109 << 0 << Refusal::kQmbSort << "";
        QTest::newRow("all qmb freq") << ViewKind::All << true << 113 << 1 << Refusal::kQmbSort << "";
        QTest::newRow("all qmb mode") << ViewKind::All << true << 110 << 2 << Refusal::kQmbLoad << "";
        QTest::newRow("all qmb ant") << ViewKind::All << true << 111 << 5 << Refusal::kQmbEdit << "";
        QTest::newRow("qmb ch#") << ViewKind::Qmb << true << 1 << 0 << Refusal::kQmbSort << "";
        QTest::newRow("qmb mode empty") << ViewKind::Qmb << false << 2 << 2 << Refusal::kQmbLoad << "";
        QTest::newRow("qmb rpt") << ViewKind::Qmb << true << 5 << 9 << Refusal::kQmbEdit << "";
        QTest::newRow("ch99 mode empty") << ViewKind::Ch99 << false << 5 << 2 << Refusal::kNoLoadData << "";
        QTest::newRow("all masked") << ViewKind::All << true << 21 << 2 << Refusal::kMaskedLoad << "";
        QTest::newRow("ch99 masked") << ViewKind::Ch99 << true << 21 << 2 << Refusal::kMaskedLoad << "";
        QTest::newRow("pms ch# empty") << ViewKind::Pms << false << 4 << 0 << Refusal::kNothingToSort << "";
        QTest::newRow("all freq empty") << ViewKind::All << false << 100 << 1 << Refusal::kNothingToSort << "";
        QTest::newRow("ch99 filter empty") << ViewKind::Ch99 << false << 7 << 3 << Refusal::kNothingToEdit << "";
        QTest::newRow("pms offset empty") << ViewKind::Pms << false << 9 << 8 << Refusal::kNothingToEdit << "";
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
        if (!message.isEmpty()) {
            QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
            QCOMPARE(boxes.seen().first().title, QStringLiteral("Vardo"));
            QCOMPARE(boxes.seen().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QVERIFY(!h.app->viewState().SortMode);
        QVERIFY(NormalCommandsAre(v, true));
    }

    // Sort mode: entered from the Ch# or Freq column, Esc leaves it alone, cmdOK ends it.
    void sortModeAndOk()
    {
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& all = h.open(ViewKind::All);
        QVERIFY(h.read(all));
        h.radio->clearLog();
        QTest::keyClick(all.grid(), Qt::Key_Escape);  // outside scan mode: nothing
        QVERIFY(!h.app->viewState().SortMode && NormalCommandsAre(all, true));
        QSignalSpy edits(&all, &MemoryView::editRequested);
        h.clickCell(all, 10, ColFreq);
        QVERIFY(h.app->viewState().SortMode);
        QCOMPARE(SelectedCells(all), QStringLiteral("10:0-10"));
        QCOMPARE(all.currentRow(), 10);
        QCOMPARE(all.currentColumn(), 0);
        QVERIFY(MoveCommandsAre(all, true) && NormalCommandsAre(all, false));
        const ViewState state = h.app->viewState();
        QTest::keyClick(all.grid(), Qt::Key_Escape);
        QCOMPARE(h.app->viewState(), state);
        QCOMPARE(SelectedCells(all), QStringLiteral("10:0-10"));
        QVERIFY(MoveCommandsAre(all, true));
        // A settings cell of another row picks that row (no editor); the Mode column still loads.
        h.clickCell(all, 12, ColOffset);
        QCOMPARE(SelectedCells(all), QStringLiteral("12:0-10"));
        QCOMPARE(edits.count(), 0);
        h.clickCell(all, 12, ColMode);
        QVERIFY(h.idle());
        QCOMPARE(SentFrames(*h.radio), QStringList{"00 00 00 0C 06"});
        QVERIFY(h.app->viewState().SortMode);
        h.press(all, "cmdOK");
        QVERIFY(!h.app->viewState().SortMode);
        QCOMPARE(SelectedCells(all), QString());
        QCOMPARE(all.currentColumn(), int(ColFreq));
        QVERIFY(NormalCommandsAre(all, true) && MoveCommandsAre(all, false));
        QCOMPARE(all.focusWidget(), all.button(QStringLiteral("cmdSave")));
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
        if (unplug)
            h.radio->unplug();
        else
            h.radio->setFaults(faults);
        MessageBoxHelper boxes;
        h.press(all, "cmdRead");
        QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
        QVERIFY(h.idle());
        QVERIFY2(unplug || boxes.lastText().contains(QStringLiteral("did not answer")), qPrintable(boxes.lastText()));
        QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
        QCOMPARE(DataRows(h.table(ViewKind::All)), kept);
        QCOMPARE(DataRows(h.table(ViewKind::Ch99)), kept);
        QCOMPARE(h.beeps, 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(radioLines({&h.app->mainWindow(), &all}), QStringList(2, radioLine));
        if (unplug)
            h.radio->replug();
        else
            h.radio->setFaults({});
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
        pms.findChild<QAction*>(QStringLiteral("itmContents"))->trigger();
        QVERIFY(h.app->helpWindow() && h.app->helpWindow()->isVisible());
        QVERIFY(h.app->helpWindow()->findChild<QListWidget*>(QStringLiteral("lstIndex"))->count() > 0);
        pms.findChild<QAction*>(QStringLiteral("itmAbout"))->trigger();
        AboutBox& about = h.app->aboutBox();
        QVERIFY(about.isVisible() && !about.isModal() && pms.isVisible());
        QVERIFY(h.control<QLabel>(about, "lblDataDir")->text().contains(QDir::toNativeSeparators(h.dir.path())));
        h.press(pms, "cmdExit");
        QCOMPARE(closing.count(), 1);
        QVERIFY(!h.app->mainWindow().isVisible());
        for (ViewKind kind : kAllViews)
            QVERIFY(!h.view(kind).isVisible());
        QVERIFY(about.isVisible());
        QCOMPARE(ended.count(), 0);
        h.press(about, "cmdOK");
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
    }

    // A screen reader sets an option through its toggle action, which emits no click; the view
    // opens all the same, from the main window and from a view.
    void optionsOpenTheirViewByAccessibleToggle()
    {
        AppHarness h;
        QVERIFY(h.started());
        const auto toggle = [&](QWidget& window, const char* name) {
            QAccessibleInterface* option = QAccessible::queryAccessibleInterface(h.control<QRadioButton>(window, name));
            QVERIFY(option && option->actionInterface());
            QVERIFY(option->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
            option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        };
        toggle(h.app->mainWindow(), "optPms");
        QTRY_VERIFY(h.view(ViewKind::Pms).isVisible());
        QVERIFY(!h.app->mainWindow().isVisible());
        QCOMPARE(h.app->viewState().current, ViewKind::Pms);
        toggle(h.view(ViewKind::Pms), "optQmb");
        QTRY_VERIFY(h.view(ViewKind::Qmb).isVisible());
        QVERIFY(!h.view(ViewKind::Pms).isVisible());
        QVERIFY(h.control<QRadioButton>(h.view(ViewKind::Qmb), "optQmb")->isChecked());
        QCOMPARE(h.app->viewState().current, ViewKind::Qmb);
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
