#pragma once
// Answers the program's message boxes in widget tests. While a helper lives, every
// QMessageBox that shows is recorded (text, title, icon, buttons) and answered by pressing
// the chosen button, or the box's default button when none was chosen. A box shown with
// exec() is answered inside its own event loop, so the call that raised it returns.

#include <chrono>

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace vardo::test {

struct SeenMessage {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton pressed = QMessageBox::NoButton;
};

class MessageBoxHelper : public QObject {
public:
    explicit MessageBoxHelper(QMessageBox::StandardButton answer = QMessageBox::NoButton,
                              QObject* parent = nullptr);

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
    QList<SeenMessage> m_seen;
    QTimer m_timer;
};

}  // namespace vardo::test
