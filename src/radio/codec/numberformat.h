// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two-decimal number text used for every frequency and offset the program shows,
// saves or sends: the shortest decimal text of the single-precision value (at most seven
// significant digits) rounded to two decimals, halves away from zero. "0.015" -> "0.02".

#include <QString>

namespace vardo {

[[nodiscard]] QString TwoDecimalText(float value);

// The shortest decimal text that reads back as the same float, at most seven significant
// digits, no exponent ("1.5", "-2", "30001.5").
[[nodiscard]] QString ShortestText(float value);

// The leading-number reading the old program used for typed and saved numbers: leading
// blanks skipped, an optional sign, digits with one ".", reading stops at the first
// character that cannot continue the number; no number gives 0.
[[nodiscard]] double LeadingNumber(const QString& text);

// Rounds to single precision; a value beyond its range becomes an infinity of its sign.
[[nodiscard]] float NarrowToFloat(double value);

}  // namespace vardo
