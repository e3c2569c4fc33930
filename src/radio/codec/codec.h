// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Record decoding and the eight VFO-A setting encoders, as pure functions.

#include <optional>
#include <vector>

#include <QStringList>

#include "catframe.h"
#include "channel.h"
#include "record.h"

namespace vardo {

// Decodes a memory or VFO-A record. With the receive clarifier on, Freq is the receive
// frequency (VFO frequency + Offset). A code outside its table gives an empty text.
[[nodiscard]] Channel DecodeRecord(const Record& record);

// The record as 32 upper-case hexadecimal digits.
[[nodiscard]] QString RecordHex(const Record& record);

// The display texts each settings column can hold (the order of the decoder's tables).
[[nodiscard]] const QStringList& ModeTexts();
[[nodiscard]] const QStringList& Filter82Texts();
[[nodiscard]] const QStringList& Filter455Texts();
[[nodiscard]] const QStringList& AntTexts();
[[nodiscard]] const QStringList& RitTexts();   // "OFF", "ON"
[[nodiscard]] const QStringList& RptTexts();   // "OFF", "+RPT", "-RPT"

// The encoders. Each gives no frame for a text outside its table (never an invented code).
[[nodiscard]] std::optional<CatFrame> SendMode(const Channel& c);
[[nodiscard]] std::optional<CatFrame> Send82Filter(const Channel& c);
[[nodiscard]] std::optional<CatFrame> Send455Filter(const Channel& c);
[[nodiscard]] std::optional<CatFrame> SendFreq(const Channel& c);  // none outside 6..8 characters
[[nodiscard]] std::optional<CatFrame> SendRxRit(const Channel& c);
[[nodiscard]] std::optional<CatFrame> SendTxRit(const Channel& c);
[[nodiscard]] std::optional<CatFrame> SendRitOffset(const Channel& c);
[[nodiscard]] std::optional<CatFrame> SendRpt(const Channel& c);

// The eight encoders in the fixed order, skipping the ones that give no frame.
[[nodiscard]] std::vector<CatFrame> EncodeChannel(const Channel& c);

}  // namespace vardo
