// SPDX-License-Identifier: GPL-3.0-or-later
#include "listing.h"

#include "channelrow.h"
#include "numberformat.h"

namespace vardo {
namespace {

constexpr int kModeField = 10;      // the mode's fixed-length field
constexpr int kNumberField = 8;     // the frequency right-aligned to end on character 13
constexpr int kCommentsGap = 20;    // blanks before "Comments" in the first heading line
constexpr int kCommentDashes = 48;
constexpr int kShortLabelRows = 9;  // rows 1-9 of the long views get a wider indent

struct Title {
    QString text;
    int blanks;
    bool paged;  // "  (page N)" after it
};

[[nodiscard]] Title TitleOf(ViewKind view)
{
    switch (view) {
    case ViewKind::All: return {QStringLiteral("All Memory Channels"), 40, true};
    case ViewKind::Ch99: return {QStringLiteral("Memory Channels 1 to 99"), 38, true};
    case ViewKind::Pms: return {QStringLiteral("PMS Memory Channels"), 45, false};
    case ViewKind::Qmb: return {QStringLiteral("QMB Memory Channels"), 45, false};
    }
    return {};
}

[[nodiscard]] QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

[[nodiscard]] const QString& Cell(const RowCells& cells, Column column)
{
    return cells[CellIndex(column)];
}

[[nodiscard]] QString LabelField(ViewKind view, int row)
{
    const bool longView = view == ViewKind::All || view == ViewKind::Ch99;
    const int indent = longView && row <= kShortLabelRows ? 2 : 1;
    return Blanks(indent) + ChannelLabel(ChannelOfRow(view, row)) + Blanks(2);
}

// The number ending on character 13 and the mask mark on 14.
[[nodiscard]] QString FreqField(const QString& cell)
{
    QString text = cell.trimmed();
    QChar mark = QLatin1Char(' ');
    if (text.endsWith(QLatin1Char('*'))) {
        text.chop(1);
        mark = QLatin1Char('*');
    }
    if (text.isEmpty())  // a row never read: keep the columns, print no number
        return Blanks(kNumberField) + mark;
    const int size = static_cast<int>(text.size());
    const int pad = (size >= 5 && size <= 7) ? kNumberField - size : 0;
    return Blanks(pad) + TwoDecimalText(NarrowToFloat(LeadingNumber(text))) + mark;
}

[[nodiscard]] QString ModeField(const QString& mode)
{
    int lead = 0;
    switch (mode.size()) {
    case 8:
    case 9: lead = 1; break;
    case 3: lead = 3; break;
    case 2: lead = 4; break;
    default: break;
    }
    return (Blanks(lead) + mode).leftJustified(kModeField, QLatin1Char(' '), true) + Blanks(2);
}

// A column whose texts come in two lengths, each with its own blanks before and after (both
// fill the same width).
struct TwoWidths {
    int longSize, longBefore, longAfter;
    int shortSize, shortBefore, shortAfter;
};

// A text of any other length (an empty cell: a code the radio reported that has no text)
// still fills the column's width, so the columns after it stay where the heading has them.
[[nodiscard]] QString Field(const QString& text, const TwoWidths& w)
{
    if (text.size() == w.longSize)
        return Blanks(w.longBefore) + text + Blanks(w.longAfter);
    if (text.size() == w.shortSize)
        return Blanks(w.shortBefore) + text + Blanks(w.shortAfter);
    return text.leftJustified(w.longBefore + w.longSize + w.longAfter);
}

constexpr TwoWidths kFilt82{4, 0, 3, 3, 1, 3};
constexpr TwoWidths kFilt455{4, 2, 2, 3, 3, 2};
constexpr TwoWidths kAnt{6, 1, 1, 1, 3, 4};
constexpr TwoWidths kRxRit{3, 0, 3, 2, 1, 3};
constexpr TwoWidths kTxRit{3, 0, 2, 2, 1, 2};
constexpr TwoWidths kOffset{5, 0, 1, 4, 1, 1};
constexpr TwoWidths kRpt{4, 0, 2, 3, 1, 2};

[[nodiscard]] ListingLine Plain(const QString& text)
{
    return ListingLine{{ListingSpan{text, false}}};
}

// An empty line, the title (bold) with its page number, an empty line, the heading lines.
void AppendPageHeading(ListingPage& page, ViewKind view, int pageNumber)
{
    const Title title = TitleOf(view);
    ListingLine titleLine{{ListingSpan{Blanks(title.blanks) + title.text, true}}};
    if (title.paged)
        titleLine.spans.append(ListingSpan{QStringLiteral("  (page %1)").arg(pageNumber), false});
    page << ListingLine{} << titleLine << ListingLine{};
    for (const QString& line : ListingHeader())
        page << Plain(line);
}

}  // namespace

QString ListingLine::text() const
{
    QString joined;
    for (const ListingSpan& span : spans)
        joined += span.text;
    return joined;
}

std::optional<QString> NothingToPrint(const std::vector<RowCells>& rows, ViewKind view)
{
    if (!rows.empty() && !Cell(rows.front(), ColFreq).isEmpty())
        return std::nullopt;
    return view == ViewKind::All ? QStringLiteral("Nothing to Print!") : QStringLiteral("Nothing to print!");
}

QStringList ListingHeader()
{
    return {QStringLiteral("Ch# Freq (kHz)   Mode   8.2 Filt 455 Filt") + QStringLiteral("  Ant  RxRIT TxRIT Offset RPT")
                + Blanks(kCommentsGap) + QStringLiteral("Comments"),
            QStringLiteral("--- ---------- -------- -------- --------")
                + QStringLiteral(" ----- ----- ----- ------ ---  ") + QString(kCommentDashes, QLatin1Char('-'))};
}

QString ChannelLine(const RowCells& cells, ViewKind view, int row)
{
    return LabelField(view, row) + FreqField(Cell(cells, ColFreq))
        + ModeField(Cell(cells, ColMode)) + Field(Cell(cells, Col82), kFilt82)
        + Field(Cell(cells, Col455), kFilt455) + Field(Cell(cells, ColAnt), kAnt)
        + Field(Cell(cells, ColRxRit), kRxRit) + Field(Cell(cells, ColTxRit), kTxRit)
        + Field(Cell(cells, ColOffset), kOffset) + Field(Cell(cells, ColRpt), kRpt) + Cell(cells, ColComment);
}

Listing BuildListing(const std::vector<RowCells>& rows, ViewKind view)
{
    Listing listing(1);
    AppendPageHeading(listing.last(), view, 1);
    const bool paged = TitleOf(view).paged;
    for (int row = 1; row <= static_cast<int>(rows.size()); ++row) {
        if (paged && row == kFirstRowOfPage2) {
            listing.append(ListingPage{});
            AppendPageHeading(listing.last(), view, 2);
        }
        listing.last() << Plain(ChannelLine(rows[static_cast<std::size_t>(row - 1)], view, row));
    }
    return listing;
}

}  // namespace vardo
