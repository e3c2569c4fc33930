// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte pipe to the radio. The serial implementation wraps QSerialPort's blocking calls;
// tests and --simulate use one wired to the emulator core in memory.

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include <QByteArray>
#include <QString>

namespace vardo {

enum class IoStatus { Ok, TimedOut, LinkLost };

class Transport {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~Transport() = default;

    [[nodiscard]] virtual QString portName() const = 0;
    // Opens the port and applies 4800 baud, 8 data bits, no parity, 2 stop bits, DTR off.
    // False when the port cannot be opened or configured; errorString() then says why, naming
    // the port ("cannot open /dev/ttyUSB0: No such file or directory").
    virtual bool open() = 0;
    // After a failed open(): the port does not exist at all (rather than refusing to open).
    [[nodiscard]] virtual bool missing() const { return false; }
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;

    // Writes one frame in one output operation.
    virtual IoStatus write(const QByteArray& bytes) = 0;
    // Discards whatever has arrived and not been read.
    virtual void clearInput() = 0;
    // Returns once at least `count` bytes have arrived (all that arrived goes to `out`), or
    // TimedOut with what did arrive when `timeout` passes first.
    virtual IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out) = 0;
    // Waits the whole interval, then hands over everything that arrived.
    virtual IoStatus readAfter(std::chrono::milliseconds wait, QByteArray& out) = 0;
    // Whether bytes written take the serial line's time to reach the radio (4800 baud, 8N2).
    // Only an emulator that skips the line says no.
    [[nodiscard]] virtual bool takesLineTime() const { return true; }
    // Returns once every byte written has left the port, as far as the platform can tell, or
    // TimedOut when `bound` passes first. A port that cannot tell returns at once.
    virtual IoStatus drain(std::chrono::milliseconds bound)
    {
        Q_UNUSED(bound);
        return isOpen() ? IoStatus::Ok : IoStatus::LinkLost;
    }

    // The time on this link, and a sleep on it: the system's clock, or an emulated line's own.
    [[nodiscard]] virtual Clock::time_point now() const { return Clock::now(); }
    virtual void sleepUntil(Clock::time_point until) { std::this_thread::sleep_until(until); }
    // Whether a network lies between the port and the radio's line: its round trip then comes
    // on top of every line time.
    [[nodiscard]] virtual bool crossesNetwork() const { return false; }

    [[nodiscard]] virtual QString errorString() const = 0;
};

using TransportFactory = std::function<std::unique_ptr<Transport>(const QString& portName)>;

}  // namespace vardo
