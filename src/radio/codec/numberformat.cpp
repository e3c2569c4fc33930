// SPDX-License-Identifier: GPL-3.0-or-later
#include "numberformat.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <cmath>
#include <string>

namespace vardo {
namespace {

constexpr int kMaxSignificant = 7;  // what a single-precision value is shown with
constexpr int kDecimals = 2;

// A finite value as plain decimal digits: whole part (at least one digit) and fraction.
struct Decimal {
    bool negative = false;
    std::string whole;
    std::string fraction;
};

// Scientific text ("d.ddde+XX") of the shortest round-trip form, or of seven significant
// digits when the shortest form needs more.
[[nodiscard]] std::string Scientific(float value)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string text(buf, res.ptr);
    const auto mantissaEnd = text.find('e');
    int digits = 0;
    for (std::size_t i = 0; i < mantissaEnd; ++i)
        digits += (text[i] >= '0' && text[i] <= '9') ? 1 : 0;
    if (digits <= kMaxSignificant)
        return text;
    res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, kMaxSignificant - 1);
    return std::string(buf, res.ptr);
}

[[nodiscard]] Decimal ToDecimal(float value)
{
    Decimal d;
    std::string text = Scientific(value);
    if (text.front() == '-') {
        d.negative = true;
        text.erase(0, 1);
    }
    const auto e = text.find('e');
    const int exponent = std::stoi(text.substr(e + 1));
    std::string digits;
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    // value = 0.digits * 10^(exponent + 1)
    const int point = exponent + 1;
    if (point <= 0) {
        d.whole = "0";
        d.fraction = std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (static_cast<std::size_t>(point) >= digits.size()) {
        d.whole = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        d.whole = digits.substr(0, static_cast<std::size_t>(point));
        d.fraction = digits.substr(static_cast<std::size_t>(point));
    }
    while (!d.fraction.empty() && d.fraction.back() == '0')
        d.fraction.pop_back();
    return d;
}

[[nodiscard]] QString NonFiniteText(float value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
}

// Adds one unit in the last place of a digit string; may grow it by one digit.
void Increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

[[nodiscard]] bool AllZero(const std::string& digits)
{
    return digits.find_first_not_of('0') == std::string::npos;
}

// A number text beyond double range: a huge whole part overflows, anything else underflows.
[[nodiscard]] double OutOfRange(const std::string& number)
{
    const bool negative = number.front() == '-';
    const std::string whole = number.substr(negative ? 1 : 0, number.find('.') - (negative ? 1 : 0));
    if (AllZero(whole))
        return negative ? -0.0 : 0.0;
    return negative ? -HUGE_VAL : HUGE_VAL;
}

}  // namespace

QString ShortestText(float value)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    const Decimal d = ToDecimal(value);
    std::string text = d.negative && !(AllZero(d.whole) && d.fraction.empty()) ? "-" : "";
    text += d.whole;
    if (!d.fraction.empty())
        text += "." + d.fraction;
    return QString::fromStdString(text);
}

QString TwoDecimalText(float value)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    const Decimal d = ToDecimal(value);
    std::string fraction = d.fraction + std::string(kDecimals + 1, '0');
    std::string digits = d.whole + fraction.substr(0, kDecimals);
    // Rounding the magnitude half up is rounding the signed value half away from zero.
    if (fraction[kDecimals] >= '5')
        Increment(digits);
    const std::size_t wholeSize = digits.size() - kDecimals;
    std::string text = d.negative && !AllZero(digits) ? "-" : "";
    text += digits.substr(0, wholeSize) + "." + digits.substr(wholeSize);
    return QString::fromStdString(text);
}

float NarrowToFloat(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax || value < -kMax) {
        // Beyond the largest float the cast would be undefined; only values that round
        // to it stay finite.
        const float nearest = static_cast<float>(std::clamp(value, -kMax, kMax));
        if (std::abs(value) < kMax + std::ldexp(1.0, 103))  // half an ulp above FLT_MAX
            return nearest;
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

double LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        number += static_cast<char>(text[i++].toLatin1());
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            seenDigit = true;
        } else {
            break;
        }
        number += static_cast<char>(c.toLatin1());
    }
    if (!seenDigit)
        return 0.0;
    if (number.front() == '+')
        number.erase(0, 1);
    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range)
        return OutOfRange(number);
    return value;
}

}  // namespace vardo
