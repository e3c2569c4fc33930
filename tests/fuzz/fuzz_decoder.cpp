// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the record decoder and the encoders: decoded texts are known ones, the bit
// decoder agrees with the hexadecimal route, and no record or hand-edited row sends an invented code.

#include <algorithm>
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
#include "rowreader.h"

using namespace vardo;

namespace {

[[noreturn]] void Fail(const QString& what, const Record& r)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(what), qPrintable(RecordHex(r)));
    std::abort();
}

void CheckFrames(const Channel& c, const Record& r)
{
    for (const CatFrame& f : EncodeChannel(c))
        if (!test::IsKnownSettingFrame(f))
            Fail("invented code " + f.toHex(), r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kRecordSize)
        return 0;
    Record r{};
    std::memcpy(r.data(), data, kRecordSize);
    const Channel c = DecodeRecord(r);
    if (const QString bad = test::BadDecodedText(c); !bad.isEmpty())
        Fail("bad decoded " + bad, r);
    if (!(c == test::HexRouteDecode(r)))
        Fail("bit decoder differs from the hexadecimal route", r);
    CheckFrames(c, r);

    // The unused record bytes as a float reach every corner of the number text.
    static const QRegularExpression kTwoDecimals(QStringLiteral("^(-?[0-9]+\\.[0-9]{2}|-?inf|nan)$"));
    float any = 0.0f;
    std::memcpy(&any, data + 10, sizeof any);
    const QString text = TwoDecimalText(any);
    if (!kTwoDecimals.match(text).hasMatch() || text.startsWith("-0.00"))
        Fail("bad number text " + text, r);

    // The bytes after the record as a hand-edited grid row's cells, separated by tabs.
    const QStringList parts = QString::fromUtf8(reinterpret_cast<const char*>(data + kRecordSize),
                                                static_cast<qsizetype>(size - kRecordSize)).split('\t');
    RowCells cells;
    std::copy_n(parts.begin(), std::min<qsizetype>(parts.size(), cells.size()), cells.begin());
    CheckFrames(test::ChannelFromCells(cells), r);
    return 0;
}
