// Save and Load in the real view windows against the emulator in-process: the files they
// write, the tables and mirror rows they fill, the frames that reach the radio, and every
// refusal, answered through the message-box helper.

#include <QtTest>

#include "app_harness.h"
#include "filebytes.h"
#include "memoryfilecommands.h"
#include "messageboxhelper.h"
#include "savedfiletext.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// The harness's program with Save and Load attached to every view (no-op when the program
// attaches them itself).
struct FileHarness : AppHarness {
    explicit FileHarness(const QString& dataDir = {})
        : AppHarness(sim::Timing::Fast, {}, {}, dataDir), data(app->dataDir())
    {
    }
    QString file(const QString& name) const { return data + "/" + name; }
    // Presses a command and waits until the program is idle again.
    bool run(MemoryView& v, const char* command)
    {
        press(v, command);
        return idle();
    }
    QString data;
};

// The store and mask frames the radio received, as "00 00 00 64 03" texts.
QStringList StoreAndMask(const sim::SimRadio& radio)
{
    QStringList frames;
    for (const CatFrame& f : radio.frameLog())
        if (f.bytes[4] == 0x03)
            frames << f.toHex();
    return frames;
}

QStringList ExpectedStoreAndMask(int first, int last, const QList<int>& masked)
{
    QStringList frames;
    for (int ch = first; ch <= last; ++ch) {
        const QString n = QStringLiteral("%1").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
        frames << "00 00 00 " + n + " 03" << (masked.contains(ch) ? "00 00 01 " : "00 00 02 ") + n + " 03";
    }
    return frames;
}

}  // namespace

class TestFilesCommands : public QObject {
    Q_OBJECT
private slots:
    void saveThenLoad_data();
    void saveThenLoad();
    void nothingToSave();
    void overwriteQuestion();
    void neverSaved_data();
    void neverSaved();
    void refusedFile();
    void saveFailure();
    void silentRadioDuringLoad();
};

void TestFilesCommands::saveThenLoad_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("firstWritten");
    QTest::addColumn<int>("lastWritten");
    QTest::newRow("frmAll") << ViewKind::All << "AllMem.txt" << 1 << 108;
    QTest::newRow("frmCh99") << ViewKind::Ch99 << "99Mem.txt" << 1 << 99;
    QTest::newRow("frmPms") << ViewKind::Pms << "Pms.txt" << 100 << 108;
    QTest::newRow("frmQmb") << ViewKind::Qmb << "Qmb.txt" << 0 << -1;
}

void TestFilesCommands::saveThenLoad()
{
    QFETCH(ViewKind, kind);
    QFETCH(QString, file);
    QFETCH(int, firstWritten);
    QFETCH(int, lastWritten);
    FileHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(kind);
    QVERIFY(h.read(v));
    const int last = RowCount(kind);
    h.app->family().setCell(kind, last, ColComment, QStringLiteral("net: Sunday, Bodø"));
    const ChannelTable& table = h.table(kind);
    const QString lastFreq = table.cell(last, ColFreq);

    int beeps = h.beeps;
    QVERIFY(h.run(v, "cmdSave"));
    QCOMPARE(h.beeps, beeps + 1);
    const QStringList lines = SplitSavedLines(DecodeSavedText(FileBytes(h.file(file))));
    QCOMPARE(lines.size(), last);
    QVERIFY(lines.last().endsWith(":net: Sunday, Bodø"));
    QCOMPARE(v.currentRow(), last);
    QCOMPARE(v.currentColumn(), int(ColComment));

    // Another radio's memory; the tables emptied, then Load.
    h.app->family().clear(kind);
    h.app->family().clear(ViewKind::All);
    h.radio->clearLog();
    beeps = h.beeps;
    QVERIFY(h.run(v, "cmdLoad"));
    QTRY_COMPARE_WITH_TIMEOUT(h.beeps, beeps + (kind == ViewKind::Qmb ? 0 : 1), kWaitMs);
    QCOMPARE(table.cell(last, ColComment), QStringLiteral("net: Sunday, Bodø"));
    QCOMPARE(table.cell(last, ColFreq), kind == ViewKind::Qmb ? lastFreq.left(lastFreq.size() - 2) + "  " : lastFreq);
    const int channel = ChannelOfRow(kind, last);
    const ViewKind mirror = MirrorView(kind, channel);
    QCOMPARE(h.table(mirror).cell(RowOfChannel(mirror, channel), ColComment), QStringLiteral("net: Sunday, Bodø"));
    QCOMPARE(v.currentRow(), last);
    QCOMPARE(v.currentColumn(), int(ColFreq));

    // Masked channels keep their mark (the demo has some); blank channels are not written.
    QList<int> masked;
    QList<int> blank;
    for (int ch = firstWritten; ch <= lastWritten; ++ch) {
        const QString freq = h.table(ViewKind::All).cell(ch, ColFreq);
        if (freq.startsWith("0.00"))
            blank << ch;
        if (freq.endsWith("* "))
            masked << ch;
    }
    QStringList expected = ExpectedStoreAndMask(firstWritten, lastWritten, masked);
    for (int ch : blank) {
        const QString n = QStringLiteral("%1").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
        expected.removeAll("00 00 00 " + n + " 03");
        expected.removeAll("00 00 02 " + n + " 03");
    }
    QCOMPARE(StoreAndMask(*h.radio), expected);
    if (kind == ViewKind::Qmb)
        QVERIFY(h.radio->frameLog().empty());
}

