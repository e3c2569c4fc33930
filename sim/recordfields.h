// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 16-byte memory record as the FT-1000MP's CAT documentation lays it out, and how the
// emulated radio changes a record when it obeys a setting command. Each Apply function leaves
// the record untouched and returns false for parameters the radio would not accept (an
// unknown code, digits that are not BCD). Nothing here comes from the program's codec: the
// emulator is the reference the program is tested against.

#include <array>
#include <cstdint>
#include <optional>

#include <QByteArray>

namespace vardo::sim {

inline constexpr int kRecordBytes = 16;
using Record = std::array<std::uint8_t, kRecordBytes>;

// Channel numbers as the record read and the store carry them: 1..99 memories, then the PMS
// channels P1..P9 and the quick memory banks Q1..Q5.
inline constexpr int kChannels = 113;
inline constexpr int kFirstPmsChannel = 100;
inline constexpr int kFirstQmbChannel = 109;

// Some bits of one byte of the record.
struct BitField {
    int byte;
    std::uint8_t mask;

    [[nodiscard]] constexpr int shift() const
    {
        int s = 0;
        while (((mask >> s) & 1) == 0)
            ++s;
        return s;
    }
};

namespace Layout {
inline constexpr BitField kMasked{0, 0x80};
inline constexpr int kFreqFirstByte = 1;              // bytes 1..4, big-endian, bits 27..4 used
inline constexpr std::uint32_t kFreqMask = 0x0FFFFFF0;
inline constexpr std::uint32_t kStepsPerKHz = 1600;   // 0.625 Hz steps, frequency and offset alike
inline constexpr int kOffsetFirstByte = 5;            // bytes 5..6, signed, big-endian
inline constexpr BitField kModeCode{7, 0x07};         // a real radio keeps other flags above
inline constexpr BitField kModeVariant{8, 0x80};
inline constexpr BitField kFilter82{8, 0x70};
inline constexpr BitField kFilter455{8, 0x07};
inline constexpr BitField kTxClarifier{9, 0x01};
inline constexpr BitField kRxClarifier{9, 0x02};
inline constexpr BitField kShiftPlus{9, 0x04};
inline constexpr BitField kShiftMinus{9, 0x08};
inline constexpr BitField kAntenna{9, 0x30};
}  // namespace Layout

// Frequency as the radio stores it: 0.625 Hz steps, sixteen to the 10 Hz unit the CAT
// frequency command carries, so a whole number of 10 Hz units reads back exactly.
inline constexpr std::uint32_t kStepsPer10Hz = Layout::kStepsPerKHz / 100;
inline constexpr std::uint32_t kMaxTensOfHz = Layout::kFreqMask / kStepsPer10Hz;

[[nodiscard]] QByteArray ReplyBytes(const Record& r);
// The first 16 bytes; the caller guarantees they are there.
[[nodiscard]] Record RecordOfBytes(const QByteArray& bytes);
[[nodiscard]] int Field(const Record& r, BitField field);
void SetField(Record& r, BitField field, int value);

[[nodiscard]] std::uint32_t FrequencySteps(const Record& r);
[[nodiscard]] int ClarifierSteps(const Record& r);
void SetFrequencyTensOfHz(Record& r, std::uint32_t tensOfHz);
// Clarifier offset in 10 Hz units, signed.
void SetClarifierTensOfHz(Record& r, int tensOfHz);
[[nodiscard]] bool IsMasked(const Record& r);
void SetMasked(Record& r, bool masked);

// The value of packed-BCD bytes, least significant byte first; nothing when a nibble is
// not a decimal digit.
[[nodiscard]] std::optional<std::uint32_t> BcdValue(const std::uint8_t* bytes, int count);

// Mode command codes 00..0B (07 unused) onto the record's mode code and variant bit.
bool ApplyMode(Record& r, std::uint8_t commandCode);
// Stage 1: the 8.2 MHz filter, stage 2: the 455 kHz filter; width 0..4 as the command codes.
bool ApplyFilter(Record& r, std::uint8_t stage, std::uint8_t width);
// 00/01: receive clarifier off/on; 80/81: transmit clarifier off/on.
bool ApplyClarifierSwitch(Record& r, std::uint8_t p4);
// c: the two decimals (BCD), g: whole kHz (BCD), s: FF negative, 00 positive.
bool ApplyClarifierOffset(Record& r, std::uint8_t c, std::uint8_t g, std::uint8_t s);
// 00 off, 01 minus shift, 02 plus shift.
bool ApplyRepeaterShift(Record& r, std::uint8_t p);
// Eight BCD digits of 10 Hz units, least significant byte first.
bool ApplyFrequency(Record& r, const std::array<std::uint8_t, 4>& bcd);

}  // namespace vardo::sim
