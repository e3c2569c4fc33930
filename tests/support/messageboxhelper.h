// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the program's message boxes in widget tests. While a helper lives, every
// QMessageBox that shows is recorded (text, title, icon, buttons) and answered by pressing
// the chosen button, or the box's default button when none was chosen. A box shown with
// exec() is answered inside its own event loop, so the call that raised it returns.
// The question before unsaved work is dropped (on Exit) is a helper's of its own: the
// harness answers it apart, so the other boxes a test counts stay as they were.

#include <chrono>

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace vardo::test {

// The objectName of the program's question before unsaved views are dropped.
inline constexpr char kUnsavedQuestion[] = "msgUnsaved";

struct SeenMessage {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton pressed = QMessageBox::NoButton;
};

class MessageBoxHelper : public QObject {
public:
    // Which boxes a helper answers: every box but the question on unsaved views, or that alone.
    enum class Boxes { AllButUnsavedQuestion, UnsavedQuestionOnly };

    explicit MessageBoxHelper(QMessageBox::StandardButton answer = QMessageBox::NoButton,
                              Boxes boxes = Boxes::AllButUnsavedQuestion, QObject* parent = nullptr);

    // The button to press from now on (NoButton: the box's default button).
    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }

    [[nodiscard]] const QList<SeenMessage>& seen() const { return m_seen; }
    [[nodiscard]] QStringList texts() const;
    [[nodiscard]] int count() const { return int(m_seen.size()); }
    [[nodiscard]] QString lastText() const { return m_seen.isEmpty() ? QString() : m_seen.last().text; }
    void clear() { m_seen.clear(); }

    // Lets events run until `count` boxes have been answered or `timeout` passes.
    bool waitForCount(int count, std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    void answerOpenBoxes();

    QMessageBox::StandardButton m_answer;
    Boxes m_boxes;
    QList<SeenMessage> m_seen;
    QTimer m_timer;
};

}  // namespace vardo::test
