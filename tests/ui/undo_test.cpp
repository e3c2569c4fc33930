// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and Redo of every kind of step, what ends the history, and the question on Exit that guards unsaved rows.

#include <QDir>

#include "csvcommands.h"
#include "filebytes.h"
#include "memoryfilecommands.h"
#include "messageboxhelper.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// The program with the few operator actions the steps are made of.
struct UndoApp : AppHarness {
    using AppHarness::AppHarness;

    void importCsv(MemoryView& v, const QByteArray& csv) const
    {
        const QString path = dir.filePath(QStringLiteral("in.csv"));
        QVERIFY(PutFile(path, csv));
        v.findChild<CsvCommands*>()->setFileChooser([path](QWidget*, bool, const QString&) { return path; });
        Action(v, "itmImportCsv")->trigger();
    }
    void act(MemoryView& v, const QString& step)
    {
        if (step == u"comment 42") {
            TypeComment(*this, v, 42, QStringLiteral(" net"));
        } else if (step == u"12 down") {
            clickCell(v, 12, ColLabel);
            press(v, "cmdDown");
            press(v, "cmdOK");
        } else if (step == u"clear") {
            press(v, "cmdClear");
        } else if (step == u"import") {
            importCsv(v, "Location,Name,Frequency,Duplex,Offset,Mode,Skip,Comment\n2,Net,29.6,+,0.6,FM,,Sunday\n");
        } else if (step.startsWith(u"read")) {
            QVERIFY(read(step == u"read Pms" ? view(ViewKind::Pms) : v));
        } else if (step == u"save all") {
            // cmdSave of each view, hidden ones too.
            for (ViewKind kind : kAllViews)
                view(kind).findChild<MemoryFileCommands*>()->save();
        } else if (step == u"undo") {
            Action(v, "actUndo")->trigger();
        } else if (step == u"break Pms.txt") {
            // A folder where the file goes: no save can replace it.
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Pms.txt")));
        }
    }
};

}  // namespace

class UndoTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyStepUndoes_data()
    {
        // cell: the view's cell after the step; mirrorCell: the same cell of the mirror row
        Columns<ViewKind, QString, QString, int, int, QString, ViewKind, int, QString>("view", "step", "name", "row",
            "column", "cell", "mirror", "mirrorRow", "mirrorCell");

        QTest::newRow("comment in All") << ViewKind::All << "comment 42" << "Comment on 42" << 42 << int(ColComment)
                                        << "comment 42 net" << ViewKind::Ch99 << 42 << "comment 42 net";
        QTest::newRow("move down") << ViewKind::Ch99 << "12 down" << "Move 12 and 13" << 12 << int(ColFreq) << "7050.13"
                                   << ViewKind::All << 12 << "7050.13";
        QTest::newRow("clear, mirror kept") << ViewKind::Pms << "clear" << "Clear" << 1 << int(ColFreq) << ""
                                            << ViewKind::All << 100 << "7050.100";
        QTest::newRow("import CSV") << ViewKind::Pms << "import" << "Import CSV" << 2 << int(ColFreq) << "29600.00  "
                                    << ViewKind::All << 101 << "29600.00  ";
        QTest::newRow("read") << ViewKind::Pms << "read" << "Read" << 1 << int(ColFreq) << "1800.00  "
                              << ViewKind::All << 100 << "1800.00  ";
    }

    // Each step: Undo gives back every table as it was, Redo as the step left it, by menu and by
    // key, and the radio hears nothing of either.
    void everyStepUndoes()
    {
        QFETCH(ViewKind, view); QFETCH(QString, step); QFETCH(QString, name); QFETCH(int, row); QFETCH(int, column);
        QFETCH(ViewKind, mirror); QFETCH(int, mirrorRow);
        UndoApp h;
        MemoryView* v = h.openFilled(view);
        QVERIFY(v);
        MessageBoxHelper boxes(QMessageBox::Yes);
        QAction* undo = Action(*v, "actUndo");
        QAction* redo = Action(*v, "actRedo");
        QVERIFY(undo->text() == u"Nothing to undo" && !undo->isEnabled() && !redo->isEnabled());
        const Tables before = AllTables(h);
        h.act(*v, step);
        QTEST(h.table(view).cell(row, column), "cell");
        QTEST(h.table(mirror).cell(mirrorRow, column), "mirrorCell");
        const Tables after = AllTables(h);
        const std::size_t frames = h.radio->frameLog().size();
        QCOMPARE(undo->text(), QStringLiteral("&Undo ") + name);
        undo->trigger();
        QVERIFY(AllTables(h) == before && undo->text() == u"Nothing to undo");
        QCOMPARE(redo->text(), QStringLiteral("&Redo ") + name);
        redo->trigger();
        QCOMPARE(AllTables(h), after);

        v->activateWindow();  // a message box of the step may have had it
        QVERIFY(QTest::qWaitForWindowActive(v));
        QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(AllTables(h), before);
        QTest::keyClick(v, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(AllTables(h), after);
        // Every view shows the same history.
        for (ViewKind other : kAllViews)
            QCOMPARE(Action(h.view(other), "actUndo")->text(), QStringLiteral("&Undo ") + name);
        QCOMPARE(h.radio->frameLog().size(), frames);
    }

    void radioWriteEndsTheHistory_data()
    {
        QTest::addColumn<bool>("editor");
        QTest::newRow("Load of the view") << false;
        QTest::newRow("Load of the editor") << true;
    }

    // A step, then a write to the radio: nothing is left to undo or redo, and the tables keep what
    // the write left.
    void radioWriteEndsTheHistory()
    {
        QFETCH(bool, editor);
        UndoApp h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        MessageBoxHelper boxes(QMessageBox::Yes);
        QVERIFY(h.read(pms));
        h.press(pms, "cmdSave");
        TypeComment(h, pms, 2, QStringLiteral(" net"));
        QAction* undo = Action(pms, "actUndo");
        undo->trigger();
        QCOMPARE(Action(pms, "actRedo")->text(), QStringLiteral("&Redo Comment on P2"));
        TypeComment(h, pms, 2, QStringLiteral("ham"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo Comment on P2"));
        if (editor)
            h.clickCell(pms, 4, ColOffset);
        h.press(editor ? *static_cast<QWidget*>(Editor(h)) : pms, editor ? "cmdOK" : "cmdLoad");
        QVERIFY(h.idle() && undo->text() == u"Nothing to undo" && !undo->isEnabled());
        QCOMPARE(Action(pms, "actRedo")->text(), QStringLiteral("Nothing to redo"));
        // The Load put the saved comment back; the editor kept the typed one.
        QCOMPARE(h.table(ViewKind::Pms).cell(2, ColComment), editor ? QStringLiteral("ham") : QString());
    }

    // While the radio reads, Undo waits; the Read is then a step of its own.
    void busyRadioHoldsUndoBack()
    {
        UndoApp h(sim::Timing::Real);
        MemoryView* pms = h.openFilled(ViewKind::Pms);
        QVERIFY(pms);
        h.press(*pms, "cmdClear");
        QAction* undo = Action(*pms, "actUndo");
        h.press(*pms, "cmdRead");
        QVERIFY(h.app->busyState().busy() && !undo->isEnabled());
        QTest::keyClick(pms, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(h.idle() && undo->isEnabled() && undo->text() == u"&Undo Read");
        undo->trigger();
        QCOMPARE(DataRows(h.table(ViewKind::Pms)), QString());  // cleared: Ctrl+Z during the read undid nothing
    }

    void exitQuestion_data()
    {
        // before: what the operator does first; question: empty: none; files: saved files afterwards
        Columns<QStringList, QMessageBox::StandardButton, QString, bool, QStringList>("before", "answer", "question",
            "ends", "files");

        const QStringList allSaved{"read", "save all"};
        const QString all2 = "The channels of All Memories and Memories 1-99 are not saved. Save them before you exit?";
        // All holds the PMS rows only: its Save would refuse (row 1 empty), and saving PMS keeps them.
        const QString pms = "The channels of PMS Memories are not saved. Save them before you exit?";
        const QString four = "The channels of All Memories, Memories 1-99, PMS Memories and QMB Memories are not saved. "
                             "Save them before you exit?";
        const QStringList allFiles{"99Mem.txt", "AllMem.txt", "Pms.txt", "Qmb.txt"};
        QTest::newRow("nothing read") << QStringList{} << QMessageBox::Save << "" << true << QStringList{};
        QTest::newRow("everything saved") << allSaved << QMessageBox::Save << "" << true << allFiles;
        QTest::newRow("comment, discard") << (allSaved + QStringList{"comment 42"}) << QMessageBox::Discard << all2 << true
                                          << allFiles;
        QTest::newRow("comment, save") << (allSaved + QStringList{"comment 42"}) << QMessageBox::Save << all2 << true
                                       << allFiles;
        QTest::newRow("read never saved, cancel") << QStringList{"read Pms"} << QMessageBox::Cancel << pms << false
                                                  << QStringList{};
        QTest::newRow("PMS read never saved, save") << QStringList{"read Pms"} << QMessageBox::Save << pms << true
                                                    << QStringList{"Pms.txt"};
        QTest::newRow("read never saved, save") << QStringList{"read"} << QMessageBox::Save << four << true << allFiles;
        QTest::newRow("undone back to saved") << (allSaved + QStringList{"comment 42", "undo"}) << QMessageBox::Save << ""
                                              << true << allFiles;
        QTest::newRow("save fails") << QStringList{"read", "break Pms.txt"} << QMessageBox::Save << four << false
                                    << QStringList{"99Mem.txt", "AllMem.txt", "Qmb.txt"};
    }

    void exitQuestion()
    {
        QFETCH(QStringList, before); QFETCH(QMessageBox::StandardButton, answer); QFETCH(QString, question);
        QFETCH(bool, ends);
        UndoApp h;
        QVERIFY(h.started());
        MemoryView& all = h.open(ViewKind::All);
        MessageBoxHelper boxes;
        for (const QString& step : before)
            h.act(all, step);
        QCOMPARE(all.isWindowModified(), !question.isEmpty());
        const Tables rows = AllTables(h);
        const bool breaks = before.contains(QStringLiteral("break Pms.txt"));
        boxes.clear();
        h.exitQuestion.setAnswer(answer);
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        // By its access key, which the Edit menu leaves to Exit.
        all.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&all));
        QTest::keyClick(&all, Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY_WITH_TIMEOUT(ended.count() > 0 || (h.exitQuestion.count() > 0 && boxes.count() == int(breaks)),
                                 kWaitMs);
        QCOMPARE(h.exitQuestion.texts(), question.isEmpty() ? QStringList{} : QStringList{question});
        if (!question.isEmpty())
            QCOMPARE(h.exitQuestion.seen().constFirst().buttons,
                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QVERIFY(ended.count() == (ends ? 1 : 0) && all.isVisible() == !ends);
        QCOMPARE(AllTables(h), rows);
        QTEST(FileListing(h.dir.path()).filter(QStringLiteral(".txt")), "files");
        // Saved from the question: no question per file, and the file has the comment typed.
        QCOMPARE(boxes.count(), int(breaks));
        QCOMPARE(FileBytes(h.dir.filePath(QStringLiteral("AllMem.txt"))).contains(" net"),
                 answer == QMessageBox::Save && !question.isEmpty() && before.contains(QStringLiteral("comment 42")));
        // A save that failed says why, and its view is still unsaved.
        QVERIFY2(!breaks || boxes.lastText().contains(QStringLiteral("Pms.txt")), qPrintable(boxes.lastText()));
        QVERIFY(!breaks || (h.view(ViewKind::Pms).isWindowModified() && !all.isWindowModified()));
    }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
