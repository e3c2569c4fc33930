// SPDX-License-Identifier: GPL-3.0-or-later
#include "scancontroller.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "channelgrid.h"
#include "channelindex.h"
#include "memoryview.h"
#include "messagetext.h"
#include "moverules.h"
#include "radioclient.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "viewstate.h"
#include "windowkit.h"

namespace vardo {
namespace {

constexpr char kEscapeCaption[] = "(Press <Esc> to cancel scan)";

[[nodiscard]] QColor CaptionColour(const std::optional<Rgb>& rgb)
{
    if (!rgb)
        return QApplication::palette().color(QPalette::ButtonText);
    return QColor(rgb->red, rgb->green, rgb->blue);
}

}  // namespace

ScanController::ScanController(MemoryView& view, ViewHost& host, RadioClient& radio)
    : QObject(&view)
    , m_view(view)
    , m_host(host)
    , m_radio(radio)
{
    view.placeScanRow(buildRow());
    m_digitShown.setSingleShot(true);
    m_digitShown.setInterval(kDigitShowTime);
    connect(&m_digitShown, &QTimer::timeout, this, &ScanController::startScan);
    connect(&view, &MemoryView::scanRequested, this, &ScanController::onScanRequested);
    connect(&view, &MemoryView::scanClicked, this, [this](int row, int) { onGridClicked(row); });
    connect(&view, &MemoryView::escapePressed, this, &ScanController::onEscape);
    connect(m_entry, &QLineEdit::textChanged, this, &ScanController::onDigitText);
}

QWidget* ScanController::buildRow()
{
    auto* box = new QWidget(&m_view);
    QHBoxLayout* row = FlatRow(box);
    m_caption = ReservedControl<QLabel>(box, "lblScan");
    m_entry = ReservedControl<QLineEdit>(box, "txtScan");
    m_entry->setMaxLength(1);
    m_entry->setAccessibleName(QStringLiteral("Minimum S-meter reading"));
    m_entry->setFixedWidth(m_entry->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 12);
    m_escape = ReservedControl<QLabel>(box, "lblEscape");
    m_escape->setText(QString::fromLatin1(kEscapeCaption));
    row->addWidget(m_caption);
    row->addWidget(m_entry);
    row->addSpacing(24);
    row->addWidget(m_escape);
    row->addStretch(1);
    return box;
}

void ScanController::onScanRequested()
{
    if (!m_host.family().table(m_view.kind()).hasData(1)) {
        ShowMessage(&m_view, QString::fromLatin1(kNothingToScan));
        return;
    }
    m_host.viewState().ScanMode = true;
    m_view.setNormalCommandsVisible(false);
    m_caption->show();
    m_escape->show();
    m_setup.begin();
    showStage();
    // Esc is taken on the grid, so the grid should have the keyboard.
    m_view.grid()->setFocus(Qt::OtherFocusReason);
}

void ScanController::showStage()
{
    const ScanLook look = m_setup.look();
    m_caption->setText(look.scanCaption);
    QPalette palette = m_caption->palette();
    palette.setColor(QPalette::WindowText, CaptionColour(look.scanColour));
    m_caption->setPalette(palette);
    if (look.escapeCaption)
        m_escape->setText(*look.escapeCaption);
    m_entry->setVisible(look.entryVisible);
}

void ScanController::onGridClicked(int row)
{
    switch (m_setup.pick(row)) {
    case PickResult::Ignored:
        return;
    case PickResult::StartTaken:
        m_view.setHighlight(true);
        m_view.selectRow(m_setup.scanStart());
        showStage();
        return;
    case PickResult::BackToStart:
        m_view.selectRow(m_setup.scanStart());
        return;
    case PickResult::EndTaken:
        showStage();
        m_entry->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void ScanController::onDigitText(const QString& text)
{
    switch (m_setup.enterText(text)) {
    case DigitResult::Ignored:
        return;
    case DigitResult::Emptied:
        m_entry->clear();
        return;
    case DigitResult::Taken:
        // The digit stays readable a moment; keys meanwhile change nothing.
        m_entry->setReadOnly(true);
        m_digitShown.start();
        return;
    }
}

void ScanController::startScan()
{
    if (!m_setup.startScanning())
        return;
    m_entry->setReadOnly(false);
    m_entry->clear();
    showStage();
    m_view.grid()->setFocus(Qt::OtherFocusReason);
    m_host.viewState().Scanning = true;
    const bool started = m_radio.scan(
        m_setup.scanStart(), m_setup.scanEnd(), m_setup.scanThreshold(), this,
        [this](int channel) { onScanAt(channel); },
        [this](const LinkResult& outcome) { onScanDone(outcome.error); });
    if (!started) {
        endScanMode();
        ShowMessage(&m_view, QString::fromLatin1(kScanNotStarted));
    }
}

void ScanController::onScanAt(int channel)
{
    if (m_setup.stage() != ScanStage::Scanning)
        return;
    followRow(RowOfChannel(m_view.kind(), channel));
}

void ScanController::followRow(int row)
{
    if (!m_view.rowVisible(row))
        m_view.setTopRow(row);
    // Brought to the top it may still be out of sight near the grid's end; then it becomes
    // the bottom row of a page.
    if (!m_view.rowVisible(row) && row > kRowsAboveWhenScrolledDown)
        m_view.setTopRow(TopRowAfterMove(row, Direction::Down));
    m_view.selectRow(row);
}

void ScanController::onScanDone(const QString& failure)
{
    // After Esc the operator has already ended the scan; a failure in its last step is moot.
    // Stopped from elsewhere (the program closing), the view still shows the scan.
    if (!m_host.viewState().ScanMode || !m_setup.active())
        return;
    endScanMode();
    if (!failure.isEmpty())
        ShowMessage(&m_view, failure + kMessageLineBreak + QString::fromLatin1(kScanEndedLine));
}

void ScanController::onEscape()
{
    if (m_host.viewState().ScanMode)
        endScanMode();
}

void ScanController::endScanMode()
{
    ViewState& state = m_host.viewState();
    state.Scanning = false;
    m_caption->hide();
    m_escape->hide();
    m_view.setNormalCommandsVisible(true);
    m_entry->hide();
    m_view.setHighlight(false);
    m_view.setCurrentCell(m_view.currentRow(), ColLabel);
    state.ScanMode = false;
    m_host.stopScan();
    m_setup.cancel();
    m_digitShown.stop();
    m_entry->setReadOnly(false);
    m_entry->clear();
}

}  // namespace vardo
