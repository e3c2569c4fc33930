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

}  // namespace

void Serve(Pty& pty, SimRadio& radio, Timing timing)
{
    SimLine line(radio, timing);
    for (;;) {
        const Clock::time_point now = Clock::now();
        const QByteArray due = line.takeDue(now);
        if (!due.isEmpty())
            pty.write(due);
        if (radio.hasPartialFrame() && now >= line.lastInput() + kFrameGap)
            radio.dropPartialFrame();
        switch (pty.wait(NextWake(line, radio))) {
        case Pty::Event::Terminate: return;
        case Pty::Event::Readable: line.receive(pty.readAvailable(), Clock::now()); break;
        case Pty::Event::Timeout: break;
        }
    }
}

}  // namespace vardo::sim
