// SPDX-License-Identifier: GPL-3.0-or-later
// bench-read-all: a full read of the 113 memory channels from vardo-sim at real wire speed,
// through the real serial transport, at the default pacing and at pacing 0. Prints how each
// read's wall time compares with the time its bytes need on the wire, and how much of that
// time this process spent on the CPU.
//
//   bench-read-all [--last N]    (reads channels 1..N, default 113)

#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"
#include "traffic.h"

namespace {

using namespace vardo;
using namespace vardo::bench;

int Fail(const char* what, const QString& detail = {}) { return FailWith("bench-read-all", what, detail); }

// Finds the radio at `pacing` and reads channels 1..last, printing the figures under `label`.
int ReadAll(const QString& port, int pacing, int last, const char* label)
{
    Traffic traffic;
    RadioLink link([&traffic](const QString& name) -> std::unique_ptr<Transport> {
        return std::make_unique<CountingTransport>(std::make_unique<SerialTransport>(name), traffic);
    });
    link.setPacing(pacing);
    QElapsedTimer clock;
    clock.start();
    if (!link.FindRadio({port}))
        return Fail("the radio was not found on", port);
    std::printf("FindRadio on %s at pacing %d: %.3f s\n", qPrintable(port), pacing, clock.nsecsElapsed() / 1e9);

    traffic = {};
    traffic.pacing = pacing;
    int records = 0;
    const double cpuStart = CpuSeconds();
    clock.restart();
    const LinkResult result = link.ReadMemories(1, last, [&records](int, const Record&) { ++records; });
    const double wall = clock.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuStart;
    if (!result.ok)
        return Fail("the read failed:", result.error);

    const double wire = traffic.wireSeconds();
    std::printf("read %d channels at pacing %d: %lld bytes sent, %lld received; wall %.3f s, wire %.3f s, cpu %.3f s\n",
                records, pacing, traffic.sent, traffic.received, wall, wire, cpu);
    std::printf("%s wall/wire=%.3f cpu/wall=%.3f\n", label, wall / wire, cpu / wall);
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int last = LastChannelArgument(app.arguments(), kChannelCount);
    test::SimProcess sim({});  // real wire timing
    if (sim.pty().isEmpty())
        return Fail("vardo-sim did not start:", sim.errorString());
    if (const int failed = ReadAll(sim.pty(), Cat::kPacing, last, "read_all"))
        return failed;
    return ReadAll(sim.pty(), 0, last, "read_all pacing=0");
}
