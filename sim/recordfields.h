// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the emulated radio changes a 16-byte record when it obeys a setting command. Each
// function leaves the record untouched and returns false for parameters the radio would
// not accept (an unknown code, digits that are not BCD).

#include <array>
#include <cstdint>
#include <optional>

#include "record.h"

namespace vardo::sim {

// Frequency as the radio stores it: 0.625 Hz steps, sixteen to the 10 Hz unit the CAT
// frequency command carries, so a whole number of 10 Hz units reads back exactly.
inline constexpr std::uint32_t kStepsPer10Hz = RecordLayout::kStepsPerKHz / 100;
inline constexpr std::uint32_t kMaxTensOfHz = RecordLayout::kFreqBits / kStepsPer10Hz;

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
