// SPDX-License-Identifier: GPL-3.0-or-later
#include "scansetup.h"

#include "catframe.h"

namespace vardo {

int ScanSetup::scanThreshold() const
{
    return m_digit == 0 ? 0 : ScanThreshold(m_digit);
}

void ScanSetup::begin()
{
    *this = ScanSetup{};
    m_stage = ScanStage::PickingStart;
}

PickResult ScanSetup::pick(int row)
{
    switch (m_stage) {
    case ScanStage::PickingStart:
        if (row < 1 || row > kLastStartRow)
            return PickResult::Ignored;
        m_start = row;
        m_stage = ScanStage::PickingEnd;
        return PickResult::StartTaken;
    case ScanStage::PickingEnd:
        if (row <= m_start || row >= kFirstRefusedEndRow)
            return PickResult::BackToStart;
        m_end = row;
        m_stage = ScanStage::ThresholdEntry;
        return PickResult::EndTaken;
    case ScanStage::Off:
    case ScanStage::ThresholdEntry:
    case ScanStage::Scanning:
        // Clicks while the digit is asked for or the scan runs start nothing new.
        return PickResult::Ignored;
    }
    return PickResult::Ignored;
}

DigitResult ScanSetup::enterText(const QString& text)
{
    if (m_stage != ScanStage::ThresholdEntry || digitTaken() || text.isEmpty())
        return DigitResult::Ignored;
    // One digit 1-9; the box takes one character, so anything else is a stray key.
    if (text.size() != 1 || text.at(0) < QLatin1Char('1') || text.at(0) > QLatin1Char('9'))
        return DigitResult::Emptied;
    m_digit = text.at(0).digitValue();
    return DigitResult::Taken;
}

bool ScanSetup::startScanning()
{
    if (m_stage != ScanStage::ThresholdEntry || !digitTaken())
        return false;
    m_stage = ScanStage::Scanning;
    return true;
}

void ScanSetup::cancel()
{
    m_stage = ScanStage::Off;
}

ScanLook ScanSetup::look() const
{
    switch (m_stage) {
    case ScanStage::Off:
        return {};
    case ScanStage::PickingStart:
        return {QString::fromLatin1(kStartPrompt), kDarkBlue, std::nullopt, false};
    case ScanStage::PickingEnd:
        return {QString::fromLatin1(kEndPrompt), kGreen, std::nullopt, false};
    case ScanStage::ThresholdEntry:
        return {QString::fromLatin1(kThresholdPrompt), kDarkRed, QString(), true};
    case ScanStage::Scanning:
        return {ScanningCaption(m_start, m_end), std::nullopt, QString::fromLatin1(kScanningEscape), false};
    }
    return {};
}

QString ScanningCaption(int start, int end)
{
    return QStringLiteral("Scanning from Memory Channel %1 to Memory Channel %2").arg(start).arg(end);
}

}  // namespace vardo
