// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The memory scan's set-up as a state machine: pick the first row, pick the last row, type
// the S-unit digit, then scan. It decides what each click or keystroke means and what the
// two status labels say; the window shows it and the radio side runs the scan itself.

#include <optional>

#include <QString>

namespace vardo {

inline constexpr char kNothingToScan[] = "Nothing to scan!";
inline constexpr char kStartPrompt[] = "Click on the memory channel row to start the scan at";
inline constexpr char kEndPrompt[] = "Click on the memory channel row to end the scan at";
inline constexpr char kThresholdPrompt[] = "Enter minimum S-meter reading to pause on signal:  S-";
inline constexpr char kScanningEscape[] = "Press <Esc> to end scan";

// Last grid row that can start a scan and the first that cannot end one: only regular
// channels are scanned, and a range has at least two of them.
inline constexpr int kLastStartRow = 98;
inline constexpr int kFirstRefusedEndRow = 100;

enum class ScanStage { Off, PickingStart, PickingEnd, ThresholdEntry, Scanning };

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kDarkBlue{0, 0, 192};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kDarkRed{192, 0, 0};

// What the scan labels and the digit box show in a stage.
struct ScanLook {
    QString scanCaption;                   // lblScan
    std::optional<Rgb> scanColour;         // none: the system's button-text colour
    std::optional<QString> escapeCaption;  // lblEscape; none: left as it stands
    bool entryVisible = false;             // txtScan

    bool operator==(const ScanLook&) const = default;
};

enum class PickResult {
    Ignored,      // not a row the stage takes; keep waiting
    StartTaken,   // the first row is set; now pick the last
    EndTaken,     // the last row is set; now the digit
    BackToStart   // refused as the last row; the selection goes back to the first row
};

enum class DigitResult {
    Ignored,  // nothing to take (empty box, or not asking for a digit)
    Emptied,  // not a digit 1-9: empty the box and wait for another key
    Taken     // the digit is set; show it a moment, then start scanning
};

class ScanSetup {
public:
    [[nodiscard]] ScanStage stage() const { return m_stage; }
    [[nodiscard]] bool active() const { return m_stage != ScanStage::Off; }
    [[nodiscard]] int scanStart() const { return m_start; }
    [[nodiscard]] int scanEnd() const { return m_end; }
    [[nodiscard]] int sMeterDigit() const { return m_digit; }
    // S-meter byte above which a channel counts as busy (0 until a digit is taken).
    [[nodiscard]] int scanThreshold() const;
    [[nodiscard]] bool digitTaken() const { return m_digit != 0; }

    void begin();                                  // cmdScan on a view with data in row 1
    PickResult pick(int row);                      // a grid click during set-up
    DigitResult enterText(const QString& text);    // txtScan changed
    bool startScanning();                          // after the digit was shown; false if none
    void cancel();                                 // Esc: off from any stage

    [[nodiscard]] ScanLook look() const;

private:
    ScanStage m_stage = ScanStage::Off;
    int m_start = 0;
    int m_end = 0;
    int m_digit = 0;
};

// "Scanning from Memory Channel 3 to Memory Channel 17"
[[nodiscard]] QString ScanningCaption(int start, int end);

}  // namespace vardo
