// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli's promise that a restore is what the radio holds, against vardo-sim on a
// pseudo-terminal: a restore ends only once the radio has taken in its last command, reads it
// back channel by channel and names a channel the radio did not store; verify compares without
// writing; --no-verify sends the plain commands and nothing else.

#include <QtTest>

#include "catframe.h"
#include "filebytes.h"
#include "processrun.h"
#include "simimage.h"
#include "simprocess.h"

using namespace vardo::test;

namespace {

QString Cli() { return qEnvironmentVariable("VARDO_BIN") + "/vardo-cli"; }
ProcessRun RunCli(const QStringList& args) { return RunProcess(Cli(), args); }

const QString kVfoARequest = QStringLiteral("00 00 00 02 10");

bool IsMemoryRequest(const QString& frame) { return frame.endsWith("04 10"); }

// The saved files of the emulator's demo memory, read through the in-process emulator.
bool SaveDemoFiles(const QString& dir, const QStringList& views)
{
    for (const QString& view : views)
        if (RunCli({"--simulate", "--data-dir", dir, "read", view}).status != 0)
            return false;
    return true;
}

// Gives field `field` (0 the frequency, 1 the mode .. 7 the offset) of line `row` of a saved
// file another value.
bool ChangeField(const QString& path, int row, int field, const QString& value)
{
    QList<QByteArray> lines = FileBytes(path).split('\n');
    QList<QByteArray> fields = lines[row - 1].split(':');
    fields[field] = value.toLatin1();
    lines[row - 1] = fields.join(':');
    return PutFile(path, lines.join('\n'));
}

bool ChangeFrequency(const QString& path, int row, const QString& frequency)
{
    return ChangeField(path, row, 0, frequency);
}

// Demo records as the emulator holds them, and as it holds them changed.
const QString kDemo6 = "0001579A800000011100000000000000";   // 14074.00 kHz USB
const QString kDemo28 = "00003D09000000030000000000000000";  // 2500.00 kHz AM (env)
const QString kMaskedQ3 = "80005A55000000001100000000000000";  // 3700.00 kHz LSB, masked
const QString kAntB1 = "00002CEC000000011110000000000000";   // channel 1 on antenna B
const QString kAntB2 = "0000573B400000011110000000000000";   // channel 2 on antenna B

// The frames the emulator took in, once it has ended.
QStringList FramesTakenIn(SimProcess& radio)
{
    radio.stop();
    QStringList frames = radio.unreadLines();
    frames.removeAll(radio.pty());
    return frames;
}

}  // namespace

