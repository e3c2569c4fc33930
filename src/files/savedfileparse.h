// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A whole saved file checked before anything is changed: either every row of the view, or
// the first line that cannot be loaded and why.

#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "channelindex.h"
#include "savedfileformat.h"

namespace vardo {

struct SavedFileRows {
    // One entry per grid row of the view; nullopt for a row that was empty when saved.
    std::vector<std::optional<SavedLine>> rows;
    int badLine = 0;  // 1-based number of the refused line; 0 when none is (all, or the whole file)
    // What is wrong with that line, e.g. "has fewer than nine colons", or with the whole file
    // (empty, CR line ends, the older layout); empty when the file can be loaded.
    QString problem;

    [[nodiscard]] bool ok() const { return problem.isEmpty(); }
    bool operator==(const SavedFileRows&) const = default;
};

// Reads the first RowCount(view) lines; later lines are ignored.
[[nodiscard]] SavedFileRows ParseSavedFile(const QByteArray& bytes, ViewKind view);

// The comment of each line of a saved file, line by line; "" for a line without the nine
// colons of the current layout. A read that replaces the file keeps these comments.
[[nodiscard]] QStringList SavedComments(const QByteArray& bytes);

// "Cannot load "<path>": line 12 has fewer than nine colons.", or "Cannot load "<path>": the
// file is empty."
[[nodiscard]] QString RefusalMessage(const QString& path, const SavedFileRows& parsed);

}  // namespace vardo
