// SPDX-License-Identifier: GPL-3.0-or-later
#include "simserver.h"

#include <algorithm>
#include <deque>

namespace vardo::sim {

namespace {

using Clock = SimLine::Clock;

// When the loop must wake next: the next reply byte, or the end of a partial frame's gap.
[[nodiscard]] std::optional<Clock::time_point> NextWake(const SimLine& line, const SimRadio& radio)
{
    std::optional<Clock::time_point> wake = line.nextDue();
    if (radio.hasPartialFrame()) {
        const Clock::time_point gapEnd = line.lastInput() + kFrameGap;
        wake = wake ? std::min(*wake, gapEnd) : gapEnd;
    }
    return wake;
}

// Bytes on their way across the network, in order, each chunk due at its time.
class Delay {
public:
    explicit Delay(std::chrono::milliseconds latency) : m_latency(latency) {}
    void push(const QByteArray& bytes, Clock::time_point sent) { m_queue.push_back({bytes, sent + m_latency}); }
    // Hands `deliver` every chunk that is due by `now`, with its time.
    template <typename Deliver>
    void pass(Clock::time_point now, Deliver deliver)
    {
        while (!m_queue.empty() && m_queue.front().due <= now) {
            deliver(m_queue.front().bytes, m_queue.front().due);
            m_queue.pop_front();
        }
    }
    [[nodiscard]] std::optional<Clock::time_point> next() const
    {
        return m_queue.empty() ? std::nullopt : std::optional(m_queue.front().due);
    }

private:
    struct Chunk {
        QByteArray bytes;
        Clock::time_point due;
    };
    std::chrono::milliseconds m_latency;
    std::deque<Chunk> m_queue;
};

[[nodiscard]] std::optional<Clock::time_point> Earliest(std::optional<Clock::time_point> a,
                                                        std::optional<Clock::time_point> b)
{
    return a && b ? std::min(*a, *b) : a ? a : b;
}

// Bytes that arrive after a long gap start a new frame.
void ForgetStaleFrame(const SimLine& line, SimRadio& radio, Clock::time_point now)
{
    if (radio.hasPartialFrame() && now >= line.lastInput() + kFrameGap)
        radio.dropPartialFrame();
}

}  // namespace

bool Serve(SimPort& pty, SimRadio& radio, Timing timing, std::chrono::milliseconds latency)
{
    SimLine line(radio, timing);
    Delay toRadio(latency);
    Delay toClient(latency);
    for (;;) {
        const Clock::time_point now = Clock::now();
        toRadio.pass(now, [&](const QByteArray& bytes, Clock::time_point at) {
            ForgetStaleFrame(line, radio, at);
            line.receive(bytes, at);
        });
        if (const QByteArray due = line.takeDue(now); !due.isEmpty())
            toClient.push(due, now);
        toClient.pass(now, [&](const QByteArray& bytes, Clock::time_point) { pty.write(bytes); });
        ForgetStaleFrame(line, radio, now);
        switch (pty.wait(Earliest(NextWake(line, radio), Earliest(toRadio.next(), toClient.next())))) {
        case SimPort::Event::Terminate:
            line.advance(Clock::now());  // what has reached the radio by now is taken in
            return true;
        case SimPort::Event::Broken: return false;
        case SimPort::Event::Readable: toRadio.push(pty.readAvailable(), Clock::now()); break;
        case SimPort::Event::Timeout: break;
        }
    }
}

}  // namespace vardo::sim
