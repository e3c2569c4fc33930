#pragma once
// An independent reference decoder for tests: it decodes a record through its hexadecimal
// text, picking each field's digits out by position and reading them back as a number, the
// way the original program did (with unknown codes left empty). The codec decodes straight
// from the bits and must agree with it on every record.

#include <QString>

#include "channel.h"
#include "codec.h"
#include "record.h"

namespace vardo::test {

// Characters from..to (1-based, inclusive) of the record's hexadecimal text, as a number.
[[nodiscard]] inline int HexField(const QString& hex, int from, int to)
{
    return hex.mid(from - 1, to - from + 1).toInt(nullptr, 16);
}

[[nodiscard]] inline QString Pick(const QStringList& texts, int code)
{
    return code >= 0 && code < texts.size() ? texts.at(code) : QString();
}

[[nodiscard]] inline QString HexRouteText(const Record& r)
{
    static const char* const kDigits = "0123456789ABCDEF";
    QString hex;
    for (std::uint8_t b : r) {
        hex += QLatin1Char(kDigits[b / 16]);
        hex += QLatin1Char(kDigits[b % 16]);
    }
    return hex;
}

[[nodiscard]] inline QString HexRouteMode(const QString& hex)
{
    static const QStringList off{"LSB", "USB", "CW (usb)", "AM (env)", "FM", "RTTY (lsb)", "PKT (lsb)"};
    static const QStringList on{"LSB", "USB", "CW (lsb)", "AM (sync)", "FM", "RTTY (usb)", "PKT (fm)"};
    const bool variant = HexField(hex, 17, 17) >= 8;
    return Pick(variant ? on : off, HexField(hex, 15, 16) % 8);
}

[[nodiscard]] inline Channel HexRouteDecode(const Record& r)
{
    const QString hex = HexRouteText(r);
    Channel c;
    c.Mask = HexField(hex, 1, 1) > 7 ? QStringLiteral("* ") : QStringLiteral("  ");
    const double count = HexField(hex, 4, 4) * 16777216.0 + HexField(hex, 5, 6) * 65536.0
        + HexField(hex, 7, 8) * 256.0 + HexField(hex, 9, 9) * 16.0;
    c.Freq = static_cast<float>(count / 1600);
    c.Filt82 = Pick({"Thru", "2.4K", "2.0K", "500", "250"}, HexField(hex, 17, 17) % 8);
    c.Filt455 = Pick({"6.0K", "2.4K", "2.0K", "500", "250"}, HexField(hex, 18, 18) % 8);
    c.Mode = HexRouteMode(hex);
    c.Ant = Pick({"A", "B", "Rx (A)", "Rx (B)"}, HexField(hex, 19, 19) % 8 % 4);
    const int n = HexField(hex, 20, 20);
    c.RxRit = n % 4 >= 2 ? QStringLiteral("ON") : QStringLiteral("OFF");
    c.TxRit = n % 2 == 1 ? QStringLiteral("ON") : QStringLiteral("OFF");
    c.Rpt = Pick({"OFF", "OFF", "OFF", "OFF", "+RPT", "+RPT", "+RPT", "+RPT", "-RPT", "-RPT", "-RPT", "-RPT"}, n);
    const int h = HexField(hex, 11, 12);
    const int v = h * 256 + HexField(hex, 13, 14);
    if (h >= 128) {
        c.Offset = static_cast<float>((v - 65536) * 0.000625);
        c.OffsetSign = QString();
    } else {
        c.Offset = static_cast<float>(v * 0.000625);
        c.OffsetSign = c.Offset > 0 ? QStringLiteral("+") : QStringLiteral(" ");
    }
    if (c.RxRit == QLatin1String("ON"))
        c.Freq = c.Freq + c.Offset;
    return c;
}

}  // namespace vardo::test
