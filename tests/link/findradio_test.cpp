// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the radio: which ports are probed, what each one is sent, which one is taken.
#include <map>

#include <QtTest>

#include "linkfakes.h"
#include "portlist.h"

using namespace vardo;
using namespace vardo::test;

class FindRadioTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void probe_data();
    void probe();
    void portOrder();
};

void FindRadioTest::probe_data()
{
    QTest::addColumn<QStringList>("kinds");  // the devices on COM1, COM2, ...
    QTest::addColumn<QString>("found");
    QTest::addColumn<QStringList>("failures");  // why each port before it was not the radio

    const QString silent = QStringLiteral("COM%1 did not answer");
    const QString other = QStringLiteral("COM%1 answered, but not as the FT-1000MP");
    const QString busy = QStringLiteral("cannot open COM%1: The radio's link was lost");
    QTest::newRow("radio on the third port, later ports untouched")
        << QStringList{"silent", "silent", "radio", "radio", "silent"} << "COM3"
        << QStringList{silent.arg(1), silent.arg(2)};
    QTest::newRow("a port that cannot be opened") << QStringList{"busy", "radio"} << "COM2" << QStringList{busy.arg(1)};
    QTest::newRow("a port that does not exist") << QStringList{"none", "silent", "radio"} << "COM3"
                                                << QStringList{"cannot open COM1: there is no such port", silent.arg(2)};
    QTest::newRow("five bytes, other identification") << QStringList{"ident", "radio"} << "COM2"
                                                      << QStringList{other.arg(1)};
    QTest::newRow("six bytes, identification matching") << QStringList{"six", "radio"} << "COM2"
                                                        << QStringList{other.arg(1)};
    QTest::newRow("an interface that echoes both frames") << QStringList{"echo"} << "COM1" << QStringList();
    // Across a network the wait is 2 s longer, and the round trip found is allowed in later
    // replies' bounds; a reply after the wait is named late: the two frames take 22.9 ms on
    // the line, the reply starts 2.5 s later and takes 31.5 ms.
    QTest::newRow("across a network, 1.5 s away") << QStringList{"remote1500"} << "COM1" << QStringList();
    QTest::newRow("across a network, 2.5 s away") << QStringList{"remote2500", "radio"} << "COM2"
                                                  << QStringList{"COM1 answered too late (2554 ms)"};
    QTest::newRow("a serial port 150 ms away") << QStringList{"serial150", "radio"} << "COM2"
                                               << QStringList{silent.arg(1)};
    QTest::newRow("no radio anywhere") << QStringList{"silent", "busy", "ident", "six", "none"} << QString()
                                       << QStringList{silent.arg(1), busy.arg(2), other.arg(3), other.arg(4),
                                                      "cannot open COM5: there is no such port"};
}

void FindRadioTest::probe()
{
    QFETCH(QStringList, kinds);
    QFETCH(QString, found);

    QStringList names;
    std::map<QString, SimBench> devices;
    for (const QString& kind : kinds) {
        names << QStringLiteral("COM%1").arg(names.size() + 1);
        if (kind == u"none")
            continue;
        SimBench& device = devices[names.last()];
        device.wire->network = kind.startsWith(u"remote");
        sim::Faults faults;
        faults.delay = std::chrono::milliseconds(kind.section(QRegularExpression("[a-z]+"), 1).toInt());
        faults.silent = kind == u"silent";
        faults.echo = kind == u"echo";
        if (kind == u"ident")
            faults.ident = {{0x03, 0x94}};
        device.radio->setFaults(faults);
        if (kind == u"busy")  // in use, or refusing its settings
            device.radio->unplug();
        if (kind == u"six")  // a sixth byte 10 ms after the fifth
            device.wire->stray = StrayAfterReply(1, {std::chrono::milliseconds(10)});
    }
    RadioLink link([&](const QString& name) {
        return devices.contains(name) ? devices[name].factory(name, sim::Timing::Virtual)(name) : nullptr;
    });
    QCOMPARE(link.FindRadio(names), !found.isEmpty());
    QCOMPARE(link.portName(), found);
    QCOMPARE(link.isOpen(), !found.isEmpty());
    QStringList reasons;
    for (const ProbeFailure& failure : link.probeFailures())
        reasons << failure.reason;
    QTEST(reasons, "failures");

    const qsizetype probed = found.isEmpty() ? names.size() : names.indexOf(found) + 1;
    const QStringList probe{"00 00 00 05 0E", "00 00 00 00 FA"};
    for (const auto& [name, device] : devices) {
        const bool opened = names.indexOf(name) < probed && device.radio->isPlugged();
        QCOMPARE(device.sent(), opened ? probe : QStringList());
        QCOMPARE(device.wire->closes, int(opened && name != found));
    }
    if (!found.isEmpty())
        QVERIFY(link.ReadMemories(1, 2, {}).ok);
}

// Name order with numbers by value, at most sixteen.
void FindRadioTest::portOrder()
{
    QCOMPARE(OrderedPortNames({"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyUSB0"}),
             (QStringList{"/dev/ttyACM0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
    QStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty << QStringLiteral("/dev/ttyS%1").arg(i);
    QCOMPARE(OrderedPortNames(QStringList(twenty.rbegin(), twenty.rend())), twenty.mid(0, 16));
}

QTEST_GUILESS_MAIN(FindRadioTest)
#include "findradio_test.moc"
