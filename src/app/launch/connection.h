// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How vardo reaches the radio: the ports to look on, the pacing and the built-in emulator. The
// Connection dialog sets them; the ports and the pacing are remembered for the next start, the
// emulator never, so that no later start works on it while the operator believes it is the radio.

#include <optional>

#include <QString>
#include <QStringList>

#include "catframe.h"

namespace vardo {

struct Connection {
    QStringList ports;  // in probe order; empty: every serial port the system lists
    int pacing = Cat::kPacing;  // ms the radio is asked for between the bytes of a reply
    bool simulate = false;      // the emulator, probed first

    bool operator==(const Connection&) const = default;
};

// The remembered connection (in ~/.config/Vardo/Vardo.conf on Linux); the defaults for what is
// missing or out of range. The emulator is always off.
[[nodiscard]] Connection StoredConnection();
// Remembers the ports and the pacing of `connection`.
void StoreConnection(const Connection& connection);

// Why `name` cannot be a port, for the operator; none when it can. A radio on the network is
// given as tcp://HOST:PORT; any other name is a serial port, which only the search can judge.
[[nodiscard]] std::optional<QString> PortNameProblem(const QString& name);

}  // namespace vardo
