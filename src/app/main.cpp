// SPDX-License-Identifier: GPL-3.0-or-later
// vardo: finds the FT-1000MP, then offers its memory channels in four views.

#include <cstdio>

#include <optional>

#include <QApplication>
#include <QIcon>

#include "commandline.h"
#include "launch.h"
#include "portlist.h"
#ifdef VARDO_TEST_BUILD
#include "testhooks.h"  // vardo-test only: the end-to-end tests' build answers its own message boxes
#endif
#include "upgrade.h"
#include "vardoapp.h"

namespace {

constexpr int kExitUsage = 2;

int Fail(const QString& line)
{
    std::fprintf(stderr, "vardo: %s\n", qPrintable(line));
    return kExitUsage;
}

// --help and --version answer before any window system is touched, so they work over a
// plain terminal too.
bool AnswerHelpOrVersion(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const vardo::CommandLine line = vardo::ParseCommandLine(arguments);
    if (!line.error.isEmpty() || !(line.showHelp || line.showVersion))
        return false;
    std::fputs(qPrintable(line.showHelp ? line.helpText : QStringLiteral("vardo %1\n").arg(QStringLiteral(VARDO_VERSION))),
               stdout);
    return true;
}

// Qt aborts when it finds no display; on Linux, without one and without a platform chosen,
// the operator is told what does work instead.
bool LacksDisplay(int argc, char* argv[])
{
#ifdef Q_OS_LINUX
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return false;
    }
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
           && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return false;
#endif
}

// The icon theme's, else the PNGs installed beside the program (a desktop without the hicolor
// theme's index, or a copy unpacked from the package), else Qt's default.
QIcon WindowIcon()
{
    const QString id = QStringLiteral(VARDO_DESKTOP_ID);
    QIcon icon;
    const QString icons = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/icons/hicolor/");
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(icons + QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(id));
    return QIcon::fromTheme(id, icon);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (AnswerHelpOrVersion(argc, argv))
        return 0;
    if (LacksDisplay(argc, argv)) {
        std::fputs("vardo: needs a display (neither DISPLAY nor WAYLAND_DISPLAY is set); use vardo-cli "
                   "for the command-line face, or vardo -platform vnc to see the windows in a VNC viewer\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vardo"));
    QApplication::setApplicationVersion(QStringLiteral(VARDO_VERSION));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VARDO_DESKTOP_ID));
    QApplication::setWindowIcon(WindowIcon());
    // Windows come and go together; the program ends when VardoApp says so.
    QApplication::setQuitOnLastWindowClosed(false);

    const vardo::CommandLine line = vardo::ParseCommandLine(QApplication::arguments());
    if (!line.error.isEmpty())
        return Fail(line.error);

    const QString dataDir = vardo::DataFolder(line.dataDir);
    if (const std::optional<QString> problem = vardo::CreateDataFolder(dataDir))
        return Fail(*problem);

    // The emulator answers at the pace of the real link. It is always there to be probed, so
    // that the Connection dialog can switch it on; only the ports to probe name it.
    vardo::VardoApp app(vardo::RadioPorts(true, vardo::sim::Timing::Real), dataDir);
    // Saved files of the older layout are brought up to date before the radio search. A file
    // that cannot be converted stays as it was; Load names its fault when it is used.
    app.setUpgradeStep([](const QString& dir) { vardo::PrepareSavedFiles(dir); });
    QObject::connect(&app, &vardo::VardoApp::ended, &application, &QCoreApplication::exit,
                     Qt::QueuedConnection);
#ifdef VARDO_TEST_BUILD
    vardo::InstallTestHooks(app);
#endif
    const vardo::Connection connection = vardo::ConnectionForRun(line, vardo::StoredConnection());
    app.setConnection(connection);
    app.start(vardo::PortsToProbe(connection.ports, connection.simulate, vardo::DefaultPortNames()));
    return QApplication::exec();
}
