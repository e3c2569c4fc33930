#pragma once
// The bytes of a saved file and its lines. Files are written in UTF-8 with CR LF line ends.
// A file that is not valid UTF-8 was written by the old Windows program in its ANSI code
// page and is read as Windows-1252, so those files still load.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vardo {

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is skipped), otherwise
// Windows-1252. Never fails.
[[nodiscard]] QString DecodeSavedText(const QByteArray& bytes);

// The lines of a text; a line ends in LF or CR LF, and a final line end starts no new line.
[[nodiscard]] QStringList SplitSavedLines(const QString& text);

// The lines in UTF-8, each ended by CR LF.
[[nodiscard]] QByteArray EncodeSavedLines(const QStringList& lines);

}  // namespace vardo
