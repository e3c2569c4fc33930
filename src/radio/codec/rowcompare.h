// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the radio holds against what a row (of a grid or a saved file) says it should hold,
// field by field, as the tables show the values. A field the row leaves blank (a code the
// program does not know) is not compared. The mask shows in the frequency cell but is a field
// of its own here. No command sets the antenna, so a difference there is told apart.

#include <QList>
#include <QString>

#include "channel.h"
#include "channelindex.h"
#include "channelrow.h"

namespace vardo {

struct FieldDifference {
    Column column = ColFreq;  // the grid column that shows the field
    QString field;            // "frequency", "mask", "mode", "8.2 filter", ...
    QString radio;            // the radio's value
    QString expected;         // the row's value
    bool operator==(const FieldDifference&) const = default;
};

// Which fields count. Held: every setting and the antenna, as a comparison of table and radio
// wants (a blank channel's 0.00 against a frequency the radio holds differs). Written: only
// what a write of the row sent, as its read-back wants (no command sets a frequency of 0.00,
// an offset of 10 kHz or more, or the antenna, so the radio keeps its own).
enum class Fields { Held, Written };

// The fields where `radio` differs from `expected`; none for a row without channel data.
[[nodiscard]] QList<FieldDifference> RowDifferences(const RowCells& expected, const Channel& radio, Fields fields);

// A row of a view's table or saved file against what the radio holds, every field held: the
// differences a write would mend, and apart from them the antenna's, which none can.
struct HeldComparison {
    QList<FieldDifference> settings;  // the mask included, except in the QMB view
    QList<FieldDifference> antenna;   // none, or the one antenna difference
};

// The QMB view never compares the mask: its saved file never holds it.
[[nodiscard]] HeldComparison CompareHeld(ViewKind view, const RowCells& expected, const Channel& radio);

// "3 channels hold another antenna than the file (no command can set the antenna)"; `source`
// as for DifferenceLine.
[[nodiscard]] QString AntennaNote(int channels, const QString& source);

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
