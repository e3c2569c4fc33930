// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedfiletext.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QStringDecoder>

namespace vardo {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones keep their C1 control code, as
// web browsers decode them.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

[[nodiscard]] QString DecodeCp1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const bool high = b >= 0x80 && b <= 0x9F;
        text.append(QChar(high ? kCp1252High[b - 0x80] : char16_t(b)));
    }
    return text;
}

// The Windows-1252 bytes of a text, or nothing when a character has no place in that code
// page.
[[nodiscard]] std::optional<QByteArray> EncodeCp1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        const auto* found = std::find(kCp1252High.begin(), kCp1252High.end(), u);
        if (found == kCp1252High.end())
            return std::nullopt;
        bytes.append(static_cast<char>(0x80 + (found - kCp1252High.begin())));
    }
    return bytes;
}

[[nodiscard]] bool IsUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);  // decoding happens on conversion
    Q_UNUSED(decoded);
    return !utf8.hasError();
}

}  // namespace

QString DecodeSavedText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeCp1252(bytes);
}

QStringList SplitSavedLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();  // the end of the last line, or an empty text
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QByteArray EncodeSavedLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    // Windows-1252 as the older program wrote, so that it reads our files too. Such bytes
    // that also read as UTF-8 (rare: "Ã©" and the like; plain ASCII reads the same either
    // way) would come back as other letters, so that text, like any the code page cannot
    // hold, is written in UTF-8.
    const std::optional<QByteArray> ansi = EncodeCp1252(text);
    if (ansi && !IsUtf8(*ansi))
        return *ansi;
    return text.toUtf8();
}

}  // namespace vardo
