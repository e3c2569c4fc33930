// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated line's schedule, the in-memory transport behind --simulate, and a failed port's words.

#include <thread>

#include <QTest>

#include "serialerrortext.h"
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
    // A reply starts once the request has crossed the wire and the delay passed, then paced bytes.
    void lineSchedule()
    {
        SimRadio radio;
        radio.setFaults({.ident = {}, .delay = 30ms});
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

    // On the virtual clock the reply is provably still on the wire; with Fast timing it has arrived.
    void clearInputKeepsBytesOnTheWire()
    {
        for (const auto& [timing, wait, status, reply] : {std::tuple{Timing::Virtual, 1000ms, IoStatus::Ok, Hex("00 00 00 03 93")},
                                                          std::tuple{Timing::Fast, 20ms, IoStatus::TimedOut, QByteArray()}}) {
            QByteArray out;
            auto port = OpenPort(timing);
            port->write(kStatus);
            port->clearInput();
            QCOMPARE(port->readAtLeast(5, wait, out), status);
            QCOMPARE(out, reply);
        }
    }

    // The radio acts on a frame only once its last byte has crossed the line; drain() waits for it.
    void drainWaitsUntilTheRadioHasTheBytes()
    {
        auto port = OpenPort(Timing::Virtual);
        const QByteArray frames = Hex("00 00 00 01 0C").repeated(100);
        QCOMPARE(port->write(frames), IoStatus::Ok);
        QCOMPARE(port->radio().frameLog().size(), std::size_t{0});
        QCOMPARE(port->drain(5s), IoStatus::Ok);
        QCOMPARE(port->radio().frameLog().size(), std::size_t{100});
        port->write(frames);
        QCOMPARE(port->drain(0ms), IoStatus::TimedOut);  // the bound holds
    }

    // An unplugged adapter wakes a blocked read at once and fails every call until it is back.
    void lostLink()
    {
        auto port = OpenPort(Timing::Real, {.ident = {}, .silent = true});
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

    // The system's words for a serial device that went away become plain ones; others stay.
    void plainSerialError()
    {
        const QString gone = "the serial adapter was unplugged or stopped answering";
        const std::tuple<QSerialPort::SerialPortError, QString, QString> errors[] = {
            {QSerialPort::ReadError, "Inappropriate ioctl for device", gone},  // USB adapter pulled, Linux
            {QSerialPort::WriteError, "Input/output error", gone},
            {QSerialPort::ReadError, "The device does not recognize the command.", gone},  // Windows
            {QSerialPort::ResourceError, "Unknown error", gone},                           // removed, any words
            {QSerialPort::PermissionError, "Permission denied", "Permission denied"},
            {QSerialPort::UnknownError, "Unknown error", "Unknown error"}};
        for (const auto& [error, system, shown] : errors)
            QCOMPARE(PlainSerialError(error, system), shown);
    }
};

QTEST_GUILESS_MAIN(SimTransportTest)
#include "sim_transport_test.moc"
