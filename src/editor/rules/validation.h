// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel editor's checks as one pure function: the editor's texts in, either the first
// failing rule (message, control to focus, what the boxes hold afterwards) or the validated
// channel ready for the grids and the encoders.

#include <variant>

#include <QString>

#include "channel.h"
#include "channelrow.h"

namespace vardo {

// objectNames of the editor's inputs; a rejection names the one to focus.
namespace EditControl {
inline const QString Freq = QStringLiteral("txtFreq");
inline const QString Offset = QStringLiteral("txtOffset");
inline const QString Mode = QStringLiteral("lstMode");
inline const QString Filt82 = QStringLiteral("lst82Filt");
inline const QString Filt455 = QStringLiteral("lst455Filt");
inline const QString Ant = QStringLiteral("lstAnt");
inline const QString RxRit = QStringLiteral("lstRxRit");
inline const QString TxRit = QStringLiteral("lstTxRit");
inline const QString Rpt = QStringLiteral("lstRpt");
}  // namespace EditControl

// What the editor holds when Load is pressed. A list with no selection gives the empty text.
struct EditTexts {
    QString freq;    // txtFreq
    QString offset;  // txtOffset
    QString mode;
    QString filt82;
    QString filt455;
    QString ant;
    QString rxRit;
    QString txRit;
    QString rpt;

    bool operator==(const EditTexts&) const = default;
};

// The first failing rule. The window shows `message`, focuses `focus` (empty: the focus stays
// where it is) and puts `freqBox` and `offsetBox` back into its two boxes: a comma turned into
// a point and a removed mask "*" stay behind after a failed Load.
struct EditRejection {
    QString message;
    QString focus;
    QString freqBox;
    QString offsetBox;

    bool operator==(const EditRejection&) const = default;
};

// A full pass: everything the grid update and the channel write need.
struct ValidEdit {
    QString FreqText;    // trimmed, "," -> ".", without the mask "*"
    QString Mask;        // "* " or two blanks
    QString OffsetSign;  // "+" above zero, else empty
    QString OffsetText;  // the trimmed offset box
    Channel channel;     // ready for the eight encoders
    RowCells cells;      // the row's settings; no comment

    [[nodiscard]] int MaskCode() const { return channel.masked() ? 1 : 2; }
    bool operator==(const ValidEdit&) const = default;
};

using EditVerdict = std::variant<EditRejection, ValidEdit>;

// True when a character is outside "0".."9", "+", "-", "."; false for the empty text.
[[nodiscard]] bool HasNonNumeric(const QString& text);

// Runs the editor's rules in order and stops at the first that fails. Beyond the classic
// rules, a blank Rx RIT is refused (after the frequency range): without it the frequency could
// be a receive or a VFO frequency, no clarifier command exists, and 90.01-99.99 kHz would not
// encode. A blank filter, antenna, Tx RIT, or RPT in an FM-type mode still passes: no command
// goes out for it, so the stored channel keeps what VFO-A had for that one setting.
[[nodiscard]] EditVerdict ValidateEdit(const EditTexts& texts);

}  // namespace vardo
