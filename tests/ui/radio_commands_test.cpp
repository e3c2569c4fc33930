// SPDX-License-Identifier: GPL-3.0-or-later
// Stop during the long operations, Compare's marks, a read-back that finds a channel not stored, Undo and
// Redo of every kind of step, what ends the history, and the question on Exit that guards unsaved rows.

#include <QDir>
#include <QLabel>
#include <QProgressBar>

#include "codec.h"
#include "csvcommands.h"
#include "filebytes.h"
#include "memoryfilecommands.h"
#include "messageboxhelper.h"
#include "savedfilenames.h"
#include "savedfiletext.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// "channel:change" items applied to the emulator's memory, as another program might leave it.
void ChangeRadio(sim::SimRadio& radio, const QStringList& changes)
{
    using namespace RecordLayout;
    for (const QString& item : changes) {
        const int channel = item.section(u':', 0, 0).toInt();
        const QString how = item.section(u':', 1);
        Record r = radio.memory(channel);
        if (how.endsWith(u"+1")) {
            // One kHz more in a big-endian count of 0.625 Hz steps: 4 bytes of frequency, 2 of offset.
            const int first = how == u"freq+1" ? kFreqByte : kOffsetByte;
            int carry = int(kStepsPerKHz);
            for (int i = first + (how == u"freq+1" ? 3 : 1); i >= first; --i, carry >>= 8) {
                carry += r[i];
                r[i] = std::uint8_t(carry & 0xFF);
            }
        }
        // The others turn a setting's bits over (LSB is mode code 0).
        const QHash<QString, std::pair<int, int>> flips{
            {"mask", {kMaskByte, kMaskBit}}, {"rxrit", {kFlagsByte, kRxRitBit}}, {"ant", {kFlagsByte, 1 << kAntShift}},
            {"lsb", {kModeByte, r[kModeByte] & kModeCodeBits}}};
        const auto [byte, bits] = flips.value(how);
        r[byte] ^= std::uint8_t(bits);
        radio.setMemory(channel, r);
    }
}

// The marked cells as "row:column:tooltip", "(grey)" after a field no command sets, "(another
// colour)" after a cell coloured otherwise than a mark.
QStringList Marks(const ChannelTable& table)
{
    QStringList marks;
    for (int row = 0; row < table.rowCount(); ++row)
        for (int column = 0; column < kColumnCount; ++column) {
            const QModelIndex cell = table.index(row, column);
            const QVariant background = cell.data(Qt::BackgroundRole);
            if (!cell.data(Qt::ToolTipRole).isValid() && !background.isValid())
                continue;
            const QColor colour = background.value<QColor>();
            const QLatin1String tint(colour == QColor(kMarkColour)              ? ""
                                     : colour == QColor(kUnsettableMarkColour) ? " (grey)"
                                                                               : " (another colour)");
            const QString tooltip = cell.data(Qt::ToolTipRole).toString();
            marks << QStringLiteral("%1:%2:%3").arg(row + 1).arg(column).arg(tooltip + tint);
        }
    return marks;
}

// The program with the few operator actions the steps are made of.
struct UndoApp : AppHarness {
    using AppHarness::AppHarness;

    void act(MemoryView& v, const QString& step)
    {
        const QString csv = dir.filePath(QStringLiteral("in.csv"));
        if (step == u"comment 42")
            TypeComment(*this, v, 42, QStringLiteral(" net"));
        else if (step == u"clear")
            press(v, "cmdClear");
        else if (step.startsWith(u"read"))
            QVERIFY(read(step == u"read Pms" ? view(ViewKind::Pms) : v));
        else if (step == u"undo")
            Action(v, "actUndo")->trigger();
        else if (step == u"break Pms.txt")  // a folder where the file goes: no save can replace it
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Pms.txt")));
        for (ViewKind kind : kAllViews)  // cmdSave of each view, hidden ones too
            if (step == u"save all")
                view(kind).findChild<MemoryFileCommands*>()->save();
        if (step == u"12 down") {
            clickCell(v, 12, ColLabel);
            press(v, "cmdDown");
            press(v, "cmdOK");
        } else if (step == u"import") {
            QVERIFY(PutFile(csv, "Location,Name,Frequency,Duplex,Offset,Mode,Skip,Comment\n"
                                 "2,Net,29.6,+,0.6,FM,,Sunday\n"));
            v.findChild<CsvCommands*>()->setFileChooser([csv](QWidget*, bool, const QString&) { return csv; });
            Action(v, "itmImportCsv")->trigger();
        }
    }
};

}  // namespace

class RadioCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stop_data()
    {
        // how: a click on Stop, its access key, or Esc; total: channels the operation counts;
        // told: the message's start; %1: the last channel done
        Columns<QString, ViewKind, QString, int, QString>("operation", "kind", "how", "total", "told");
        const QString read = "The read was stopped after channel %1.";
        const QString load = "The write was stopped after channel %1.\r";
        const QString compare = "The comparison was stopped after channel %1.";
        QTest::newRow("read all") << "read" << ViewKind::All << "click" << 113 << read;
        QTest::newRow("load all, Alt+T") << "load" << ViewKind::All << "key" << 108 << load;
        QTest::newRow("compare pms, Esc") << "compare" << ViewKind::Pms << "esc" << 9 << compare;
    }
    // Stop ends the operation after the channel under way: the rows done stay, VFO-A is as
    // it was, the operator is told how far it got (not as a failure), the next Read works.
    void stop()
    {
        QFETCH(QString, operation); QFETCH(ViewKind, kind); QFETCH(QString, how); QFETCH(int, total); QFETCH(QString, told);
        AppHarness h;
        QVERIFY(!Action(h.view(kind), "actCompare")->isEnabled());  // no radio found yet
        MemoryView* v = operation == u"compare" ? OpenAndRead(h, kind) : h.started() ? &h.open(kind) : nullptr;
        QVERIFY(v);
        auto* bar = v->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QPushButton* stop = v->button(QStringLiteral("cmdStop"));
        QVERIFY(bar && stop && !bar->isVisible() && !stop->isVisible());
        // Distinct frequencies, 7001.00 on: the rows a Load filled tell which channels it wrote.
        QStringList lines;
        for (int i = 1; i <= RowCount(kind); ++i)
            lines << QStringLiteral("%1.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:").arg(7000 + i);
        QVERIFY(PutFile(h.dir.filePath(SavedFileName(kind)), EncodeSavedLines(lines)));
        const std::vector<RowCells> before = h.table(kind).rows();
        std::vector<Record> memory;
        for (int ch = 1; ch <= kLastQmb; ++ch) memory.push_back(h.radio->memory(ch));
        const Record vfoA = h.radio->vfoA();
        sim::Faults slow;  // each reply late, so that Stop lands while the operation runs
        slow.delay = std::chrono::milliseconds(40);
        h.radio->setFaults(slow);
        h.radio->clearLog();
        MessageBoxHelper boxes;
        operation == u"compare" ? Action(*v, "actCompare")->trigger() : h.press(*v, operation == u"read" ? "cmdRead" : "cmdLoad");
        QVERIFY(QTest::qWaitFor([&] { return bar->isVisible() && bar->value() >= 3; }, kWaitMs));
        QVERIFY(stop->isVisible() && stop->isEnabled() && !Action(*v, "actCompare")->isEnabled());
        QCOMPARE(bar->text(), QStringLiteral("channel %1 of %2").arg(bar->value()).arg(total));
        if (how == u"esc")
            QTest::keyClick(v->grid(), Qt::Key_Escape);
        else if (how == u"key")
            QTest::keyClick(v, Qt::Key_T, Qt::AltModifier);
        else
            h.press(*v, "cmdStop");
        QVERIFY(h.idle() && boxes.waitForCount(1) && boxes.count() == 1);
        QVERIFY(boxes.seen().first().icon == QMessageBox::Information && !bar->isVisible() && !stop->isVisible());
        QCOMPARE(h.radio->vfoA(), vfoA);
        // Channels read (a read-back reads too), or rows the Load filled.
        const QString text = boxes.lastText();
        const int done = operation == u"load" ? DataRows(h.table(kind)).section(u'-', 1).toInt()
                                              : int(MemoryRequests(*h.radio).size());
        QVERIFY2(done >= 3 && done < total && text.startsWith(told.arg(ChannelLabel(ChannelOfRow(kind, done)))),
                 qPrintable(text));
        QCOMPARE(text.contains(QStringLiteral("Up to there, all %1 channels match the radio.").arg(done)),
                 operation == u"compare");
        for (int ch = 1; operation == u"load" && ch <= kLastQmb; ++ch) {
            const int row = RowOfChannel(kind, ch);
            const Record held = h.radio->memory(ch);
            QVERIFY2(row >= 1 && row <= done ? DecodeRecord(held).Freq == 7000 + row : held == memory[ch - 1],
                     qPrintable(ChannelLabel(ch)));
        }
        QVERIFY(operation != u"compare" || h.table(kind).rows() == before);
        QCOMPARE(DataRows(h.table(kind)), QStringLiteral("1-%1").arg(operation == u"compare" ? RowCount(kind) : done));
        h.radio->setFaults({});
        QVERIFY(h.read(*v) && boxes.count() == 1);
        QCOMPARE(DataRows(h.table(kind)), QStringLiteral("1-%1").arg(RowCount(kind)));
    }

    void marks_data()
    {
        // changes: "channel:change" in the emulator before Compare; write: instead of Compare, the row's
        // frequency set to 3600 and written ("cmdLoad": by the view's Load of its saved file, or by the
        // editor) while the radio drops that store; marks: "row:column:tooltip"; then: an action after
        // Compare (the view saved first)
        Columns<ViewKind, QStringList, QString, int, QStringList, QString, QString>("kind", "changes", "write", "row",
            "marks", "message", "then");
        QTest::newRow("all: five fields, a QMB mask among them; the antennas apart")
            << ViewKind::All << QStringList{"5:freq+1", "12:mask", "13:lsb", "100:rxrit", "111:mask", "40:ant", "41:ant"}
            << "" << 0
            << QStringList{"5:1:Radio: 10137.00", "12:1:Radio: mask on", "13:2:Radio: LSB", "40:5:Radio: B (grey)",
                           "41:5:Radio: B (grey)", "100:6:Radio: ON", "111:1:Radio: mask on"}
            << "5 of 113 channels differ from the radio.\r2 channels hold another antenna than the table (no "
               "command can set the antenna)."
            << "";
        QTest::newRow("pms: frequency and mask in one cell, an offset")
            << ViewKind::Pms << QStringList{"101:freq+1", "101:mask", "104:offset+1"} << "" << 0
            << QStringList{"2:1:Radio: 2001.00\nRadio: mask on", "5:8:Radio: 1.00"}
            << "2 of 9 channels differ from the radio." << "";
        // The QMB file never holds the mask: the view does not compare it.
        QTest::newRow("qmb: the mask is not compared") << ViewKind::Qmb << QStringList{"111:mask"} << "" << 0
                                                       << QStringList{} << "All 5 channels match the radio." << "";
        QTest::newRow("read-back after Load, pms")
            << ViewKind::Pms << QStringList{} << "cmdLoad" << 3 << QStringList{"3:1:Radio: 3500.00"}
            << "The radio does not hold channel P3 as written:\rP3: frequency radio 3500.00, file 3600.00\rEvery other "
               "channel was written and read back as written.\rVFO-A has been set back as it was."
            << "";
        QTest::newRow("read-back after the editor, 99")
            << ViewKind::Ch99 << QStringList{} << "editor" << 8 << QStringList{"8:1:Radio: 21074.00"}
            << "The radio does not hold channel 8 as written:\r8: frequency radio 21074.00, editor 3600.00\rVFO-A has "
               "been set back as it was.\r\rThe table shows your changes, but the radio's memory channel 8 does not "
               "hold them: the marked cells show what it holds."
            << "";
        // The marks tell of the table as it was compared: any change to its texts ends them.
        const QStringList changes{"5:freq+1", "9:lsb"};
        const QStringList marks{"5:1:Radio: 10137.00", "9:2:Radio: LSB"};
        const QString summary = QStringLiteral("2 of 99 channels differ from the radio.");
        for (const char* then : {"cmdRead", "cmdLoad", "cmdClear", "editor write", "comment typed", "cmdSave"})
            QTest::addRow("99, then %s", then) << ViewKind::Ch99 << changes << "" << 0 << marks << summary << then;
    }
    // Compare marks exactly the cells the radio holds otherwise, the radio's value as tooltip, the
    // table untouched; the marks stay through Save and go with any change to the texts. A channel
    // the radio did not store is told and marked alike, and the table shows what was written.
    void marks()
    {
        QFETCH(ViewKind, kind); QFETCH(QStringList, changes); QFETCH(QString, write); QFETCH(int, row);
        QFETCH(QStringList, marks); QFETCH(QString, message); QFETCH(QString, then);
        AppHarness h;
        MemoryView* v = OpenAndRead(h, kind);
        QVERIFY(v);
        const int channel = row ? ChannelOfRow(kind, row) : 0;
        const Record vfoA = h.radio->vfoA(), held = channel ? h.radio->memory(channel) : Record{};
        if (write == u"editor") {
            h.clickCell(*v, row, Col82);
            QVERIFY(Editor(h));
            SetText(*Editor(h), "txtFreq", QStringLiteral("3600"));
        } else if (write == u"cmdLoad") {
            h.app->family().setCell(kind, row, ColFreq, QStringLiteral("3600.00  "));
        }
        if (write == u"cmdLoad" || !then.isEmpty())
            h.press(*v, "cmdSave");
        ChangeRadio(*h.radio, changes);
        const std::vector<RowCells> before = h.table(kind).rows();
        h.radio->clearLog();
        sim::Faults drop;
        drop.dropStore = channel;
        h.radio->setFaults(drop);
        QSignalSpy writes(&h.app->editorCommands(), &EditorCommands::writeEnded);
        const int beeps = h.beeps;
        MessageBoxHelper boxes;
        if (write.isEmpty())
            Action(*v, "actCompare")->trigger();
        else
            h.press(write == u"editor" ? static_cast<QWidget&>(*Editor(h)) : *v,
                    write == u"editor" ? "cmdOK" : "cmdLoad");
        QVERIFY(h.idle() && boxes.waitForCount(1));
        QVERIFY(boxes.seen().first().icon == (write.isEmpty() ? QMessageBox::Information : QMessageBox::Warning));
        QCOMPARE(boxes.texts(), QStringList{message});
        QCOMPARE(Marks(h.table(kind)), marks);
        for (ViewKind other : kAllViews)  // the other views are not compared
            QCOMPARE(h.table(other).markCount() > 0, other == kind && !marks.isEmpty());
        QCOMPARE(h.radio->vfoA(), vfoA);
        if (write.isEmpty()) {
            QCOMPARE(MemoryRequests(*h.radio), Range(FirstChannel(kind), LastChannel(kind)));
            QVERIFY(int(h.radio->frameLog().size()) == RowCount(kind) && h.table(kind).rows() == before);
        } else {
            QVERIFY((!Editor(h) || !Editor(h)->isVisible()) && h.radio->memory(channel) == held);
            QCOMPARE(writes.count(), write == u"editor" ? 1 : 0);
            QVERIFY(writes.isEmpty() || !writes.first().at(1).toBool());
            QCOMPARE(h.table(kind).cell(row, ColFreq), QStringLiteral("3600.00  "));
            QCOMPARE(h.beeps, beeps);  // not every channel went in as written
        }
        if (then == u"editor write") {
            h.clickCell(*v, 20, ColOffset);
            QVERIFY(Editor(h));
            h.press(*Editor(h), "cmdOK");
        } else if (then == u"comment typed") {
            h.clickCell(*v, 30, ColComment);
            QTest::keyClicks(CommentBox(*v), QStringLiteral("net"));
        } else if (!then.isEmpty()) {
            h.press(*v, qPrintable(then));
        }
        QVERIFY(h.idle());
        QCOMPARE(h.table(kind).markCount(), then.isEmpty() || then == u"cmdSave" ? int(marks.size()) : 0);
    }

    void everyStepUndoes_data()
    {
        // cell: the view's cell after the step; mirrorCell: the same cell of the mirror row; write: to the
        // radio after a comment typed, by the view's Load of its file saved first, or by the editor
        Columns<ViewKind, QString, QString, int, int, QString, ViewKind, int, QString, QString>("view", "step", "name",
            "row", "column", "cell", "mirror", "mirrorRow", "mirrorCell", "write");

        QTest::newRow("comment in All") << ViewKind::All << "comment 42" << "Comment on 42" << 42 << int(ColComment)
                                        << "comment 42 net" << ViewKind::Ch99 << 42 << "comment 42 net" << "";
        QTest::newRow("move down") << ViewKind::Ch99 << "12 down" << "Move 12 and 13" << 12 << int(ColFreq) << "7050.13"
                                   << ViewKind::All << 12 << "7050.13" << "";
        QTest::newRow("clear, mirror kept") << ViewKind::Pms << "clear" << "Clear" << 1 << int(ColFreq) << ""
                                            << ViewKind::All << 100 << "7050.100" << "";
        QTest::newRow("import CSV") << ViewKind::Pms << "import" << "Import CSV" << 2 << int(ColFreq) << "29600.00  "
                                    << ViewKind::All << 101 << "29600.00  " << "";
        for (const char* write : {"", "cmdLoad", "editor"})
            QTest::addRow("read%s%s", *write ? ", then " : "", write)
                << ViewKind::Pms << "read" << "Read" << 1 << int(ColFreq) << "1800.00  " << ViewKind::All << 100
                << "1800.00  " << write;
    }

    // Each step: Undo gives back every table as it was, Redo as the step left it, by menu and by
    // key, and the radio hears nothing of either. A write to the radio leaves nothing to undo or
    // redo, and the tables as the write left them.
    void everyStepUndoes()
    {
        QFETCH(ViewKind, view); QFETCH(QString, step); QFETCH(QString, name); QFETCH(int, row); QFETCH(int, column);
        QFETCH(ViewKind, mirror); QFETCH(int, mirrorRow); QFETCH(QString, write);
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
        if (write.isEmpty())
            return;
        h.press(*v, "cmdSave");
        const QString saved = h.table(view).cell(2, ColComment);
        TypeComment(h, *v, 2, QStringLiteral("ham"));
        if (write == u"editor")
            h.clickCell(*v, 4, ColOffset);
        h.press(write == u"editor" ? *static_cast<QWidget*>(Editor(h)) : *v, write == u"editor" ? "cmdOK" : "cmdLoad");
        QVERIFY(h.idle() && undo->text() == u"Nothing to undo" && !undo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("Nothing to redo"));
        // The Load put the saved comment back; the editor kept the typed one.
        QCOMPARE(h.table(view).cell(2, ColComment), write == u"editor" ? saved + "ham" : saved);
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

        const auto row = [](const char* name, const char* before, QMessageBox::StandardButton answer,
                            const QString& question, bool ends, const char* files) {
            QTest::newRow(name) << QString::fromLatin1(before).split(u',', Qt::SkipEmptyParts) << answer << question
                                << ends << QString::fromLatin1(files).split(u',', Qt::SkipEmptyParts);
        };
        const QString all2 = "The channels of All Memories and Memories 1-99 are not saved. Save them before you exit?";
        // All holds the PMS rows only: its Save would refuse (row 1 empty), and saving PMS keeps them.
        const QString pms = "The channels of PMS Memories are not saved. Save them before you exit?";
        const QString four = "The channels of All Memories, Memories 1-99, PMS Memories and QMB Memories are not saved. "
                             "Save them before you exit?";
        const char* all = "99Mem.txt,AllMem.txt,Pms.txt,Qmb.txt";
        using B = QMessageBox;
        row("nothing read", "", B::Save, "", true, "");
        row("everything saved", "read,save all", B::Save, "", true, all);
        row("comment, discard", "read,save all,comment 42", B::Discard, all2, true, all);
        row("comment, save", "read,save all,comment 42", B::Save, all2, true, all);
        row("read never saved, cancel", "read Pms", B::Cancel, pms, false, "");
        row("PMS read never saved, save", "read Pms", B::Save, pms, true, "Pms.txt");
        row("read never saved, save", "read", B::Save, four, true, all);
        row("undone back to saved", "read,save all,comment 42,undo", B::Save, "", true, all);
        row("save fails", "read,break Pms.txt", B::Save, four, false, "99Mem.txt,AllMem.txt,Qmb.txt");
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

QTEST_MAIN(RadioCommandsTest)
#include "radio_commands_test.moc"
