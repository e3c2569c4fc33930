// vardo-sim on a pseudo-terminal against clients nobody here wrote: Hamlib's rigctl (model
// 1024, FT-1000MP) and a plain QSerialPort; plus the command line's fault switches.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "codec.h"
#include "numberformat.h"
#include "simradio.h"

using namespace vardo;

namespace {

constexpr int kStartMs = 10000;
constexpr int kClientMs = 30000;

QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

QString SimPath() { return qEnvironmentVariable("VARDO_BIN") + QStringLiteral("/vardo-sim"); }

// A running vardo-sim; stopped with SIGTERM when it goes out of scope.
class SimProcess {
public:
    explicit SimProcess(const QStringList& args)
    {
        m_process.start(SimPath(), args);
        if (!m_process.waitForStarted(kStartMs))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(kStartMs)) {
        }
        m_pty = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess() { stop(); }

    [[nodiscard]] QString pty() const { return m_pty; }
    int stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(kStartMs))
                m_process.kill();
        }
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QProcess m_process;
    QString m_pty;
};

struct ClientRun {
    int exitCode = -1;
    QString out;
};

ClientRun Rigctl(const QString& pty, const QStringList& commands)
{
    QProcess p;
    p.start(QStringLiteral("rigctl"),
            QStringList{"-m", "1024", "-r", pty, "-s", "4800"} + commands);
    ClientRun run;
    if (p.waitForFinished(kClientMs) && p.exitStatus() == QProcess::NormalExit)
        run.exitCode = p.exitCode();
    else
        p.kill();
    run.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    return run;
}

// rigctl prints a binary reply as \0xHH\0xHH... followed by the byte count.
QByteArray RawReply(const QString& out)
{
    const auto match = QRegularExpression(QStringLiteral("((?:\\\\0x[0-9A-Fa-f]{2})+) (\\d+)")).match(out);
    if (!match.hasMatch())
        return {};
    QString hex = match.captured(1);
    return QByteArray::fromHex(hex.remove(QStringLiteral("\\0x")).toLatin1());
}

// An image whose records carry bytes a line discipline could eat or rigctl print as text.
QByteArray TestImage()
{
    return "VFO-A: 00002CEC000000011100000000000000\n"
           "VFO-B: 8002D325000000041100000000000000  # 29620.00 FM, masked bit set so rigctl prints hex\n"
           "3: 0311130A0D0A0D110313FF0000000000\n"
           "10: 0A0D0A0D0A0D0A0D0A0D0A0D0A0D0A0D\n"
           "13: 110D130A0311130D0A03111311131113\n"
           "17: 1313131313131313131313131313FF11\n"
           "21: 80001B8B00FCE0021100000000000000  meter=90  # masked, -0.50 kHz offset\n";
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return f.fileName();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The record an image file holds for one name, as bytes.
Record ImageRecord(const QByteArray& image, const QByteArray& name)
{
    for (const QByteArray& line : image.split('\n')) {
        if (line.startsWith(name + ": "))
            return RecordFromBytes(QByteArray::fromHex(line.mid(name.size() + 2, 32)));
    }
    return {};
}

// Sends one request over a QSerialPort and collects the reply: everything that arrives
// until the line has been quiet for a while, or nothing when `waitMs` passes first.
QByteArray Exchange(QSerialPort& port, const QByteArray& request, int waitMs)
{
    constexpr int kQuietMs = 150;
    port.clear(QSerialPort::Input);
    port.write(request);
    port.waitForBytesWritten(waitMs);
    QByteArray reply;
    if (port.waitForReadyRead(waitMs)) {
        do
            reply += port.readAll();
        while (port.waitForReadyRead(kQuietMs));
    }
    return reply;
}

bool OpenPort(QSerialPort& port, const QString& path)
{
    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    return port.setBaudRate(4800) && port.setDataBits(QSerialPort::Data8) && port.setParity(QSerialPort::NoParity)
           && port.setStopBits(QSerialPort::TwoStop);
}

}  // namespace

class RigctlTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void rigctlSetsAndReadsBack();
    void binaryBytesPassUnchanged_data();
    void binaryBytesPassUnchanged();
    void faultSwitches_data();
    void faultSwitches();
    void strayBytesAreForgotten();
    void badArguments_data();
    void badArguments();
};

void RigctlTest::initTestCase() { QVERIFY2(QFileInfo::exists(SimPath()), qPrintable(SimPath())); }

