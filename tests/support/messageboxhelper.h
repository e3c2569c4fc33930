// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the program's message boxes in widget tests: while a helper lives, every box that
// shows is recorded and answered with the chosen button, else its default one. The question
// before unsaved views are dropped (on Exit) is left to a helper of its own.

#include <chrono>

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace vardo::test {

// The objectName of the program's question before unsaved views are dropped.
inline constexpr char kUnsavedQuestion[] = "msgUnsaved";

// The button that answers a box when no other is chosen, as Return or Esc would.
[[nodiscard]] inline QAbstractButton* DefaultAnswer(const QMessageBox& box)
{
    if (box.defaultButton())
        return box.defaultButton();
    return box.escapeButton() ? box.escapeButton() : box.buttons().value(0);
}

struct SeenMessage {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class MessageBoxHelper : public QObject {
public:
    enum class Boxes { AllButUnsavedQuestion, UnsavedQuestionOnly };

    explicit MessageBoxHelper(QMessageBox::StandardButton answer = QMessageBox::NoButton,
                              Boxes boxes = Boxes::AllButUnsavedQuestion, QObject* parent = nullptr);

    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    [[nodiscard]] const QList<SeenMessage>& seen() const { return m_seen; }
    [[nodiscard]] QStringList texts() const;
    [[nodiscard]] int count() const { return int(m_seen.size()); }
    [[nodiscard]] QString lastText() const { return m_seen.isEmpty() ? QString() : m_seen.last().text; }
    void clear() { m_seen.clear(); }
    // Lets events run until `count` boxes have been answered or `timeout` passes.
    bool waitForCount(int count, std::chrono::milliseconds timeout = std::chrono::seconds(10));

protected:
    void timerEvent(QTimerEvent*) override;  // answers the boxes open

private:
    QMessageBox::StandardButton m_answer;
    Boxes m_boxes;
    QList<SeenMessage> m_seen;
};

}  // namespace vardo::test
