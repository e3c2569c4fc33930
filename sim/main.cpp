// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-sim: the FT-1000MP emulator on a pseudo-terminal (or a TCP port). Prints what a
// client opens, then answers CAT commands until SIGTERM or SIGINT.

#include <cstdio>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "pty.h"
#include "simserver.h"

namespace {

using namespace vardo::sim;

struct Options {
    Timing timing = Timing::Real;
    Faults faults;
    QString memoryFile;
    QString linkPath;
    bool saveOnExit = false;
    bool logFrames = false;
    std::optional<quint16> tcpPort;  // serve on 127.0.0.1 instead of a pseudo-terminal
    std::chrono::milliseconds latency{0};  // each way, as across a network
};

void AddOptions(QCommandLineParser& p)
{
    p.setApplicationDescription(QStringLiteral("Emulates a Yaesu FT-1000MP on a pseudo-terminal."));
    p.addHelpOption();
    p.addVersionOption();
    p.addOptions({
        {QStringLiteral("link"), QStringLiteral("Make PATH a symbolic link to the pseudo-terminal."), QStringLiteral("PATH")},
        {QStringLiteral("tcp"), QStringLiteral("Serve on TCP port PORT of 127.0.0.1, as a serial-to-network server "
                                               "would (0: any free port), instead of a pseudo-terminal."), QStringLiteral("PORT")},
        {QStringLiteral("latency"), QStringLiteral("Delay every byte MS milliseconds each way, as a network between "
                                                   "the program and the radio would."), QStringLiteral("MS")},
        {QStringLiteral("memory"), QStringLiteral("Load the memory image FILE (default: the demo image)."), QStringLiteral("FILE")},
        {QStringLiteral("save-on-exit"), QStringLiteral("Write the memory image back to FILE at exit.")},
        {QStringLiteral("fast"), QStringLiteral("Answer at once instead of at 4800 baud.")},
        {QStringLiteral("ident"), QStringLiteral("Identify with these two bytes instead of 0393."), QStringLiteral("HEX")},
        {QStringLiteral("silent"), QStringLiteral("Never answer.")},
        {QStringLiteral("stop-after"), QStringLiteral("Answer N requests, then fall silent."), QStringLiteral("N")},
        {QStringLiteral("short"), QStringLiteral("Send records one byte short.")},
        {QStringLiteral("long"), QStringLiteral("Send records four bytes long.")},
        {QStringLiteral("garbage"), QStringLiteral("Send random bytes instead of records.")},
        {QStringLiteral("delay"), QStringLiteral("Wait MS milliseconds more before each reply."), QStringLiteral("MS")},
        {QStringLiteral("echo"), QStringLiteral("Send every byte received back first, as some CAT interfaces do.")},
        {QStringLiteral("drop-store"), QStringLiteral("Ignore every store into channel CH (1-108): it keeps "
                                                      "its old contents."), QStringLiteral("CH")},
        {QStringLiteral("log"), QStringLiteral("Print each frame as the radio takes it in, in hexadecimal, one a line.")},
    });
}

bool ParseFaults(const QCommandLineParser& p, Faults& f, QString* error)
{
    f.silent = p.isSet(QStringLiteral("silent"));
    f.shortReplies = p.isSet(QStringLiteral("short"));
    f.longReplies = p.isSet(QStringLiteral("long"));
    f.garbage = p.isSet(QStringLiteral("garbage"));
    f.echo = p.isSet(QStringLiteral("echo"));
    if (p.isSet(QStringLiteral("ident"))) {
        const QString hex = p.value(QStringLiteral("ident"));
        const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
        if (hex.size() != 4 || bytes.size() != 2 || bytes.toHex().compare(hex.toLatin1(), Qt::CaseInsensitive) != 0) {
            *error = QStringLiteral("--ident takes four hexadecimal digits, e.g. 0393");
            return false;
        }
        f.ident = std::array{static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1])};
    }
    bool ok = true;
    if (p.isSet(QStringLiteral("stop-after")))
        f.stopAfter = p.value(QStringLiteral("stop-after")).toInt(&ok);
    if (!ok || f.stopAfter < -1) {
        *error = QStringLiteral("--stop-after takes a number of replies");
        return false;
    }
    if (p.isSet(QStringLiteral("drop-store")))
        f.dropStore = p.value(QStringLiteral("drop-store")).toInt(&ok);
    if (!ok || f.dropStore < 0 || f.dropStore >= vardo::sim::kFirstQmbChannel) {
        *error = QStringLiteral("--drop-store takes a channel number, 1 to 108");
        return false;
    }
    if (p.isSet(QStringLiteral("delay")))
        f.delay = std::chrono::milliseconds(p.value(QStringLiteral("delay")).toInt(&ok));
    if (!ok || f.delay.count() < 0) {
        *error = QStringLiteral("--delay takes a number of milliseconds");
        return false;
    }
    return true;
}

