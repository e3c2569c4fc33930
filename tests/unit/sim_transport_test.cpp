// SPDX-License-Identifier: GPL-3.0-or-later
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

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

const QByteArray kStatus = Hex("00 00 00 00 FA");
const QByteArray kVfoA = Hex("00 00 00 02 10");

// An opened port on a radio of its own.
std::unique_ptr<SimTransport> OpenPort(Timing timing, const Faults& faults = {})
{
    auto radio = std::make_shared<SimRadio>();
    radio->setFaults(faults);
    auto port = std::make_unique<SimTransport>(radio, "SIM", timing);
    port->open();
    return port;
}

}  // namespace

class SimTransportTest : public QObject {
    Q_OBJECT

private slots:
    // A 16-byte reply starts once the request's five bytes have crossed the wire and the fault
    // delay has passed, then comes one byte per 11 bit times plus the pacing between bytes.
    void lineSchedule()
    {
        SimRadio radio;
        Faults f;
        f.delay = 30ms;
        radio.setFaults(f);
        radio.feed(Hex("00 00 00 05 0E"));  // pacing 5 ms
        SimLine line(radio, Timing::Real);
        const SimLine::Clock::time_point t0{};
        line.receive(kVfoA, t0);
        QVERIFY(!line.dueOf(1));  // the request is still on the line: the radio has not heard it
        QCOMPARE(line.nextDue().value(), t0 + kByteTime);
        line.advance(t0 + 5 * kByteTime - 1ns);
        QCOMPARE(radio.frameLog().size(), std::size_t{1});  // only the pacing fed before
        line.advance(t0 + 5 * kByteTime);
        QCOMPARE(radio.frameLog().size(), std::size_t{2});
        const auto gap = kByteTime + 5ms;
        QCOMPARE(line.dueOf(1).value(), t0 + 5 * kByteTime + 30ms + kByteTime);
        QCOMPARE(line.dueOf(16).value(), line.dueOf(1).value() + 15 * gap);
        QVERIFY(!line.dueOf(17));
        QCOMPARE(line.takeDue(line.dueOf(1).value() - 1ns), QByteArray());
        QCOMPARE(line.takeDue(line.dueOf(3).value()).size(), 3);
        QCOMPARE(line.takeDue(t0 + 10s).size(), 13);
        QVERIFY(!line.nextDue());
    }

    void lineRepliesQueueBehindEachOther()
    {
        SimRadio radio;
        SimLine line(radio, Timing::Real);
        const SimLine::Clock::time_point t0{};
        line.receive(kStatus + kStatus, t0);  // two requests in one write
        line.advance(t0 + 10 * kByteTime);
        QCOMPARE(line.dueOf(5).value(), t0 + 10 * kByteTime);
        QCOMPARE(line.dueOf(6).value(), t0 + 11 * kByteTime);  // the line is busy until then
        QCOMPARE(line.takeDue(t0 + 1s), Hex("00 00 00 03 93 00 00 00 03 93"));
    }

    void clearInputKeepsBytesOnTheWire()
    {
        // The reply is held back a second, so it is still on its way when the input is cleared
        // unless the machine stalled the test that long between the two calls; then it tries again.
        Faults late;
        late.delay = 1s;
        QByteArray out;
        for (int attempt = 0; attempt < 3; ++attempt) {
            auto real = OpenPort(Timing::Real, late);
            const auto written = std::chrono::steady_clock::now();
            real->write(kStatus);
            real->clearInput();
            if (std::chrono::steady_clock::now() - written >= late.delay)
                continue;
            QCOMPARE(real->readAtLeast(5, 5s, out), IoStatus::Ok);
            break;
        }
        QCOMPARE(out, Hex("00 00 00 03 93"));
        auto fast = OpenPort(Timing::Fast);
        fast->write(kStatus);
        fast->clearInput();  // already arrived: discarded
        QCOMPARE(fast->readAtLeast(5, 20ms, out), IoStatus::TimedOut);
        QCOMPARE(out, QByteArray());
    }

    // A write returns at once, as on a port with a queue; the radio acts on a frame only once its
    // last byte has crossed the line, and drain() returns only then.
    void drainWaitsUntilTheRadioHasTheBytes()
    {
        auto port = OpenPort(Timing::Real);
        // 500 bytes, 1.15 s of line: far more than a loaded machine keeps the test waiting
        const QByteArray frames = Hex("00 00 00 01 0C").repeated(100);
        QCOMPARE(port->write(frames), IoStatus::Ok);
        QVERIFY(port->radio().frameLog().size() < 100);
        QCOMPARE(port->drain(5s), IoStatus::Ok);
        QCOMPARE(port->radio().frameLog().size(), std::size_t{100});
        port->write(frames);
        QCOMPARE(port->drain(0ms), IoStatus::TimedOut);  // the bound holds
    }

    // An unplugged adapter wakes a blocked read at once and fails every call until it is back.
    void lostLink()
    {
        Faults silent;
        silent.silent = true;
        auto port = OpenPort(Timing::Real, silent);
        port->write(kVfoA);
        std::thread unplugger([&radio = port->radio()] {
            std::this_thread::sleep_for(50ms);
            radio.unplug();
        });
        QByteArray out;
        const IoStatus status = port->readAtLeast(16, 60s, out);
        unplugger.join();
        QCOMPARE(status, IoStatus::LinkLost);
        QVERIFY(!port->errorString().isEmpty());
        QCOMPARE(port->write(kStatus), IoStatus::LinkLost);
        port->close();
        QVERIFY(!port->open());
        port->radio().replug();
        QVERIFY(port->open());
        QCOMPARE(port->write(kStatus), IoStatus::Ok);
    }

    // The simulated port name gets the shared radio; any other name goes to the fallback.
    void factoryPicksThePort()
    {
        auto radio = std::make_shared<SimRadio>();
        QStringList asked;
        const TransportFactory fallback = [&asked](const QString& name) -> std::unique_ptr<Transport> {
            asked << name;
            return std::make_unique<SimTransport>(std::make_shared<SimRadio>(), name, Timing::Fast);
        };
        const TransportFactory factory = SimulatedPortFactory(radio, "SIM", fallback, Timing::Fast);
        auto sim = factory("SIM");
        QVERIFY(sim && sim->open());
        sim->write(kStatus);
        QCOMPARE(radio->frameLog().size(), std::size_t(1));
        QVERIFY(factory("/dev/ttyS0"));
        QCOMPARE(asked, QStringList{"/dev/ttyS0"});
        QVERIFY(!SimulatedPortFactory(radio, "SIM", {})("COM3"));
    }
};

QTEST_GUILESS_MAIN(SimTransportTest)
#include "sim_transport_test.moc"
