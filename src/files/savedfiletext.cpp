#include "savedfiletext.h"

#include <array>

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
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace vardo
