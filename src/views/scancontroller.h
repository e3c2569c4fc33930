// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The memory scan of one view (frmAll, frmCh99), window side: cmdScan, the range picked by
// grid clicks, the S-unit digit in txtScan, then the radio scans while the grid follows the
// channel it is on. Everything is event-driven; Esc on the view ends it from any stage. It
// owns the scan row (lblScan, txtScan, lblEscape) and the scan flags of the view state.

#include <chrono>

#include <QObject>
#include <QTimer>

#include "scansetup.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace vardo {

class MemoryView;
class RadioClient;
class ViewHost;

// The typed digit stays on show this long before the scan starts.
inline constexpr std::chrono::milliseconds kDigitShowTime{1000};

inline constexpr char kScanEndedLine[] = "The scan has ended.";
inline constexpr char kScanNotStarted[] = "The radio is busy; the scan did not start.";

class ScanController : public QObject {
    Q_OBJECT
public:
    ScanController(MemoryView& view, ViewHost& host, RadioClient& radio);

    [[nodiscard]] const ScanSetup& setup() const { return m_setup; }

private:
    [[nodiscard]] QWidget* buildRow();
    void onScanRequested();
    void onGridClicked(int row);
    void onDigitText(const QString& text);
    void startScan();
    void onScanAt(int channel);
    void onScanDone(const QString& failure);
    void onEscape();
    // Back from any stage to the normal commands, the radio told to stop.
    void endScanMode();
    void showStage();
    void followRow(int row);

    MemoryView& m_view;
    ViewHost& m_host;
    RadioClient& m_radio;
    QLabel* m_caption = nullptr;
    QLabel* m_escape = nullptr;
    QLineEdit* m_entry = nullptr;
    QTimer m_digitShown;
    ScanSetup m_setup;
};

}  // namespace vardo
