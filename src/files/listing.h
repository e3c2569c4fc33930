// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printed listing of a view as text: title, the two heading lines, one fixed-column line
// per channel row, and the page split. Rendering it on a printer is listingprinter's job.

#include <optional>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>

#include "channelindex.h"
#include "channelrow.h"

namespace vardo {

// A run of text printed in one weight.
struct ListingSpan {
    QString text;
    bool bold = false;

    bool operator==(const ListingSpan&) const = default;
};

struct ListingLine {
    QList<ListingSpan> spans;  // none: an empty line

    [[nodiscard]] QString text() const;  // the spans joined
    bool operator==(const ListingLine&) const = default;
};

// Each page is printed as its own job.
using ListingPage = QList<ListingLine>;
using Listing = QList<ListingPage>;

// Rows 1..57 go on page 1 of the two long views; row 58 starts page 2.
inline constexpr int kFirstRowOfPage2 = 58;

// The message shown instead of a listing when row 1 holds no frequency; none when there is
// something to print.
[[nodiscard]] std::optional<QString> NothingToPrint(const std::vector<RowCells>& rows, ViewKind view);

// The two heading lines over the channel lines (the second is 120 characters of dash runs).
[[nodiscard]] QStringList ListingHeader();

// The line of grid row `row` (1-based: it gives the label and the label's indent) from its
// cells. A row without a frequency prints blanks in the number's place.
[[nodiscard]] QString ChannelLine(const RowCells& cells, ViewKind view, int row);

// The whole listing of a view's rows, in grid order.
[[nodiscard]] Listing BuildListing(const std::vector<RowCells>& rows, ViewKind view);

}  // namespace vardo
