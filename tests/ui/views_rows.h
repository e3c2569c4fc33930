#pragma once
// A table's rows with data as short runs ("1-99,100-108"), for expectations that read like
// what the operator sees.

#include <QStringList>

#include "channeltable.h"

namespace vardo::test {

[[nodiscard]] inline QString DataRows(const ChannelTable& t)
{
    QStringList runs;
    int start = 0;
    for (int row = 1; row <= t.channelRows() + 1; ++row) {
        const bool data = row <= t.channelRows() && t.hasData(row);
        if (data && start == 0)
            start = row;
        if (!data && start != 0) {
            runs << (start == row - 1 ? QString::number(start) : QStringLiteral("%1-%2").arg(start).arg(row - 1));
            start = 0;
        }
    }
    return runs.join(QLatin1Char(','));
}

}  // namespace vardo::test
