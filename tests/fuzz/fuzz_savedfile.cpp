// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the saved-file reader: an accepted line keeps its bytes through Load and Save,
// the old-layout conversion touches only the first nine commas, a file is refused or fills every row.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "framecheck.h"
#include "restoreplan.h"
#include "savedfileparse.h"
#include "savedfiletext.h"

using namespace vardo;

namespace {

// Names the failed check before aborting, so that a crash file is quick to understand.
#define Require(ok) \
    do { \
        if (!(ok)) { \
            std::fprintf(stderr, "check failed: %s (line %d)\n", #ok, __LINE__); \
            std::abort(); \
        } \
    } while (false)

QString RoundTrip(const QString& line)
{
    return SavedLineFromCells(CellsFromSavedLine(ReadSavedLine(line)), true);
}

void CheckLine(const QString& line)
{
    if (!IsEmptySavedLine(line) && SavedLineProblem(line).isEmpty()) {
        Require(line.count(QLatin1Char(':')) >= kSavedColonCount);
        const SavedLine read = ReadSavedLine(line);
        Require(test::BadDecodedText(read.channel).isEmpty());
        Require(std::isfinite(read.channel.Freq) && std::isfinite(read.channel.Offset));
        Require((read.MaskCode == 1) == read.channel.masked());
        // One round may still change a line ("+0.001" shows as "+0.00"); after it, none does.
        const QString saved = RoundTrip(RoundTrip(line));
        Require(SavedLineProblem(saved).isEmpty() && RoundTrip(saved) == saved);
    }
    const QString converted = ConvertOldLine(line);
    Require(converted.size() == line.size());
    qsizetype changed = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (converted[i] != line[i]) {
            Require(line[i] == QLatin1Char(',') && converted[i] == QLatin1Char(':') && ++changed <= kSavedColonCount);
            Require(line.left(i).count(QLatin1Char(',')) == changed - 1);  // only the leading commas
        }
    }
    Require(changed == std::min<qsizetype>(line.count(QLatin1Char(',')), kSavedColonCount));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QString& line : SplitSavedLines(DecodeSavedText(bytes)))
        CheckLine(line);
    for (ViewKind view : kAllViews) {
        const SavedFileRows parsed = ParseSavedFile(bytes, view);
        Require(parsed.ok() == (parsed.rows.size() == static_cast<std::size_t>(RowCount(view))));
        Require(parsed.ok() || (parsed.badLine >= 0 && parsed.badLine <= RowCount(view)));
        Require(!parsed.ok() || PlanRestore(view, parsed.rows).rows.size() == parsed.rows.size());
    }
    return 0;
}
