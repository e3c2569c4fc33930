// SPDX-License-Identifier: GPL-3.0-or-later
#include "progressrow.h"

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

#include "memoryview.h"
#include "radioclient.h"
#include "windowkit.h"

namespace vardo {
namespace {

// The widest text the bar shows, for a width that does not change as the count grows.
constexpr char kWidestProgress[] = "channel 888 of 888";
constexpr int kBarPadding = 32;  // pixels beside the text, for the bar's frame and chunk

// How a screen reader finds the bar: its name and its value are what it shows, "channel 42
// of 113", not a bare number or a percentage of nothing it names.
class ProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ProgressAccessible(QProgressBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        const QString shown = bar()->text();  // empty before the first operation
        switch (t) {
        case QAccessible::Value: return shown;
        case QAccessible::Name: return shown.isEmpty() ? QStringLiteral("Progress") : shown;
        default: return QAccessibleWidget::text(t);
        }
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    [[nodiscard]] QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant&) override {}
    [[nodiscard]] QVariant maximumValue() const override { return bar()->maximum(); }
    [[nodiscard]] QVariant minimumValue() const override { return bar()->minimum(); }
    [[nodiscard]] QVariant minimumStepSize() const override { return 1; }

private:
    [[nodiscard]] QProgressBar* bar() const { return static_cast<QProgressBar*>(widget()); }
};

[[nodiscard]] QAccessibleInterface* ProgressFactory(const QString& className, QObject* object)
{
    auto* bar = qobject_cast<QProgressBar*>(object);
    if (className == u"QProgressBar" && bar && bar->objectName() == u"progressBar")
        return new ProgressAccessible(bar);
    return nullptr;
}

}  // namespace

ProgressRow::ProgressRow(MemoryView& view, RadioClient& radio) : QObject(&view), m_view(view), m_radio(radio)
{
    view.placeProgressRow(buildRow());
    connect(m_stop, &QPushButton::clicked, this, &ProgressRow::stop);
    connect(&view, &MemoryView::escapePressed, this, [this] {
        if (m_running)
            stop();
    });
    // An operation whose asker forgot to finish must not leave Stop on show.
    connect(&radio, &RadioClient::busyChanged, this, [this](bool busy) {
        if (!busy)
            finish();
    });
}

QWidget* ProgressRow::buildRow()
{
    auto* box = new QWidget(&m_view);
    QHBoxLayout* row = FlatRow(box);
    m_bar = new QProgressBar(box);
    m_bar->setObjectName(QStringLiteral("progressBar"));
    m_bar->setFormat(QString::fromLatin1(kProgressFormat));
    m_bar->setAlignment(Qt::AlignCenter);
    static const bool described = (QAccessible::installFactory(&ProgressFactory), true);
    Q_UNUSED(described);
    m_bar->setFixedWidth(m_bar->fontMetrics().horizontalAdvance(QString::fromLatin1(kWidestProgress)) + kBarPadding);
    // Alt+S is Save's, which stays on show while the operation runs.
    m_stop = new QPushButton(QStringLiteral("S&top"), box);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setAutoDefault(false);
    row->addWidget(m_bar);
    row->addWidget(m_stop);
    m_row = box;
    // Hidden, the row keeps its room, so the window does not move when an operation starts.
    HideKeepingPlace(*box);
    return box;
}

void ProgressRow::start(int total)
{
    m_running = true;
    m_bar->setRange(0, total);
    m_bar->setValue(0);
    m_stop->setEnabled(true);
    m_row->show();
}

void ProgressRow::step()
{
    if (m_running)
        m_bar->setValue(std::min(m_bar->value() + 1, m_bar->maximum()));
}

void ProgressRow::finish()
{
    m_running = false;
    m_row->hide();
}

void ProgressRow::stop()
{
    // The radio ends after the channel under way; Stop has done its part meanwhile.
    m_stop->setEnabled(false);
    m_radio.cancel();
}

void ShowUnfinished(QWidget* parent, const LinkResult& outcome)
{
    if (outcome.ok)
        return;
    ShowMessage(parent, outcome.error, outcome.cancelled ? QMessageBox::Information : QMessageBox::Warning);
}

}  // namespace vardo