void TestFilesCommands::nothingToSave()
{
    FileHarness h;
    QVERIFY(h.started());
    MessageBoxHelper boxes;
    MemoryView& v = h.open(ViewKind::Pms);
    QVERIFY(h.run(v, "cmdSave"));
    QCOMPARE(boxes.texts(), QStringList{"Nothing to save!"});
    QCOMPARE(boxes.seen().first().icon, QMessageBox::Warning);
    QCOMPARE(FileListing(h.data), QStringList());
}

void TestFilesCommands::overwriteQuestion()
{
    FileHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Qmb);
    QVERIFY(h.read(v));
    QVERIFY(h.run(v, "cmdSave"));
    const QByteArray first = FileBytes(h.file("Qmb.txt"));
    h.app->family().setCell(ViewKind::Qmb, 1, ColComment, "second");

    MessageBoxHelper boxes(QMessageBox::No);
    QVERIFY(h.run(v, "cmdSave"));
    QCOMPARE(boxes.texts(), QStringList{"Do you want to overwrite the existing saved file?"});
    QCOMPARE(boxes.seen().first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(FileListing(h.data), QStringList{"Qmb.txt"});
    QCOMPARE(FileBytes(h.file("Qmb.txt")), first);

    boxes.setAnswer(QMessageBox::Yes);
    QVERIFY(h.run(v, "cmdSave"));
    QCOMPARE(boxes.count(), 2);
    QCOMPARE(FileBytes(h.file("Qmb.bak")), first);
    QVERIFY(FileBytes(h.file("Qmb.txt")).contains(":second\r\n"));
}

void TestFilesCommands::neverSaved_data()
{
    QTest::addColumn<ViewKind>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("frmAll") << ViewKind::All
                            << "Cannot load because the \"All.Mem.txt\" data file has never been saved!";
    QTest::newRow("frmCh99") << ViewKind::Ch99
                             << "Cannot load because the \"99Mem.txt\" data file has never been saved!";
    QTest::newRow("frmPms") << ViewKind::Pms << "Cannot load because the \"Pms.txt\" data file has never been saved!";
    QTest::newRow("frmQmb") << ViewKind::Qmb << "Cannot load because the \"Qmb.txt\" data file has never been saved!";
}

void TestFilesCommands::neverSaved()
{
    QFETCH(ViewKind, kind);
    FileHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(kind);
    QVERIFY(h.read(v));
    const QString before = h.table(kind).cell(1, ColFreq);
    h.radio->clearLog();
    MessageBoxHelper boxes;
    QVERIFY(h.run(v, "cmdLoad"));
    QTEST(boxes.lastText(), "message");
    QCOMPARE(h.table(kind).cell(1, ColFreq), before);
    QVERIFY(h.radio->frameLog().empty());
}

void TestFilesCommands::refusedFile()
{
    FileHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Ch99);
    QVERIFY(h.read(v));
    QVERIFY(h.run(v, "cmdSave"));
    QList<QByteArray> lines = FileBytes(h.file("99Mem.txt")).split('\n');
    lines[41] = "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00\r";
    QVERIFY(PutFile(h.file("99Mem.txt"), lines.join('\n')));
    h.app->family().setCell(ViewKind::Ch99, 1, ColComment, "kept");
    h.radio->clearLog();

    MessageBoxHelper boxes;
    QVERIFY(h.run(v, "cmdLoad"));
    QCOMPARE(boxes.lastText(), "Cannot load \"" + QDir::toNativeSeparators(h.file("99Mem.txt"))
                                   + "\": line 42 has fewer than nine colons.");
    QCOMPARE(h.table(ViewKind::Ch99).cell(1, ColComment), QStringLiteral("kept"));
    QCOMPARE(h.table(ViewKind::All).cell(1, ColComment), QStringLiteral("kept"));
    QVERIFY(h.radio->frameLog().empty());
}

void TestFilesCommands::saveFailure()
{
    QTemporaryDir other;
    const QString missing = other.filePath("no-such-folder");
    FileHarness h(missing);
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Pms);
    QVERIFY(h.read(v));
    MessageBoxHelper boxes;
    const int beeps = h.beeps;
    QVERIFY(h.run(v, "cmdSave"));
    QVERIFY2(boxes.lastText().startsWith("Could not write \"" + QDir::toNativeSeparators(missing + "/Pms.txt") + "\": "),
             qPrintable(boxes.lastText()));
    QVERIFY(boxes.lastText().endsWith("The saved file and its backup are as they were."));
    QCOMPARE(h.beeps, beeps);
}

void TestFilesCommands::silentRadioDuringLoad()
{
    FileHarness h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Pms);
    QVERIFY(h.read(v));
    QVERIFY(h.run(v, "cmdSave"));
    sim::Faults silent = h.radio->faults();
    silent.silent = true;
    h.radio->setFaults(silent);
    MessageBoxHelper boxes;
    h.press(v, "cmdLoad");
    QVERIFY(boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
    QVERIFY2(boxes.lastText().contains("No channel was written."), qPrintable(boxes.lastText()));
    QVERIFY(h.idle());
}

QTEST_MAIN(TestFilesCommands)
#include "files_commands_test.moc"
