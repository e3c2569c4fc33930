// SPDX-License-Identifier: GPL-3.0-or-later
// Stop during the long operations, Compare's marks and a read-back that finds a channel not stored.

#include <QLabel>
#include <QProgressBar>

#include "codec.h"
#include "filebytes.h"
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
            marks << QStringLiteral("%1:%2:%3").arg(row + 1).arg(column).arg(cell.data(Qt::ToolTipRole).toString() + tint);
        }
    return marks;
}

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

    void compareMarks_data()
    {
        // changes: "channel:change" in the emulator; marks: "row:column:tooltip"; then: an action
        // after Compare (the view saved first)
        Columns<ViewKind, QStringList, QStringList, QString, QString>("kind", "changes", "marks", "summary", "then");
        QTest::newRow("all: five fields, a QMB mask among them; the antennas apart")
            << ViewKind::All << QStringList{"5:freq+1", "12:mask", "13:lsb", "100:rxrit", "111:mask", "40:ant", "41:ant"}
            << QStringList{"5:1:Radio: 10137.00", "12:1:Radio: mask on", "13:2:Radio: LSB", "40:5:Radio: B (grey)",
                           "41:5:Radio: B (grey)", "100:6:Radio: ON", "111:1:Radio: mask on"}
            << "5 of 113 channels differ from the radio.\r2 channels hold another antenna than the table (no "
               "command can set the antenna)."
            << "";
        QTest::newRow("pms: frequency and mask in one cell, an offset")
            << ViewKind::Pms << QStringList{"101:freq+1", "101:mask", "104:offset+1"}
            << QStringList{"2:1:Radio: 2001.00\nRadio: mask on", "5:8:Radio: 1.00"}
            << "2 of 9 channels differ from the radio." << "";
        // The QMB file never holds the mask: the view does not compare it.
        QTest::newRow("qmb: the mask is not compared") << ViewKind::Qmb << QStringList{"111:mask"}
                                                       << QStringList{} << "All 5 channels match the radio." << "";
        // The marks tell of the table as it was compared: any change to its texts ends them.
        const QStringList changes{"5:freq+1", "9:lsb"};
        const QStringList marks{"5:1:Radio: 10137.00", "9:2:Radio: LSB"};
        const QString summary = QStringLiteral("2 of 99 channels differ from the radio.");
        for (const char* then : {"cmdRead", "cmdLoad", "cmdClear", "editor write", "comment typed", "cmdSave"})
            QTest::addRow("99, then %s", then) << ViewKind::Ch99 << changes << marks << summary << then;
    }
    // Compare marks exactly the cells the radio holds otherwise, the radio's value as tooltip, the
    // table untouched; the marks stay through Save and go with any change to the texts.
    void compareMarks()
    {
        QFETCH(ViewKind, kind); QFETCH(QStringList, changes); QFETCH(QString, summary);
        QFETCH(QString, then); QFETCH(QStringList, marks);
        AppHarness h;
        MemoryView* v = OpenAndRead(h, kind);
        QVERIFY(v);
        if (!then.isEmpty())
            h.press(*v, "cmdSave");
        ChangeRadio(*h.radio, changes);
        const std::vector<RowCells> before = h.table(kind).rows();
        h.radio->clearLog();
        MessageBoxHelper boxes;
        Action(*v, "actCompare")->trigger();
        QVERIFY(h.idle() && boxes.waitForCount(1) && boxes.seen().first().icon == QMessageBox::Information);
        QCOMPARE(boxes.texts(), QStringList{summary});
        QCOMPARE(MemoryRequests(*h.radio), Range(FirstChannel(kind), LastChannel(kind)));
        QVERIFY(int(h.radio->frameLog().size()) == RowCount(kind) && h.table(kind).rows() == before);
        QCOMPARE(Marks(h.table(kind)), marks);
        for (ViewKind other : kAllViews)  // the other views are not compared
            QCOMPARE(h.table(other).markCount() > 0, other == kind && !marks.isEmpty());
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

    void readBackMarks_data()
    {
        // editor: else the view's Load of its saved file; line: the read-back's line in the message;
        // end: the message's last words
        Columns<bool, ViewKind, int, QString, QString, QString>("editor", "kind", "row", "line", "end", "mark");
        QTest::newRow("load pms") << false << ViewKind::Pms << 3 << "P3: frequency radio 3500.00, file 3600.00" << ""
                                  << "3:1:Radio: 3500.00";
        QTest::newRow("editor 99") << true << ViewKind::Ch99 << 8 << "8: frequency radio 21074.00, "
                                   << "The table shows your changes, but the radio's memory channel 8 does not hold "
                                      "them: the marked cells show what it holds."
                                   << "8:1:Radio: 21074.00";
    }
    // A channel the radio did not store: the operator is told which and how it differs, the
    // cell is marked as Compare marks it, and the table shows what was written.
    void readBackMarks()
    {
        QFETCH(bool, editor); QFETCH(ViewKind, kind); QFETCH(int, row); QFETCH(QString, line); QFETCH(QString, end);
        QFETCH(QString, mark);
        AppHarness h;
        MemoryView* v = OpenAndRead(h, kind);
        QVERIFY(v);
        const int channel = ChannelOfRow(kind, row);
        const Record vfoA = h.radio->vfoA(), held = h.radio->memory(channel);
        MessageBoxHelper boxes;
        QSignalSpy writes(&h.app->editorCommands(), &EditorCommands::writeEnded);
        if (editor) {
            h.clickCell(*v, row, Col82);
            QVERIFY(Editor(h));
            SetText(*Editor(h), "txtFreq", QStringLiteral("3600"));
        } else {
            h.app->family().setCell(kind, row, ColFreq, QStringLiteral("3600.00  "));
            h.press(*v, "cmdSave");
        }
        sim::Faults drop;
        drop.dropStore = channel;
        h.radio->setFaults(drop);
        const int beeps = h.beeps;
        h.press(editor ? static_cast<QWidget&>(*Editor(h)) : *v, editor ? "cmdOK" : "cmdLoad");
        QVERIFY(h.idle() && boxes.waitForCount(1) && boxes.count() == 1 && boxes.seen().first().icon == QMessageBox::Warning);
        QVERIFY2(boxes.lastText().contains(line) && boxes.lastText().endsWith(end), qPrintable(boxes.lastText()));
        QVERIFY(!Editor(h) || !Editor(h)->isVisible());
        QVERIFY(writes.count() == (editor ? 1 : 0) && (!editor || !writes.first().at(1).toBool()));
        QVERIFY(h.radio->memory(channel) == held && h.radio->vfoA() == vfoA);
        QCOMPARE(h.table(kind).cell(row, ColFreq), QStringLiteral("3600.00  "));
        QCOMPARE(Marks(h.table(kind)), QStringList{mark});
        QCOMPARE(h.beeps, beeps);  // not every channel went in as written
    }
};

QTEST_MAIN(RadioCommandsTest)
#include "radio_commands_test.moc"
