// SPDX-License-Identifier: GPL-3.0-or-later
#include "catframe.h"

#include <QStringList>

namespace vardo {

QString CatFrame::toHex() const
{
    QStringList parts;
    for (std::uint8_t b : bytes)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(' '));
}

namespace Cat {
namespace {

[[nodiscard]] constexpr CatFrame Frame(std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                                       std::uint8_t p4, std::uint8_t op)
{
    return CatFrame{{p1, p2, p3, p4, op}};
}

[[nodiscard]] constexpr std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value); }

}  // namespace

CatFrame SetPacing(std::uint8_t pacing) { return Frame(0, 0, 0, pacing, kOpPacing); }
CatFrame StatusRequest() { return Frame(0, 0, 0, 0, kOpStatus); }
CatFrame MemoryRequest(int channel) { return Frame(Byte(channel), 0, 0, kUpdateMemory, kOpUpdate); }
CatFrame VfoARequest() { return Frame(0, 0, 0, kUpdateVfoA, kOpUpdate); }
CatFrame StoreVfoA(int channel) { return Frame(0, 0, 0, Byte(channel), kOpStore); }
CatFrame SetMask(int maskCode, int channel) { return Frame(0, 0, Byte(maskCode), Byte(channel), kOpStore); }
CatFrame RecallChannel(int channel) { return Frame(0, 0, 0, Byte(channel), kOpRecall); }
CatFrame MeterRequest() { return Frame(0, 0, 0, 0, kOpMeter); }
CatFrame SetMode(std::uint8_t m) { return Frame(0, 0, 0, m, kOpMode); }
CatFrame Set82Filter(std::uint8_t w) { return Frame(kStage82, 0, 0, w, kOpFilter); }
CatFrame Set455Filter(std::uint8_t w) { return Frame(kStage455, 0, 0, w, kOpFilter); }
CatFrame SetRxClarifier(bool on) { return Frame(0, 0, 0, on ? kRxClarifierOn : kRxClarifierOff, kOpClarifier); }
CatFrame SetTxClarifier(bool on) { return Frame(0, 0, 0, on ? kTxClarifierOn : kTxClarifierOff, kOpClarifier); }
CatFrame SetClarifierOffset(std::uint8_t c, std::uint8_t g, std::uint8_t s) { return Frame(c, g, s, kOffsetFlag, kOpClarifier); }
CatFrame SetRepeaterShift(std::uint8_t p) { return Frame(0, 0, 0, p, kOpRepeater); }
CatFrame SetFrequency(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4) { return Frame(b1, b2, b3, b4, kOpFrequency); }

}  // namespace Cat
}  // namespace vardo
