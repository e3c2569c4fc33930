// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordfields.h"

#include "catframe.h"

namespace vardo::sim {

namespace {

using namespace RecordLayout;

constexpr int kMaxClarifierTens = 999;  // 9.99 kHz

struct ModeSetting {
    std::uint8_t code;
    bool variant;
};

// Index: the mode command code. Code 07 has no mode.
constexpr std::optional<ModeSetting> kModeCommands[] = {
    ModeSetting{0, false}, ModeSetting{1, false}, ModeSetting{2, false}, ModeSetting{2, true},
    ModeSetting{3, false}, ModeSetting{3, true},  ModeSetting{4, false}, std::nullopt,
    ModeSetting{5, false}, ModeSetting{5, true},  ModeSetting{6, false}, ModeSetting{6, true},
};

// Filter command widths 00..04 (2.4K, 2.0K, 500, 250, Thru/6.0K) onto the record's codes,
// where Thru/6.0K is 0 and the others follow from 1.
constexpr int kFilterWidths = 5;
[[nodiscard]] std::uint8_t FilterRecordCode(std::uint8_t width)
{
    return static_cast<std::uint8_t>((width + 1) % kFilterWidths);
}

void SetBit(std::uint8_t& byte, std::uint8_t bit, bool on)
{
    byte = static_cast<std::uint8_t>(on ? (byte | bit) : (byte & ~bit));
}

}  // namespace

void SetFrequencyTensOfHz(Record& r, std::uint32_t tensOfHz)
{
    // The ignored nibbles are written as zero so that a client reading all 32 bits (as
    // Hamlib does) gets the same frequency as one reading bits 27..4.
    const std::uint32_t steps = (tensOfHz & kMaxTensOfHz) * kStepsPer10Hz;
    for (int i = 0; i < 4; ++i)
        r[kFreqByte + i] = static_cast<std::uint8_t>(steps >> (8 * (3 - i)));
}

void SetClarifierTensOfHz(Record& r, int tensOfHz)
{
    const auto steps = static_cast<std::uint16_t>(tensOfHz * static_cast<int>(kStepsPer10Hz));
    r[kOffsetByte] = static_cast<std::uint8_t>(steps >> 8);
    r[kOffsetByte + 1] = static_cast<std::uint8_t>(steps);
}

bool IsMasked(const Record& r) { return (r[kMaskByte] & kMaskBit) != 0; }

void SetMasked(Record& r, bool masked) { SetBit(r[kMaskByte], kMaskBit, masked); }

std::optional<std::uint32_t> BcdValue(const std::uint8_t* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        const int high = bytes[i] >> 4;
        const int low = bytes[i] & 0x0F;
        if (high > 9 || low > 9)
            return std::nullopt;
        value = value * 100 + static_cast<std::uint32_t>(high * 10 + low);
    }
    return value;
}

bool ApplyMode(Record& r, std::uint8_t commandCode)
{
    if (commandCode >= std::size(kModeCommands) || !kModeCommands[commandCode])
        return false;
    const ModeSetting m = *kModeCommands[commandCode];
    // The high bits of the mode byte carry other flags on a real radio: keep them.
    r[kModeByte] = static_cast<std::uint8_t>((r[kModeByte] & ~kModeCodeBits) | m.code);
    SetBit(r[kFilterByte], kVariantBit, m.variant);
    return true;
}

bool ApplyFilter(Record& r, std::uint8_t stage, std::uint8_t width)
{
    if (width >= kFilterWidths)
        return false;
    const std::uint8_t code = FilterRecordCode(width);
    std::uint8_t& b = r[kFilterByte];
    if (stage == Cat::kStage82)
        b = static_cast<std::uint8_t>((b & ~kFilter82Bits) | (code << kFilter82Shift));
    else if (stage == Cat::kStage455)
        b = static_cast<std::uint8_t>((b & ~kFilter455Bits) | code);
    else
        return false;
    return true;
}

bool ApplyClarifierSwitch(Record& r, std::uint8_t p4)
{
    switch (p4) {
    case Cat::kRxClarifierOff: SetBit(r[kFlagsByte], kRxRitBit, false); return true;
    case Cat::kRxClarifierOn: SetBit(r[kFlagsByte], kRxRitBit, true); return true;
    case Cat::kTxClarifierOff: SetBit(r[kFlagsByte], kTxRitBit, false); return true;
    case Cat::kTxClarifierOn: SetBit(r[kFlagsByte], kTxRitBit, true); return true;
    default: return false;
    }
}

bool ApplyClarifierOffset(Record& r, std::uint8_t c, std::uint8_t g, std::uint8_t s)
{
    const auto decimals = BcdValue(&c, 1);
    const auto kHz = BcdValue(&g, 1);
    if (!decimals || !kHz || (s != Cat::kOffsetPlus && s != Cat::kOffsetMinus))
        return false;
    const int tens = static_cast<int>(*kHz * 100 + *decimals);
    if (tens > kMaxClarifierTens)
        return false;
    SetClarifierTensOfHz(r, s == Cat::kOffsetMinus ? -tens : tens);
    return true;
}

bool ApplyRepeaterShift(Record& r, std::uint8_t p)
{
    if (p > 2)
        return false;
    SetBit(r[kFlagsByte], kRptMinusBit, p == 1);
    SetBit(r[kFlagsByte], kRptPlusBit, p == 2);
    return true;
}

bool ApplyFrequency(Record& r, const std::array<std::uint8_t, 4>& bcd)
{
    const auto tens = BcdValue(bcd.data(), 4);
    if (!tens || *tens > kMaxTensOfHz)
        return false;
    SetFrequencyTensOfHz(r, *tens);
    return true;
}

}  // namespace vardo::sim
