// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The emulator's front-end loop: bytes from the client's port go to the radio over a SimLine, reply
// bytes go back when they are due. It sleeps in between (no polling on a tick).

#include <chrono>

#include "pty.h"
#include "simline.h"
#include "simradio.h"

namespace vardo::sim {

// An unfinished frame older than this is dropped, so a stray byte cannot shift every later
// frame. Clients that write a frame byte by byte do so a few milliseconds apart.
inline constexpr std::chrono::milliseconds kFrameGap{500};

// Serves `radio` on `port` until a termination signal arrives (true) or the port fails (false).
// With a latency, every byte takes that much longer each way, in order, as across a network.
bool Serve(SimPort& port, SimRadio& radio, Timing timing, std::chrono::milliseconds latency = {});

}  // namespace vardo::sim
