// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxhelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace vardo::test {

MessageBoxHelper::MessageBoxHelper(QMessageBox::StandardButton answer, Boxes boxes, QObject* parent)
    : QObject(parent), m_answer(answer), m_boxes(boxes)
{
    startTimer(std::chrono::milliseconds(5));
}

QStringList MessageBoxHelper::texts() const
{
    QStringList all;
    for (const SeenMessage& m : m_seen)
        all.append(m.text);
    return all;
}

void MessageBoxHelper::timerEvent(QTimerEvent*)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible()
            || (box->objectName() == QLatin1String(kUnsavedQuestion)) != (m_boxes == Boxes::UnsavedQuestionOnly))
            continue;
        QAbstractButton* button = box->button(m_answer) ? box->button(m_answer) : DefaultAnswer(*box);
        // Recorded as the program writes its messages, with carriage-return line breaks.
        m_seen.append({box->text().replace(u'\n', u'\r'), box->windowTitle(), box->icon(), box->standardButtons()});
        if (button)
            button->click();  // closes the box, so it is seen once
    }
}

bool MessageBoxHelper::waitForCount(int count, std::chrono::milliseconds timeout)
{
    return QTest::qWaitFor([this, count] { return this->count() >= count; }, int(timeout.count()));
}

}  // namespace vardo::test
