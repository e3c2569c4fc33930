// SPDX-License-Identifier: GPL-3.0-or-later
// Save and Load in the real view windows against the emulator in-process: the files they
// write, the tables and mirror rows they fill, the exact frames that reach the radio, and
// every refusal, answered through the message-box helper.

#include <QtTest>

#include "app_harness.h"
#include "filebytes.h"
#include "messageboxhelper.h"
#include "restoreplan.h"
#include "savedfilenames.h"
#include "savedfiletext.h"

using namespace vardo;
using namespace vardo::test;

namespace {

struct FileHarness : AppHarness {
    explicit FileHarness(const QString& dataDir = {}) : AppHarness(sim::Timing::Fast, {}, {}, dataDir) {}
    QString file(const QString& name) const { return app->dataDir() + "/" + name; }
    // Presses a command and waits until the program is idle again.
    bool run(MemoryView& v, const char* command) { press(v, command); return idle(); }
    // Opens the view and reads it from the radio.
    MemoryView* ready(ViewKind kind)
    {
        if (!started())
            return nullptr;
        MemoryView& v = open(kind);
        return read(v) ? &v : nullptr;
    }
    // Opened, read and saved, then the view's table emptied: a Load has all to fill.
    MemoryView* savedThenCleared(ViewKind kind)
    {
        MemoryView* v = ready(kind);
        if (!v || !run(*v, "cmdSave"))
            return nullptr;
        app->family().clear(kind);
        return v;
    }
    // Every row of the view, then every row of frmAll.
    std::vector<RowCells> cells(ViewKind k) const
    {
        std::vector<RowCells> rows = table(k).rows();
        const std::vector<RowCells> all = table(ViewKind::All).rows();
        rows.insert(rows.end(), all.begin(), all.end());
        return rows;
    }
};

// A Pms.txt of nine good lines with line `number` replaced, or cut to `number` - 1 lines
// when `line` is null.
QByteArray PmsFile(int number = 0, const char* line = "")
{
    QStringList lines;
    for (int i = 1; i <= 9; ++i)
        lines << QStringLiteral("%1.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:line %2").arg(7000 + i).arg(i);
    if (number && line)
        lines[number - 1] = line;
    return EncodeSavedLines(line ? lines : lines.mid(0, number - 1));
}

}  // namespace

