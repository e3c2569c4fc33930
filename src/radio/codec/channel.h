// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One memory channel as the tables show it: display texts plus the two numbers.
// An empty text means the radio sent a code this program does not know; no command is
// ever sent for an empty field.

#include <QString>

namespace vardo {

struct Channel {
    QString Mask = QStringLiteral("  ");  // "* " masked, two blanks otherwise
    float Freq = 0.0f;                     // kHz; the receive frequency when RxRit is "ON"
    QString Mode;
    QString Filt82;
    QString Filt455;
    QString Ant;
    QString RxRit;
    QString TxRit;
    QString Rpt;
    float Offset = 0.0f;                   // clarifier offset, kHz
    QString OffsetSign;                    // "+", "" or " " as the decoder leaves it

    [[nodiscard]] bool masked() const { return Mask == QStringLiteral("* "); }
    bool operator==(const Channel&) const = default;
};

// What a channel write needs besides the settings.
struct ChannelWrite {
    Channel channel;
    int ChannelNo = 0;  // channel index 1..108 (QMB channels are never written)
    int MaskCode = 2;   // 1 masked, 2 not masked

    bool operator==(const ChannelWrite&) const = default;
};

// Channel index ranges shared by every layer.
inline constexpr int kFirstRegular = 1;
inline constexpr int kLastRegular = 99;
inline constexpr int kFirstPms = 100;
inline constexpr int kLastPms = 108;
inline constexpr int kFirstQmb = 109;
inline constexpr int kLastQmb = 113;
inline constexpr int kChannelCount = 113;

}  // namespace vardo
