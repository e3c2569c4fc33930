// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ports the radio is looked for on, in probe order.

#include <QStringList>

namespace vardo {

inline constexpr int kMaxProbedPorts = 16;

// COM1 to COM16 on Windows; elsewhere the serial ports the system lists (device paths such
// as /dev/ttyUSB0), in name order, at most 16.
[[nodiscard]] QStringList DefaultPortNames();

// Names in natural order (ttyS2 before ttyS10), cut to the first 16.
[[nodiscard]] QStringList OrderedPortNames(QStringList names);

}  // namespace vardo
