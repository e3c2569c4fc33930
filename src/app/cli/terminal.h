// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// vardo-cli's terminal: whether standard error is one (a progress line is shown only there),
// and its lines.

#include <cstdio>

#include <QString>

namespace vardo::cli {

[[nodiscard]] bool StderrIsTerminal();

// Writes `line` and a line end, at once.
void PrintLine(std::FILE* stream, const QString& line);

// A message box's lines, here on one line.
[[nodiscard]] QString OneLine(QString message);

}  // namespace vardo::cli
