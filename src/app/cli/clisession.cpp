// SPDX-License-Identifier: GPL-3.0-or-later
#include "clisession.h"

#include <cstdio>

#include <QDateTime>
#include <QDir>

#include "channelrow.h"
#include "readcomments.h"
#include "csvverbs.h"
#include "history.h"
#include "historyverbs.h"
#include "rowcompare.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "savedfilestore.h"
#include "terminal.h"
#include "upgrade.h"

namespace vardo::cli {
namespace {

// The channels a restore left out, on standard error: the heading, then a line for each reason.
// False when there were none.
bool PrintLeftOut(const QList<LeftOutChannel>& leftOut)
{
    const QStringList report = LeftOutReport(leftOut);
    for (qsizetype i = 0; i < report.size(); ++i)
        PrintLine(stderr, i == 0 ? "vardo-cli: " + report[i] : report[i]);
    return !report.isEmpty();
}

}  // namespace

CliSession::CliSession(CliOptions options, TransportFactory factory, QStringList ports, QString dataDir,
                       QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_ports(std::move(ports))
    , m_dataDir(std::move(dataDir))
    , m_radio(std::move(factory))
    , m_showProgress(StderrIsTerminal())
{
    m_radio.setPacing(m_options.pacing);
    connect(&m_radio, &RadioClient::channelWritten, this, &CliSession::onChannelWritten);
}

void CliSession::start()
{
    if (m_finished)
        return;  // interrupted before it began
    switch (m_options.command) {
    case Command::Upgrade:
        upgrade();
        return;
    // Finished before the event loop runs again: a signal that comes now changes nothing.
    case Command::Export:
        return finish(RunCsvExport(m_dataDir, m_options.view, m_options.csvPath));
    case Command::Import:
        return finish(RunCsvImport(m_dataDir, m_options.view, m_options.csvPath));
    case Command::History:
        return finish(RunHistoryList(m_dataDir, m_options.view));
    case Command::Restore:
        restore();
        return;
    case Command::Verify:
        verify();
        return;
    case Command::Probe:
    case Command::Read:
        findRadio();
        return;
    }
}

void CliSession::interrupt()
{
    if (m_finished)
        return;
    m_interrupted = true;
    if (m_radio.busy())
        m_radio.cancel();
    else
        fail(QStringLiteral("interrupted"));
}

void CliSession::findRadio()
{
    m_radio.findRadio(m_ports, this, [this](const QString& port) { afterFind(port); });
}

void CliSession::upgrade()
{
    // What the program does at start-up: clear away an interrupted save, then convert.
    const QStringList problems = PrepareSavedFiles(m_dataDir);
    if (problems.isEmpty())
        return succeed();
    for (const QString& p : problems.mid(0, problems.size() - 1))
        PrintLine(stderr, "vardo-cli: " + p);
    fail(problems.last());
}

QString CliSession::savedFilePath() const
{
    return QDir::toNativeSeparators(PathIn(m_dataDir, SavedFileName(m_options.view)));
}

bool CliSession::planFromSource()
{
    LoadResult loaded;
    if (m_options.fromSnapshot > 0) {
        LoadedSnapshot snapshot = LoadSnapshot(m_dataDir, m_options.view, m_options.fromSnapshot);
        loaded = std::move(snapshot.load);
        m_sourcePath = QDir::toNativeSeparators(snapshot.path);
    } else {
        loaded = LoadSavedFile(m_dataDir, m_options.view);
        m_sourcePath = savedFilePath();
    }
    if (!loaded.ok()) {
        fail(loaded.message);
        return false;
    }
    m_plan = PlanRestore(m_options.view, loaded.rows);
    return true;
}

void CliSession::restore()
{
    if (!planFromSource())
        return;
    if (m_plan.writes.isEmpty()) {
        // Nothing for the radio: say so rather than look like a restore that wrote everything.
        const QString why = m_options.view == ViewKind::Qmb
                                ? QStringLiteral(" (the Quick Memory Banks are never written)")
                                : QString();
        PrintLine(stdout, QStringLiteral("No channel written into the radio from %1%2").arg(m_sourcePath, why));
        return finish(PrintLeftOut(m_plan.leftOut) ? kExitPartly : kExitOk);
    }
    findRadio();
}

void CliSession::verify()
{
    if (planFromSource())
        findRadio();
}

void CliSession::afterFind(const QString& port)
{
    // A new request clears the cancel, so an interrupt during the search must end here.
    if (m_interrupted)
        return fail(QStringLiteral("interrupted before the radio was found"));
    if (port.isEmpty())
        return notFound();
    switch (m_options.command) {
    case Command::Probe:
        PrintLine(stdout, port);
        return succeed();
    case Command::Read:
    case Command::Verify:
        m_radio.readMemories(
            FirstChannel(m_options.view), LastChannel(m_options.view), this,
            [this](int channel, const Channel& decoded) { onRecordRead(channel, decoded); },
            [this](const LinkResult& outcome) {
                m_options.command == Command::Verify ? afterVerifyRead(outcome) : afterRead(outcome);
            });
        return;
    case Command::Restore:
        return m_options.readFirst ? readFirst() : writePlan();
    case Command::Upgrade:
    case Command::Export:
    case Command::Import:
    case Command::History:
        return;  // none of these needs the radio
    }
}

// The whole view, not only the channels about to be written: a restore of this snapshot puts
// back every channel as the radio held it, front-panel changes included.
void CliSession::readFirst()
{
    m_radio.readMemories(
        FirstChannel(m_options.view), LastChannel(m_options.view), this,
        [this](int channel, const Channel& decoded) { onRecordRead(channel, decoded); },
        [this](const LinkResult& outcome) { afterReadFirst(outcome); });
}

// The operator asked to keep what the radio holds before it is overwritten: without that
// snapshot nothing is written.
void CliSession::afterReadFirst(const LinkResult& outcome)
{
    if (m_interrupted)
        return fail(QStringLiteral("interrupted before anything was written"));
    if (!outcome.ok)
        return fail(outcome.error + QStringLiteral(" Nothing was written into the radio."));
    endProgressLine();
    const KeptSnapshot kept = KeepSnapshot(m_dataDir, m_options.view, SnapshotOperation::Read,
                                           SavedFileBytes(m_options.view, rowsRead({})),
                                           QString(), QDateTime::currentDateTime());
    if (kept.path.isEmpty())
        return fail(kept.problems.value(0) + QStringLiteral(" Nothing was written into the radio."));
    for (const QString& problem : kept.problems)
        PrintLine(stderr, "vardo-cli: " + OneLine(problem));
    writePlan();
}

void CliSession::writePlan()
{
    m_radio.writeBatch(
        m_plan.writes, this, {}, [this](const LinkResult& outcome) { afterWrite(outcome); },
        m_options.readBack ? WriteCheck::ReadBack : WriteCheck::None);
}

// What the radio was given, marked with how the write ended; nothing when nothing was written.
void CliSession::keepWriteSnapshot(const LinkResult& outcome)
{
    if (m_written == 0)
        return;
    endProgressLine();
    const WriteEnd end{outcome.ok, outcome.cancelled, m_written == m_plan.writes.size(), m_options.readBack,
                       outcome.mismatches};
    KeepSnapshotTelling(m_dataDir, m_options.view, SnapshotOperation::Restore,
                        WrittenRows(m_options.view, m_plan, m_written), WriteResult(end));
}

void CliSession::afterRead(const LinkResult& outcome)
{
    if (!outcome.ok)
        return fail(outcome.error);
    saveRead();
}

// Channels the read-back found differing do not make the restore a failure of the link: every
// channel was written and checked. They are named a line each, as are the channels left out
// because no command can send a value of theirs, and the status says so.
void CliSession::afterWrite(const LinkResult& outcome)
{
    const bool onlyMismatches = !outcome.ok && !outcome.mismatches.isEmpty() && m_written == m_plan.writes.size();
    keepWriteSnapshot(outcome);
    if (!outcome.ok && !onlyMismatches)
        return fail(outcome.error);  // one line, as every failure
    endProgressLine();
    PrintLine(stdout, QStringLiteral("%1 channels written into the radio from %2").arg(m_written).arg(m_sourcePath));
    if (!outcome.mismatches.isEmpty())
        PrintLine(stderr, QStringLiteral("vardo-cli: the radio does not hold %1 of them as written:")
                              .arg(outcome.mismatches.size()));
    for (const ChannelMismatch& m : outcome.mismatches)
        PrintLine(stderr, DifferenceLine(m.channel, m.differences));
    const bool leftOut = PrintLeftOut(m_plan.leftOut);
    finish(leftOut || !outcome.mismatches.isEmpty() ? kExitPartly : kExitOk);
}

// Every row of the file with channel data against what the radio holds: a line for each
// channel that differs, on standard output, as the command's own result. Channels that differ
// only in the antenna, which no command sets, are counted on standard error and change no status.
void CliSession::afterVerifyRead(const LinkResult& outcome)
{
    if (!outcome.ok)
        return fail(outcome.error);
    int compared = 0;
    int otherAntenna = 0;
    QStringList lines;
    for (int row = 1; row <= RowCount(m_options.view); ++row) {
        const RowCells& expected = m_plan.rows[static_cast<std::size_t>(row - 1)];
        const int channel = ChannelOfRow(m_options.view, row);
        const auto held = m_read.find(channel);
        if (expected[CellIndex(ColFreq)].trimmed().isEmpty() || held == m_read.end())
            continue;
        ++compared;
        const HeldComparison found = CompareHeld(m_options.view, expected, held->second);
        if (!found.settings.isEmpty())
            lines << DifferenceLine(channel, found.settings);
        otherAntenna += found.antenna.isEmpty() ? 0 : 1;
    }
    endProgressLine();
    for (const QString& line : lines)
        PrintLine(stdout, line);
    if (lines.isEmpty())
        PrintLine(stdout, QStringLiteral("%1 channels match %2").arg(compared).arg(m_sourcePath));
    else
        PrintLine(stderr, QStringLiteral("vardo-cli: %1 of %2 channels differ from %3")
                              .arg(lines.size())
                              .arg(compared)
                              .arg(m_sourcePath));
    if (otherAntenna > 0)
        PrintLine(stderr, "vardo-cli: " + AntennaNote(otherAntenna, QStringLiteral("file")));
    finish(lines.isEmpty() ? kExitOk : kExitPartly);
}

// Each port tried and why it was not the radio: a missing device, one in use or not a serial
// port at all is told apart from a radio that did not answer.
void CliSession::notFound()
{
    QStringList reasons;
    for (const ProbeFailure& failure : m_radio.probeFailures())
        reasons << failure.reason;
    if (reasons.isEmpty())
        return fail(QStringLiteral("the FT-1000MP was not found: there is no serial port to try"));
    fail(QStringLiteral("the FT-1000MP was not found (%1)").arg(reasons.join(QStringLiteral("; "))));
}

void CliSession::onRecordRead(int channel, const Channel& decoded)
{
    m_read[channel] = decoded;
    progress(QStringLiteral("reading"), static_cast<int>(m_read.size()), RowCount(m_options.view));
}

void CliSession::onChannelWritten(int /*channel*/)
{
    ++m_written;
    progress(m_options.readBack ? QStringLiteral("writing and checking") : QStringLiteral("writing"), m_written,
             static_cast<int>(m_plan.writes.size()));
}

void CliSession::saveRead()
{
    const ViewKind view = m_options.view;
    // Comments live only in the file; a read keeps those of the lines already there. A file
    // that cannot be read line for line is kept whole instead, under a name nothing reuses.
    const CommentsForRead old = CommentsToKeep(m_dataDir, view);
    if (!old.error.isEmpty())
        return fail(old.error + QStringLiteral(" The saved file and its backup are as they were."));
    QString kept;
    if (!old.keepsComments()) {
        QString error;
        kept = KeepUnreadable(m_dataDir, view, old.unreadable, QDateTime::currentDateTime(), &error);
        if (kept.isEmpty())
            return fail(error + QStringLiteral(" Nothing was saved: the comments of %1 would be lost.")
                                    .arg(savedFilePath()));
    }
    const std::vector<RowCells> rows = rowsRead(old.comments);
    // Kept before the save, so that a read whose file cannot be saved is not lost.
    KeepSnapshotTelling(m_dataDir, view, SnapshotOperation::Read, rows);
    const SaveResult saved = SaveWithBackup(m_dataDir, view, SavedFileBytes(view, rows), [] { return true; });
    if (saved.outcome != SaveOutcome::Saved)
        return fail(saved.message);
    const QString summary = QStringLiteral("%1 channels saved to %2").arg(m_read.size()).arg(savedFilePath());
    if (kept.isEmpty())
        return succeed(summary);
    endProgressLine();
    PrintLine(stdout, summary);
    PrintLine(stderr, QStringLiteral("vardo-cli: the comments of the old file could not be kept: %1 It is kept "
                                     "whole as \"%2\".")
                          .arg(OneLine(old.problem), QDir::toNativeSeparators(kept)));
    finish(kExitPartly);
}

std::vector<RowCells> CliSession::rowsRead(const QStringList& comments) const
{
    const ViewKind view = m_options.view;
    std::vector<RowCells> rows(static_cast<std::size_t>(RowCount(view)));
    for (int row = 1; row <= RowCount(view); ++row) {
        const auto found = m_read.find(ChannelOfRow(view, row));
        if (found == m_read.end())
            continue;
        RowCells& cells = rows[static_cast<std::size_t>(row - 1)];
        cells = CellsFromChannel(found->second);
        cells[CellIndex(ColComment)] = comments.value(row - 1);
    }
    return rows;
}

void CliSession::progress(const QString& what, int done, int total)
{
    if (!m_showProgress)
        return;
    std::fprintf(stderr, "\rvardo-cli: %s channel %d of %d", qUtf8Printable(what), done, total);
    std::fflush(stderr);
    m_progressShown = true;
}

void CliSession::endProgressLine()
{
    if (std::exchange(m_progressShown, false))
        std::fputs("\n", stderr);
}

void CliSession::fail(const QString& message)
{
    endProgressLine();
    PrintLine(stderr, "vardo-cli: " + OneLine(message));
    finish(kExitFailed);
}

void CliSession::succeed(const QString& line)
{
    endProgressLine();
    if (!line.isEmpty())
        PrintLine(stdout, line);
    finish(kExitOk);
}

void CliSession::finish(int exitCode)
{
    m_finished = true;
    Q_EMIT done(exitCode);
}

}  // namespace vardo::cli
