// The program's shell: the command line, the start with no radio, and the help file's
// contents and index.

#include <QFile>
#include <QListWidget>
#include <QTest>

#include "app_harness.h"
#include "commandline.h"
#include "helptopics.h"
#include "helpwindow.h"
#include "messageboxhelper.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// Records every window other than a message box that shows.
class ShowWatcher : public QObject {
public:
    QStringList shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow() && !qobject_cast<QMessageBox*>(widget))
            shown.append(widget->objectName());
        return false;
    }
};

QString HelpHtml()
{
    QFile file(QString::fromLatin1(kHelpResource));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class AppShellTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void portsToProbe_data();
    void portsToProbe();
    void noRadioEndsWithoutAWindow();
    void helpTopics();
    void helpIndexFindsTopics();
};

void AppShellTest::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<bool>("error");
    QTest::newRow("nothing") << QStringList{} << QStringList{} << "" << false << false;
    QTest::newRow("one port") << QStringList{"--port", "COM3"} << QStringList{"COM3"} << "" << false << false;
    QTest::newRow("ports in order") << QStringList{"--port", "/dev/ttyUSB1", "--port=/dev/ttyS0"}
                                    << QStringList{"/dev/ttyUSB1", "/dev/ttyS0"} << "" << false << false;
    QTest::newRow("data dir") << QStringList{"--data-dir", "/tmp/vardo files"} << QStringList{}
                              << "/tmp/vardo files" << false << false;
    QTest::newRow("simulate") << QStringList{"--simulate", "--port", "COM1"} << QStringList{"COM1"} << ""
                              << true << false;
    QTest::newRow("unknown option") << QStringList{"--fast"} << QStringList{} << "" << false << true;
    QTest::newRow("port without name") << QStringList{"--port"} << QStringList{} << "" << false << true;
    QTest::newRow("empty data dir") << QStringList{"--data-dir="} << QStringList{} << "" << false << true;
    QTest::newRow("stray word") << QStringList{"COM3"} << QStringList{} << "" << false << true;
}

void AppShellTest::commandLine()
{
    QFETCH(QStringList, args);
    const CommandLine line = ParseCommandLine(QStringList{"vardo"} + args);
    QTEST(!line.error.isEmpty(), "error");
    if (!line.error.isEmpty())
        return;
    QTEST(line.ports, "ports");
    QTEST(line.dataDir, "dataDir");
    QTEST(line.simulate, "simulate");
}

void AppShellTest::portsToProbe_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("expected");
    const QStringList system{"/dev/ttyS0", "/dev/ttyUSB0"};
    QTest::newRow("system") << QStringList{} << system;
    QTest::newRow("named replace") << QStringList{"--port", "B", "--port", "A"} << QStringList{"B", "A"};
    QTest::newRow("simulate first") << QStringList{"--simulate"}
                                    << QStringList{"simulated radio", "/dev/ttyS0", "/dev/ttyUSB0"};
    QTest::newRow("simulate and named") << QStringList{"--port", "X", "--simulate"}
                                        << QStringList{"simulated radio", "X"};
}

void AppShellTest::portsToProbe()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, expected);
    const CommandLine line = ParseCommandLine(QStringList{"vardo"} + args);
    QCOMPARE(PortsToProbe(line, {"/dev/ttyS0", "/dev/ttyUSB0"}), expected);
}

void AppShellTest::noRadioEndsWithoutAWindow()
{
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    MessageBoxHelper boxes;
    QStringList order;
    std::unique_ptr<QSignalSpy> ended;
    AppHarness h(
        sim::Timing::Fast,
        [](sim::SimRadio& radio) {
            sim::Faults wrongIdent;
            wrongIdent.ident = std::array<std::uint8_t, 2>{0x00, 0x00};
            radio.setFaults(wrongIdent);
        },
        [&](const QString&) { order.append(QStringLiteral("upgrade")); });
    ended = std::make_unique<QSignalSpy>(h.app.get(), &VardoApp::ended);
    QVERIFY(ended->wait(kWaitMs));
    qApp->removeEventFilter(&watcher);
    QCOMPARE(order, QStringList{"upgrade"});
    QCOMPARE(boxes.texts(), QStringList{"I couldn't find the FT-1000MP on any COM port"});
    QCOMPARE(boxes.seen().first().icon, QMessageBox::NoIcon);
    QCOMPARE(boxes.seen().first().title, QStringLiteral("Vardo"));
    QCOMPARE(boxes.seen().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(ended->at(0).at(0).toInt(), kExitNotFound);
    QCOMPARE(watcher.shown, QStringList{});
    QVERIFY(!h.app->mainWindow().isVisible());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void AppShellTest::helpTopics()
{
    const QString html = HelpHtml();
    QVERIFY(!html.isEmpty());
    const QList<HelpTopic> topics = HelpContents(html);
    QStringList titles;
    for (const HelpTopic& t : topics) {
        titles.append(t.title);
        QVERIFY2(html.contains(QStringLiteral("<a name=\"%1\">").arg(t.anchor)), qPrintable(t.anchor));
    }
    // Every window and command an operator meets has its topic.
    for (const char* title : {"Starting Vardo", "The main window", "The memory tables", "Read", "Clear", "Exit",
                              "Loading a channel into VFO-A", "Moving channels", "Changing a channel", "Comments",
                              "Scanning", "Saving and loading", "Printing", "Help and About"})
        QVERIFY2(titles.contains(QString::fromLatin1(title)), title);
    QCOMPARE(topics.first().level, 2);
}

void AppShellTest::helpIndexFindsTopics()
{
    const QString html = HelpHtml();
    const QList<HelpEntry> index = HelpIndex(html);
    QStringList anchors;
    for (const HelpTopic& t : HelpContents(html))
        anchors.append(t.anchor);
    QStringList terms;
    for (const HelpEntry& e : index) {
        terms.append(e.term);
        QVERIFY2(anchors.contains(e.anchor), qPrintable(e.term + " -> " + e.anchor));
    }
    for (const char* term : {"VFO-A", "backup", "hourglass", "--port", "masked channel", "radio not found"})
        QVERIFY2(terms.contains(QString::fromLatin1(term)), term);
    for (qsizetype i = 1; i < terms.size(); ++i)
        QVERIFY(terms.at(i - 1).compare(terms.at(i), Qt::CaseInsensitive) <= 0);

    // The window finds them too: an index entry scrolls the text to its topic.
    HelpWindow window;
    QCOMPARE(window.findChild<QListWidget*>(QStringLiteral("lstIndex"))->count(), index.size());
}

QTEST_MAIN(AppShellTest)
#include "app_shell_test.moc"
