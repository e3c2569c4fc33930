// SPDX-License-Identifier: GPL-3.0-or-later
// The vardo program itself against vardo-sim on a pseudo-terminal: it finds the radio on the
// port it is given, and with no radio it says so and ends without showing a window; without a
// display it says what to use instead.
// It runs vardo-test, the program's test build, which reports its windows and answers its
// message boxes.

#include <optional>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "simprocess.h"

using vardo::test::SimProcess;

namespace {

constexpr int kRunMs = 60000;

struct Run {
    int exitCode = -1;  // -1: it crashed or did not end
    QString err;
};

QString TestBuild() { return QCoreApplication::applicationDirPath() + "/vardo-test"; }

// Runs vardo-test offscreen, or with `env` as given.
Run Vardo(const QStringList& args, std::optional<QProcessEnvironment> env = {})
{
    QProcess p;
    if (!env) {
        env = QProcessEnvironment::systemEnvironment();
        env->insert("QT_QPA_PLATFORM", "offscreen");
    }
    p.setProcessEnvironment(*env);
    p.start(TestBuild(), args);
    Run run;
    if (p.waitForFinished(kRunMs) && p.exitStatus() == QProcess::NormalExit)
        run.exitCode = p.exitCode();
    else
        p.kill();
    run.err = QString::fromLocal8Bit(p.readAllStandardError());
    return run;
}

}  // namespace

class AppE2eTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsTheRadio_data()
    {
        QTest::addColumn<bool>("missingPortFirst");
        QTest::newRow("its port") << false;
        QTest::newRow("after a port that is not there") << true;
    }
    void findsTheRadio()
    {
        QFETCH(bool, missingPortFirst);
        SimProcess sim({"--fast"});
        QVERIFY(!sim.pty().isEmpty());
        QTemporaryDir dir;
        const QString dataDir = dir.filePath("new/folder");  // made if missing
        QStringList args;
        if (missingPortFirst)
            args << "--port" << dir.filePath("no-such-port");
        const Run run = Vardo(args + QStringList{"--port", sim.pty(), "--data-dir", dataDir});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("vardo: shown vovAzidi"), qPrintable(run.err));
        QVERIFY2(run.err.contains("vardo: radio found on " + sim.pty()), qPrintable(run.err));
        QVERIFY(!run.err.contains("vardo: message:"));
        QVERIFY(QDir(dataDir).exists());
    }

    // A wrong identification: the saved files are still upgraded, the not-found message shows,
    // no window does, and the program ends.
    void noRadioMessageAndNoWindow()
    {
        SimProcess sim({"--fast", "--ident", "0000"});
        QVERIFY(!sim.pty().isEmpty());
        QTemporaryDir dir;
        QFile old(dir.filePath("Qmb.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray("14250.00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net, daily\r\n").repeated(5));
        old.close();
        const Run run = Vardo({"--port", sim.pty(), "--data-dir", dir.path()});
        QCOMPARE(run.exitCode, 1);
        // Off Windows the ports are not COM ports; the port tried is named with its fault.
        QVERIFY2(run.err.contains("vardo: message: I couldn't find the FT-1000MP on any serial port\nPorts tried:\n"
                                  + sim.pty() + " answered, but not as the FT-1000MP"),
                 qPrintable(run.err));
        QVERIFY2(!run.err.contains("vardo: shown"), qPrintable(run.err));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readLine(), QByteArray("14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net, daily\r\n"));
    }

    // Without a display and without a platform chosen it says what works instead of aborting;
    // a platform given by option or variable is used as asked.
    void withoutDisplay_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("platformVariable");
        QTest::addColumn<bool>("refused");
        QTest::newRow("nothing chosen") << QStringList() << QString() << true;
        QTest::newRow("-platform") << QStringList{"-platform", "offscreen"} << QString() << false;
        QTest::newRow("QT_QPA_PLATFORM") << QStringList() << "offscreen" << false;
    }
    void withoutDisplay()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, platformVariable);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        if (!platformVariable.isEmpty())
            env.insert("QT_QPA_PLATFORM", platformVariable);
        const Run run = Vardo(args + QStringList{"--port", dir.filePath("no-such-port"), "--data-dir", dir.path()}, env);
        QCOMPARE(run.exitCode, 1);  // refused, or no radio on the missing port
        const QString line = "vardo: needs a display (neither DISPLAY nor WAYLAND_DISPLAY is set); use vardo-cli for the "
                             "command-line face, or vardo -platform vnc to see the windows in a VNC viewer\n";
        QCOMPARE(run.err == line, refused);
        QCOMPARE(run.err.contains("vardo: message: I couldn't find the FT-1000MP"), !refused);
    }

    void badCommandLine()
    {
        const Run run = Vardo({"--no-such-option"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("no-such-option"));
        QVERIFY(!run.err.contains("vardo: shown"));
    }
};

QTEST_GUILESS_MAIN(AppE2eTest)
#include "app_e2e_test.moc"
