#pragma once
// Memories in the CSV layout CHIRP writes and reads, the common exchange format of radio
// memory programs and spreadsheets. Export turns a view's rows into that CSV; import turns
// such a CSV back into a view's rows, leaving out (and naming) every row this radio cannot
// hold. Settings the CSV does not carry get the values an operator expects for the mode.

#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "channelindex.h"
#include "channelrow.h"

namespace vardo {

// The header CHIRP writes today, in its order.
[[nodiscard]] const QStringList& ChirpHeader();

// The CSV of a view's rows: one line per row that has a frequency, Location its place in
// the view. UTF-8 with CR LF line ends, standard quoting.
[[nodiscard]] QByteArray ChirpCsvFromRows(ViewKind view, const std::vector<RowCells>& rows);

struct CsvImport {
    std::vector<RowCells> rows;  // one per row of the view; rows the file does not fill stay empty
    QStringList leftOut;         // "line 7: ..." for each row that could not be taken
    QString refusal;             // not a CSV of this kind: nothing may be written
    int taken = 0;               // rows that went to their location

    [[nodiscard]] bool ok() const { return refusal.isEmpty(); }
};

// Reads a CHIRP CSV (columns found by header name, so older headers load too) into rows of
// `view`. The comment is the Comment column, or the Name when Comment is empty.
[[nodiscard]] CsvImport RowsFromChirpCsv(ViewKind view, const QByteArray& bytes);

// The CSV fields of one record; standard quoting ("" inside quotes is one quote).
[[nodiscard]] QString CsvLine(const QStringList& fields);

}  // namespace vardo
