// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress of a long radio operation in one view (a Read, a Load of the saved file, a
// Compare): the bar (progressBar, "channel 42 of 113") and Stop (cmdStop), shown only while
// the operation runs. Stop, or Esc on the view, asks the radio to end the operation after the
// channel under way; the operation then ends as stopped and says how far it got. It owns its
// row; the view gives it its place.

#include <QObject>

class QProgressBar;
class QPushButton;
class QWidget;

namespace vardo {

class MemoryView;
class RadioClient;
struct LinkResult;

inline constexpr char kProgressFormat[] = "channel %v of %m";

class ProgressRow : public QObject {
    Q_OBJECT
public:
    ProgressRow(MemoryView& view, RadioClient& radio);

    // Shows the row for an operation of `total` channels, none of them done yet.
    void start(int total);
    // One more channel done.
    void step();
    // Hides the row: the operation has ended. Harmless when it is not shown.
    void finish();
    [[nodiscard]] bool running() const { return m_running; }

private:
    [[nodiscard]] QWidget* buildRow();
    void stop();

    MemoryView& m_view;
    RadioClient& m_radio;
    QWidget* m_row = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_stop = nullptr;
    bool m_running = false;
};

// Tells the operator how an operation that did not end well ended: a stop as information
// (how far it got), a failure as a warning. Nothing for one that ended well.
void ShowUnfinished(QWidget* parent, const LinkResult& outcome);

}  // namespace vardo
