// SPDX-License-Identifier: GPL-3.0-or-later
// The remembered connection, the Connection dialog, and a start-up that finds no radio.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>

#include "commandline.h"
#include "connectiondialog.h"
#include "filebytes.h"
#include "launch.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// The settings live under this folder, as XDG_CONFIG_HOME, for the whole run.
QTemporaryDir* g_config = nullptr;

QString ConfigFile()
{
    return g_config->filePath(QStringLiteral("Vardo/Vardo.conf"));
}

// Answers the next Connection dialog: `fill` sets it, then OK is pressed.
class ConnectionAnswer : public QObject {
public:
    explicit ConnectionAnswer(std::function<void(ConnectionDialog&)> fill) : m_fill(std::move(fill))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<ConnectionDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_timer.stop();
            m_fill(*dialog);
            dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        m_timer.start(10);
    }

private:
    std::function<void(ConnectionDialog&)> m_fill;
    QTimer m_timer;
};

void SetPort(ConnectionDialog& dialog, const QString& text)
{
    dialog.findChild<QComboBox*>(QStringLiteral("cboPort"))->setEditText(text);
}

QString RadioLine(QWidget& window)
{
    return window.findChild<QLabel*>(QStringLiteral("lblRadio"))->text();
}

}  // namespace

class ConnectionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void storedThenOverridden_data()
    {
        // stored: Vardo.conf as an earlier run left it
        Columns<QByteArray, QStringList, QStringList, int>("stored", "args", "probed", "pacing");
        const QStringList system{"/dev/ttyS0", "/dev/ttyUSB0"};
        const QByteArray usb20("[Connection]\nPorts=/dev/ttyUSB1\nPacing=20\n");
        QTest::newRow("nothing remembered") << QByteArray() << QStringList{} << system << 5;
        QTest::newRow("port and pacing remembered") << usb20 << QStringList{} << QStringList{"/dev/ttyUSB1"} << 20;
        QTest::newRow("several ports, in order") << QByteArray("[Connection]\nPorts=tcp://shack:4001, COM3\n")
                                                 << QStringList{} << QStringList{"tcp://shack:4001", "COM3"} << 5;
        QTest::newRow("--port for this run, in order") << usb20 << QStringList{"--port", "COM3", "--port=/dev/ttyUSB1"}
                                                       << QStringList{"COM3", "/dev/ttyUSB1"} << 20;
        QTest::newRow("pacing at its ends") << usb20 << QStringList{"--pacing=0", "--pacing=255"} << QStringList{"/dev/ttyUSB1"}
                                            << 255;
        QTest::newRow("--simulate for this run")
            << usb20 << QStringList{"--simulate"} << QStringList{"simulated radio", "/dev/ttyUSB1"} << 20;
        QTest::newRow("unusable values left out") << QByteArray("[Connection]\nPorts=tcp://shack\nPacing=300\n")
                                                  << QStringList{} << system << 5;
        // probed empty: the command line is refused
        for (const char* refused : {"--fast", "--port", "--data-dir=", "COM3", "--pacing 256"})
            QTest::addRow("refused: %s", refused) << QByteArray() << QString::fromLatin1(refused).split(u' ')
                                                  << QStringList{} << 5;
    }
    void storedThenOverridden()
    {
        QFETCH(QByteArray, stored); QFETCH(QStringList, args); QFETCH(QStringList, probed);
        // Qt keeps a settings file it has read until its size or time changes, and one row
        // writes the file in the same instant as the one before: read it gone in between.
        QFile::remove(ConfigFile());
        (void)StoredConnection();
        QVERIFY(QDir().mkpath(QFileInfo(ConfigFile()).path()));
        QVERIFY(stored.isEmpty() || PutFile(ConfigFile(), stored));
        const CommandLine line = ParseCommandLine(QStringList{"vardo"} + args);
        QCOMPARE(line.error.isEmpty(), !probed.isEmpty());
        if (probed.isEmpty())
            return;
        const Connection run = ConnectionForRun(line, StoredConnection());
        QCOMPARE(PortsToProbe(run.ports, run.simulate, {"/dev/ttyS0", "/dev/ttyUSB0"}), probed);
        QTEST(run.pacing, "pacing");
    }

    void portBox_data()
    {
        // ports: what OK takes; refusal: the message instead; the dialog stays open
        Columns<QString, QStringList, QString>("typed", "ports", "refusal");
        const QString form = QStringLiteral("\rA radio on the network is given as tcp://HOST:PORT, with a port number "
                                            "from 1 to 65535, for example tcp://192.168.1.20:4001.");
        const QString bad = QStringLiteral("\"%1\" is not a network address Vardo can use.") + form;
        QTest::newRow("search every port") << "Search every port" << QStringList{} << "";
        QTest::newRow("a serial port") << "/dev/ttyUSB0" << QStringList{"/dev/ttyUSB0"} << "";
        QTest::newRow("a network radio") << "TCP://192.168.1.20:4001" << QStringList{"TCP://192.168.1.20:4001"} << "";
        QTest::newRow("several, in order") << "tcp://shack:4001, COM3," << QStringList{"tcp://shack:4001", "COM3"} << "";
        for (const char* address : {"tcp://shack", "tcp://shack:0", "tcp://shack:65536", "tcp://:4001",
                                    "tcp://shack:4001/radio", "udp://shack:4001", "COM3, tcp://shack:port"}) {
            const QString name = QString::fromLatin1(address).section(QStringLiteral(", "), -1);
            QTest::addRow("%s", address) << address << QStringList{} << bad.arg(name);
        }
    }
    void portBox()
    {
        QFETCH(QString, typed); QFETCH(QString, refusal);
        ConnectionDialog dialog(Connection{{"COM9"}, 5, false}, {"/dev/ttyS0"});
        SetPort(dialog, typed);
        MessageBoxHelper boxes;
        dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(boxes.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QCOMPARE(dialog.result() == QDialog::Accepted, refusal.isEmpty());
        QTEST(refusal.isEmpty() ? dialog.connection().ports : QStringList{}, "ports");
    }

    // From the Radio menu: a port with no radio says so; the radio's port with another pacing finds
    // it, asks for that pacing, and is remembered without the emulator.
    void changeLooksAgain()
    {
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        auto* item = pms.findChild<QAction*>(QStringLiteral("itmConnection"));
        MessageBoxHelper boxes;
        {
            ConnectionAnswer answer([](ConnectionDialog& d) { SetPort(d, QStringLiteral("nowhere")); });
            item->trigger();
        }
        QVERIFY(boxes.waitForCount(1));
        QCOMPARE(boxes.lastText(), QStringLiteral("I couldn't find the FT-1000MP on any serial port\rPorts tried:\r"
                                                  "cannot open nowhere: there is no such port"));
        QCOMPARE(RadioLine(pms) + " | " + RadioLine(h.app->mainWindow()), QStringLiteral("No radio found | No radio found"));
        QVERIFY(!pms.findChild<QAction*>(QStringLiteral("actCompare"))->isEnabled());
        {
            ConnectionAnswer answer([](ConnectionDialog& d) {
                SetPort(d, QStringLiteral("sim"));
                d.findChild<QSpinBox*>(QStringLiteral("spnPacing"))->setValue(9);
                d.findChild<QCheckBox*>(QStringLiteral("chkEmulator"))->setChecked(true);
            });
            item->trigger();
        }
        QVERIFY(h.idle() && h.radio->pacing() == 9);
        QCOMPARE(RadioLine(pms), QStringLiteral("FT-1000MP on sim"));
        QVERIFY(h.read(pms));
        QCOMPARE(pms.statusBar()->currentMessage(), QStringLiteral("9 channels read"));
        const QByteArray conf = FileBytes(ConfigFile());
        QVERIFY2(conf.contains("Ports=sim\n") && conf.contains("Pacing=9\n") && !conf.contains("mulat"), conf.constData());
        QCOMPARE(boxes.count(), 1);
    }

    void notFoundAtStart_data()
    {
        Columns<QMessageBox::StandardButton, bool>("answer", "runs");
        QTest::newRow("Connection..., then the radio's port") << QMessageBox::Retry << true;
        QTest::newRow("OK ends the program") << QMessageBox::Ok << false;
    }
    void notFoundAtStart()
    {
        QFETCH(QMessageBox::StandardButton, answer); QFETCH(bool, runs);
        MessageBoxHelper boxes(answer);
        sim::Faults silent;
        silent.silent = true;
        AppHarness h(sim::Timing::Fast, [&silent](sim::SimRadio& r) { r.setFaults(silent); });
        QSignalSpy ended(h.app.get(), &VardoApp::ended);
        ConnectionAnswer connection([&h](ConnectionDialog& d) {
            h.radio->setFaults({});
            SetPort(d, QStringLiteral("sim"));
        });
        QVERIFY(boxes.waitForCount(1));
        QCOMPARE(boxes.lastText(), QStringLiteral("I couldn't find the FT-1000MP on any serial port\rPorts tried:\r"
                                                  "sim did not answer"));
        QVERIFY(runs ? h.started() : QTest::qWaitFor([&] { return ended.count() == 1; }, kWaitMs));
        QCOMPARE(ended.count(), runs ? 0 : 1);
    }
};

int main(int argc, char* argv[])
{
    // Before the first QSettings: Qt reads the folder once.
    QTemporaryDir config;
    g_config = &config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    ConnectionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "connection_test.moc"
