// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 16-byte memory record the radio returns for a memory channel or for VFO-A.

#include <array>
#include <cstdint>

#include <QByteArray>

namespace vardo {

inline constexpr int kRecordSize = 16;

using Record = std::array<std::uint8_t, kRecordSize>;

// Where the radio keeps each setting in a record: the one definition the decoder and the
// emulator share.
namespace RecordLayout {
inline constexpr int kMaskByte = 0;
inline constexpr std::uint8_t kMaskBit = 0x80;
inline constexpr int kFreqByte = 1;                  // bytes 1..4, big-endian
inline constexpr std::uint32_t kFreqBits = 0x0FFFFFF0;
inline constexpr std::uint32_t kStepsPerKHz = 1600;  // frequency and offset count 0.625 Hz steps
inline constexpr int kOffsetByte = 5;                // bytes 5..6, signed big-endian
inline constexpr int kModeByte = 7;
inline constexpr std::uint8_t kModeCodeBits = 0x07;  // the high bits carry other flags on real radios
inline constexpr int kFilterByte = 8;
inline constexpr std::uint8_t kVariantBit = 0x80;    // the mode's variant (CW lsb, AM sync, ...)
inline constexpr std::uint8_t kFilter82Bits = 0x70;
inline constexpr int kFilter82Shift = 4;
inline constexpr std::uint8_t kFilter455Bits = 0x07;
inline constexpr int kFlagsByte = 9;
inline constexpr std::uint8_t kTxRitBit = 0x01;
inline constexpr std::uint8_t kRxRitBit = 0x02;
inline constexpr std::uint8_t kRptPlusBit = 0x04;
inline constexpr std::uint8_t kRptMinusBit = 0x08;
inline constexpr std::uint8_t kAntBits = 0x30;
inline constexpr int kAntShift = 4;
}  // namespace RecordLayout

// The first 16 bytes of a reply; the caller guarantees at least 16 are there.
[[nodiscard]] inline Record RecordFromBytes(const QByteArray& bytes)
{
    Record r{};
    for (int i = 0; i < kRecordSize; ++i)
        r[i] = static_cast<std::uint8_t>(bytes.at(i));
    return r;
}

[[nodiscard]] inline QByteArray RecordBytes(const Record& r)
{
    return QByteArray(reinterpret_cast<const char*>(r.data()), kRecordSize);
}

}  // namespace vardo
