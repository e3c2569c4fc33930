// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Transport wired to an emulated radio in memory: what the program writes reaches the
// radio, and the radio's replies become readable at once (Timing::Fast) or when they would
// have crossed the real serial line (Timing::Real, and Timing::Virtual on a clock of its own).
// Waits sleep until the next byte is due or the deadline passes (on the virtual clock they
// jump there); an unplugged radio wakes them at once with LinkLost.

#include <memory>

#include "simline.h"
#include "simradio.h"
#include "transport.h"

namespace vardo::sim {

class SimTransport final : public Transport {
public:
    SimTransport(std::shared_ptr<SimRadio> radio, QString portName, Timing timing = Timing::Real);

    [[nodiscard]] QString portName() const override { return m_portName; }
    bool open() override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_open; }
    IoStatus write(const QByteArray& bytes) override;
    void clearInput() override;
    IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out) override;
    IoStatus readAfter(std::chrono::milliseconds wait, QByteArray& out) override;
    [[nodiscard]] bool takesLineTime() const override { return m_line.paced(); }
    // Sleeps until the radio has taken in the last byte written.
    IoStatus drain(std::chrono::milliseconds bound) override;
    [[nodiscard]] QString errorString() const override { return m_error; }
    [[nodiscard]] Clock::time_point now() const override;
    void sleepUntil(Clock::time_point until) override;

    [[nodiscard]] SimRadio& radio() const { return *m_radio; }
    [[nodiscard]] SimLine& line() { return m_line; }

private:
    // Sleeps until `deadline` (or until the `wanted`-th reply byte on its way arrives, if
    // sooner; or, while that byte's request is still on the line, until the next byte reaches
    // the radio), waking early when the link changes. False when the link is gone.
    bool waitUntil(Clock::time_point deadline, qsizetype wanted = 0);
    // Sleeps through to `deadline`, then takes in what has arrived. False when the link is gone.
    bool idleUntil(Clock::time_point deadline);
    [[nodiscard]] bool isVirtual() const { return m_line.timing() == Timing::Virtual; }
    bool linkUp();
    void collectArrived();

    std::shared_ptr<SimRadio> m_radio;
    QString m_portName;
    SimLine m_line;
    QByteArray m_input;
    QString m_error;
    bool m_open = false;
    Clock::time_point m_virtualNow = Clock::now();
};

// A TransportFactory that gives a SimTransport on `radio` for `simPortName` and asks
// `fallback` for any other port (no transport when there is no fallback).
[[nodiscard]] TransportFactory SimulatedPortFactory(std::shared_ptr<SimRadio> radio, QString simPortName,
                                                    TransportFactory fallback, Timing timing = Timing::Real);

}  // namespace vardo::sim
