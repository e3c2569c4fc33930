// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An independent reference decoder: each field's digits picked out of the record's hexadecimal
// text by position, unknown codes left empty. The codec decodes from the bits and must agree.

#include <QString>
#include <QStringList>

#include "channel.h"
#include "record.h"

namespace vardo::test {

// The record as upper-case hexadecimal digits, as RecordHex must give it.
[[nodiscard]] inline QString HexRouteText(const Record& r) { return QString(RecordBytes(r).toHex().toUpper()); }

[[nodiscard]] inline Channel HexRouteDecode(const Record& r)
{
    const QString hex = HexRouteText(r);
    // Characters from..to (1-based, inclusive) as a number.
    const auto field = [&hex](int from, int to) { return hex.mid(from - 1, to - from + 1).toInt(nullptr, 16); };
    const auto pick = [](const QStringList& texts, int code) { return code < texts.size() ? texts[code] : QString(); };
    const QStringList modes = field(17, 17) >= 8
        ? QStringList{"LSB", "USB", "CW (lsb)", "AM (sync)", "FM", "RTTY (usb)", "PKT (fm)"}
        : QStringList{"LSB", "USB", "CW (usb)", "AM (env)", "FM", "RTTY (lsb)", "PKT (lsb)"};
    Channel c;
    c.Mask = field(1, 1) > 7 ? "* " : "  ";
    const double steps = field(4, 4) * 16777216.0 + field(5, 6) * 65536.0 + field(7, 8) * 256.0 + field(9, 9) * 16.0;
    c.Freq = static_cast<float>(steps / 1600);
    c.Mode = pick(modes, field(15, 16) % 8);
    c.Filt82 = pick({"Thru", "2.4K", "2.0K", "500", "250"}, field(17, 17) % 8);
    c.Filt455 = pick({"6.0K", "2.4K", "2.0K", "500", "250"}, field(18, 18) % 8);
    c.Ant = pick({"A", "B", "Rx (A)", "Rx (B)"}, field(19, 19) % 4);
    const int n = field(20, 20);
    c.RxRit = n % 4 >= 2 ? "ON" : "OFF";
    c.TxRit = n % 2 == 1 ? "ON" : "OFF";
    c.Rpt = n >= 12 ? "" : n >= 8 ? "-RPT" : n >= 4 ? "+RPT" : "OFF";
    const int offset = field(11, 14);
    c.Offset = static_cast<float>((offset >= 32768 ? offset - 65536 : offset) * 0.000625);
    c.OffsetSign = offset >= 32768 ? "" : c.Offset > 0 ? "+" : " ";
    if (c.RxRit == "ON")
        c.Freq = c.Freq + c.Offset;
    return c;
}

}  // namespace vardo::test
