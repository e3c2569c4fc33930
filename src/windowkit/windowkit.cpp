// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowkit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>
#include <memory>
#include <utility>

#include "messagetext.h"
#include "viewdescriptor.h"

namespace vardo {
namespace {

constexpr char kClassicFont[] = "MS Sans Serif";
constexpr int kClassicPointSize = 8;

}  // namespace

QFont ControlFont()
{
    if (QFontDatabase::families().contains(QString::fromLatin1(kClassicFont)))
        return QFont(QString::fromLatin1(kClassicFont), kClassicPointSize);
    return QApplication::font();
}

void ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon)
{
    // Qt's labels break lines at '\n'.
    const QString lines = QString(text).replace(kMessageLineBreak, u'\n');
    // On the heap: a parent window that goes while the box waits takes the box with it safely.
    QPointer<QMessageBox> box =
        new QMessageBox(icon, QString::fromLatin1(kAppTitle), lines, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->exec();
}

void AddHelpMenu(QMainWindow& window, const std::function<void()>& contents, const std::function<void()>& about)
{
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* contentsItem = help->addAction(QStringLiteral("Contents"));
    contentsItem->setObjectName(QStringLiteral("itmContents"));
    QAction* aboutItem = help->addAction(QStringLiteral("About Vardo"));
    aboutItem->setObjectName(QStringLiteral("itmAbout"));
    QObject::connect(contentsItem, &QAction::triggered, &window, contents);
    QObject::connect(aboutItem, &QAction::triggered, &window, about);
}

void ShowRadioLine(QMainWindow& window, const QString& text)
{
    const QString name = QStringLiteral("lblRadio");
    QStatusBar* bar = window.statusBar();
    auto* line = bar->findChild<QLabel*>(name);
    if (!line) {
        // The windows are laid out for their content; a grip would offer a size they refuse.
        bar->setSizeGripEnabled(false);
        // The bar's line starts and ends where the window's rows do (the bar keeps 2 pixels).
        const int margin = std::max(0, bar->style()->pixelMetric(QStyle::PM_LayoutLeftMargin) - 2);
        bar->setContentsMargins(margin, 0, margin, 0);
        line = new QLabel(bar);
        line->setObjectName(name);
        bar->addWidget(line, 1);
        // The bar paints its messages itself, and hides the line meanwhile: a screen reader
        // finds the message as the bar's name.
        QObject::connect(bar, &QStatusBar::messageChanged, bar,
                         [bar](const QString& message) { bar->setAccessibleName(message); });
    }
    line->setText(text);
}

QList<QRadioButton*> AddViewOptions(QWidget& parent, QBoxLayout& layout,
                                    const std::function<void(ViewKind)>& chosen)
{
    QList<QRadioButton*> options;
    auto* group = new QButtonGroup(&parent);
    for (ViewKind kind : kAllViews) {
        const ViewDescriptor& d = Descriptor(kind);
        auto* option = new QRadioButton(QString::fromLatin1(d.optionText), &parent);
        option->setObjectName(QString::fromLatin1(d.optionName));
        group->addButton(option);
        layout.addWidget(option);
        options.append(option);
        // An option that becomes set chooses its view however it was set (a click, a key, or a
        // screen reader's toggle action, which emits no click); a click on the option already
        // set chooses it again. Whether it was set is noted when the press starts.
        auto wasSet = std::make_shared<bool>(false);
        QObject::connect(option, &QRadioButton::pressed, &parent, [option, wasSet] { *wasSet = option->isChecked(); });
        QObject::connect(option, &QRadioButton::toggled, &parent, [chosen, kind](bool on) {
            if (on)
                chosen(kind);
        });
        QObject::connect(option, &QRadioButton::clicked, &parent, [chosen, kind, wasSet] {
            if (std::exchange(*wasSet, false))
                chosen(kind);
        });
    }
    return options;
}

QHBoxLayout* Centred(QWidget* widget)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(widget);
    row->addStretch(1);
    return row;
}

QHBoxLayout* FlatRow(QWidget* box)
{
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    return row;
}

void SetOptionQuietly(QRadioButton& option)
{
    const QSignalBlocker quiet(option);
    option.setChecked(true);
}

void HideKeepingPlace(QWidget& widget)
{
    QSizePolicy policy = widget.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget.setSizePolicy(policy);
    widget.hide();
}

QStringList ListThatFits(const QStringList& items)
{
    constexpr qsizetype kShown = 15;  // a message box longer than this would not fit the screen
    QStringList lines = items.mid(0, kShown);
    if (items.size() > kShown)
        lines << QStringLiteral("... and %1 more.").arg(items.size() - kShown);
    return lines;
}

}  // namespace vardo
