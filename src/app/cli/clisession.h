// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One vardo-cli command from start to exit status: the radio work goes through RadioClient
// (its own thread), the files through the same code the views use.

#include <map>

#include <QObject>
#include <QStringList>

#include "channel.h"
#include "clioptions.h"
#include "radioclient.h"
#include "restoreplan.h"

namespace vardo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// Done, but not all of it: some rows or channels are named on standard error as left out.
inline constexpr int kExitPartly = 3;

class CliSession : public QObject {
    Q_OBJECT
public:
    CliSession(CliOptions options, TransportFactory factory, QStringList ports, QString dataDir,
               QObject* parent = nullptr);

    void start();
    // SIGINT or SIGTERM: the radio work under way ends at its next step (a batch write gives
    // VFO-A back first) and the program fails with what the link says.
    void interrupt();

Q_SIGNALS:
    void done(int exitCode);

private:
    void findRadio();
    void afterFind(const QString& port);
    void onRecordRead(int channel, const Channel& decoded);
    void onChannelWritten(int channel);
    void afterRead(const LinkResult& outcome);
    void afterWrite(const LinkResult& outcome);
    void saveRead();
    void upgrade();
    void restore();
    void verify();
    void afterVerifyRead(const LinkResult& outcome);
    void readFirst();
    void afterReadFirst(const LinkResult& outcome);
    void writePlan();
    void keepWriteSnapshot(const LinkResult& outcome);
    void progress(const QString& what, int done, int total);
    void fail(const QString& message);
    void notFound();
    void succeed(const QString& line = {});
    void finish(int exitCode);
    void endProgressLine();
    // Loads and plans the view's saved file (or the snapshot --from names), checked whole
    // before the radio is touched.
    bool planFromSource();
    [[nodiscard]] QString savedFilePath() const;
    // The rows of the channels read, each with the comment of its line in `comments`.
    [[nodiscard]] std::vector<RowCells> rowsRead(const QStringList& comments) const;

    CliOptions m_options;
    QStringList m_ports;
    QString m_dataDir;
    RadioClient m_radio;
    std::map<int, Channel> m_read;  // channel index -> what the radio holds
    RestorePlan m_plan;
    QString m_sourcePath;  // the file a restore writes or a verify compares, as messages name it
    int m_written = 0;
    bool m_showProgress = false;
    bool m_progressShown = false;
    bool m_interrupted = false;
    bool m_finished = false;  // done() has been emitted
};

}  // namespace vardo::cli
