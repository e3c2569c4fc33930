// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The comment box's caption: which channel the operator is writing about.

#include <QString>

#include "channelindex.h"

namespace vardo {

inline constexpr char kNothingToComment[] = "Nothing to comment on!";

// "Edit comments for memory channel 7:", "... PMS memory channel 3:", "... QMB memory channel 2:"
// for grid row `row` of the view.
[[nodiscard]] QString CommentCaption(ViewKind view, int row);

}  // namespace vardo
