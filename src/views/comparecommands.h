// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Compare with Radio (the Radio menu's actCompare) of one view: reads the view's channels from
// the radio without touching the table, and marks every cell of a row with channel data whose
// field the radio holds otherwise (see ChannelTable's marks); an antenna, which no command can
// set, is marked apart. A short summary ends it.

#include <optional>
#include <vector>

#include <QObject>
#include <QStringList>

#include "channel.h"
#include "channelrow.h"

namespace vardo {

class MemoryView;
class ProgressRow;
class RadioClient;
class ViewHost;
struct LinkResult;

class CompareCommands : public QObject {
    Q_OBJECT
public:
    CompareCommands(MemoryView& view, ViewHost& host, RadioClient& radio, ProgressRow& progress);

    void compare();
    // Compares the radio with `rows` (a snapshot of the view) instead of the table: nothing
    // is marked; the summary names each channel that differs, `source` saying whose value
    // is whose ("snapshot").
    void compareWith(std::vector<RowCells> rows, const QString& source);

private:
    void start();
    [[nodiscard]] RowCells expected(int row) const;
    void onRecord(int channel, const Channel& radio);
    void onEnded(const LinkResult& outcome);

    MemoryView& m_view;
    ViewHost& m_host;
    RadioClient& m_radio;
    ProgressRow& m_progress;
    int m_compared = 0;   // rows with channel data compared so far
    int m_lastChannel = 0;  // the last channel the radio gave, data or not; 0 before the first
    int m_differing = 0;  // of them, those with a cell a write would mend
    int m_otherAntenna = 0;  // of them, those the radio holds with another antenna
    std::optional<std::vector<RowCells>> m_reference;  // compared instead of the table
    QString m_source;
    QStringList m_lines;  // the differing channels of a comparison with m_reference
};

}  // namespace vardo
