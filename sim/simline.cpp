// SPDX-License-Identifier: GPL-3.0-or-later
#include "simline.h"

#include <algorithm>

namespace vardo::sim {

void SimLine::receive(const QByteArray& bytes, Clock::time_point now)
{
    const bool echo = m_radio.faults().echo;
    for (char byte : bytes) {
        const Clock::time_point arrival = paced() ? std::max(now, m_inputFreeAt) + kByteTime : now;
        m_inputFreeAt = arrival;
        if (echo)
            deliver({byte, arrival});
        m_incoming.push_back({byte, arrival});
    }
    advance(now);
}

void SimLine::advance(Clock::time_point now)
{
    while (!m_incoming.empty() && m_incoming.front().due <= now) {
        const TimedByte byte = m_incoming.front();
        m_incoming.pop_front();
        const QByteArray reply = m_radio.feed(QByteArray(1, byte.byte));
        if (!reply.isEmpty())
            schedule(reply, byte.due);
    }
}

std::optional<SimLine::Clock::time_point> SimLine::nextDue() const
{
    std::optional<Clock::time_point> next = dueOf(1);
    if (!m_incoming.empty())
        next = next ? std::min(*next, m_incoming.front().due) : m_incoming.front().due;
    return next;
}

// An echoed byte comes back as it goes out, in between the radio's own bytes when they overlap.
void SimLine::deliver(const TimedByte& byte)
{
    const auto later = std::upper_bound(m_inFlight.begin(), m_inFlight.end(), byte.due,
                                        [](Clock::time_point due, const TimedByte& b) { return due < b.due; });
    m_inFlight.insert(later, byte);
}

void SimLine::schedule(const QByteArray& reply, Clock::time_point frameEnd)
{
    const Clock::time_point start = frameEnd + m_radio.faults().delay;
    if (m_timing == Timing::Fast) {
        for (char byte : reply)
            m_inFlight.push_back({byte, start});
        return;
    }
    const auto pacing = kPacingUnit * m_radio.pacing();
    Clock::time_point due = std::max(start, m_outputFreeAt);
    for (qsizetype i = 0; i < reply.size(); ++i) {
        due += kByteTime + (i > 0 ? pacing : decltype(pacing){0});
        m_inFlight.push_back({reply[i], due});
    }
    if (const auto stray = m_strayPlan ? m_strayPlan() : std::nullopt) {
        for (int i = 0; i < stray->bytes; ++i) {
            due += i == 0 ? stray->after : kByteTime + pacing;
            deliver({'\xFF', due});
        }
    }
    m_outputFreeAt = due;
}

QByteArray SimLine::takeDue(Clock::time_point now)
{
    advance(now);
    QByteArray due;
    while (!m_inFlight.empty() && m_inFlight.front().due <= now) {
        due.append(m_inFlight.front().byte);
        m_inFlight.pop_front();
    }
    return due;
}

std::optional<SimLine::Clock::time_point> SimLine::dueOf(qsizetype n) const
{
    if (n < 1 || n > static_cast<qsizetype>(m_inFlight.size()))
        return std::nullopt;
    return m_inFlight[static_cast<std::size_t>(n - 1)].due;
}

}  // namespace vardo::sim
