#pragma once
// Checks shared by the codec tests and the decoder fuzz target: what a decoded channel may
// show, and what a frame sent to the radio may carry.

#include <cstdint>

#include <QString>
#include <QStringList>

#include "catframe.h"
#include "channel.h"
#include "codec.h"

namespace vardo::test {

[[nodiscard]] inline bool EmptyOrIn(const QString& text, const QStringList& texts)
{
    return text.isEmpty() || texts.contains(text);
}

// Every decoded text is empty or one of its column's texts.
[[nodiscard]] inline QString BadDecodedText(const Channel& c)
{
    if (c.Mask != QLatin1String("* ") && c.Mask != QLatin1String("  "))
        return QStringLiteral("Mask");
    if (!EmptyOrIn(c.Mode, ModeTexts()))
        return QStringLiteral("Mode");
    if (!EmptyOrIn(c.Filt82, Filter82Texts()))
        return QStringLiteral("Filt82");
    if (!EmptyOrIn(c.Filt455, Filter455Texts()))
        return QStringLiteral("Filt455");
    if (!EmptyOrIn(c.Ant, AntTexts()))
        return QStringLiteral("Ant");
    if (!EmptyOrIn(c.RxRit, RitTexts()) || !EmptyOrIn(c.TxRit, RitTexts()))
        return QStringLiteral("Rit");
    if (!EmptyOrIn(c.Rpt, RptTexts()))
        return QStringLiteral("Rpt");
    if (c.OffsetSign != QLatin1String("+") && c.OffsetSign != QLatin1String(" ") && !c.OffsetSign.isEmpty())
        return QStringLiteral("OffsetSign");
    return {};
}

[[nodiscard]] inline bool IsBcd(std::uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }

// A frame is one of the setting commands with a code the radio defines.
[[nodiscard]] inline bool IsKnownSettingFrame(const CatFrame& f)
{
    const auto& b = f.bytes;
    const bool zeros123 = b[0] == 0 && b[1] == 0 && b[2] == 0;
    switch (b[4]) {
    case 0x0C:
        return zeros123 && (b[3] <= 0x06 || (b[3] >= 0x08 && b[3] <= 0x0B));
    case 0x8C:
        return (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 0 && b[3] <= 4;
    case 0x84:
        return zeros123 && b[3] <= 2;
    case 0x0A:
        return IsBcd(b[0]) && IsBcd(b[1]) && IsBcd(b[2]) && IsBcd(b[3]);
    case 0x09:
        if (b[3] == 0xFF)
            return IsBcd(b[0]) && b[1] <= 9 && (b[2] == 0x00 || b[2] == 0xFF);
        return zeros123 && (b[3] == 0x00 || b[3] == 0x01 || b[3] == 0x80 || b[3] == 0x81);
    default:
        return false;
    }
}

}  // namespace vardo::test
