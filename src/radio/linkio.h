// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The link's end of the line, on the transport's clock: what goes out, with its line time and
// its echo accounted for, and what comes in, with that echo taken out. Also the bounds that
// follow from them: how long a reply may take, and how long the line must stay quiet after one.

#include <chrono>

#include "echofilter.h"
#include "linetime.h"
#include "transport.h"

namespace vardo {

// How long the radio may take to start a reply once the request has reached it, on top of the
// reply's own line time: every reply bound counts from when the request can have reached the
// radio, so a request queued behind a long write still gets its full time.
inline constexpr std::chrono::milliseconds kReplyTimeout{1000};
// The line must stay quiet this long after the last reply of a run, or the reply is malformed.
// The radio's bytes come about 7 ms apart (2.3 ms each at 4800 baud plus the 5 ms pacing), so
// a surplus byte shows within this gap; a longer pacing widens it.
inline constexpr std::chrono::milliseconds kReplyQuietGap{20};

class LinkIo {
public:
    using Clock = Transport::Clock;

    // A newly found port: whether its interface echoes, the round trip of a network link, and
    // whether the far end answers at the line's pace (an emulator may answer at once).
    void attach(Transport* transport, bool echoes, std::chrono::nanoseconds roundTrip, bool keepsLineTime);
    void setPacing(int milliseconds) { m_pacing = milliseconds; }
    [[nodiscard]] int pacing() const { return m_pacing; }
    [[nodiscard]] std::chrono::nanoseconds roundTrip() const { return m_roundTrip; }

    [[nodiscard]] Clock::time_point now() const { return m_transport->now(); }
    void sleepUntil(Clock::time_point until) { m_transport->sleepUntil(until); }
    // Whether bytes take the line's time to cross, both ways (all but an emulator that skips the
    // line), so that replies can be framed by time.
    [[nodiscard]] bool paced() const { return m_keepsLineTime && m_transport->takesLineTime(); }
    // When every byte written so far can have reached the radio.
    [[nodiscard]] Clock::time_point lineFreeAt() const { return m_line.freeAt(); }
    // The same, counted from just before each write: a thread held up between the write and its
    // time stamp must not move the reply window later than the bytes can really come.
    [[nodiscard]] Clock::time_point lineFreeAtEarliest() const { return m_earliest.freeAt(); }

    IoStatus write(const QByteArray& bytes);
    // Adds the reply bytes that arrive to `out` until `count` more are in (Ok) or `until` passes
    // (TimedOut).
    IoStatus readSome(qsizetype count, Clock::time_point until, QByteArray& out);
    // Waits the whole interval, then adds the reply bytes that came to `out`.
    IoStatus readFor(std::chrono::milliseconds wait, QByteArray& out);
    // Drops what has arrived (its echo still counted as come back).
    void discard();

    // How long a reply of `bytes` may take from now: the line time still ahead of the request,
    // the reply's own time at the pacing, the radio's bound and the network's round trip.
    [[nodiscard]] std::chrono::milliseconds replyBound(qsizetype bytes) const;
    // Long enough to see the next byte of a reply that goes on: two byte times and the pacing,
    // and a margin for adapters that pass bytes on in bursts.
    [[nodiscard]] std::chrono::milliseconds quietGap() const;

private:
    Transport* m_transport = nullptr;
    LineClock m_line;  // the line time of what has been handed to the port
    LineClock m_earliest;
    EchoFilter m_echo;
    int m_pacing = 5;
    std::chrono::nanoseconds m_roundTrip{0};
    bool m_keepsLineTime = true;
};

}  // namespace vardo
