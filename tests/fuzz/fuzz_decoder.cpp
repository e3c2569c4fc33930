// libFuzzer target for the record decoder and the encoders behind it. Besides the
// sanitizers it checks what the operator and the radio would see: every decoded text is
// empty or one of its column's texts, the bit decoder agrees with the hexadecimal route,
// and nothing the decoder or a hand-edited grid row produces sends an invented code.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QRegularExpression>

#include "channelrow.h"
#include "codec.h"
#include "framecheck.h"
#include "hexroute.h"
#include "numberformat.h"

using namespace vardo;

namespace {

void Fail(const char* what, const Record& r)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(RecordHex(r)));
    std::abort();
}

void CheckFrames(const Channel& c, const Record& r)
{
    for (const CatFrame& f : EncodeChannel(c))
        if (!test::IsKnownSettingFrame(f))
            Fail(qPrintable("invented code " + f.toHex()), r);
}

void CheckNumberText(float value, const Record& r)
{
    static const QRegularExpression kTwoDecimals(QStringLiteral("^(-?[0-9]+\\.[0-9]{2}|-?inf|nan)$"));
    const QString text = TwoDecimalText(value);
    if (!kTwoDecimals.match(text).hasMatch() || text.startsWith(QLatin1String("-0.00")))
        Fail(qPrintable("bad number text " + text), r);
}

// The bytes after the record, as the nine setting cells of a grid row separated by tabs.
SettingCells CellsOf(const std::uint8_t* data, std::size_t size)
{
    const QStringList parts = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
                                  .split(QLatin1Char('\t'));
    SettingCells cells;
    for (std::size_t i = 0; i < cells.size() && i < static_cast<std::size_t>(parts.size()); ++i)
        cells[i] = parts[static_cast<qsizetype>(i)];
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kRecordSize)
        return 0;
    Record r{};
    std::memcpy(r.data(), data, kRecordSize);

    const Channel c = DecodeRecord(r);
    if (!test::BadDecodedText(c).isEmpty())
        Fail(qPrintable("bad decoded " + test::BadDecodedText(c)), r);
    if (!(c == test::HexRouteDecode(r)))
        Fail("bit decoder differs from the hexadecimal route", r);
    CheckFrames(c, r);

    // The unused record bytes as a float reach every corner of the number text.
    float any = 0.0f;
    std::memcpy(&any, data + 10, sizeof any);
    CheckNumberText(any, r);

    // A grid row as a hand-edited file may leave it.
    CheckFrames(ChannelFromCells(CellsOf(data + kRecordSize, size - kRecordSize)), r);
    return 0;
}
