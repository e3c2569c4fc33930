#pragma once
// The memory scan of one view (frmAll, frmCh99), window side: cmdScan, the range picked by
// grid clicks, the S-unit digit in txtScan, then the radio scans while the grid follows the
// channel it is on. Everything is event-driven; Esc on the grid ends it from any stage.

#include <chrono>

#include <QObject>
#include <QTimer>

#include "scansetup.h"

class QLabel;
class QLineEdit;

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
    void onScanRequested();
    void onGridClicked(int row);
    void onDigitText(const QString& text);
    void startScan();
    void onScanAt(int channel);
    void onScanFailed(const QString& message);
    void onScanFinished();
    void onScanEnded();
    void showStage();
    void followRow(int row);

    MemoryView& m_view;
    ViewHost& m_host;
    RadioClient& m_radio;
    QLabel* m_caption;
    QLabel* m_escape;
    QLineEdit* m_entry;
    QTimer m_digitShown;
    ScanSetup m_setup;
    bool m_running = false;  // our scan runs on the radio (until its finished or failed)
};

}  // namespace vardo