void RigctlTest::rigctlSetsAndReadsBack()
{
    if (QStandardPaths::findExecutable(QStringLiteral("rigctl")).isEmpty())
        QSKIP("rigctl (Debian package libhamlib-utils) is not installed");
    QTemporaryDir dir;
    const QString image = WriteFile(dir, "memory.txt", TestImage());
    const QString link = dir.filePath("ft1000mp");
    SimProcess sim({"--fast", "--memory", image, "--save-on-exit", "--link", link});
    QVERIFY(!sim.pty().isEmpty());
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.pty());

    const ClientRun set = Rigctl(link, {"F", "14025000", "M", "USB", "0"});
    QCOMPARE(set.exitCode, 0);
    // A second process: the answers come from the emulator, not from rigctl's cache.
    const ClientRun get = Rigctl(sim.pty(), {"f", "m"});
    QCOMPARE(get.exitCode, 0);
    const QStringList lines = get.out.split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= 2, qPrintable(get.out));
    QCOMPARE(lines[0], QStringLiteral("14025000"));
    QCOMPARE(lines[1], QStringLiteral("USB"));

    const ClientRun channel = Rigctl(sim.pty(), {"W", "\\0x15\\0x00\\0x00\\0x04\\0x10", "16"});
    QCOMPARE(RawReply(channel.out), RecordBytes(ImageRecord(TestImage(), "21")));
    const ClientRun vfos = Rigctl(sim.pty(), {"W", "\\0x00\\0x00\\0x00\\0x03\\0x10", "32"});
    const QByteArray both = RawReply(vfos.out);
    QCOMPARE(both.size(), 32);

    QCOMPARE(sim.stop(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());  // the link goes with the emulator
    const QByteArray saved = ReadFile(image);
    QCOMPARE(RecordBytes(ImageRecord(saved, "VFO-A")), both.left(16));
    QCOMPARE(RecordBytes(ImageRecord(saved, "VFO-B")), both.mid(16));
    const Channel vfoA = DecodeRecord(ImageRecord(saved, "VFO-A"));
    QCOMPARE(TwoDecimalText(vfoA.Freq), QStringLiteral("14025.00"));
    QCOMPARE(vfoA.Mode, QStringLiteral("USB"));
    QCOMPARE(ImageRecord(saved, "21"), ImageRecord(TestImage(), "21"));
}

void RigctlTest::binaryBytesPassUnchanged_data()
{
    QTest::addColumn<int>("channel");
    for (int ch : {3, 10, 13, 17})
        QTest::addRow("channel %d", ch) << ch;
}

// Requests and records full of CR, LF, XON, XOFF and ^C cross the pty untouched.
void RigctlTest::binaryBytesPassUnchanged()
{
    QFETCH(int, channel);
    QTemporaryDir dir;
    SimProcess sim({"--fast", "--memory", WriteFile(dir, "memory.txt", TestImage())});
    QSerialPort port;
    QVERIFY2(OpenPort(port, sim.pty()), qPrintable(port.errorString()));
    const QByteArray request = QByteArray(1, char(channel)) + Hex("00 00 04 10");
    const QByteArray name = QByteArray::number(channel);
    QCOMPARE(Exchange(port, request, 2000), RecordBytes(ImageRecord(TestImage(), name)));
}

void RigctlTest::faultSwitches_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<int>>("replySizes");  // the request sent three times
    QTest::addColumn<QByteArray>("firstReply");
    const QByteArray status = Hex("00 00 00 00 FA");
    const QByteArray vfoA = Hex("00 00 00 02 10");
    const QByteArray record = Hex("00 00 2C EC 00 00 00 01 11 00 00 00 00 00 00 00");
    QTest::newRow("none") << QStringList{} << status << QList<int>{5, 5, 5} << Hex("00 00 00 03 93");
    QTest::newRow("real timing") << QStringList{"--real"} << vfoA << QList<int>{16, 16, 16} << record;
    QTest::newRow("ident") << QStringList{"--ident", "0394"} << status << QList<int>{5, 5, 5} << Hex("00 00 00 03 94");
    QTest::newRow("silent") << QStringList{"--silent"} << status << QList<int>{0, 0, 0} << QByteArray();
    QTest::newRow("stop after 2") << QStringList{"--stop-after", "2"} << status << QList<int>{5, 5, 0}
                                  << Hex("00 00 00 03 93");
    QTest::newRow("short") << QStringList{"--short"} << vfoA << QList<int>{15, 15, 15} << record.left(15);
    QTest::newRow("long") << QStringList{"--long"} << vfoA << QList<int>{20, 20, 20} << record + QByteArray(4, 0);
    QTest::newRow("delay") << QStringList{"--delay", "30"} << vfoA << QList<int>{16, 16, 16} << record;
}

void RigctlTest::faultSwitches()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, request);
    QFETCH(QList<int>, replySizes);
    QFETCH(QByteArray, firstReply);
    QTemporaryDir dir;
    QStringList simArgs{"--memory", WriteFile(dir, "memory.txt", TestImage())};
    if (!args.removeAll("--real"))
        simArgs << "--fast";
    SimProcess sim(simArgs + args);
    QSerialPort port;
    QVERIFY2(OpenPort(port, sim.pty()), qPrintable(port.errorString()));
    QList<int> sizes;
    QByteArray first;
    for (int i = 0; i < 3; ++i) {
        const QByteArray reply = Exchange(port, request, 400);
        sizes << int(reply.size());
        if (i == 0)
            first = reply;
    }
    QCOMPARE(sizes, replySizes);
    QCOMPARE(first, firstReply);
}

// A client that died in the middle of a frame does not shift every later frame.
void RigctlTest::strayBytesAreForgotten()
{
    SimProcess sim({"--fast"});
    QSerialPort port;
    QVERIFY2(OpenPort(port, sim.pty()), qPrintable(port.errorString()));
    QCOMPARE(Exchange(port, Hex("00 00 00"), 300), QByteArray());
    QTest::qWait(800);  // longer than the emulator's frame gap
    QCOMPARE(Exchange(port, Hex("00 00 00 00 FA"), 2000), Hex("00 00 00 03 93"));
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
    QProcess p;
    p.start(SimPath(), args);
    QVERIFY(p.waitForFinished(kStartMs));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()).trimmed(), "vardo-sim: " + message);
    QCOMPARE(p.readAllStandardOutput(), QByteArray());
}

QTEST_GUILESS_MAIN(RigctlTest)
#include "rigctl_test.moc"
