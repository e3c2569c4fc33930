// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxhelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTest>

namespace vardo::test {
namespace {

constexpr std::chrono::milliseconds kLookInterval{5};

}  // namespace

MessageBoxHelper::MessageBoxHelper(QMessageBox::StandardButton answer, Boxes boxes, QObject* parent)
    : QObject(parent), m_answer(answer), m_boxes(boxes)
{
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxHelper::answerOpenBoxes);
    m_timer.start(kLookInterval);
}

QStringList MessageBoxHelper::texts() const
{
    QStringList all;
    for (const SeenMessage& m : m_seen)
        all.append(m.text);
    return all;
}

void MessageBoxHelper::answerOpenBoxes()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible())
            continue;
        const bool unsavedQuestion = box->objectName() == QLatin1String(kUnsavedQuestion);
        if (unsavedQuestion != (m_boxes == Boxes::UnsavedQuestionOnly))
            continue;
        QAbstractButton* button = m_answer != QMessageBox::NoButton ? box->button(m_answer) : nullptr;
        if (!button)
            button = box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton()) : box->escapeButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().constFirst();
        // Recorded as the program writes its messages, with carriage-return line breaks.
        m_seen.append({box->text().replace(u'\n', u'\r'), box->windowTitle(), box->icon(), box->standardButtons(),
                       box->standardButton(button)});
        if (button)
            button->click();  // closes the box, so it is seen once
    }
}

bool MessageBoxHelper::waitForCount(int count, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (this->count() < count && !deadline.hasExpired())
        QTest::qWait(int(kLookInterval.count()));
    return this->count() >= count;
}

}  // namespace vardo::test
