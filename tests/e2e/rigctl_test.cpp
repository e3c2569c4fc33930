// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-sim on a pseudo-terminal against clients nobody here wrote: Hamlib's rigctl (model
// 1024, FT-1000MP) and a plain QSerialPort; plus the command line's fault switches.

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "filebytes.h"
#include "processrun.h"
#include "simprocess.h"

using namespace vardo;
using test::SimProcess;

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

// What rigctl printed, or its exit code when it failed.
QString Rigctl(const QString& pty, const QStringList& commands)
{
    const test::ProcessRun run = test::RunProcess("rigctl", QStringList{"-m", "1024", "-r", pty, "-s", "4800"} + commands);
    return run.status == 0 ? run.out : QStringLiteral("failed: %1").arg(run.status);
}

// rigctl prints a binary reply as \0xHH\0xHH... followed by the byte count.
QByteArray RawReply(const QString& out)
{
    const auto match = QRegularExpression(R"(((?:\\0x[0-9A-Fa-f]{2})+) \d+)").match(out);
    return QByteArray::fromHex(match.captured(1).remove("\\0x").toLatin1());
}

// An image whose records carry bytes a line discipline could eat or rigctl print as text.
const QByteArray kImage = "VFO-A: 00002CEC000000011100000000000000\n"
                          "VFO-B: 8002D325000000041100000000000000  # masked bit set so rigctl prints hex\n"
                          "3: 0311130A0D0A0D110313FF0000000000\n"
                          "10: 0A0D0A0D0A0D0A0D0A0D0A0D0A0D0A0D\n"
                          "13: 110D130A0311130D0A03111311131113\n"
                          "17: 1313131313131313131313131313FF11\n"
                          "21: 80001B8B00FCE0021100000000000000  meter=90  # masked, -0.50 kHz offset\n";

QString WriteImage(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("memory.txt");
    return test::PutFile(path, kImage) ? path : QString();
}

// The record an image holds for one name, as bytes.
QByteArray ImageRecord(const QByteArray& image, const QByteArray& name)
{
    for (const QByteArray& line : image.split('\n'))
        if (line.startsWith(name + ": "))
            return QByteArray::fromHex(line.mid(name.size() + 2, 32));
    return {};
}

// A client of its own at the radio's line settings.
bool OpenPort(QSerialPort& port, const QString& path)
{
    port.setPortName(path);
    return port.open(QIODevice::ReadWrite) && port.setBaudRate(4800) && port.setStopBits(QSerialPort::TwoStop);
}

// Sends one request and collects the reply: everything that arrives until the line has been
// quiet for a while, or nothing when `waitMs` passes first.
QByteArray Exchange(QSerialPort& port, const QByteArray& request, int waitMs)
{
    constexpr int kQuietMs = 150;
    port.clear(QSerialPort::Input);
    port.write(request);
    port.waitForBytesWritten(waitMs);
    QByteArray reply;
    for (int wait = waitMs; port.waitForReadyRead(wait); wait = kQuietMs)
        reply += port.readAll();
    return reply;
}

}  // namespace

class RigctlTest : public QObject {
    Q_OBJECT

private slots:
    void rigctlSetsAndReadsBack();
    void plainSerialClient();
    void faultSwitches();
    void badArguments_data();
    void badArguments();
};

void RigctlTest::rigctlSetsAndReadsBack()
{
    if (QStandardPaths::findExecutable("rigctl").isEmpty())
        QSKIP("rigctl (Debian package libhamlib-utils) is not installed");
    QTemporaryDir dir;
    const QString image = WriteImage(dir);
    const QString link = dir.filePath("ft1000mp");
    SimProcess sim({"--fast", "--memory", image, "--save-on-exit", "--link", link});
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.pty());

    QCOMPARE(Rigctl(link, {"F", "14025000", "M", "USB", "0"}), QString());
    // A second process: the answers come from the emulator, not from rigctl's cache.
    QCOMPARE(Rigctl(sim.pty(), {"f", "m"}).split('\n').mid(0, 2), QStringList({"14025000", "USB"}));
    QCOMPARE(RawReply(Rigctl(sim.pty(), {"W", "\\0x15\\0x00\\0x00\\0x04\\0x10", "16"})), ImageRecord(kImage, "21"));
    const QByteArray vfos = RawReply(Rigctl(sim.pty(), {"W", "\\0x00\\0x00\\0x00\\0x03\\0x10", "32"}));

    QCOMPARE(sim.stop(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());  // the link goes with the emulator
    const QByteArray saved = test::FileBytes(image);
    QCOMPARE(ImageRecord(saved, "VFO-A") + ImageRecord(saved, "VFO-B"), vfos);
    // 14025.00 kHz (as 1.6 times the frequency in Hz), mode byte 01: USB.
    QCOMPARE(ImageRecord(saved, "VFO-A").left(8).toHex(' '), QByteArray("00 01 56 68 40 00 00 01"));
    QCOMPARE(ImageRecord(saved, "21"), ImageRecord(kImage, "21"));
}

// With real timing, requests and records full of CR, LF, XON, XOFF and ^C cross the pty
// untouched, and a client that died in the middle of a frame does not shift later frames.
void RigctlTest::plainSerialClient()
{
    QTemporaryDir dir;
    SimProcess sim({"--memory", WriteImage(dir)});
    QSerialPort port;
    QVERIFY2(OpenPort(port, sim.pty()), qPrintable(port.errorString()));
    for (int channel : {3, 10, 13, 17}) {
        const QByteArray request = QByteArray(1, char(channel)) + Hex("00 00 04 10");
        QCOMPARE(Exchange(port, request, 2000), ImageRecord(kImage, QByteArray::number(channel)));
    }
    QCOMPARE(Exchange(port, Hex("00 00 00"), 300), QByteArray());
    QTest::qWait(800);  // longer than the emulator's frame gap
    QCOMPARE(Exchange(port, Hex("00 00 00 00 FA"), 2000), Hex("00 00 00 03 93"));
}

// The reply faults the other tests do not use, on one VFO-A read sent three times.
void RigctlTest::faultSwitches()
{
    QTemporaryDir dir;
    SimProcess sim({"--fast", "--memory", WriteImage(dir), "--short", "--stop-after", "2", "--delay", "30"});
    QSerialPort port;
    QVERIFY2(OpenPort(port, sim.pty()), qPrintable(port.errorString()));
    const QByteArray shortA = ImageRecord(kImage, "VFO-A").left(15);
    for (const QByteArray& reply : {shortA, shortA, QByteArray()})
        QCOMPARE(Exchange(port, Hex("00 00 00 02 10"), 400), reply);
}

void RigctlTest::badArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("ident") << QStringList{"--ident", "03"} << "--ident takes four hexadecimal digits, e.g. 0393";
    QTest::newRow("stop-after") << QStringList{"--stop-after", "x"} << "--stop-after takes a number of replies";
    QTest::newRow("delay") << QStringList{"--delay", "-5"} << "--delay takes a number of milliseconds";
    QTest::newRow("save without file") << QStringList{"--save-on-exit"} << "--save-on-exit needs --memory FILE";
    QTest::newRow("missing image") << QStringList{"--memory", "/nonexistent/memory.txt"}
                                   << "/nonexistent/memory.txt: No such file or directory";
}

void RigctlTest::badArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const test::ProcessRun run = test::RunProcess(test::SimProgram(), args);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, "vardo-sim: " + message + "\n");
    QCOMPARE(run.out, QString());
}

QTEST_GUILESS_MAIN(RigctlTest)
#include "rigctl_test.moc"
