// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordfields.h"

#include "simradio.h"

namespace vardo::sim {

namespace {

using namespace Layout;

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

}  // namespace

QByteArray ReplyBytes(const Record& r)
{
    return QByteArray(reinterpret_cast<const char*>(r.data()), kRecordBytes);
}

Record RecordOfBytes(const QByteArray& bytes)
{
    Record r{};
    for (int i = 0; i < kRecordBytes; ++i)
        r[i] = static_cast<std::uint8_t>(bytes.at(i));
    return r;
}

int Field(const Record& r, BitField field)
{
    return (r[field.byte] & field.mask) >> field.shift();
}

void SetField(Record& r, BitField field, int value)
{
    const int bits = (value << field.shift()) & field.mask;
    r[field.byte] = static_cast<std::uint8_t>((r[field.byte] & ~field.mask) | bits);
}

std::uint32_t FrequencySteps(const Record& r)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | r[kFreqFirstByte + i];
    return value & kFreqMask;
}

int ClarifierSteps(const Record& r)
{
    return static_cast<std::int16_t>(r[kOffsetFirstByte] << 8 | r[kOffsetFirstByte + 1]);
}

void SetFrequencyTensOfHz(Record& r, std::uint32_t tensOfHz)
{
    // The ignored nibbles are written as zero so that a client reading all 32 bits (as
    // Hamlib does) gets the same frequency as one reading bits 27..4.
    const std::uint32_t steps = (tensOfHz & kMaxTensOfHz) * kStepsPer10Hz;
    for (int i = 0; i < 4; ++i)
        r[kFreqFirstByte + i] = static_cast<std::uint8_t>(steps >> (8 * (3 - i)));
}

void SetClarifierTensOfHz(Record& r, int tensOfHz)
{
    const auto steps = static_cast<std::uint16_t>(tensOfHz * static_cast<int>(kStepsPer10Hz));
    r[kOffsetFirstByte] = static_cast<std::uint8_t>(steps >> 8);
    r[kOffsetFirstByte + 1] = static_cast<std::uint8_t>(steps);
}

bool IsMasked(const Record& r) { return Field(r, kMasked) != 0; }

void SetMasked(Record& r, bool masked) { SetField(r, kMasked, masked); }

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
    SetField(r, kModeCode, m.code);
    SetField(r, kModeVariant, m.variant);
    return true;
}

bool ApplyFilter(Record& r, std::uint8_t stage, std::uint8_t width)
{
    if (width >= kFilterWidths)
        return false;
    if (stage != Param::kStage82 && stage != Param::kStage455)
        return false;
    SetField(r, stage == Param::kStage82 ? kFilter82 : kFilter455, FilterRecordCode(width));
    return true;
}

bool ApplyClarifierSwitch(Record& r, std::uint8_t p4)
{
    switch (p4) {
    case Param::kRxClarifierOff: SetField(r, kRxClarifier, 0); return true;
    case Param::kRxClarifierOn: SetField(r, kRxClarifier, 1); return true;
    case Param::kTxClarifierOff: SetField(r, kTxClarifier, 0); return true;
    case Param::kTxClarifierOn: SetField(r, kTxClarifier, 1); return true;
    default: return false;
    }
}

bool ApplyClarifierOffset(Record& r, std::uint8_t c, std::uint8_t g, std::uint8_t s)
{
    const auto decimals = BcdValue(&c, 1);
    const auto kHz = BcdValue(&g, 1);
    if (!decimals || !kHz || (s != Param::kOffsetPlus && s != Param::kOffsetMinus))
        return false;
    const int tens = static_cast<int>(*kHz * 100 + *decimals);
    if (tens > kMaxClarifierTens)
        return false;
    SetClarifierTensOfHz(r, s == Param::kOffsetMinus ? -tens : tens);
    return true;
}

bool ApplyRepeaterShift(Record& r, std::uint8_t p)
{
    if (p > 2)
        return false;
    SetField(r, kShiftMinus, p == 1);
    SetField(r, kShiftPlus, p == 2);
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