bool ParseOptions(const QCoreApplication& app, Options& o, QString* error)
{
    QCommandLineParser p;
    AddOptions(p);
    p.process(app);  // --help and unknown options end the program here
    o.timing = p.isSet(QStringLiteral("fast")) ? Timing::Fast : Timing::Real;
    o.memoryFile = p.value(QStringLiteral("memory"));
    o.linkPath = p.value(QStringLiteral("link"));
    o.saveOnExit = p.isSet(QStringLiteral("save-on-exit"));
    o.logFrames = p.isSet(QStringLiteral("log"));
    if (p.isSet(QStringLiteral("tcp"))) {
        bool ok = false;
        const uint port = p.value(QStringLiteral("tcp")).toUInt(&ok);
        if (!ok || port > 65535 || !o.linkPath.isEmpty()) {
            *error = ok && port <= 65535 ? QStringLiteral("--link is for the pseudo-terminal, not --tcp")
                                         : QStringLiteral("--tcp takes a port number, 0 to 65535");
            return false;
        }
        o.tcpPort = quint16(port);
    }
    if (p.isSet(QStringLiteral("latency"))) {
        bool ok = false;
        o.latency = std::chrono::milliseconds(p.value(QStringLiteral("latency")).toInt(&ok));
        if (!ok || o.latency.count() < 0) {
            *error = QStringLiteral("--latency takes a number of milliseconds");
            return false;
        }
    }
    if (o.saveOnExit && o.memoryFile.isEmpty()) {
        *error = QStringLiteral("--save-on-exit needs --memory FILE");
        return false;
    }
    return ParseFaults(p, o.faults, error);
}

bool LoadMemory(SimRadio& radio, const Options& o, QString* error)
{
    // A new image file starts from the demo memory and is created at exit.
    if (o.memoryFile.isEmpty() || (o.saveOnExit && !QFileInfo::exists(o.memoryFile))) {
        if (!radio.loadDemoImage()) {
            *error = QStringLiteral("the demo memory image is missing");
            return false;
        }
        return true;
    }
    return radio.loadImage(o.memoryFile, error);
}

bool MakeLink(const QString& target, const QString& linkPath, QString* error)
{
    const QFileInfo existing(linkPath);
    if (existing.exists() && !existing.isSymLink()) {
        *error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (existing.isSymLink())
        QFile::remove(linkPath);
    if (!QFile::link(target, linkPath)) {
        *error = QStringLiteral("cannot make the link %1").arg(linkPath);
        return false;
    }
    return true;
}

void RemoveLink(const QString& target, const QString& linkPath)
{
    const QFileInfo link(linkPath);
    if (link.isSymLink() && link.symLinkTarget() == target)
        QFile::remove(linkPath);
}

int Fail(const QString& message)
{
    QTextStream(stderr) << "vardo-sim: " << message << Qt::endl;
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vardo-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARDO_VERSION));
    Options options;
    QString error;
    if (!ParseOptions(app, options, &error))
        return Fail(error);
    SimRadio radio;
    radio.setFaults(options.faults);
    if (options.logFrames)
        radio.setFrameObserver([](const vardo::sim::Frame& frame) { QTextStream(stdout) << frame.toHex() << Qt::endl; });
    if (!LoadMemory(radio, options, &error) || !InstallTerminationHandlers(&error))
        return Fail(error);
    Pty pty;
    TcpPort tcp;
    const bool opened = options.tcpPort ? tcp.listen(*options.tcpPort, &error) : pty.open(&error);
    if (!opened)
        return Fail(error);
    const QString clientPath = options.tcpPort ? tcp.clientPath() : pty.clientPath();
    if (!options.linkPath.isEmpty() && !MakeLink(clientPath, options.linkPath, &error))
        return Fail(error);
    QTextStream(stdout) << clientPath << Qt::endl;

    const bool served = options.tcpPort ? Serve(tcp, radio, options.timing, options.latency)
                                       : Serve(pty, radio, options.timing, options.latency);

    if (!options.linkPath.isEmpty())
        RemoveLink(clientPath, options.linkPath);
    if (options.saveOnExit && !radio.saveImage(options.memoryFile, &error))
        return Fail(error);
    return served ? 0 : Fail(options.tcpPort ? QStringLiteral("the TCP port failed") : QStringLiteral("the pseudo-terminal failed"));
}
