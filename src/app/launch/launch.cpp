// SPDX-License-Identifier: GPL-3.0-or-later
#include "launch.h"

#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "catframe.h"
#include "serialtransport.h"
#include "tcptransport.h"

namespace vardo {

std::optional<ViewKind> ViewFromName(const QString& name)
{
    static const QStringList names{QStringLiteral("all"), QStringLiteral("99"), QStringLiteral("pms"),
                                   QStringLiteral("qmb")};
    const qsizetype at = names.indexOf(name);
    if (at < 0)
        return std::nullopt;
    return kAllViews[at];
}

namespace {

// The user's data folder is named after the windowed program, so that vardo-cli finds its files.
constexpr char kUserDataName[] = "Vardo";

// The build writes a marker beside its programs; an installed copy has none, whatever the
// prefix it was installed to (or a package unpacked to).
[[nodiscard]] bool RunsFromBuildTree()
{
    return QFileInfo::exists(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(VARDO_BUILD_TREE_MARKER)));
}

[[nodiscard]] QString UserDataFolder()
{
    // AppDataLocation follows the application's name, which differs between the programs.
    const QString own = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QString::fromLatin1(kUserDataName));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(own);
    return folder;
}

}  // namespace

QString DataFolder(const QString& chosen)
{
    if (!chosen.isEmpty())
        return QDir(chosen).absolutePath();
    return RunsFromBuildTree() ? QDir(QCoreApplication::applicationDirPath()).absolutePath()
                               : QDir(UserDataFolder()).absolutePath();
}

QString DataFolderReason(const QString& folder)
{
    if (folder != DataFolder(QString()))
        return QStringLiteral("(chosen with --data-dir)");
    return RunsFromBuildTree() ? QStringLiteral("(the program's own folder: it runs where it was built)")
                               : QStringLiteral("(your data folder: the installed program's folder is not writable)");
}

std::optional<QString> CreateDataFolder(const QString& folder)
{
    if (QDir().mkpath(folder))
        return std::nullopt;
    return QStringLiteral("cannot create the data folder %1").arg(QDir::toNativeSeparators(folder));
}

QStringList PortsToProbe(const QStringList& named, bool simulate, const QStringList& systemPorts)
{
    QStringList ports = named.isEmpty() ? systemPorts : named;
    if (simulate)
        ports.prepend(QString::fromLatin1(kSimulatedPort));
    return ports;
}

TransportFactory RadioPorts(bool simulate, sim::Timing timing)
{
    // tcp://HOST:PORT names a serial-to-network server; every other name a serial port.
    TransportFactory serial = TcpTransport::factory(SerialTransport::factory());
    if (!simulate)
        return serial;
    auto radio = std::make_shared<sim::SimRadio>();
    radio->loadDemoImage();
    return sim::SimulatedPortFactory(radio, QString::fromLatin1(kSimulatedPort), serial, timing);
}

std::optional<int> LaunchOptions::pacingValue(const QCommandLineParser& parser, QString* error) const
{
    if (!parser.isSet(pacing))
        return Cat::kPacing;
    bool ok = false;
    const int ms = parser.value(pacing).toInt(&ok);
    if (ok && ms >= 0 && ms <= Cat::kMaxPacing)
        return ms;
    *error = QStringLiteral("--pacing takes a number of milliseconds from 0 to %1").arg(Cat::kMaxPacing);
    return std::nullopt;
}

}  // namespace vardo
