// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Memories in the CSV layout CHIRP writes and reads, the common exchange format of radio
// memory programs and spreadsheets. Export turns a view's rows into a CSV that CHIRP loads
// whole; import takes such a CSV (CHIRP's own files included) into the rows it names, leaving
// out and naming every row this radio cannot hold, and naming every value it takes otherwise
// than the file gives it. Settings the CSV does not carry get the values an operator expects
// for the mode.

#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "channelindex.h"
#include "channelrow.h"

namespace vardo {

// The header CHIRP writes today, in its order.
[[nodiscard]] const QStringList& ChirpHeader();

struct CsvExport {
    QByteArray bytes;  // UTF-8, CR LF line ends, standard quoting
    int rows = 0;      // channels written
    // Channels that hold something but cannot be a row CHIRP loads, each with its label, its
    // comment and why: `P3 "band edge": it has a comment but no frequency`. A channel that
    // holds nothing has no row and is not named.
    QStringList leftOut;
};

// The CSV of a view's rows: one row per channel that has a frequency and a mode, Location its
// place in the view.
[[nodiscard]] CsvExport ChirpCsvFromRows(ViewKind view, const std::vector<RowCells>& rows);

struct ImportedRow {
    int row = 0;   // grid row of the view, from 1
    int line = 0;  // where it starts in the CSV
    RowCells cells;
};

struct CsvImport {
    std::vector<ImportedRow> taken;  // in file order, each location once
    QStringList leftOut;             // "line 7: ..." for each row that could not be taken
    QStringList notes;               // "line 5: ..." for each value taken otherwise than given
    QString refusal;                 // not a CSV of this kind: nothing may be written

    [[nodiscard]] bool ok() const { return refusal.isEmpty(); }
};

// Reads a CHIRP CSV (columns found by header name, so older headers load too) into rows of
// `view`. Lines starting with "#" and blank lines are skipped; CR LF, LF and CR alone end a line.
[[nodiscard]] CsvImport RowsFromChirpCsv(ViewKind view, const QByteArray& bytes);

// The view's saved file after an import: the taken rows' lines replaced, every other line as
// it is in `saved` (the file's bytes; empty when there is none yet).
[[nodiscard]] QByteArray SavedFileWithImport(ViewKind view, const QByteArray& saved, const CsvImport& imported);

// The CSV fields of one record; standard quoting ("" inside quotes is one quote).
[[nodiscard]] QString CsvLine(const QStringList& fields);

}  // namespace vardo
