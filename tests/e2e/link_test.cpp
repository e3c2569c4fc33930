// SPDX-License-Identifier: GPL-3.0-or-later
// The serial transport against vardo-sim on a pseudo-terminal: search, full read, lost link.
#include <ctime>

#include <QtTest>

#include "radioclient.h"
#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"
#include "simradio.h"

using namespace vardo;
using namespace vardo::test;

constexpr int kSignalWaitMs = 30000;

class LinkE2eTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findAndReadAll();
    void lostLink_data();
    void lostLink();
};

// Before the radio: a port that does not exist, a silent device, one with other identification.
void LinkE2eTest::findAndReadAll()
{
    SimProcess silent({"--fast", "--silent"});
    SimProcess other({"--fast", "--ident", "0394"});
    SimProcess radio({"--fast"});
    QVERIFY(!silent.pty().isEmpty() && !other.pty().isEmpty() && !radio.pty().isEmpty());

    RadioLink link(SerialTransport::factory());
    QVERIFY(link.FindRadio({"/dev/vardo-no-such-port", silent.pty(), other.pty(), radio.pty()}));
    QCOMPARE(link.portName(), radio.pty());
    sim::SimRadio demo;  // what vardo-sim starts with
    QVERIFY(demo.loadDemoImage());
    int channels = 0;
    const LinkResult result = link.ReadMemories(1, 113, [&](int channel, const Record& record) {
        QCOMPARE(record, demo.memory(channel));
        QCOMPARE(channel, ++channels);
    });
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(channels, 113);
}

void LinkE2eTest::lostLink_data()
{
    QTest::addColumn<bool>("duringRead");
    QTest::addColumn<QString>("error");  // how it begins; %1 is the port

    QTest::newRow("in the middle of a read") << true << "The connection to the radio on %1 was lost";
    QTest::newRow("while idle") << false << "The radio on %1 does not answer any more.\r"
                                            "Check that it is switched on and connected, then try again.";
}

// vardo-sim at real speed killed: the window hears of it once (when it next asks, if the link
// was idle), and the worker does not spin on the dead port.
void LinkE2eTest::lostLink()
{
    QFETCH(bool, duringRead);
    QFETCH(QString, error);

    SimProcess radio({});
    QVERIFY(!radio.pty().isEmpty());
    RadioClient client(SerialTransport::factory());
    QObject window;
    QStringList failed;
    int answers = 0;
    const RadioDone answer = [&](const LinkResult& outcome) {
        ++answers;
        if (!outcome.ok)
            failed << outcome.error;
    };
    const auto answered = [&](int count) { return QTest::qWaitFor([&] { return answers == count; }, kSignalWaitMs); };
    QSignalSpy records(&client, &RadioClient::recordRead);
    QVERIFY(client.findRadio({radio.pty()}, &window, [&](const QString&) { ++answers; }) && answered(1));
    if (duringRead) {
        QVERIFY(client.readMemories(1, 113, &window, {}, answer));
        QTRY_VERIFY_WITH_TIMEOUT(records.size() >= 3, kSignalWaitMs);
    }
    radio.kill();
    QVERIFY(!duringRead || answered(2));
    const std::clock_t cpuBefore = std::clock();  // all threads of this process
    QTest::qWait(1000);
    // A worker looping on the port's repeated error would burn this whole second.
    QVERIFY2(std::clock() - cpuBefore < CLOCKS_PER_SEC / 2, "the worker is busy although the port is gone");
    QVERIFY(duringRead || (client.readMemories(1, 5, &window, {}, answer) && answered(2)));

    QCOMPARE(failed.size(), 1);
    QVERIFY2(failed[0].startsWith(error.arg(radio.pty())), qPrintable(failed[0]));
    QTest::qWait(100);
    QCOMPARE(answers, 2);  // the search's and the failed read's, once each
    QVERIFY(records.size() < 113 && !client.busy());
}

QTEST_GUILESS_MAIN(LinkE2eTest)
#include "link_test.moc"
