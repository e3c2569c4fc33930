#pragma once
// What the radio holds against what a row (of a grid or a saved file) says it should hold,
// field by field, as the tables show the values. The antenna is never compared (no command
// sets it), nor a field the row leaves blank (a code the program does not know). The mask
// shows in the frequency cell but is a field of its own here.

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

// Which fields count. Held: every setting, as a comparison of table and radio wants (a blank
// channel's 0.00 against a frequency the radio holds differs). Written: only what a write of
// the row sent, as its read-back wants (no command sets a frequency of 0.00, or an offset of
// 10 kHz or more, so the radio keeps its own).
enum class Fields { Held, Written };

// The fields where `radio` differs from `expected`; none for a row without channel data.
[[nodiscard]] QList<FieldDifference> RowDifferences(const RowCells& expected, const Channel& radio,
                                                    Fields fields = Fields::Held);

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
