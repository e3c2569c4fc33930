// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedfileformat.h"

#include <cmath>

#include <QStringList>

#include "codec.h"
#include "numberformat.h"

namespace vardo {
namespace {

const QChar kColon = QLatin1Char(':');
const QChar kComma = QLatin1Char(',');
const QChar kStar = QLatin1Char('*');
const QString kMasked = QStringLiteral("* ");
constexpr int kMarkLength = 2;  // the Freq cell's marker: "* " or two blanks
// The masked mark is looked for in characters 5 to 10 (0-based 4 to 9).
constexpr qsizetype kMarkFirst = 4;
constexpr qsizetype kMarkLast = 9;
// The old-layout test looks at characters 6 to 10.
constexpr qsizetype kOldLayoutFirst = 5;
constexpr qsizetype kOldLayoutLast = 9;
// A message quotes this much of a line; control characters show as U+2400 + code ("␀"
// for NUL), DEL as U+2421.
constexpr qsizetype kQuotedLength = 60;
constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;

// A line cut into its fields as the reader walks it from colon to colon.
struct Fields {
    int MaskCode = 2;
    std::array<QString, kSavedColonCount> field;  // fields 1..9
    QString comment;                              // field 10: the rest, colons and all
    int colons = 0;                               // separators found, at most nine
};

[[nodiscard]] qsizetype LastMarkPosition(const QString& line)
{
    qsizetype found = -1;
    for (qsizetype i = kMarkFirst; i <= kMarkLast && i < line.size(); ++i) {
        if (line[i] == kStar)
            found = i;
    }
    return found;
}

[[nodiscard]] Fields SplitFields(QString line)
{
    Fields f;
    const qsizetype mark = LastMarkPosition(line);
    if (mark >= 0) {
        f.MaskCode = 1;
        line.remove(mark, 1);
    }
    qsizetype from = 0;
    for (; f.colons < kSavedColonCount; ++f.colons) {
        const qsizetype colon = line.indexOf(kColon, from);
        if (colon < 0)
            break;
        f.field[static_cast<std::size_t>(f.colons)] = line.mid(from, colon - from);
        from = colon + 1;
    }
    f.comment = line.mid(from);
    return f;
}

[[nodiscard]] QString WithDecimalPoint(QString text)
{
    const qsizetype comma = text.indexOf(kComma);
    if (comma >= 0)
        text[comma] = QLatin1Char('.');
    return text;
}

[[nodiscard]] float NumberField(const QString& text)
{
    return NarrowToFloat(LeadingNumber(WithDecimalPoint(text)));
}

// The whole field is one number: leading blanks, a sign where allowed, digits with at most
// one decimal point (or comma) and at least one digit, and nothing after; and not so long
// that it is beyond single precision.
[[nodiscard]] bool IsNumberField(const QString& field, bool signAllowed)
{
    const QString text = WithDecimalPoint(field);
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    if (signAllowed && i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i].isDigit() && text[i].unicode() < 0x80)
            digit = true;
        else if (text[i] == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digit && std::isfinite(NumberField(field));
}

struct SettingField {
    std::size_t field;  // 0-based field index
    const char* column;
    const QStringList& (*texts)();
};

constexpr std::array<SettingField, 7> kSettingFields{{
    {1, "Mode", ModeTexts},
    {2, "8.2 Filter", Filter82Texts},
    {3, "455 Filter", Filter455Texts},
    {4, "Ant", AntTexts},
    {5, "Rx RIT", RitTexts},
    {6, "Tx RIT", RitTexts},
    {8, "RPT", RptTexts},
}};

constexpr std::size_t kFreqField = 0;
constexpr std::size_t kOffsetField = 7;

}  // namespace

QString SavedFreqField(const QString& freqCell, bool keepMark)
{
    if (freqCell.size() < kMarkLength)
        return {};
    const bool marked = keepMark && LastMarkPosition(freqCell) >= 0;
    return freqCell.chopped(marked ? 1 : kMarkLength);
}

QString SavedLineFromCells(const RowCells& cells, bool keepMark)
{
    QStringList fields;
    fields.reserve(kSavedFieldCount);
    fields << SavedFreqField(cells[CellIndex(ColFreq)], keepMark);
    for (std::size_t i = CellIndex(ColFreq) + 1; i < cells.size(); ++i)
        fields << cells[i];
    QString line = fields.join(kColon);
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

SavedLine ReadSavedLine(const QString& line)
{
    SavedLine s;
    if (IsCommentOnlySavedLine(line)) {
        s.hasChannel = false;
        s.CommentText = line.mid(kSavedColonCount);
        return s;
    }
    const Fields f = SplitFields(line);
    s.MaskCode = f.MaskCode;
    Channel& c = s.channel;
    c.Mask = f.MaskCode == 1 ? kMasked : QStringLiteral("  ");
    c.Freq = NumberField(f.field[kFreqField]);
    c.Mode = f.field[1];
    c.Filt82 = f.field[2];
    c.Filt455 = f.field[3];
    c.Ant = f.field[4];
    c.RxRit = f.field[5];
    c.TxRit = f.field[6];
    c.Offset = NumberField(f.field[kOffsetField]);
    c.OffsetSign = c.Offset > 0.0f ? QStringLiteral("+") : QString();
    c.Rpt = f.field[8];
    s.CommentText = f.comment;
    return s;
}

QString SavedLineProblem(const QString& line)
{
    if (IsCommentOnlySavedLine(line))
        return {};
    const Fields f = SplitFields(line);
    if (f.colons < kSavedColonCount)
        return QStringLiteral("has fewer than nine colons");
    if (!IsNumberField(f.field[kFreqField], false))
        return QStringLiteral("has a frequency that is not a number (\"%1\")").arg(QuotedText(f.field[kFreqField]));
    if (!IsNumberField(f.field[kOffsetField], true))
        return QStringLiteral("has an offset that is not a number (\"%1\")").arg(QuotedText(f.field[kOffsetField]));
    for (const SettingField& s : kSettingFields) {
        const QString& text = f.field[s.field];
        if (!text.isEmpty() && !s.texts().contains(text))
            return QStringLiteral("has an unknown %1 setting (\"%2\")").arg(QLatin1String(s.column), QuotedText(text));
    }
    return {};
}

bool IsEmptySavedLine(const QString& line)
{
    return line == QString(kSavedColonCount, kColon);
}

bool IsCommentOnlySavedLine(const QString& line)
{
    return line.startsWith(QString(kSavedColonCount, kColon));
}

QString QuotedText(const QString& text)
{
    QString shown = text.left(kQuotedLength);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(kControlPictures + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(kDeletePicture);
    }
    return text.size() > kQuotedLength ? shown + QStringLiteral("...") : shown;
}

bool IsOldLayout(const QString& firstLine)
{
    for (qsizetype i = kOldLayoutFirst; i <= kOldLayoutLast && i < firstLine.size(); ++i) {
        if (firstLine[i] == kColon)
            return false;
    }
    return true;
}

QString ConvertOldLine(const QString& line)
{
    QString converted = line;
    int replaced = 0;
    for (qsizetype i = 0; i < converted.size() && replaced < kSavedColonCount; ++i) {
        if (converted[i] == kComma) {
            converted[i] = kColon;
            ++replaced;
        }
    }
    return converted;
}

}  // namespace vardo
