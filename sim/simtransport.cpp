// SPDX-License-Identifier: GPL-3.0-or-later
#include "simtransport.h"

#include <algorithm>

namespace vardo::sim {

namespace {
const QString kNotOpen = QStringLiteral("The port is not open");
const QString kUnplugged = QStringLiteral("The radio's link was lost");
}  // namespace

SimTransport::SimTransport(std::shared_ptr<SimRadio> radio, QString portName, Timing timing)
    : m_radio(std::move(radio)), m_portName(std::move(portName)), m_line(*m_radio, timing)
{
}

bool SimTransport::open()
{
    if (!m_radio->isPlugged()) {
        m_error = QStringLiteral("cannot open %1: %2").arg(m_portName, kUnplugged);
        return false;
    }
    // A port opened afresh hears no reply meant for an earlier session.
    m_line.discardInFlight();
    m_input.clear();
    m_error.clear();
    m_open = true;
    return true;
}

void SimTransport::close() { m_open = false; }

bool SimTransport::linkUp()
{
    if (!m_open) {
        m_error = kNotOpen;
        return false;
    }
    if (!m_radio->isPlugged()) {
        m_error = kUnplugged;
        return false;
    }
    return true;
}

IoStatus SimTransport::write(const QByteArray& bytes)
{
    if (!linkUp())
        return IoStatus::LinkLost;
    m_line.receive(bytes, now());
    return IoStatus::Ok;
}

void SimTransport::collectArrived() { m_input.append(m_line.takeDue(now())); }

SimTransport::Clock::time_point SimTransport::now() const { return isVirtual() ? m_virtualNow : Clock::now(); }

void SimTransport::sleepUntil(Clock::time_point until)
{
    if (isVirtual())
        m_virtualNow = std::max(m_virtualNow, until);
    else
        Transport::sleepUntil(until);
}

void SimTransport::clearInput()
{
    // Bytes still on the wire are not in the buffer yet: they arrive later, as on a real port.
    collectArrived();
    m_input.clear();
}

bool SimTransport::waitUntil(Clock::time_point deadline, qsizetype wanted)
{
    const std::uint64_t seen = m_radio->changeCount();
    if (!linkUp())
        return false;
    auto due = m_line.dueOf(wanted);
    if (wanted > 0 && !due)
        due = m_line.nextDue();
    const Clock::time_point wake = due ? std::min(*due, deadline) : deadline;
    if (isVirtual())
        m_virtualNow = std::max(m_virtualNow, wake);
    else
        m_radio->waitForChange(seen, wake);
    return linkUp();
}

IoStatus SimTransport::readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out)
{
    const Clock::time_point deadline = now() + timeout;
    for (;;) {
        if (!linkUp())
            return IoStatus::LinkLost;
        collectArrived();
        if (m_input.size() >= count || now() >= deadline)
            break;
        if (!waitUntil(deadline, count - m_input.size()))
            return IoStatus::LinkLost;
    }
    out = m_input;
    m_input.clear();
    return out.size() >= count ? IoStatus::Ok : IoStatus::TimedOut;
}

bool SimTransport::idleUntil(Clock::time_point deadline)
{
    while (now() < deadline) {
        if (!waitUntil(deadline))
            return false;
    }
    if (!linkUp())
        return false;
    collectArrived();
    return true;
}

IoStatus SimTransport::readAfter(std::chrono::milliseconds wait, QByteArray& out)
{
    if (!idleUntil(now() + wait))
        return IoStatus::LinkLost;
    out = m_input;
    m_input.clear();
    return IoStatus::Ok;
}

IoStatus SimTransport::drain(std::chrono::milliseconds bound)
{
    if (!idleUntil(std::min(now() + bound, m_line.lastInput())))
        return IoStatus::LinkLost;
    return now() >= m_line.lastInput() ? IoStatus::Ok : IoStatus::TimedOut;
}

TransportFactory SimulatedPortFactory(std::shared_ptr<SimRadio> radio, QString simPortName,
                                      TransportFactory fallback, Timing timing)
{
    return [radio = std::move(radio), simPortName = std::move(simPortName), fallback = std::move(fallback),
            timing](const QString& portName) -> std::unique_ptr<Transport> {
        if (portName == simPortName)
            return std::make_unique<SimTransport>(radio, portName, timing);
        return fallback ? fallback(portName) : nullptr;
    };
}

}  // namespace vardo::sim
