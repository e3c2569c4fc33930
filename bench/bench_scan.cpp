// SPDX-License-Identifier: GPL-3.0-or-later
// bench-scan: the memory scan over quiet channels against the emulator with real line
// timing. Prints the time per channel as a ratio to the 0.25 s of waiting plus the wire time
// of its frames, and the process CPU time over the wall time of the scan (the program must
// not spin while it scans).
//
//   bench-scan [--channels N] [--port PATH]
//     scans channels 1..N (default 20) twice round; without --port the emulator core runs
//     in process, paced like the real line; with it, a radio (or vardo-sim) on that port

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include "catframe.h"
#include "channel.h"
#include "radioclient.h"
#include "serialtransport.h"
#include "simtransport.h"

using namespace vardo;
using namespace std::chrono_literals;

namespace {

constexpr int kFirst = 1;
constexpr int kDefaultLast = 20;
constexpr int kPasses = 2;
// The meter byte never exceeds this, so every channel is quiet whatever the radio hears.
constexpr int kQuietThreshold = 255;
constexpr auto kGiveUp = 120s;
const QString kSimPort = QStringLiteral("SIM");

// Per channel: the VFO-A load and the meter request out, the five-byte meter reply back
// with the radio's pacing delay between its bytes.
constexpr int kWireBytesPerChannel = 5 + 5 + Cat::kMeterReplySize;
constexpr std::chrono::duration<double> kWaitPerChannel = 150ms + 100ms;

[[nodiscard]] std::chrono::duration<double> WireTimePerChannel()
{
    const auto pacing = std::chrono::milliseconds(Cat::kPacing) * (Cat::kMeterReplySize - 1);
    return std::chrono::duration<double>(sim::kByteTime * kWireBytesPerChannel + pacing);
}

[[nodiscard]] double ProcessCpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Runs the event loop until `done` or the give-up time; false on give-up.
template <typename Done>
bool WaitFor(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.hasExpired(std::chrono::duration_cast<std::chrono::milliseconds>(kGiveUp).count()))
            return false;
        QEventLoop loop;
        QTimer::singleShot(50ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        std::fputs("Usage: bench-scan [--channels N] [--port PATH]\n"
                   "Scans channels 1..N (default 20) twice round over quiet channels: against the emulator\n"
                   "core in process at the real line's pace, or with --port a radio (or vardo-sim) there.\n",
                   stdout);
        return 0;
    }
    QString port = kSimPort;
    int last = kDefaultLast;
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--port"))
            port = args[i + 1];
        else if (args[i] == QLatin1String("--channels"))
            last = std::clamp(args[i + 1].toInt(), kFirst + 1, kLastRegular);
    }

    auto radio = std::make_shared<sim::SimRadio>();
    radio->loadDemoImage();
    RadioClient client(sim::SimulatedPortFactory(radio, kSimPort, SerialTransport::factory(), sim::Timing::Real));

    QObject bench;  // the asker of every request
    bool found = false;
    bool ended = false;
    QString failure;
    const auto search = [&](const QString& answered) {
        found = !answered.isEmpty();
        ended = true;
    };
    const RadioDone done = [&](const LinkResult& outcome) {
        failure = outcome.error;
        ended = true;
    };
    if (!client.findRadio({port}, &bench, search) || !WaitFor([&] { return ended; }) || !found) {
        std::fprintf(stderr, "bench_scan: no radio on %s\n", qPrintable(port));
        return 1;
    }

    // Timed from the first visit to the same channel kPasses rounds later.
    const int visits = kPasses * (last - kFirst + 1);
    int seen = 0;
    QElapsedTimer wall;
    double cpuStart = 0;
    double cpuEnd = 0;
    std::chrono::duration<double> elapsed{};
    QObject::connect(&client, &RadioClient::scanAt, [&](int) {
        if (seen == 0) {
            wall.start();
            cpuStart = ProcessCpuSeconds();
        } else if (seen == visits) {
            elapsed = std::chrono::nanoseconds(wall.nsecsElapsed());
            cpuEnd = ProcessCpuSeconds();
            client.stopScan();
        }
        ++seen;
    });
    ended = false;
    if (!client.scan(kFirst, last, kQuietThreshold, &bench, {}, done) || !WaitFor([&] { return ended; }) || seen <= visits) {
        std::fprintf(stderr, "bench_scan: the scan did not complete: %s\n", qPrintable(failure));
        return 1;
    }

    const double perChannel = elapsed.count() / visits;
    const double bound = (kWaitPerChannel + WireTimePerChannel()).count();
    const double cpuOverWall = (cpuEnd - cpuStart) / elapsed.count();
    std::printf("scan of channels %d-%d, %d quiet channels timed on %s\n", kFirst, last, visits,
                qPrintable(port));
    std::printf("time per channel: %.4f s; 0.25 s + wire time: %.4f s; ratio %.3f (goal < 1.05)\n",
                perChannel, bound, perChannel / bound);
    std::printf("process CPU over wall during the scan: %.4f (goal < 0.05)\n", cpuOverWall);
    std::printf("scan channel/bound=%.3f cpu/wall=%.4f\n", perChannel / bound, cpuOverWall);
    return 0;
}
