// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of a saved file and its lines. Files are written with CR LF line ends in
// Windows-1252, the code page of the old Windows program, when every character fits in it,
// and in UTF-8 otherwise. A file that is not valid UTF-8 is read as Windows-1252.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vardo {

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is skipped), otherwise
// Windows-1252. Never fails.
[[nodiscard]] QString DecodeSavedText(const QByteArray& bytes);

// The lines of a text; a line ends in LF or CR LF, and a final line end starts no new line.
[[nodiscard]] QStringList SplitSavedLines(const QString& text);

// The lines, each ended by CR LF, in Windows-1252 when every character fits in it (and the
// bytes would not read back as UTF-8), otherwise in UTF-8.
[[nodiscard]] QByteArray EncodeSavedLines(const QStringList& lines);

}  // namespace vardo
