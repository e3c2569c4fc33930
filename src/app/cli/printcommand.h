// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// vardo-cli print VIEW --pdf FILE: the printed listing of a view's saved file, rendered by the
// program's own printing code into a PDF, so a listing can be made and checked without a
// printer or a window.

#include <vector>

#include <QString>

#include "channelindex.h"
#include "channelrow.h"

namespace vardo::cli {

// True when the first word of the command line that is not an option is "print".
[[nodiscard]] bool IsPrintCommand(int argc, char* argv[]);

// Runs the print command as the whole program (it needs a QGuiApplication for fonts and the
// PDF printer, and makes one, offscreen when there is no display); returns the exit code.
int RunPrintMain(int argc, char* argv[]);

// The listing's rows from the view's saved file, as a Load would show them. Empty and
// `problem` set when the file is missing or cannot be read.
[[nodiscard]] std::vector<RowCells> SavedListingRows(const QString& dataDir, ViewKind view, QString* problem);

// Prints the listing of the view's saved file in `dataDir` into `pdfPath`; needs a
// QGuiApplication. Failures go to standard error; returns the exit code.
int RunPrintCommand(const QString& dataDir, ViewKind view, const QString& pdfPath);

}  // namespace vardo::cli
