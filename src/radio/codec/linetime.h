// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The time bytes take on the radio's serial line: 4800 baud, 8 data bits, no parity, 2 stop
// bits, so 11 bits a byte, and the pacing the radio puts between the bytes of its replies.
// A port takes bytes far faster than the line carries them, so only an account of the line
// time tells when the radio can have the last byte sent.

#include <algorithm>
#include <chrono>

#include <QtGlobal>

namespace vardo {

inline constexpr int kBaud = 4800;
inline constexpr int kBitsPerByte = 11;  // start bit, 8 data bits, 2 stop bits
inline constexpr std::chrono::nanoseconds kByteTime{std::chrono::nanoseconds(std::chrono::seconds(1)) * kBitsPerByte
                                                    / kBaud};

inline constexpr std::chrono::nanoseconds kBitTime{std::chrono::nanoseconds(std::chrono::seconds(1)) / kBaud};

// How long `bytes` bytes take on the line.
[[nodiscard]] constexpr std::chrono::nanoseconds LineTime(qsizetype bytes)
{
    return std::chrono::nanoseconds(std::chrono::seconds(1)) * kBitsPerByte * bytes / kBaud;
}

// How long a reply of `bytes` bytes takes to arrive once the radio starts it, with the radio
// pacing its bytes `pacing` milliseconds apart.
[[nodiscard]] constexpr std::chrono::nanoseconds ReplyTime(qsizetype bytes, int pacing)
{
    if (bytes <= 0)
        return std::chrono::nanoseconds{0};
    return LineTime(bytes) + std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::milliseconds(pacing)) * (bytes - 1);
}

// How long after a request of `bytes` bytes is handed to an idle line its reply's first byte
// can be in at the earliest: the request crosses the line, and a UART takes a byte in at the
// middle of its first stop bit, 1.5 bit times before the byte ends, at the radio and back
// here. For a five-byte request that is 63 bit times; adapters and networks only add to it,
// so a byte that comes sooner belongs to an earlier reply.
[[nodiscard]] constexpr std::chrono::nanoseconds ReplyWindow(qsizetype bytes)
{
    return LineTime(bytes) + LineTime(1) - 3 * kBitTime;
}

// The sending side of the line: when the last byte handed to the port reaches the radio at
// the earliest. Handing bytes to the port while earlier ones are still on the line queues them.
class LineClock {
public:
    using Clock = std::chrono::steady_clock;

    void sent(qsizetype bytes, Clock::time_point at) { m_freeAt = std::max(at, m_freeAt) + LineTime(bytes); }
    // When every byte sent so far can have reached the radio.
    [[nodiscard]] Clock::time_point freeAt() const { return m_freeAt; }
    // How much line time is still ahead of `now`: zero once the line is idle.
    [[nodiscard]] std::chrono::nanoseconds pending(Clock::time_point now) const
    {
        return std::max(std::chrono::nanoseconds{0}, std::chrono::nanoseconds(m_freeAt - now));
    }
    void reset() { m_freeAt = {}; }

private:
    Clock::time_point m_freeAt{};
};

}  // namespace vardo
