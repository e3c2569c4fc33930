// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec.h"

#include <cmath>

#include "numberformat.h"

namespace vardo {
namespace {

using namespace RecordLayout;

constexpr double kKHzPerStep = 1.0 / kStepsPerKHz;

constexpr QLatin1String kOn("ON");
constexpr QLatin1String kOff("OFF");

// The text of `code` in `texts`, or empty for a code outside the table.
[[nodiscard]] QString TextOf(const QStringList& texts, int code)
{
    return code >= 0 && code < texts.size() ? texts.at(code) : QString();
}

// Decoder tables: index = code in the record.
const QStringList& ModesVariantOff()
{
    static const QStringList t{"LSB", "USB", "CW (usb)", "AM (env)", "FM", "RTTY (lsb)", "PKT (lsb)"};
    return t;
}

const QStringList& ModesVariantOn()
{
    static const QStringList t{"LSB", "USB", "CW (lsb)", "AM (sync)", "FM", "RTTY (usb)", "PKT (fm)"};
    return t;
}

[[nodiscard]] float DecodeFreq(const Record& r)
{
    const std::uint32_t word = (std::uint32_t{r[kFreqByte]} << 24) | (std::uint32_t{r[kFreqByte + 1]} << 16)
        | (std::uint32_t{r[kFreqByte + 2]} << 8) | std::uint32_t{r[kFreqByte + 3]};
    return static_cast<float>((word & kFreqBits) / static_cast<double>(kStepsPerKHz));
}

[[nodiscard]] QString DecodeMode(const Record& r)
{
    const bool variant = (r[kFilterByte] & kVariantBit) != 0;
    return TextOf(variant ? ModesVariantOn() : ModesVariantOff(), r[kModeByte] & kModeCodeBits);
}

[[nodiscard]] QString DecodeRpt(std::uint8_t flags)
{
    const bool plus = (flags & kRptPlusBit) != 0;
    const bool minus = (flags & kRptMinusBit) != 0;
    if (plus && minus)
        return {};  // no such shift: empty rather than a guess
    return plus ? QStringLiteral("+RPT") : minus ? QStringLiteral("-RPT") : QString(kOff);
}

void DecodeOffset(const Record& r, Channel& c)
{
    const auto steps = static_cast<std::int16_t>((r[kOffsetByte] << 8) | r[kOffsetByte + 1]);
    c.Offset = static_cast<float>(steps * kKHzPerStep);
    c.OffsetSign = steps < 0 ? QString() : steps > 0 ? QStringLiteral("+") : QStringLiteral(" ");
}

// Table lookups for the encoders: the code of `text`, or none when it is not in the table.
struct Code {
    const char* text;
    std::uint8_t code;
};

template <std::size_t N>
[[nodiscard]] std::optional<std::uint8_t> CodeOf(const Code (&table)[N], const QString& text)
{
    for (const Code& entry : table)
        if (text == QLatin1String(entry.text))
            return entry.code;
    return std::nullopt;
}

constexpr Code kModeCodes[] = {{"LSB", 0x00}, {"USB", 0x01}, {"CW (usb)", 0x02}, {"CW (lsb)", 0x03},
    {"AM (env)", 0x04}, {"AM (sync)", 0x05}, {"FM", 0x06}, {"RTTY (lsb)", 0x08}, {"RTTY (usb)", 0x09},
    {"PKT (lsb)", 0x0A}, {"PKT (fm)", 0x0B}};
constexpr Code k82Codes[] = {{"2.4K", 0}, {"2.0K", 1}, {"500", 2}, {"250", 3}, {"Thru", 4}};
constexpr Code k455Codes[] = {{"2.4K", 0}, {"2.0K", 1}, {"500", 2}, {"250", 3}, {"6.0K", 4}};
constexpr Code kRptCodes[] = {{"OFF", 0x00}, {"-RPT", 0x01}, {"+RPT", 0x02}};

[[nodiscard]] std::optional<bool> Switch(const QString& text)
{
    if (text == kOn)
        return true;
    if (text == kOff)
        return false;
    return std::nullopt;
}

// Packed BCD of two decimal digit characters.
[[nodiscard]] std::uint8_t Bcd(QChar high, QChar low)
{
    return static_cast<std::uint8_t>(((high.digitValue() & 0x0F) << 4) | (low.digitValue() & 0x0F));
}

constexpr qsizetype kMinFreqDigits = 5;  // 100.00 kHz
constexpr qsizetype kMaxFreqDigits = 7;  // 99999.99 kHz
constexpr qsizetype kFreqBcdDigits = 8;  // 10 Hz units, four BCD bytes

}  // namespace

QString RecordHex(const Record& record)
{
    QString hex;
    for (std::uint8_t b : record)
        hex += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
    return hex.toUpper();
}

const QStringList& ModeTexts()
{
    static const QStringList t{"LSB", "USB", "CW (usb)", "CW (lsb)", "AM (env)", "AM (sync)", "FM",
                               "RTTY (lsb)", "RTTY (usb)", "PKT (lsb)", "PKT (fm)"};
    return t;
}

const QStringList& Filter82Texts()
{
    static const QStringList t{"Thru", "2.4K", "2.0K", "500", "250"};
    return t;
}

const QStringList& Filter455Texts()
{
    static const QStringList t{"6.0K", "2.4K", "2.0K", "500", "250"};
    return t;
}

const QStringList& AntTexts()
{
    static const QStringList t{"A", "B", "Rx (A)", "Rx (B)"};
    return t;
}

const QStringList& RitTexts()
{
    static const QStringList t{kOff, kOn};
    return t;
}

const QStringList& RptTexts()
{
    static const QStringList t{"OFF", "+RPT", "-RPT"};
    return t;
}

Channel DecodeRecord(const Record& r)
{
    Channel c;
    c.Mask = (r[kMaskByte] & kMaskBit) ? QStringLiteral("* ") : QStringLiteral("  ");
    c.Freq = DecodeFreq(r);
    c.Filt82 = TextOf(Filter82Texts(), (r[kFilterByte] & kFilter82Bits) >> kFilter82Shift);
    c.Filt455 = TextOf(Filter455Texts(), r[kFilterByte] & kFilter455Bits);
    c.Mode = DecodeMode(r);
    c.Ant = TextOf(AntTexts(), (r[kFlagsByte] & kAntBits) >> kAntShift);
    c.RxRit = RitTexts().at((r[kFlagsByte] & kRxRitBit) ? 1 : 0);
    c.TxRit = RitTexts().at((r[kFlagsByte] & kTxRitBit) ? 1 : 0);
    c.Rpt = DecodeRpt(r[kFlagsByte]);
    DecodeOffset(r, c);
    // With the receive clarifier on the tables show the receive frequency.
    if (c.RxRit == kOn)
        c.Freq = c.Freq + c.Offset;
    return c;
}

std::optional<CatFrame> SendMode(const Channel& c)
{
    const auto m = CodeOf(kModeCodes, c.Mode);
    return m ? std::optional(Cat::SetMode(*m)) : std::nullopt;
}

std::optional<CatFrame> Send82Filter(const Channel& c)
{
    const auto w = CodeOf(k82Codes, c.Filt82);
    return w ? std::optional(Cat::Set82Filter(*w)) : std::nullopt;
}

std::optional<CatFrame> Send455Filter(const Channel& c)
{
    const auto w = CodeOf(k455Codes, c.Filt455);
    return w ? std::optional(Cat::Set455Filter(*w)) : std::nullopt;
}

std::optional<CatFrame> SendFreq(const Channel& c)
{
    float vfo = c.Freq;
    if (c.RxRit == kOn)
        vfo = static_cast<float>(static_cast<double>(c.Freq) - static_cast<double>(c.Offset));
    if (!(vfo >= 0.0f))  // negative or NaN
        return std::nullopt;
    QString digits = TwoDecimalText(vfo);
    if (!digits.contains(QLatin1Char('.')))  // inf
        return std::nullopt;
    digits.remove(QLatin1Char('.'));
    if (digits.size() < kMinFreqDigits || digits.size() > kMaxFreqDigits)
        return std::nullopt;
    digits = digits.rightJustified(kFreqBcdDigits, QLatin1Char('0'));
    return Cat::SetFrequency(Bcd(digits[6], digits[7]), Bcd(digits[4], digits[5]),
                             Bcd(digits[2], digits[3]), Bcd(digits[0], digits[1]));
}

std::optional<CatFrame> SendRxRit(const Channel& c)
{
    const auto on = Switch(c.RxRit);
    return on ? std::optional(Cat::SetRxClarifier(*on)) : std::nullopt;
}

std::optional<CatFrame> SendTxRit(const Channel& c)
{
    const auto on = Switch(c.TxRit);
    return on ? std::optional(Cat::SetTxClarifier(*on)) : std::nullopt;
}

std::optional<CatFrame> SendRitOffset(const Channel& c)
{
    // "d.dd" or "-d.dd": the radio takes one whole-kHz digit and two decimals. A longer
    // whole part (10 kHz and more, or inf/nan) has no frame.
    QString text = TwoDecimalText(c.Offset);
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    if (text.size() != 4 || text[1] != QLatin1Char('.') || !text[0].isDigit())
        return std::nullopt;
    return Cat::SetClarifierOffset(Bcd(text[2], text[3]), static_cast<std::uint8_t>(text[0].digitValue()),
                                   negative ? Cat::kOffsetMinus : Cat::kOffsetPlus);
}

std::optional<CatFrame> SendRpt(const Channel& c)
{
    const auto p = CodeOf(kRptCodes, c.Rpt);
    return p ? std::optional(Cat::SetRepeaterShift(*p)) : std::nullopt;
}

std::vector<CatFrame> EncodeChannel(const Channel& c)
{
    using Encoder = std::optional<CatFrame> (*)(const Channel&);
    static constexpr Encoder kOrder[] = {SendMode, Send82Filter, Send455Filter, SendFreq,
                                         SendRxRit, SendTxRit, SendRitOffset, SendRpt};
    std::vector<CatFrame> frames;
    for (Encoder encode : kOrder)
        if (const auto frame = encode(c))
            frames.push_back(*frame);
    return frames;
}

}  // namespace vardo
