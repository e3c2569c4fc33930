// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two reads every transport over a QIODevice makes the same way: until at least some bytes
// have come, and for a whole interval. Each transport brings its own wait for more bytes,
// which knows how its device reports a lost link.

#include <chrono>
#include <functional>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QIODevice>

#include "transport.h"

namespace vardo {

// Waits up to the given time for more bytes: Ok, TimedOut, or LinkLost (the device is gone).
using DataWait = std::function<IoStatus(std::chrono::milliseconds)>;

// What is left of `deadline`, never negative.
[[nodiscard]] std::chrono::milliseconds Remaining(const QDeadlineTimer& deadline);

// Returns once at least `count` bytes have come (all of them go to `out`), or TimedOut with
// what did come when `timeout` passes first.
IoStatus ReadAtLeast(QIODevice& device, const DataWait& wait, qsizetype count, std::chrono::milliseconds timeout,
                     QByteArray& out);

// Waits the whole interval, then hands over everything that came.
IoStatus ReadAfter(QIODevice& device, const DataWait& wait, std::chrono::milliseconds interval, QByteArray& out);

}  // namespace vardo
