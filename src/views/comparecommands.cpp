// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparecommands.h"

#include "busystate.h"
#include "memoryview.h"
#include "messagetext.h"
#include "progressrow.h"
#include "radioclient.h"
#include "rowcompare.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {
namespace {

// The summary after a Compare of `compared` rows with channel data, `differing` of them not
// as the radio holds them.
[[nodiscard]] QString CompareSummary(int differing, int compared)
{
    if (compared == 1)
        return differing == 0 ? QStringLiteral("The channel matches the radio.")
                              : QStringLiteral("The channel differs from the radio.");
    if (differing == 0)
        return QStringLiteral("All %1 channels match the radio.").arg(compared);
    return QStringLiteral("%1 of %2 channels differ from the radio.").arg(differing).arg(compared);
}

// What Compare says to a table without a channel to compare.
[[nodiscard]] QString NothingToCompareMessage()
{
    return QStringLiteral("Nothing to compare: this table has no channels. Read or Load first.");
}

}  // namespace

CompareCommands::CompareCommands(MemoryView& view, ViewHost& host, RadioClient& radio, ProgressRow& progress)
    : QObject(&view), m_view(view), m_host(host), m_radio(radio), m_progress(progress)
{
    connect(&view, &MemoryView::compareRequested, this, &CompareCommands::compare);
}

void CompareCommands::compare()
{
    m_reference.reset();
    start();
}

void CompareCommands::compareWith(std::vector<RowCells> rows, const QString& source)
{
    rows.resize(std::size_t(RowCount(m_view.kind())));
    m_reference = std::move(rows);
    m_source = source;
    start();
}

RowCells CompareCommands::expected(int row) const
{
    return m_reference ? (*m_reference)[std::size_t(row - 1)] : m_host.family().table(m_view.kind()).row(row);
}

void CompareCommands::start()
{
    const ViewKind kind = m_view.kind();
    ChannelTable& table = m_host.family().table(kind);
    if (m_host.busyState().busy())
        return;
    bool anyData = false;
    for (int row = 1; row <= table.channelRows() && !anyData; ++row)
        anyData = !expected(row)[CellIndex(ColFreq)].isEmpty();
    if (!anyData)
        return ShowMessage(&m_view, NothingToCompareMessage(), QMessageBox::Information);
    // The marks of an earlier Compare go: the new ones show as the channels come in.
    if (!m_reference)
        table.clearMarks();
    m_lines.clear();
    m_compared = 0;
    m_lastChannel = 0;
    m_differing = 0;
    m_otherAntenna = 0;
    m_progress.start(table.channelRows());
    const bool started = m_radio.readMemories(
        FirstChannel(kind), LastChannel(kind), this,
        [this](int channel, const Channel& radio) { onRecord(channel, radio); },
        [this](const LinkResult& outcome) { onEnded(outcome); });
    if (!started)
        m_progress.finish();
}

void CompareCommands::onRecord(int channel, const Channel& radio)
{
    m_progress.step();
    m_lastChannel = channel;
    ChannelTable& table = m_host.family().table(m_view.kind());
    const int row = RowOfChannel(m_view.kind(), channel);
    if (expected(row)[CellIndex(ColFreq)].isEmpty())
        return;
    ++m_compared;
    const HeldComparison found = CompareHeld(m_view.kind(), expected(row), radio);
    if (!found.settings.isEmpty())
        ++m_differing;
    if (!found.antenna.isEmpty())
        ++m_otherAntenna;
    if (m_reference) {
        if (!found.settings.isEmpty())
            m_lines << DifferenceLine(channel, found.settings, m_source);
        return;
    }
    if (!found.settings.isEmpty())
        table.markDifferences(row, found.settings);
    if (!found.antenna.isEmpty())
        table.markDifferences(row, found.antenna, MarkKind::Unsettable);
}

void CompareCommands::onEnded(const LinkResult& outcome)
{
    m_progress.finish();
    QString summary = CompareSummary(m_differing, m_compared);
    if (m_otherAntenna > 0)
        summary += kMessageLineBreak + AntennaNote(m_otherAntenna, m_reference ? m_source : QStringLiteral("table")) + u'.';
    for (const QString& line : ListThatFits(m_lines))
        summary += kMessageLineBreak + line;
    if (outcome.ok)
        return ShowMessage(&m_view, summary, QMessageBox::Information);
    // Stopped or failed, the rows compared so far keep their marks, and the summary counts them.
    LinkResult told = outcome;
    // The link names the read it did; the operator stopped a comparison.
    if (outcome.cancelled)
        told.error = m_lastChannel == 0
            ? QStringLiteral("The comparison was stopped before the first channel.")
            : QStringLiteral("The comparison was stopped after channel %1.").arg(ChannelLabel(m_lastChannel));
    if (m_compared > 0) {
        summary[0] = summary[0].toLower();
        told.error += kMessageLineBreak + QStringLiteral("Up to there, ") + summary;
    }
    ShowUnfinished(&m_view, told);
}

}  // namespace vardo