class TestCliVerify : public QObject {
    Q_OBJECT
private slots:
    // At the line's own pace the port takes the whole restore long before the radio has it.
    // The program may end only once the radio has taken in every command: the emulator, stopped
    // the moment the program ends, has logged the read-back of every channel and VFO-A set back.
    void restoreEndsWhenTheRadioHasIt_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("pacing 5") << QStringList{};
        QTest::newRow("pacing 0") << QStringList{"--pacing", "0"};
    }
    void restoreEndsWhenTheRadioHasIt()
    {
        QFETCH(QStringList, options);
        QTemporaryDir data;
        QVERIFY(SaveDemoFiles(data.path(), {"pms"}));
        SimProcess radio({"--log"});
        QVERIFY(!radio.pty().isEmpty());
        const auto restore = RunCli(options + QStringList{"--port", radio.pty(), "--data-dir", data.path(), "restore", "pms"});
        QCOMPARE(restore.status, 0);
        const QStringList frames = FramesTakenIn(radio);
        QCOMPARE(frames.count(kVfoARequest), 1);
        QCOMPARE(std::count_if(frames.begin(), frames.end(), IsMemoryRequest), 9);
        QCOMPARE(frames.last(), QStringLiteral("00 00 00 00 84"));  // the last of VFO-A's setting commands
    }

    // The next command's requests do not queue behind the last one's writes, even those of a
    // restore without the read-back, which has no reply to wait for.
    void readRightAfterRestore()
    {
        QTemporaryDir data;
        QVERIFY(SaveDemoFiles(data.path(), {"pms"}));
        const QByteArray saved = FileBytes(data.filePath("Pms.txt"));
        SimProcess radio({});
        QVERIFY(!radio.pty().isEmpty());
        QCOMPARE(RunCli({"--port", radio.pty(), "--data-dir", data.path(), "restore", "pms", "--no-verify"}).status, 0);
        const auto read = RunCli({"--port", radio.pty(), "--data-dir", data.path(), "read", "pms"});
        QCOMPARE(read.err, QString());
        QCOMPARE(read.status, 0);
        QCOMPARE(FileBytes(data.filePath("Pms.txt")), saved);
    }

    // A radio that silently keeps channel 42: the restore writes and checks every channel,
    // names 42 alone and ends with status 3; verify lists 42 alone. Restored into a radio that
    // stores everything, verify finds every channel as the file says.
    void droppedStoreIsNamed()
    {
        QTemporaryDir data;
        QVERIFY(SaveDemoFiles(data.path(), {"99"}));
        const QString file = data.filePath("99Mem.txt");
        QVERIFY(ChangeFrequency(file, 42, "14074.00"));
        const QString line42 = "42: frequency radio 3560.50, file 14074.00";

        SimProcess dropping({"--fast", "--drop-store", "42"});
        const QStringList port{"--port", dropping.pty(), "--data-dir", data.path()};
        const auto restore = RunCli(port + QStringList{"restore", "99"});
        QCOMPARE(restore.status, 3);
        // The demo's channels 78-99 are blank: nothing is written to them.
        QCOMPARE(restore.out, "77 channels written into the radio from " + QDir::toNativeSeparators(file) + "\n");
        QVERIFY2(restore.err.startsWith("vardo-cli: the radio does not hold 1 of them as written:\n" + line42 + "\n"
                                        "vardo-cli: 22 channels were not written"),
                 qPrintable(restore.err));
        const auto verify = RunCli(port + QStringList{"verify", "99"});
        QCOMPARE(verify.status, 3);
        QCOMPARE(verify.out, line42 + "\n");
        // A written channel takes VFO-A's antenna: 8 of the file's are another.
        const QString antennas = "vardo-cli: 8 channels hold another antenna than the file (no command can set the "
                                 "antenna)\n";
        QCOMPARE(verify.err, "vardo-cli: 1 of 99 channels differ from " + QDir::toNativeSeparators(file) + "\n" + antennas);

        SimProcess storing({"--fast"});
        const QStringList goodPort{"--port", storing.pty(), "--data-dir", data.path()};
        QCOMPARE(RunCli(goodPort + QStringList{"verify", "99"}).status, 3);
        QCOMPARE(RunCli(goodPort + QStringList{"restore", "99"}).status, 3);  // the blank channels
        const auto clean = RunCli(goodPort + QStringList{"verify", "99"});
        QCOMPARE(clean.status, 0);
        QCOMPARE(clean.out, "99 channels match " + QDir::toNativeSeparators(file) + "\n");
        QCOMPARE(clean.err, antennas);
    }

    void verifyTellsTheWholeTruth_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("read");    // records of the radio read: "name=hex"
        QTest::addColumn<QStringList>("verify");  // records of the radio verified
        QTest::addColumn<QString>("out");         // FILE stands for the saved file
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("status");
        const QString q3 = "Q3=" + kMaskedQ3;
        const QString antennas = "vardo-cli: 2 channels hold another antenna than the file (no command can set the "
                                 "antenna)\n";
        QTest::newRow("qmb: a masked channel, whose file holds no mask")
            << "qmb" << QStringList{q3} << QStringList{q3} << "5 channels match FILE\n" << "" << 0;
        QTest::newRow("all: the same channel keeps its mask") << "all" << QStringList{} << QStringList{q3}
                                                              << "Q3: mask radio on, file off\n"
                                                              << "vardo-cli: 1 of 113 channels differ from FILE\n" << 3;
        QTest::newRow("99: the antenna alone changes no status")
            << "99" << QStringList{} << QStringList{"1=" + kAntB1, "2=" + kAntB2} << "99 channels match FILE\n"
            << antennas << 0;
        QTest::newRow("99: another frequency, and the antenna apart")
            << "99" << QStringList{} << QStringList{"1=" + kAntB1, "5=" + kDemo6}
            << "5: frequency radio 14074.00, file 10136.00\n"
            << "vardo-cli: 1 of 99 channels differ from FILE\nvardo-cli: 1 channel holds another antenna than the "
               "file (no command can set the antenna)\n"
            << 3;
    }
    // Verify names every difference a restore would mend on standard output, and the antennas,
    // which no command sets, apart on standard error. The QMB file never holds the mask.
    void verifyTellsTheWholeTruth()
    {
        QFETCH(QString, view);
        QFETCH(QStringList, read);
        QFETCH(QStringList, verify);
        QTemporaryDir data;
        const auto image = [&](const QString& name, const QStringList& records) {
            QMap<QString, QString> replaced;
            for (const QString& r : records)
                replaced[r.section('=', 0, 0)] = r.section('=', 1);
            const QString path = data.filePath(name);
            return PutDemoImageWith(path, replaced) ? path : QString();
        };
        const QString readImage = image("read.txt", read);
        const QString verifyImage = image("verify.txt", verify);
        QVERIFY(!readImage.isEmpty() && !verifyImage.isEmpty());
        const QString dir = data.filePath("data");
        QVERIFY(QDir().mkpath(dir));
        {
            SimProcess radio({"--fast", "--memory", readImage});
            QCOMPARE(RunCli({"--port", radio.pty(), "--data-dir", dir, "read", view}).status, 0);
        }
        SimProcess radio({"--fast", "--memory", verifyImage});
        const auto run = RunCli({"--port", radio.pty(), "--data-dir", dir, "verify", view});
        const QString file = QDir::toNativeSeparators(QDir(dir).filePath(view == "99" ? "99Mem.txt"
                                                                          : view == "qmb" ? "Qmb.txt" : "AllMem.txt"));
        QFETCH(QString, out);
        QFETCH(QString, err);
        QCOMPARE(run.out, out.replace("FILE", file));
        QCOMPARE(run.err, err.replace("FILE", file));
        QTEST(run.status, "status");
    }

    // A channel with an offset no command can send (AM and USB) is not written at all: the
    // restore names it and ends with status 3, the radio keeps what the channel held, and the
    // other channels are written.
    void restoreLeavesOutWhatCannotBeSent()
    {
        QTemporaryDir data;
        QVERIFY(SaveDemoFiles(data.path(), {"99"}));
        const QString file = data.filePath("99Mem.txt");
        QVERIFY(ChangeField(file, 6, 0, "14080.00") && ChangeField(file, 6, 7, "+12.50"));
        QVERIFY(ChangeField(file, 28, 1, "AM (sync)") && ChangeField(file, 28, 7, "+12.50"));
        QVERIFY(ChangeFrequency(file, 5, "14074.00"));
        const QString image = data.filePath("image.txt");
        QVERIFY(PutDemoImageWith(image, {}));
        {
            SimProcess radio({"--fast", "--memory", image, "--save-on-exit"});
            const auto restore = RunCli({"--port", radio.pty(), "--data-dir", data.path(), "restore", "99"});
            QCOMPARE(restore.out, "75 channels written into the radio from " + QDir::toNativeSeparators(file) + "\n");
            QStringList blank;
            for (int channel = 78; channel <= 99; ++channel)
                blank << QString::number(channel);
            QCOMPARE(restore.err, "vardo-cli: 24 channels were not written (the radio keeps what they held):\n"
                                  "6, 28: offset +12.50 cannot be sent to the radio\n"
                                      + blank.join(", ") + ": frequency 0.00 cannot be sent to the radio\n");
            QCOMPARE(restore.status, 3);
            QCOMPARE(radio.stop(), 0);
        }
        const QMap<QString, QString> held = Records(image);
        QCOMPARE(held.value("6"), kDemo6);
        QCOMPARE(held.value("28"), kDemo28);
        QCOMPARE(held.value("5"), kDemo6);  // written: 14074.00 USB, as channel 6 holds it
    }

    // Without the read-back a restore sends exactly the commands it sends with it, less the
    // memory requests, in the same order.
    void noVerifySendsThePlainCommands()
    {
        QTemporaryDir data;
        QVERIFY(SaveDemoFiles(data.path(), {"pms"}));
        QStringList logs[2];
        for (int plain = 0; plain < 2; ++plain) {
            SimProcess radio({"--fast", "--log"});
            QStringList args{"--port", radio.pty(), "--data-dir", data.path(), "restore", "pms"};
            if (plain)
                args << "--no-verify";
            QCOMPARE(RunCli(args).status, 0);
            logs[plain] = FramesTakenIn(radio);
        }
        QCOMPARE(std::count_if(logs[0].begin(), logs[0].end(), IsMemoryRequest), 9);
        logs[0].removeIf(IsMemoryRequest);
        QCOMPARE(logs[1], logs[0]);
        QCOMPARE(logs[1].count(kVfoARequest), 1);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err");
        QTest::newRow("pacing too long") << QStringList{"--pacing", "256", "probe"}
                                         << "vardo-cli: --pacing takes a number of milliseconds from 0 to 255 (try --help)\n";
        QTest::newRow("pacing not a number") << QStringList{"--pacing", "fast", "read", "all"}
                                             << "vardo-cli: --pacing takes a number of milliseconds from 0 to 255 (try --help)\n";
        QTest::newRow("no-verify for a read") << QStringList{"read", "all", "--no-verify"}
                                              << "vardo-cli: --no-verify is only for restore (try --help)\n";
        QTest::newRow("verify without a view") << QStringList{"verify"}
                                               << "vardo-cli: verify needs one VIEW: all, 99, pms or qmb (try --help)\n";
    }
    void badOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        const auto run = RunCli(args);
        QCOMPARE(run.err, err);
        QCOMPARE(run.status, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliVerify)
#include "cli_verify_test.moc"
