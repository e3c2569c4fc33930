// vardo-cli's promise that a restore is what the radio holds, against vardo-sim on a
// pseudo-terminal: a restore ends only once the radio has taken in its last command, reads it
// back channel by channel and names a channel the radio did not store; verify compares without
// writing; --no-verify sends the plain commands and nothing else.

#include <QtTest>

#include "catframe.h"
#include "filebytes.h"
#include "processrun.h"
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

// Gives channel `row` of a saved file another frequency.
bool ChangeFrequency(const QString& path, int row, const QString& frequency)
{
    QList<QByteArray> lines = FileBytes(path).split('\n');
    QByteArray& line = lines[row - 1];
    line = frequency.toLatin1() + line.mid(line.indexOf(':'));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(lines.join('\n')) > 0;
}

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
        QVERIFY2(restore.out.startsWith("77 channels written into the radio from " + QDir::toNativeSeparators(file)),
                 qPrintable(restore.out));
        QCOMPARE(restore.err, "vardo-cli: the radio does not hold 1 of them as written:\n" + line42 + "\n");
        const auto verify = RunCli(port + QStringList{"verify", "99"});
        QCOMPARE(verify.status, 3);
        QCOMPARE(verify.out, line42 + "\n");
        QCOMPARE(verify.err, "vardo-cli: 1 of 99 channels differ from " + QDir::toNativeSeparators(file) + "\n");

        SimProcess storing({"--fast"});
        const QStringList goodPort{"--port", storing.pty(), "--data-dir", data.path()};
        QCOMPARE(RunCli(goodPort + QStringList{"verify", "99"}).status, 3);
        QCOMPARE(RunCli(goodPort + QStringList{"restore", "99"}).status, 0);
        const auto clean = RunCli(goodPort + QStringList{"verify", "99"});
        QCOMPARE(clean.status, 0);
        QCOMPARE(clean.out, "99 channels match " + QDir::toNativeSeparators(file) + "\n");
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
