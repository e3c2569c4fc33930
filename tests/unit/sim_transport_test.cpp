// The emulated serial line's schedule (checked on a synthetic clock) and the in-memory
// transport the link code and --simulate use.

#include <thread>

#include <QTest>

#include "simline.h"
#include "simtransport.h"

using namespace std::chrono_literals;
using namespace vardo;
using namespace vardo::sim;

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

const QByteArray kStatus = Hex("00 00 00 00 FA");
const QByteArray kVfoA = Hex("00 00 00 02 10");

std::shared_ptr<SimRadio> RadioWith(const Faults& faults = {})
{
    auto radio = std::make_shared<SimRadio>();
    radio->setFaults(faults);
    return radio;
}

}  // namespace

class SimTransportTest : public QObject {
    Q_OBJECT

private slots:
    void lineSchedule_data();
    void lineSchedule();
    void lineRepliesQueueBehindEachOther();
    void fastReplies_data();
    void fastReplies();
    void realTimingTrickles();
    void clearInputKeepsBytesOnTheWire();
    void unplugWakesABlockedRead();
    void unpluggedLink();
    void factoryPicksThePort();
};

void SimTransportTest::lineSchedule_data()
{
    QTest::addColumn<int>("pacing");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("pacing 0") << 0 << 0;
    QTest::newRow("pacing 5") << 5 << 0;
    QTest::newRow("pacing 5, delay 30") << 5 << 30;
}

// A 16-byte reply starts once the request's five bytes have crossed the wire and then comes
// one byte per 11 bit times plus the pacing between bytes.
void SimTransportTest::lineSchedule()
{
    QFETCH(int, pacing);
    QFETCH(int, delayMs);
    SimRadio radio;
    Faults f;
    f.delay = std::chrono::milliseconds(delayMs);
    radio.setFaults(f);
    radio.feed(Hex("00 00 00 00 0E").replace(3, 1, QByteArray(1, char(pacing))));
    SimLine line(radio, Timing::Real);
    const SimLine::Clock::time_point t0{};
    line.receive(kVfoA, t0);
    const auto frameEnd = t0 + 5 * kByteTime;
    const auto gap = kByteTime + std::chrono::milliseconds(pacing);
    QCOMPARE(line.dueOf(1).value(), frameEnd + std::chrono::milliseconds(delayMs) + kByteTime);
    QCOMPARE(line.dueOf(16).value(), line.dueOf(1).value() + 15 * gap);
    QVERIFY(!line.dueOf(17));
    QCOMPARE(line.takeDue(line.dueOf(1).value() - 1ns), QByteArray());
    QCOMPARE(line.takeDue(line.dueOf(3).value()).size(), 3);
    QCOMPARE(line.takeDue(t0 + 10s).size(), 13);
    QVERIFY(!line.nextDue());
}

void SimTransportTest::lineRepliesQueueBehindEachOther()
{
    SimRadio radio;
    SimLine line(radio, Timing::Real);
    const SimLine::Clock::time_point t0{};
    line.receive(kStatus + kStatus, t0);  // two requests in one write
    QCOMPARE(line.dueOf(5).value(), t0 + 10 * kByteTime);
    QCOMPARE(line.dueOf(6).value(), t0 + 11 * kByteTime);  // the line is busy until then
    QCOMPARE(line.takeDue(t0 + 1s), Hex("00 00 00 03 93 00 00 00 03 93"));
}

void SimTransportTest::fastReplies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("status");  // IoStatus
    QTest::addColumn<int>("received");
    QTest::newRow("status") << kStatus << 5 << int(IoStatus::Ok) << 5;
    QTest::newRow("VFO-A") << kVfoA << 16 << int(IoStatus::Ok) << 16;
    QTest::newRow("more than asked") << Hex("00 00 00 03 10") << 16 << int(IoStatus::Ok) << 32;
    QTest::newRow("no reply") << Hex("00 00 00 01 0C") << 16 << int(IoStatus::TimedOut) << 0;
}