class TestFilesCommands : public QObject {
    Q_OBJECT
private slots:
    void saveThenLoad_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("firstWritten");
        QTest::addColumn<int>("lastWritten");
        QTest::newRow("frmAll") << ViewKind::All << "AllMem.txt" << 1 << 108;
        QTest::newRow("frmCh99") << ViewKind::Ch99 << "99Mem.txt" << 1 << 99;
        QTest::newRow("frmPms") << ViewKind::Pms << "Pms.txt" << 100 << 108;
        QTest::newRow("frmQmb sends nothing") << ViewKind::Qmb << "Qmb.txt" << 0 << -1;
    }
    void saveThenLoad()
    {
        QFETCH(ViewKind, kind);
        QFETCH(QString, file);
        QFETCH(int, firstWritten);
        QFETCH(int, lastWritten);
        FileHarness h;
        MemoryView* v = h.ready(kind);
        QVERIFY(v);
        const int last = RowCount(kind);
        const QString comment = QStringLiteral("net: Sunday, Bodø");
        h.app->family().setCell(kind, last, ColComment, comment);
        const ChannelTable& table = h.table(kind);
        const QString lastFreq = table.cell(last, ColFreq);
        int beeps = h.beeps;
        QVERIFY(h.run(*v, "cmdSave"));
        QCOMPARE(h.beeps, beeps + 1);
        const QStringList lines = SplitSavedLines(DecodeSavedText(FileBytes(h.file(file))));
        QCOMPARE(lines.size(), last);
        QVERIFY(lines.last().endsWith(":" + comment));

        // The frames a Load must send: each channel with data stored, then masked or not.
        QStringList expected;
        QList<int> blank;
        for (int ch = firstWritten; ch <= lastWritten; ++ch) {
            const QString freq = h.table(ViewKind::All).cell(ch, ColFreq);
            const QString n = QStringLiteral("%1 03").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
            if (freq.startsWith("0.00"))  // a blank channel the radio cannot be set to
                blank << ch;
            else
                expected << "00 00 00 " + n << (freq.endsWith("* ") ? "00 00 01 " : "00 00 02 ") + n;
        }
        // Another radio's memory: the tables emptied, then Load.
        h.app->family().clear(kind);
        h.app->family().clear(ViewKind::All);
        h.radio->clearLog();
        beeps = h.beeps;
        MessageBoxHelper boxes;
        QVERIFY(h.run(*v, "cmdLoad"));
        // A beep when every channel went into the radio; otherwise the ones that did not.
        QTRY_COMPARE_WITH_TIMEOUT(h.beeps, beeps + (kind == ViewKind::Qmb || !blank.isEmpty() ? 0 : 1), kWaitMs);
        QStringList blankLabels;
        for (int ch : blank)
            blankLabels << QString::number(ch);
        QCOMPARE(boxes.texts(), blank.isEmpty() ? QStringList()
                                                : QStringList{QStringLiteral("%1 channels were not written (the radio "
                                                                             "keeps what they held):\r%2: frequency "
                                                                             "0.00 cannot be sent to the radio")
                                                                  .arg(blank.size())
                                                                  .arg(blankLabels.join(", "))});
        QCOMPARE(table.cell(last, ColComment), comment);
        QCOMPARE(table.cell(last, ColFreq), kind == ViewKind::Qmb ? lastFreq.chopped(2) + "  " : lastFreq);
        const ViewKind mirror = MirrorView(kind, ChannelOfRow(kind, last));
        QCOMPARE(h.table(mirror).cell(RowOfChannel(mirror, ChannelOfRow(kind, last)), ColComment), comment);
        QStringList storeAndMask;
        for (const auto& f : h.radio->frameLog())
            if (f.bytes[4] == 0x03)
                storeAndMask << f.toHex();
        QCOMPARE(storeAndMask, expected);
        if (kind == ViewKind::Qmb)
            QVERIFY(h.radio->frameLog().empty());
    }

    void refused_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<QByteArray>("bytes");  // the view's file; null: none
        QTest::addColumn<QString>("message");   // %1: the file
        const QString never = "Cannot load because the \"%1\" data file has never been saved!";
        QTest::newRow("frmAll never saved") << ViewKind::All << QByteArray() << never.arg("All.Mem.txt");
        QTest::newRow("frmCh99 never saved") << ViewKind::Ch99 << QByteArray() << never.arg("99Mem.txt");
        QTest::newRow("frmPms never saved") << ViewKind::Pms << QByteArray() << never.arg("Pms.txt");
        QTest::newRow("frmQmb never saved") << ViewKind::Qmb << QByteArray() << never.arg("Qmb.txt");
        const QString bad = "Cannot load \"%1\": line ";
        QTest::newRow("empty") << ViewKind::Pms << QByteArray("") << "Cannot load \"%1\": the file is empty.";
        QTest::newRow("older layout") << ViewKind::Pms << PmsFile().replace(':', ',')
                                      << "Cannot load \"%1\": it is in the older layout, with commas between the "
                                         "fields; \"vardo-cli upgrade\" or a restart of the program converts it.";
        QTest::newRow("one line short") << ViewKind::Pms << PmsFile(9, nullptr)
                                        << bad + "9 is missing: the file has 8 of its 9 lines.";
        QTest::newRow("eight colons") << ViewKind::Pms << PmsFile(4, "7004.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF")
                                      << bad + "4 has fewer than nine colons.";
        QTest::newRow("old layout line") << ViewKind::Pms << PmsFile(9, "7009.00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,")
                                         << bad + "9 has fewer than nine colons.";
        QTest::newRow("frequency") << ViewKind::Pms << PmsFile(1, "x:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:")
                                   << bad + "1 has a frequency that is not a number (\"x\").";
        QTest::newRow("offset") << ViewKind::Pms << PmsFile(2, "7002.00:USB:2.4K:2.0K:A:OFF:OFF:+:OFF:")
                                << bad + "2 has an offset that is not a number (\"+\").";
        QTest::newRow("setting") << ViewKind::Pms << PmsFile(3, "7003.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:+RTP:")
                                 << bad + "3 has an unknown RPT setting (\"+RTP\").";
        QTest::newRow("binary") << ViewKind::Pms << QByteArray("\x00\x01\xFF\xFE\x89PNG\r\n\x1A\n", 11).repeated(9)
                                << bad + "1 has fewer than nine colons.";
    }
    void refused()
    {
        QFETCH(ViewKind, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        FileHarness h;
        MemoryView* v = h.ready(kind);
        QVERIFY(v);
        h.app->family().setCell(kind, 1, ColComment, "kept");
        const std::vector<RowCells> before = h.cells(kind);
        if (!bytes.isNull())
            QVERIFY(PutFile(h.file(SavedFileName(kind)), bytes));
        h.radio->clearLog();
        MessageBoxHelper boxes;
        QVERIFY(h.run(*v, "cmdLoad"));
        QCOMPARE(boxes.texts(), QStringList{message.arg(QDir::toNativeSeparators(h.file(SavedFileName(kind))))});
        QCOMPARE(h.cells(kind), before);
        QVERIFY(h.radio->frameLog().empty());
    }

    void overwriteQuestion()
    {
        FileHarness h;
        MemoryView* v = h.ready(ViewKind::Qmb);
        QVERIFY(v);
        QVERIFY(h.run(*v, "cmdSave"));
        const QByteArray first = FileBytes(h.file("Qmb.txt"));
        h.app->family().setCell(ViewKind::Qmb, 1, ColComment, "second");
        MessageBoxHelper boxes(QMessageBox::No);
        QVERIFY(h.run(*v, "cmdSave"));
        QCOMPARE(boxes.texts(), QStringList{"Do you want to overwrite the existing saved file?"});
        QCOMPARE(boxes.seen().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(FileListing(h.app->dataDir()), QStringList{"Qmb.txt"});
        QCOMPARE(FileBytes(h.file("Qmb.txt")), first);
        boxes.setAnswer(QMessageBox::Yes);
        QVERIFY(h.run(*v, "cmdSave"));
        QCOMPARE(FileBytes(h.file("Qmb.bak")), first);
        QVERIFY(FileBytes(h.file("Qmb.txt")).contains(":second\r\n"));
    }

    void saveRefused_data()
    {
        QTest::addColumn<bool>("missingFolder");
        QTest::addColumn<QString>("message");  // %1: the file
        QTest::newRow("nothing to save") << false << "Nothing to save!";
        QTest::newRow("data folder missing") << true << "Could not write \"%1\": No such file "
                                                "or directory. The saved file and its backup are as they were.";
    }
    void saveRefused()
    {
        QFETCH(bool, missingFolder);
        QFETCH(QString, message);
        QTemporaryDir other;
        FileHarness h(missingFolder ? other.filePath("no-such-folder") : QString());
        QVERIFY(h.started());
        MemoryView& v = h.open(ViewKind::Pms);
        MessageBoxHelper boxes;
        QVERIFY(!missingFolder || h.read(v));
        const int beeps = h.beeps;
        QVERIFY(h.run(v, "cmdSave"));
        // The read's snapshot has no folder either: told, and the read stands.
        QStringList told;
        if (missingFolder)
            told << "No snapshot was kept in the history: Could not write \""
                        + QDir::toNativeSeparators(h.file("history")) + "\": No such file or directory.";
        told << message.arg(QDir::toNativeSeparators(h.file("Pms.txt")));
        QCOMPARE(boxes.texts(), told);
        QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
        QCOMPARE(h.beeps, beeps);
        QCOMPARE(FileListing(h.app->dataDir()), QStringList());
    }

    // Nothing reached the radio, so the tables do not show the file either.
    void silentRadioDuringLoad()
    {
        FileHarness h;
        MemoryView* v = h.savedThenCleared(ViewKind::Pms);
        QVERIFY(v);
        const std::vector<RowCells> before = h.cells(ViewKind::Pms);
        sim::Faults silent = h.radio->faults();
        silent.silent = true;
        h.radio->setFaults(silent);
        MessageBoxHelper boxes;
        h.press(*v, "cmdLoad");
        QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
        QVERIFY2(boxes.lastText().contains("No channel was written."), qPrintable(boxes.lastText()));
        QVERIFY(h.idle());
        QCOMPARE(h.cells(ViewKind::Pms), before);
    }

    // Each row shows the file once its channel is in the radio, as a read fills rows as they come.
    void loadFillsRowsAsWritten()
    {
        FileHarness h;
        MemoryView* v = h.savedThenCleared(ViewKind::Pms);
        QVERIFY(v);
        QStringList shownWhenWritten;
        QObject::connect(&h.app->radio(), &RadioClient::channelWritten, v, [&](int channel) {
            shownWhenWritten << QStringLiteral("%1: %2").arg(ChannelLabel(channel), DataRows(h.table(ViewKind::Pms)));
        });
        const int beeps = h.beeps;
        QVERIFY(h.run(*v, "cmdLoad"));
        QTRY_COMPARE_WITH_TIMEOUT(h.beeps, beeps + 1, kWaitMs);
        QCOMPARE(shownWhenWritten, QStringList({"P1: 1", "P2: 1-2", "P3: 1-3", "P4: 1-4", "P5: 1-5", "P6: 1-6",
                                                "P7: 1-7", "P8: 1-8", "P9: 1-9"}));
    }

    // A channel with a value no command can send (a blank channel's frequency, an offset beyond
    // 9.99 kHz) is left out whole, and the operator is told which and why; a row with a comment
    // and no channel data loads with its comment; no beep for a partial load.
    void loadLeavesUnsendableChannels()
    {
        FileHarness h;
        MemoryView* v = h.ready(ViewKind::Pms);
        QVERIFY(v);
        QByteArray file = PmsFile(5, "0.00:LSB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:blank");
        file.replace("7006.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:line 6", ":::::::::comment only");
        file.replace("7008.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:line 8", "7008.00:AM (env):Thru:6.0K:A:OFF:OFF:+12.50:OFF:");
        QVERIFY(PutFile(h.file("Pms.txt"), file));
        const Record p8 = h.radio->memory(107);
        h.radio->clearLog();
        MessageBoxHelper boxes;
        const int beeps = h.beeps;
        QVERIFY(h.run(*v, "cmdLoad"));
        QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
        QCOMPARE(boxes.texts(), QStringList{"2 channels were not written (the radio keeps what they held):\r"
                                            "P5: frequency 0.00 cannot be sent to the radio\r"
                                            "P8: offset +12.50 cannot be sent to the radio"});
        QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
        QCOMPARE(h.beeps, beeps);
        QCOMPARE(h.radio->memory(107), p8);
        QCOMPARE(h.table(ViewKind::Pms).row(6), RowCells({"", "", "", "", "", "", "", "", "", "comment only"}));
        QStringList stored;
        for (const auto& f : h.radio->frameLog())
            if (f.bytes[3] != 0 && f.bytes[4] == 0x03 && f.bytes[2] == 0)
                stored << ChannelLabel(f.bytes[3]);
        QCOMPARE(stored, QStringList({"P1", "P2", "P3", "P4", "P7", "P9"}));
    }

    // Save and Load leave the operator's current row where it was.
    void currentRowKept_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Save") << "cmdSave";
        QTest::newRow("Load") << "cmdLoad";
    }
    void currentRowKept()
    {
        QFETCH(QString, command);
        FileHarness h;
        MemoryView* v = h.ready(ViewKind::Pms);
        QVERIFY(v);
        if (command == "cmdLoad")
            QVERIFY(h.run(*v, "cmdSave"));
        // Moved there as the arrow keys move it (a click on a row would load its channel).
        v->grid()->setCurrentIndex(v->grid()->model()->index(2, ColMode));
        MessageBoxHelper boxes(QMessageBox::Yes);  // Save's overwrite question
        const int beeps = h.beeps;
        QVERIFY(h.run(*v, qPrintable(command)));
        QTRY_COMPARE_WITH_TIMEOUT(h.beeps, beeps + 1, kWaitMs);
        QCOMPARE(v->grid()->currentIndex().row() + 1, 3);
    }
};

QTEST_MAIN(TestFilesCommands)
#include "files_commands_test.moc"
