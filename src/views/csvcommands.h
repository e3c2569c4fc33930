// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The File menu of one view (mnuFile): its table as CHIRP CSV (itmExportCsv) and a CHIRP CSV
// into its table (itmImportCsv). An import asks first, then replaces the rows the CSV names
// (and their mirror rows) as one undo step and keeps every other row, without writing the
// radio: the operator saves and loads it, or edits channels, to put it there.

#include <functional>

#include <QObject>
#include <QString>

class QWidget;

namespace vardo {

class MemoryView;
class ViewHost;

// Asks for the CSV file to write (`saving`) or to read, starting at `suggested`; empty when
// the operator cancels.
using CsvFileChooser = std::function<QString(QWidget* parent, bool saving, const QString& suggested)>;

// The platform's file dialog, for CSV files.
[[nodiscard]] QString AskForCsvFile(QWidget* parent, bool saving, const QString& suggested);

class CsvCommands : public QObject {
    Q_OBJECT
public:
    // Adds the File menu to `view`, before its Help menu; owned by the view.
    CsvCommands(MemoryView& view, ViewHost& host, QString dataDir, std::function<void()> beep);

    void setFileChooser(CsvFileChooser chooser) { m_choose = std::move(chooser); }
    void exportCsv();
    void importCsv();

private:
    [[nodiscard]] QString suggestedPath() const;
    // "Import N rows of FILE into VIEW? ..."; true for Yes.
    [[nodiscard]] bool askImport(int rows, const QString& file);

    MemoryView& m_view;
    ViewHost& m_host;
    QString m_dataDir;
    std::function<void()> m_beep;
    CsvFileChooser m_choose = &AskForCsvFile;
};

}  // namespace vardo
