// SPDX-License-Identifier: GPL-3.0-or-later
#include "validation.h"

#include <cmath>
#include <optional>

#include <QStringList>

#include "messagetext.h"
#include "numberformat.h"

namespace vardo {
namespace {

constexpr double kMaxOffset = 9.99;
constexpr double kMinFreq = 100.00;       // kHz, the VFO's lowest frequency
constexpr double kMaxFreq = 30000.00;     // kHz, its highest
constexpr double kWidestMin = 90.01;      // kMinFreq - kMaxOffset
constexpr double kWidestMax = 30009.99;   // kMaxFreq + kMaxOffset

const QString kOn = QStringLiteral("ON");
const QString kOff = QStringLiteral("OFF");
const QString kFm = QStringLiteral("FM");
const QString kPktFm = QStringLiteral("PKT (fm)");

struct Failure {
    QString message;
    QString focus;
};
using Check = std::optional<Failure>;

// The boxes as the rules leave them, and what the rules work out on the way.
struct Work {
    EditTexts box;
    double o = 0.0;
    QString OffsetSign;
    QString OffsetText;
    QString FreqText;
    QString Mask = QStringLiteral("  ");
    double f = 0.0;
};

[[nodiscard]] QString Lines(std::initializer_list<QString> lines)
{
    return QStringList(lines).join(kMessageLineBreak);
}

// Blanks are spaces only: a tab stays in the text and is then refused as non-numeric.
[[nodiscard]] QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

[[nodiscard]] QString FirstCommaToPoint(QString text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        text[comma] = QLatin1Char('.');
    return text;
}

[[nodiscard]] bool IsSign(QChar c) { return c == QLatin1Char('+') || c == QLatin1Char('-'); }

[[nodiscard]] qsizetype SignCount(const QString& text)
{
    return text.count(QLatin1Char('+')) + text.count(QLatin1Char('-'));
}

[[nodiscard]] bool SignAfterFirst(const QString& text)
{
    for (qsizetype i = 1; i < text.size(); ++i)
        if (IsSign(text[i]))
            return true;
    return false;
}

// A point more than three characters from the end: a second point, or more than two decimals.
[[nodiscard]] bool PointTooEarly(const QString& text)
{
    for (qsizetype i = 0; i < text.size() - 3; ++i)
        if (text[i] == QLatin1Char('.'))
            return true;
    return false;
}

[[nodiscard]] Check CheckOffset(Work& w)
{
    if (w.box.offset.isEmpty())
        return Failure{QStringLiteral("The Offset box is blank!"), {}};
    w.box.offset = FirstCommaToPoint(w.box.offset);
    const QString& box = w.box.offset;
    if (HasNonNumeric(TrimBlanks(box)))
        return Failure{QStringLiteral("Offset contains non-numeric character(s)!"), EditControl::Offset};
    if (SignCount(box) >= 2)
        return Failure{QStringLiteral("Offset has too many plus (+) and/or minus (-) signs!"), {}};
    if (SignAfterFirst(box))
        return Failure{QStringLiteral("Offset has improper placement of plus (+) or minus (-) sign!"), {}};
    w.o = LeadingNumber(box);
    if (std::abs(w.o) > kMaxOffset)
        return Failure{Lines({QStringLiteral("The RIT Offset must be within the"),
                              QStringLiteral("range of -9.99 to +9.99 kHz!")}), {}};
    w.OffsetText = TrimBlanks(box);
    if (PointTooEarly(w.OffsetText))
        return Failure{Lines({QStringLiteral("Either there are too many decimal points in the Offset box"),
                              QStringLiteral("or there are too many digits after it (only 2 are allowed).")}),
                       EditControl::Offset};
    w.OffsetSign = w.o > 0 ? QStringLiteral("+") : QString();
    return std::nullopt;
}

[[nodiscard]] Check CheckFreqBox(Work& w)
{
    const Failure blank{QStringLiteral("The frequency box is blank!"), EditControl::Freq};
    if (w.box.freq.isEmpty())
        return blank;
    w.FreqText = FirstCommaToPoint(TrimBlanks(w.box.freq));
    // Blanks only: nothing to read, and no last character for the mask test.
    if (w.FreqText.isEmpty())
        return blank;
    if (w.FreqText.endsWith(QLatin1Char('*'))) {
        w.Mask = QStringLiteral("* ");
        w.FreqText.chop(1);
        w.box.freq = w.FreqText;
    }
    if (HasNonNumeric(w.FreqText))
        return Failure{QStringLiteral("Frequency contains non-numeric character(s)!"), EditControl::Freq};
    if (SignAfterFirst(w.box.freq))
        return Failure{QStringLiteral("You can't put a plus (+) or minus (-) sign in the middle of the frequency!"), {}};
    if (PointTooEarly(w.FreqText))
        return Failure{Lines({QStringLiteral("Either there are too many decimal points in the Freq box"),
                              QStringLiteral("or there are too many digits after it (only 2 are allowed).")}),
                       EditControl::Freq};
    w.f = LeadingNumber(w.FreqText);
    return std::nullopt;
}

[[nodiscard]] QString RitLimitMessage(const Work& w, const QString& word, double limit)
{
    const QString blank = limit >= 0 ? QStringLiteral(" ") : QString();
    return QStringLiteral("The RIT offset is set to ") + w.OffsetSign + ShortestText(NarrowToFloat(w.o))
        + QStringLiteral(" kHz, so the") + kMessageLineBreak + word + QStringLiteral(" allowable frequency is") + blank
        + ShortestText(NarrowToFloat(limit)) + QStringLiteral(" kHz.") + kMessageLineBreak + kMessageLineBreak
        + QStringLiteral(" You must change either the frequency or the") + kMessageLineBreak
        + QStringLiteral("RIT offset to be within the correct frequency range.");
}

[[nodiscard]] Check CheckRange(const Work& w)
{
    const QString& x = w.box.rxRit;
    if (w.f < kWidestMin || w.f > kWidestMax)
        return Failure{QStringLiteral("Even the RxRIT can't handle that frequency!"), {}};
    if (x == kOff && w.f > kMaxFreq)
        return Failure{Lines({QStringLiteral("With the RxRIT turned off, the maximum"),
                              QStringLiteral("allowable frequency is 30000.00 kHz.")}), EditControl::Freq};
    if (x == kOn && w.f > kMaxFreq + w.o)
        return Failure{RitLimitMessage(w, QStringLiteral("maximum"), kMaxFreq + w.o), {}};
    if (x == kOff && w.f < kMinFreq)
        return Failure{Lines({QStringLiteral("With the RxRIT turned off, the minimum"),
                              QStringLiteral("allowable frequency is 100.00 kHz.")}), EditControl::Freq};
    if (x == kOn && w.f < kMinFreq + w.o)
        return Failure{RitLimitMessage(w, QStringLiteral("minimum"), kMinFreq + w.o), {}};
    // Without a clarifier state the frequency's meaning is unknown (receive or VFO), no
    // clarifier command could be sent, and 90.01-99.99 would not even encode.
    if (x != kOn && x != kOff)
        return Failure{QStringLiteral("The Rx RIT is blank!") + kMessageLineBreak + kMessageLineBreak
                           + QStringLiteral("Select ON or OFF from the Rx RIT menu."),
                       EditControl::RxRit};
    return std::nullopt;
}

[[nodiscard]] Check CheckSettings(const EditTexts& t)
{
    const bool fmType = t.mode == kFm || t.mode == kPktFm;
    const bool rtty = t.mode == QStringLiteral("RTTY (usb)") || t.mode == QStringLiteral("RTTY (lsb)");
    const QString narrow = QStringLiteral("250");
    if (t.mode.isEmpty())
        return Failure{QStringLiteral("The Mode is blank!") + kMessageLineBreak + kMessageLineBreak
                           + QStringLiteral("Select a Mode from the Mode menu."), {}};
    if (fmType && t.filt82 != QStringLiteral("Thru"))
        return Failure{QStringLiteral("FM or PKT (fm) mode MUST use the \"Thru\" 8.2 Filter."), EditControl::Filt82};
    if (fmType && t.filt455 != QStringLiteral("6.0K"))
        return Failure{QStringLiteral("FM or PKT (fm) mode MUST use the \"6.0K\" 455 Filter."), EditControl::Filt455};
    if (rtty && t.filt82 == narrow)
        return Failure{QStringLiteral("RTTY modes cannot use the \"250\" 8.2 filter."), EditControl::Filt82};
    if (rtty && t.filt455 == narrow)
        return Failure{QStringLiteral("RTTY modes cannot use the \"250\" 455 filter."), EditControl::Filt455};
    if (!fmType && t.rpt != kOff)
        return Failure{QStringLiteral("RPT cannot be on unless Mode is set to \"FM\" ")
                           + QStringLiteral("or \"PKT (fm).\""), EditControl::Rpt};
    return std::nullopt;
}

[[nodiscard]] ValidEdit Accept(const Work& w)
{
    ValidEdit v;
    v.FreqText = w.FreqText;
    v.Mask = w.Mask;
    v.OffsetSign = w.OffsetSign;
    v.OffsetText = w.OffsetText;
    Channel& c = v.channel;
    c.Mask = w.Mask;
    c.Freq = NarrowToFloat(w.f);
    c.Offset = NarrowToFloat(w.o);
    c.OffsetSign = w.OffsetSign;
    c.Mode = w.box.mode;
    c.Filt82 = w.box.filt82;
    c.Filt455 = w.box.filt455;
    c.Ant = w.box.ant;
    c.RxRit = w.box.rxRit;
    c.TxRit = w.box.txRit;
    c.Rpt = w.box.rpt;
    v.cells = CellsFromChannel(c);
    return v;
}

}  // namespace

bool HasNonNumeric(const QString& text)
{
    for (const QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit && !IsSign(c) && c != QLatin1Char('.'))
            return true;
    }
    return false;
}

EditVerdict ValidateEdit(const EditTexts& texts)
{
    Work w;
    w.box = texts;
    Check failed = CheckOffset(w);
    if (!failed)
        failed = CheckFreqBox(w);
    if (!failed)
        failed = CheckRange(w);
    if (!failed)
        failed = CheckSettings(w.box);
    if (failed)
        return EditRejection{failed->message, failed->focus, w.box.freq, w.box.offset};
    return Accept(w);
}

}  // namespace vardo
