// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Puts a listing on paper (or into a PDF): a fixed-pitch 8-point font, bold titles.

#include <optional>

#include <QFont>
#include <QString>

#include "listing.h"

class QPrinter;

namespace vardo {

enum class ListingJobs {
    OnePerPage,   // each page its own print job, as operators have always received them
    OneDocument,  // every page in one document: a PDF file then holds the whole listing
};

// "Courier New" 8 points where installed, otherwise the system's fixed-pitch font at 8 points.
[[nodiscard]] QFont ListingFont();

// One document for PDF output (a second job would overwrite the file), a job per page otherwise.
[[nodiscard]] ListingJobs DefaultJobs(const QPrinter& printer);

// Prints the listing; the message when the printer could not be started (for a PDF, why its
// file cannot be written) or failed on the way (the document is then ended, nothing more is
// sent).
[[nodiscard]] std::optional<QString> PrintListing(const Listing& listing, QPrinter& printer);
[[nodiscard]] std::optional<QString> PrintListing(const Listing& listing, QPrinter& printer, ListingJobs jobs);

}  // namespace vardo
