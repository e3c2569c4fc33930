// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial line between a client and the emulated radio: when each byte a client sends
// reaches the radio (it takes the byte in only then) and when each reply byte reaches the client. Real timing follows the
// FT-1000MP's link (4800 baud, 8 data bits, 2 stop bits: 11 bits a byte) plus the pacing
// delay between reply bytes; every time is an absolute deadline, so a late wake-up of the
// front end never pushes the later bytes back.

#include <chrono>
#include <deque>
#include <functional>
#include <optional>

#include <QByteArray>

#include "linetime.h"
#include "simradio.h"

namespace vardo::sim {

// Real: the line's pace on the system's clock. Fast: every reply at once. Virtual: the line's
// pace on a clock of the transport's own, which moves on only while its client waits, so a
// test runs at full speed and every time in it is exact.
enum class Timing { Real, Fast, Virtual };

using vardo::kByteTime;
// The radio's pacing value p puts p milliseconds between the bytes of a reply.
inline constexpr std::chrono::milliseconds kPacingUnit{1};

class SimLine {
public:
    using Clock = std::chrono::steady_clock;

    SimLine(SimRadio& radio, Timing timing) : m_radio(radio), m_timing(timing) {}

    [[nodiscard]] Timing timing() const { return m_timing; }
    // Whether bytes take the line's time (Real or Virtual).
    [[nodiscard]] bool paced() const { return m_timing != Timing::Fast; }

    // Bytes FF the line adds after a reply (noise, surplus bytes, or an adapter passing a surplus
    // byte on late): the first `after` the reply's last byte, the others paced like reply bytes.
    struct Stray {
        std::chrono::nanoseconds after{};
        int bytes = 1;
    };
    // Asked once for each reply the radio starts. The next reply queues behind the stray bytes.
    using StrayPlan = std::function<std::optional<Stray>()>;
    void setStrayPlan(StrayPlan plan) { m_strayPlan = std::move(plan); }

    // Bytes a client wrote at `now`; the radio gets them one at a time, as the wire delivers.
    void receive(const QByteArray& bytes, Clock::time_point now);
    // Hands the radio every byte that has reached it by `now`.
    void advance(Clock::time_point now);
    // Reply bytes that have reached the client by `now` (after advancing the radio to `now`).
    [[nodiscard]] QByteArray takeDue(Clock::time_point now);
    // When something happens next on the line: a byte reaches the radio or a reply byte the
    // client; nothing when the line is idle.
    [[nodiscard]] std::optional<Clock::time_point> nextDue() const;

    // When the n-th reply byte still on its way arrives (n from 1); nothing when fewer are
    // (a reply whose request has not reached the radio yet is not on its way).
    [[nodiscard]] std::optional<Clock::time_point> dueOf(qsizetype n) const;
    // When the bytes received so far have all reached the radio (the partial-frame gap
    // starts there).
    [[nodiscard]] Clock::time_point lastInput() const { return m_inputFreeAt; }
    // Forgets the reply bytes still on their way (a replugged link starts clean).
    void discardInFlight() { m_inFlight.clear(); }

private:
    struct TimedByte {
        char byte;
        Clock::time_point due;
    };

    void schedule(const QByteArray& reply, Clock::time_point frameEnd);
    void deliver(const TimedByte& byte);

    SimRadio& m_radio;
    Timing m_timing;
    std::deque<TimedByte> m_inFlight;  // reply (and echo) bytes on their way to the client
    std::deque<TimedByte> m_incoming;  // the client's bytes on their way to the radio
    Clock::time_point m_inputFreeAt{};
    Clock::time_point m_outputFreeAt{};
    StrayPlan m_strayPlan;
};

}  // namespace vardo::sim
