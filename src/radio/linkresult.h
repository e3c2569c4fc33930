// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a radio operation ended, in words for the operator.

#include <QList>
#include <QString>

#include "rowcompare.h"

namespace vardo {

struct LinkResult {
    bool ok = true;
    QString error;  // what failed, for the operator; empty when ok
    // The operator stopped the operation (cancel()); `error` says how far it got.
    bool cancelled = false;
    // A write whose read-back found channels the radio does not hold as written: the link
    // itself worked, every channel was written and checked, and `error` lists them.
    QList<ChannelMismatch> mismatches;

    [[nodiscard]] static LinkResult Success() { return {}; }
    [[nodiscard]] static LinkResult Failure(const QString& message) { return {false, message, false, {}}; }
    [[nodiscard]] static LinkResult Stopped(const QString& message) { return {false, message, true, {}}; }
    bool operator==(const LinkResult&) const = default;
};

}  // namespace vardo
