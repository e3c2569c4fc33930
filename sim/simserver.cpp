// SPDX-License-Identifier: GPL-3.0-or-later
#include "simserver.h"

#include <algorithm>

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

// Bytes that arrive after a long gap start a new frame.
void ForgetStaleFrame(const SimLine& line, SimRadio& radio, Clock::time_point now)
{
    if (radio.hasPartialFrame() && now >= line.lastInput() + kFrameGap)
        radio.dropPartialFrame();
}

}  // namespace

bool Serve(SimPort& pty, SimRadio& radio, Timing timing)
{
    SimLine line(radio, timing);
    for (;;) {
        const Clock::time_point now = Clock::now();
        const QByteArray due = line.takeDue(now);
        if (!due.isEmpty())
            pty.write(due);
        ForgetStaleFrame(line, radio, now);
        switch (pty.wait(NextWake(line, radio))) {
        case SimPort::Event::Terminate:
            line.advance(Clock::now());  // what has reached the radio by now is taken in
            return true;
        case SimPort::Event::Broken: return false;
        case SimPort::Event::Readable: {
            const Clock::time_point arrival = Clock::now();
            ForgetStaleFrame(line, radio, arrival);
            line.receive(pty.readAvailable(), arrival);
            break;
        }
        case SimPort::Event::Timeout: break;
        }
    }
}

}  // namespace vardo::sim
