// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > History... of one view (itmHistory): the view's snapshots, newest first, as
// `vardo-cli history` lists them. Open (cmdOpenSnapshot) puts the chosen snapshot into the
// view's rows as one undoable step, writing nothing to the radio until the operator Loads;
// Compare with Radio (cmdCompareSnapshot) compares the radio with it without touching the table.

#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "channelrow.h"

class QDialog;
class QListWidget;

namespace vardo {

class CompareCommands;
class MemoryView;
class ViewHost;

class HistoryCommands : public QObject {
    Q_OBJECT
public:
    // Adds the item to the view's File menu; owned by the view.
    HistoryCommands(MemoryView& view, ViewHost& host, CompareCommands& compare, QString dataDir);

    // Shows the dialog (dlgHistory) with the snapshots as they are now.
    void showHistory();
    // Snapshot `number` (1 the newest) into the view's rows, or compared with the radio.
    void openSnapshot(int number);
    void compareSnapshot(int number);

private:
    [[nodiscard]] int chosenNumber() const;
    // The rows of snapshot `number` as a Load would show them, the dialog closed; none (and a
    // message) when it cannot be read, none while the radio is busy.
    [[nodiscard]] std::optional<std::vector<RowCells>> snapshotRows(int number);

    MemoryView& m_view;
    ViewHost& m_host;
    CompareCommands& m_compare;
    QString m_dataDir;
    QDialog* m_dialog = nullptr;     // child of the view
    QListWidget* m_list = nullptr;   // in the dialog
};

}  // namespace vardo
