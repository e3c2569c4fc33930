// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a decoded channel may show and a frame sent to the radio may carry (codec tests, fuzz targets).

#include <cstdint>
#include <tuple>

#include <QStringList>

#include "catframe.h"
#include "channel.h"
#include "codec.h"

namespace vardo::test {

// The first field whose text is neither empty nor one of its column's texts; empty when all fit.
[[nodiscard]] inline QString BadDecodedText(const Channel& c)
{
    if (c.Mask != "* " && c.Mask != "  ")
        return "Mask";
    const std::tuple<const char*, const QString&, QStringList> columns[]{{"Mode", c.Mode, ModeTexts()},
        {"Filt82", c.Filt82, Filter82Texts()}, {"Filt455", c.Filt455, Filter455Texts()}, {"Ant", c.Ant, AntTexts()},
        {"RxRit", c.RxRit, RitTexts()}, {"TxRit", c.TxRit, RitTexts()}, {"Rpt", c.Rpt, RptTexts()},
        {"OffsetSign", c.OffsetSign, {"+", " "}}};
    for (const auto& [name, text, texts] : columns)
        if (!text.isEmpty() && !texts.contains(text))
            return name;
    return {};
}

[[nodiscard]] inline bool IsBcd(std::uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }

// A frame is one of the setting commands with a code the radio defines.
[[nodiscard]] inline bool IsKnownSettingFrame(const CatFrame& f)
{
    const auto& b = f.bytes;
    const bool zeros = b[0] == 0 && b[1] == 0 && b[2] == 0;
    switch (b[4]) {
    case 0x0C: return zeros && b[3] <= 0x0B && b[3] != 0x07;
    case 0x8C: return (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 0 && b[3] <= 4;
    case 0x84: return zeros && b[3] <= 2;
    case 0x0A: return IsBcd(b[0]) && IsBcd(b[1]) && IsBcd(b[2]) && IsBcd(b[3]);
    case 0x09:  // an offset, or a clarifier switch
        return b[3] == 0xFF ? IsBcd(b[0]) && b[1] <= 9 && (b[2] == 0x00 || b[2] == 0xFF)
                            : zeros && (b[3] == 0x00 || b[3] == 0x01 || b[3] == 0x80 || b[3] == 0x81);
    default: return false;
    }
}

}  // namespace vardo::test
