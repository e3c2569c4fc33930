// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the history tests compare snapshots with.

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace vardo::test {

inline const QStringList kDemoPmsLines{
    "1800.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:",  "2000.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:",
    "3500.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:",  "4000.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:",
    "7000.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:",  "7300.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:",
    "14000.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:", "14350.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:",
    "10100.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:"};

// The lines as a saved file holds them, each ended by CR LF.
[[nodiscard]] inline QByteArray CrLfLines(const QStringList& lines) { return (lines.join("\r\n") + "\r\n").toLatin1(); }

// "2026-12-10 05-12-03" in a name, "2026-12-10 05:12:03" in a listing: "WHEN", which a test cannot know.
[[nodiscard]] inline QString WithoutTimes(QString text)
{
    static const QRegularExpression when(QStringLiteral(R"(\d{4}-\d\d-\d\d \d\d[:-]\d\d[:-]\d\d)"));
    return text.replace(when, QStringLiteral("WHEN"));
}

}  // namespace vardo::test
