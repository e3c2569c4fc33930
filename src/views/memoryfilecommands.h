// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Save and Load of a view (cmdSave, cmdLoad): the view's table to its saved file with the
// overwrite question and the backup, and a checked saved file into the radio in one batch and
// into the tables (mirror rows included), each row as its channel is written. The radio reads
// each channel back after storing it; cells it holds otherwise are marked in the view.

#include <functional>
#include <map>
#include <vector>

#include <QObject>
#include <QString>

#include "radiolink.h"
#include "restoreplan.h"
#include "savedfileformat.h"

class QAction;

namespace vardo {

class MemoryView;
class ProgressRow;
class RadioClient;
class ViewHost;

// Save and Load of one view, owned by the view and connected to its saveRequested and
// loadRequested hooks. `beep` sounds the end of a save or of a load that wrote every channel
// of the file into the radio. A Load shows its progress, and Stop, on `progress`.
class MemoryFileCommands : public QObject {
    Q_OBJECT
public:
    MemoryFileCommands(MemoryView& view, ViewHost& host, RadioClient& radio, ProgressRow& progress, QString dataDir,
                       std::function<void()> beep);

    // cmdSave: asks before it overwrites the saved file.
    void save();
    // The Save of the question on Exit, which was the operator's answer already; the backup is
    // kept as always. True when the view is saved.
    [[nodiscard]] bool saveWithoutAsking();
    void load();

private:
    bool saveTable(bool askBeforeOverwrite);
    void fillRow(int row);  // from the plan of the Load under way
    void fillAllRows();
    [[nodiscard]] bool askOverwrite();
    // With Read Before Load on, the channels the Load is about to overwrite are read into a
    // snapshot first; nothing is written when that read or its snapshot fails.
    void readBeforeWriting();
    void afterReadFirst(const LinkResult& outcome);
    void writePlan();
    void onBatchEnded(const LinkResult& outcome);
    void keepSnapshot(const LinkResult& outcome);

    MemoryView& m_view;
    ViewHost& m_host;
    RadioClient& m_radio;
    ProgressRow& m_progress;
    QString m_dataDir;
    std::function<void()> m_beep;
    RestorePlan m_plan;  // of the last Load
    qsizetype m_written = 0;  // channels of m_plan.writes stored (and read back) so far
    QAction* m_readFirst = nullptr;  // actReadBeforeLoad in the Radio menu; none in frmQmb
    std::map<int, Channel> m_before;  // what the radio held, read before the Load wrote
    QString m_noteBefore;  // the status bar's note when the Load started
};

}  // namespace vardo
