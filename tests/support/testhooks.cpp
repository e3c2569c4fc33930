// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhooks.h"

#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "messageboxhelper.h"
#include "vardoapp.h"

namespace vardo {
namespace {

void Say(const QString& line)
{
    std::fprintf(stderr, "vardo: %s\n", qPrintable(line));
    std::fflush(stderr);
}

// Reports windows as they show; answers message boxes, each with its default button.
class Hooks : public QObject {
public:
    explicit Hooks(QObject* parent) : QObject(parent) { startTimer(std::chrono::milliseconds(50)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow() && !qobject_cast<QMessageBox*>(widget))
            Say(QStringLiteral("shown %1").arg(widget->objectName()));
        return false;
    }
    void timerEvent(QTimerEvent*) override
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            Say(QStringLiteral("message: %1").arg(box->text()));
            if (QAbstractButton* answer = test::DefaultAnswer(*box))
                answer->click();
        }
    }
};

}  // namespace

void InstallTestHooks(VardoApp& app)
{
    qApp->installEventFilter(new Hooks(&app));
    QObject::connect(&app, &VardoApp::started, &app, [](const QString& port) {
        Say(QStringLiteral("radio found on %1").arg(port));
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    });
}

}  // namespace vardo
