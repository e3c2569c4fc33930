// SPDX-License-Identifier: GPL-3.0-or-later
// bench-restore: a restore of every written channel of the emulator's demo memory into
// vardo-sim at real wire speed, through the real serial transport, with each channel read
// back; then a verify (a read of all 113 channels compared with what was written). Prints how
// each one's wall time compares with the line time of its own traffic, and the CPU time this
// process spent over the wall time of both.
//
//   bench-restore [--last N]    (restores and verifies channels 1..N, default 113: the QMB
//                                channels are never written, but verified)

#include <algorithm>
#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "codec.h"
#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"
#include "simradio.h"
#include "traffic.h"

namespace {

using namespace vardo;
using namespace vardo::bench;

constexpr char kUsage[] =
    "Usage: bench-restore [--last N]\n"
    "Restores the demo memory's channels 1..N (default 113; the QMB channels are only verified)\n"
    "into vardo-sim at the real line's pace with a read-back, then verifies them.\n";

int Fail(const char* what, const QString& detail = {}) { return FailWith("bench-restore", what, detail); }

// The demo memory's channels 1..last that hold a frequency the radio takes, as a restore
// would write them.
QList<ChannelWrite> DemoBatch(int last)
{
    sim::SimRadio demo;
    demo.loadDemoImage();
    QList<ChannelWrite> batch;
    for (int channel = kFirstRegular; channel <= last; ++channel) {
        const Channel c = DecodeRecord(demo.memory(channel));
        if (SendFreq(c))
            batch << ChannelWrite{c, channel, c.masked() ? 1 : 2};
    }
    return batch;
}

struct Run {
    double wall = 0;
    double wire = 0;
    double cpu = 0;
};

// Times `operation` and measures its traffic.
template <typename Operation>
Run Measure(Traffic& traffic, Operation operation)
{
    traffic = {.pacing = Cat::kPacing};
    const double cpuStart = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    operation();
    return {clock.nsecsElapsed() / 1e9, traffic.wireSeconds(), CpuSeconds() - cpuStart};
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (PrintedUsage(app.arguments(), kUsage))
        return 0;
    const int last = LastChannelArgument(app.arguments(), kChannelCount);
    const QList<ChannelWrite> batch = DemoBatch(std::min(last, kLastPms));
    test::SimProcess sim({});  // real wire timing, the demo memory
    if (sim.pty().isEmpty())
        return Fail("vardo-sim did not start:", sim.errorString());
    Traffic traffic;
    RadioLink link([&traffic](const QString& name) -> std::unique_ptr<Transport> {
        return std::make_unique<CountingTransport>(std::make_unique<SerialTransport>(name), traffic);
    });
    if (!link.FindRadio({sim.pty()}))
        return Fail("the radio was not found on", sim.pty());

    LinkResult restored;
    const Run restore = Measure(traffic, [&] { restored = link.WriteBatch(batch); });
    if (!restored.ok)
        return Fail("the restore failed:", restored.error);
    int differing = 0;
    LinkResult read;
    const Run verify = Measure(traffic, [&] {
        qsizetype next = 0;
        read = link.ReadMemories(kFirstRegular, last, [&](int channel, const Record& record) {
            if (next < batch.size() && batch[next].ChannelNo == channel)
                differing += RowDifferences(CellsOfWrite(batch[next++]), DecodeRecord(record), Fields::Written).isEmpty() ? 0 : 1;
        });
    });
    if (!read.ok || differing)
        return Fail("the verify failed:", read.ok ? QStringLiteral("%1 channels differ").arg(differing) : read.error);

    std::printf("restore %lld channels with read-back: wall %.3f s, wire %.3f s; verify %d channels: wall %.3f s, "
                "wire %.3f s\n",
                batch.size(), restore.wall, restore.wire, last, verify.wall, verify.wire);
    std::printf("restore wall/wire=%.3f verify wall/wire=%.3f cpu/wall=%.3f\n", restore.wall / restore.wire,
                verify.wall / verify.wire, (restore.cpu + verify.cpu) / (restore.wall + verify.wall));
    return 0;
}
