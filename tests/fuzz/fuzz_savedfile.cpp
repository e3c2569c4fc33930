// libFuzzer target for the saved-file reader and the old-layout conversion. Besides the
// sanitizers it checks what a user would notice: an accepted line carries nine colons and
// only known setting texts, writing it back gives a line that reads back the same, the
// conversion touches nothing but the first nine commas, and a whole file is either refused
// or gives exactly one row per grid row.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "codec.h"
#include "framecheck.h"
#include "restoreplan.h"
#include "savedfileformat.h"
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

// Load then Save of one line.
QString RoundTrip(const QString& line)
{
    return SavedLineFromCells(CellsFromSavedLine(ReadSavedLine(line)), true);
}

void CheckAcceptedLine(const QString& line)
{
    if (IsEmptySavedLine(line) || !SavedLineProblem(line).isEmpty())
        return;
    Require(line.count(QLatin1Char(':')) >= kSavedColonCount);
    const SavedLine read = ReadSavedLine(line);
    Require(test::BadDecodedText(read.channel).isEmpty());
    Require(std::isfinite(read.channel.Freq) && std::isfinite(read.channel.Offset));
    Require((read.MaskCode == 1) == read.channel.masked());
    // What Load shows, saved again, is accepted and then stays as it is through Load and
    // Save. (One round may still change it: an offset of 0.001 shows as "+0.00", read back as 0.)
    const QString saved = RoundTrip(RoundTrip(line));
    Require(SavedLineProblem(saved).isEmpty());
    Require(RoundTrip(saved) == saved);
}

void CheckConversion(const QString& line)
{
    const QString converted = ConvertOldLine(line);
    Require(converted.size() == line.size());
    qsizetype changed = 0;
    qsizetype lastChanged = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (converted[i] == line[i])
            continue;
        Require(line[i] == QLatin1Char(',') && converted[i] == QLatin1Char(':'));
        ++changed;
        lastChanged = i;
    }
    const qsizetype commas = line.count(QLatin1Char(','));
    Require(changed == std::min<qsizetype>(commas, kSavedColonCount));
    Require(converted.indexOf(QLatin1Char(',')) < 0 || converted.indexOf(QLatin1Char(',')) > lastChanged);
}

void CheckFile(const QByteArray& bytes)
{
    for (ViewKind view : kAllViews) {
        const SavedFileRows parsed = ParseSavedFile(bytes, view);
        Require(parsed.ok() == (parsed.rows.size() == static_cast<std::size_t>(RowCount(view))));
        Require(parsed.ok() || (parsed.badLine >= 1 && parsed.badLine <= RowCount(view)));
        if (parsed.ok())
            Require(PlanRestore(view, parsed.rows).rows.size() == parsed.rows.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = SplitSavedLines(DecodeSavedText(bytes));
    for (const QString& line : lines) {
        CheckAcceptedLine(line);
        CheckConversion(line);
    }
    CheckFile(bytes);
    return 0;
}