void SimTransportTest::fastReplies()
{
    QFETCH(QByteArray, request);
    QFETCH(int, wanted);
    QFETCH(int, status);
    QFETCH(int, received);
    SimTransport port(RadioWith(), "SIM", Timing::Fast);
    QVERIFY(port.open());
    QCOMPARE(port.write(request), IoStatus::Ok);
    QByteArray out;
    QCOMPARE(int(port.readAtLeast(wanted, 50ms, out)), status);
    QCOMPARE(out.size(), received);
}

void SimTransportTest::realTimingTrickles()
{
    auto radio = RadioWith();
    SimTransport port(radio, "SIM", Timing::Real);
    QVERIFY(port.open());
    port.write(Hex("00 00 00 05 0E") + kVfoA);
    QByteArray first;
    QCOMPARE(port.readAfter(0ms, first), IoStatus::Ok);
    QVERIFY(first.size() < 16);  // a paced record cannot be there the moment it was asked for
    QByteArray rest;
    QCOMPARE(port.readAtLeast(16 - first.size(), 5s, rest), IoStatus::Ok);
    QCOMPARE(first + rest, RecordBytes(radio->vfoA()));
}

void SimTransportTest::clearInputKeepsBytesOnTheWire()
{
    SimTransport port(RadioWith(), "SIM", Timing::Real);
    QVERIFY(port.open());
    port.write(kStatus);
    port.clearInput();  // nothing has arrived yet, so nothing is lost
    QByteArray out;
    QCOMPARE(port.readAtLeast(5, 5s, out), IoStatus::Ok);
    QCOMPARE(out, Hex("00 00 00 03 93"));
    SimTransport fast(RadioWith(), "SIM", Timing::Fast);
    QVERIFY(fast.open());
    fast.write(kStatus);
    fast.clearInput();  // already arrived: discarded
    QCOMPARE(fast.readAtLeast(5, 20ms, out), IoStatus::TimedOut);
    QCOMPARE(out, QByteArray());
}

void SimTransportTest::unplugWakesABlockedRead()
{
    Faults silent;
    silent.silent = true;
    auto radio = RadioWith(silent);
    SimTransport port(radio, "SIM", Timing::Real);
    QVERIFY(port.open());
    port.write(kVfoA);
    std::thread unplugger([radio] {
        std::this_thread::sleep_for(50ms);
        radio->unplug();
    });
    QByteArray out;
    const IoStatus status = port.readAtLeast(16, 60s, out);
    unplugger.join();
    QCOMPARE(status, IoStatus::LinkLost);
    QVERIFY(!port.errorString().isEmpty());
}

void SimTransportTest::unpluggedLink()
{
    auto radio = RadioWith();
    SimTransport port(radio, "SIM", Timing::Fast);
    QVERIFY(port.open());
    radio->unplug();
    QByteArray out;
    QCOMPARE(port.write(kStatus), IoStatus::LinkLost);
    QCOMPARE(port.readAfter(10ms, out), IoStatus::LinkLost);
    port.close();
    QVERIFY(!port.open());
    radio->replug();
    QVERIFY(port.open());
    QCOMPARE(port.write(kStatus), IoStatus::Ok);
    QCOMPARE(port.readAtLeast(5, 1s, out), IoStatus::Ok);
    port.close();
    QCOMPARE(port.write(kStatus), IoStatus::LinkLost);
}

void SimTransportTest::factoryPicksThePort()
{
    auto radio = RadioWith();
    QStringList asked;
    TransportFactory fallback = [&asked](const QString& name) -> std::unique_ptr<Transport> {
        asked << name;
        return std::make_unique<SimTransport>(std::make_shared<SimRadio>(), name, Timing::Fast);
    };
    const TransportFactory factory = SimulatedPortFactory(radio, "SIM", fallback, Timing::Fast);
    auto sim = factory("SIM");
    QVERIFY(sim);
    QCOMPARE(sim->portName(), QStringLiteral("SIM"));
    QVERIFY(sim->open());
    sim->write(kStatus);
    QCOMPARE(radio->frameLog().size(), std::size_t(1));  // the shared radio heard it
    auto other = factory("/dev/ttyS0");
    QVERIFY(other);
    QCOMPARE(asked, QStringList{"/dev/ttyS0"});
    QVERIFY(!SimulatedPortFactory(radio, "SIM", {})("COM3"));
}

QTEST_GUILESS_MAIN(SimTransportTest)
#include "sim_transport_test.moc"
