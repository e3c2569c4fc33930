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

// `shownBefore` is what the status bar said when the command started: a note made while it
// ran (the editor closed because the command changed its row) is kept after the command's own.
void ShowDoneNote(QMainWindow& view, const QString& note, const QString& shownBefore);
// What the view's status bar says now, to hand to ShowDoneNote when the command ends.
[[nodiscard]] QString StatusNote(QMainWindow& view);

}  // namespace vardo
