#pragma once
// Save and Load of a view (cmdSave, cmdLoad): the view's table to its saved file with the
// overwrite question and the backup, and a checked saved file into the tables (mirror rows
// included) and into the radio in one batch.

#include <functional>
#include <vector>

#include <QObject>
#include <QString>

#include "restoreplan.h"
#include "savedfileformat.h"

namespace vardo {

class MemoryView;
class RadioClient;
class ViewHost;

// Gives `view` its Save and Load, on its saveRequested and loadRequested hooks. `beep` sounds
// the end of a save or of a load that wrote to the radio. A second call for a view does nothing.
void AttachMemoryFileCommands(MemoryView& view, ViewHost& host, RadioClient& radio, const QString& dataDir,
                              std::function<void()> beep);

class MemoryFileCommands : public QObject {
    Q_OBJECT
public:
    MemoryFileCommands(MemoryView& view, ViewHost& host, RadioClient& radio, QString dataDir,
                       std::function<void()> beep);

    void save();
    void load();

private:
    [[nodiscard]] std::vector<RowCells> tableRows() const;
    void fillTables(const RestorePlan& plan);
    [[nodiscard]] bool askOverwrite();
    void onFinished();
    void onFailed(const QString& message);

    MemoryView& m_view;
    ViewHost& m_host;
    RadioClient& m_radio;
    QString m_dataDir;
    std::function<void()> m_beep;
    bool m_writing = false;  // this view's batch is with the radio
};

}  // namespace vardo
