// Finding the radio: which ports are probed, what each one is sent, which one is taken.
#include <QtTest>

#include "linkfakes.h"
#include "portlist.h"
#include "radiolink.h"

using namespace vardo;
using namespace vardo::test;

namespace {

const QByteArray kProbeBytes = QByteArray::fromHex("000000050E" "00000000FA");

// Port behaviours by name: what a device on that port does with the probe.
std::optional<ScriptedPort> PortOfKind(const QString& kind)
{
    if (kind == u"radio")
        return ScriptedPort{true, QByteArray::fromHex("0000000393")};
    if (kind == u"silent")
        return ScriptedPort{true, {}};
    if (kind == u"busy")  // in use or refusing its settings
        return ScriptedPort{false, {}};
    if (kind == u"ident")
        return ScriptedPort{true, QByteArray::fromHex("0000000394")};
    if (kind == u"six")
        return ScriptedPort{true, QByteArray::fromHex("000000039300")};
    if (kind == u"four")
        return ScriptedPort{true, QByteArray::fromHex("00000003")};
    return std::nullopt;  // "missing": no such device
}

QStringList PortNames(qsizetype count)
{
    QStringList names;
    for (qsizetype i = 1; i <= count; ++i)
        names << QStringLiteral("COM%1").arg(i);
    return names;
}

}  // namespace

class FindRadioTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void probe_data();
    void probe();
    void reconnect();
    void portOrder_data();
    void portOrder();
};

void FindRadioTest::probe_data()
{
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QStringList>("probed");

    QTest::newRow("radio on the third port, two silent before it")
        << QStringList{"silent", "silent", "radio", "radio", "silent"} << "COM3" << PortNames(3);
    QTest::newRow("a port that cannot be opened is skipped")
        << QStringList{"busy", "radio"} << "COM2" << PortNames(2);
    QTest::newRow("a port that does not exist is skipped")
        << QStringList{"missing", "silent", "radio"} << "COM3" << QStringList{"COM2", "COM3"};
    QTest::newRow("five bytes with other identification")
        << QStringList{"ident", "radio"} << "COM2" << PortNames(2);
    QTest::newRow("six bytes, identification matching")
        << QStringList{"six", "radio"} << "COM2" << PortNames(2);
    QTest::newRow("four bytes") << QStringList{"four", "radio"} << "COM2" << PortNames(2);
    QTest::newRow("no radio anywhere")
        << QStringList{"silent", "busy", "ident", "six", "missing"} << QString() << PortNames(4);
    QTest::newRow("radio on the first port") << QStringList{"radio", "radio"} << "COM1" << PortNames(1);
    QTest::newRow("no ports at all") << QStringList{} << QString() << QStringList{};
}

void FindRadioTest::probe()
{
    QFETCH(QStringList, kinds);
    QFETCH(QString, found);
    QFETCH(QStringList, probed);

    ScriptedPorts ports;
    const QStringList names = PortNames(kinds.size());
    for (qsizetype i = 0; i < kinds.size(); ++i)
        if (const auto port = PortOfKind(kinds[i]))
            ports.add(names[i], *port);

    RadioLink link(ports.factory());
    QCOMPARE(link.FindRadio(names), !found.isEmpty());
    QCOMPARE(link.portName(), found);
    QCOMPARE(link.isOpen(), !found.isEmpty());

    const QStringList made = ports.touched();
    QStringList expectMade;
    for (const QString& name : names.mid(0, found.isEmpty() ? names.size() : names.indexOf(found) + 1))
        if (PortOfKind(kinds[names.indexOf(name)]))
            expectMade << name;
    QCOMPARE(made, expectMade);

    for (const QString& name : probed) {
        const PortLog* log = ports.log(name);
        QVERIFY2(log, qPrintable(name));
        const bool opens = PortOfKind(kinds[names.indexOf(name)])->opens;
        QCOMPARE(log->opens, opens ? 1 : 0);
        QCOMPARE(log->written, opens ? kProbeBytes : QByteArray());
        QCOMPARE(log->closes, opens && name != found ? 1 : 0);
    }
}

// After a lost link the same port is probed again; a port that no longer answers says so.
void FindRadioTest::reconnect()
{
    ScriptedPorts ports;
    ports.add("COM1", *PortOfKind("silent"));
    ports.add("COM2", *PortOfKind("radio"));
    RadioLink link(ports.factory());
    QVERIFY(link.FindRadio({"COM1", "COM2"}));
    link.close();

    QVERIFY(link.Reconnect().ok);
    QVERIFY(link.isOpen());
    QCOMPARE(ports.log("COM2")->written, kProbeBytes + kProbeBytes);
    QCOMPARE(ports.log("COM1")->opens, 1);

    ports.add("COM2", *PortOfKind("silent"));
    link.close();
    const LinkResult lost = link.LoadVfoA(5);
    QVERIFY(!lost.ok);
    QCOMPARE(lost.error, QStringLiteral("The radio on COM2 does not answer any more.\r"
                                        "Check that it is switched on and connected, then try again."));
    QCOMPARE(ports.log("COM2")->written, kProbeBytes + kProbeBytes + kProbeBytes);
}

void FindRadioTest::portOrder_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("probed");

    QTest::newRow("name order, numbers by value")
        << QStringList{"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyUSB0"}
        << QStringList{"/dev/ttyACM0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    QStringList twenty;
    for (int i = 19; i >= 0; --i)
        twenty << QStringLiteral("/dev/ttyS%1").arg(i);
    QStringList first16;
    for (int i = 0; i < 16; ++i)
        first16 << QStringLiteral("/dev/ttyS%1").arg(i);
    QTest::newRow("at most sixteen") << twenty << first16;
    QTest::newRow("none") << QStringList{} << QStringList{};
}

void FindRadioTest::portOrder()
{
    QFETCH(QStringList, listed);
    QFETCH(QStringList, probed);
    QCOMPARE(OrderedPortNames(listed), probed);
    QVERIFY(DefaultPortNames().size() <= kMaxProbedPorts);
}

QTEST_GUILESS_MAIN(FindRadioTest)
#include "test_findradio.moc"
