// SPDX-License-Identifier: GPL-3.0-or-later
// bench-read-all: a full read of the 113 memory channels from vardo-sim at real wire speed.
// Prints how each read's wall time compares with the time its bytes need on the wire, and how
// much of that time this process spent on the CPU.

#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"
#include "tcptransport.h"
#include "traffic.h"

namespace {

using namespace vardo;
using namespace vardo::bench;

constexpr char kUsage[] =
    "Usage: bench-read-all [--last N] [--latency MS]\n"
    "Reads channels 1..N (default 113) from vardo-sim at the real line's pace.\n"
    "  without --latency  through a pseudo-terminal, at pacing 5 and at pacing 0\n"
    "  --latency MS       through vardo-sim --tcp with every byte MS ms late each way, against\n"
    "                     the line time plus one round trip per request\n";

int Fail(const char* what, const QString& detail = {}) { return FailWith("bench-read-all", what, detail); }

// Finds the radio at `pacing` and reads channels 1..last; prints the figures under `label`, the
// wall time set against the line time plus `perRequest` for each request.
int ReadAll(const TransportFactory& ports, const QString& port, int pacing, int last, const char* label,
            std::chrono::milliseconds perRequest = {})
{
    Traffic traffic;
    RadioLink link([&](const QString& name) -> std::unique_ptr<Transport> {
        std::unique_ptr<Transport> inner = ports(name);
        return inner ? std::make_unique<CountingTransport>(std::move(inner), traffic) : nullptr;
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
    const double bound = wire + double(traffic.replies) * std::chrono::duration<double>(perRequest).count();
    std::printf("read %d channels at pacing %d: %lld bytes sent, %lld received; wall %.3f s, wire %.3f s, cpu %.3f s\n",
                records, pacing, traffic.sent, traffic.received, wall, wire, cpu);
    std::printf("%s=%.3f cpu/wall=%.3f\n", label, wall / bound, cpu / wall);
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (PrintedUsage(args, kUsage))
        return 0;
    const int last = LastChannelArgument(args, kChannelCount);
    const int latency = NumberArgument(args, QStringLiteral("--latency"), 0, 60000, -1);
    if (latency >= 0) {
        test::SimProcess sim({"--tcp", "0", "--latency", QString::number(latency)});
        if (sim.pty().isEmpty())
            return Fail("vardo-sim did not start:", sim.errorString());
        const QByteArray label = QStringLiteral("read_all latency=%1 wall/(wire+rtt-bound)").arg(latency).toLatin1();
        return ReadAll(TcpTransport::factory({}), sim.pty(), Cat::kPacing, last, label.constData(),
                       std::chrono::milliseconds(2 * latency));
    }
    test::SimProcess sim({});  // real wire timing
    if (sim.pty().isEmpty())
        return Fail("vardo-sim did not start:", sim.errorString());
    if (const int failed = ReadAll(SerialTransport::factory(), sim.pty(), Cat::kPacing, last, "read_all wall/wire"))
        return failed;
    return ReadAll(SerialTransport::factory(), sim.pty(), 0, last, "read_all pacing=0 wall/wire");
}
