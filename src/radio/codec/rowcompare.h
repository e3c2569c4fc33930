#pragma once
// What the radio holds against what a row (of a grid or a saved file) says it should hold,
// field by field, as the tables show the values. Only the fields a write sets are compared:
// not the antenna (no command sets it) and not a field the row leaves blank (no command is
// sent for it). The mask shows in the frequency cell but is a field of its own here.

#include <QList>
#include <QString>

#include "channel.h"
#include "channelrow.h"

namespace vardo {

struct FieldDifference {
    Column column = ColFreq;  // the grid column that shows the field
    QString field;            // "frequency", "mask", "mode", "8.2 filter", ...
    QString radio;            // the radio's value
    QString expected;         // the row's value
    bool operator==(const FieldDifference&) const = default;
};

// The fields where `radio` differs from `expected`; none for a row without channel data.
[[nodiscard]] QList<FieldDifference> RowDifferences(const RowCells& expected, const Channel& radio);

// The cells a write of `write` leaves in the tables: its settings and mask.
[[nodiscard]] RowCells CellsOfWrite(const ChannelWrite& write);

// One line for the operator: "42: frequency radio 14250.00, file 14074.00; mode radio USB, file LSB".
// `source` names where the expected values come from ("file", "table").
[[nodiscard]] QString DifferenceLine(int channel, const QList<FieldDifference>& differences,
                                     const QString& source = QStringLiteral("file"));

struct ChannelMismatch {
    int channel = 0;
    QList<FieldDifference> differences;
    bool operator==(const ChannelMismatch&) const = default;
};

}  // namespace vardo
