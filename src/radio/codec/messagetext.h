// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the program's messages are laid out, for the radio link, the windows and the command line.

#include <QChar>

namespace vardo {

// Messages meant for a message box break lines with a carriage return; each face turns it into
// its own line break (a box's label, a terminal's newline or blank).
inline constexpr QChar kMessageLineBreak = u'\r';

}  // namespace vardo
