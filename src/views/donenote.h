// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The note in a view's status bar that a Read, Save, Load or Import is done, besides the beep:
// how many channels, and the file. It stays until the next note, or until the line that names
// the radio changes.

#include <QString>

class QMainWindow;

namespace vardo {

class ChannelTable;

// The rows of `table` that hold a channel.
[[nodiscard]] int ChannelsHeld(const ChannelTable& table);
// "1 channel", "113 channels".
[[nodiscard]] QString ChannelCount(qsizetype count);

void ShowDoneNote(QMainWindow& view, const QString& note);

}  // namespace vardo
