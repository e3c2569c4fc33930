// bench-read-all: a full read of the 113 memory channels from vardo-sim at real wire speed,
// through the real serial transport. Prints how the read's wall time compares with the time
// the bytes need on the wire, and how much of that time this process spent on the CPU.
//
//   bench-read-all [--last N]    (reads channels 1..N, default 113)

#include <cstdio>
#include <ctime>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"

namespace {

using namespace vardo;
using namespace std::chrono;

// The emulator's line: 11 bits a byte at 4800 baud, and the pacing delay (1 ms a unit)
// between the bytes of a reply.
constexpr double kByteSeconds = 11.0 / 4800.0;
constexpr double kPacingSeconds = Cat::kPacing * 0.001;

struct Traffic {
    qint64 sent = 0;
    qint64 received = 0;
    qint64 replies = 0;  // replies that brought at least one byte

    [[nodiscard]] double wireSeconds() const
    {
        const qint64 pacedGaps = received - replies;  // no pacing before a reply's first byte
        return double(sent + received) * kByteSeconds + double(pacedGaps) * kPacingSeconds;
    }
};

// Counts the bytes that cross the port.
class CountingTransport final : public Transport {
public:
    CountingTransport(std::unique_ptr<Transport> inner, Traffic& traffic)
        : m_inner(std::move(inner)), m_traffic(traffic) {}

    [[nodiscard]] QString portName() const override { return m_inner->portName(); }
    bool open() override { return m_inner->open(); }
    void close() override { m_inner->close(); }
    [[nodiscard]] bool isOpen() const override { return m_inner->isOpen(); }
    IoStatus write(const QByteArray& bytes) override
    {
        m_traffic.sent += bytes.size();
        return m_inner->write(bytes);
    }
    void clearInput() override { m_inner->clearInput(); }
    IoStatus readAtLeast(qsizetype count, milliseconds timeout, QByteArray& out) override
    {
        return counted(m_inner->readAtLeast(count, timeout, out), out);
    }
    IoStatus readAfter(milliseconds wait, QByteArray& out) override
    {
        return counted(m_inner->readAfter(wait, out), out);
    }
    [[nodiscard]] QString errorString() const override { return m_inner->errorString(); }

private:
    IoStatus counted(IoStatus status, const QByteArray& out)
    {
        m_traffic.received += out.size();
        m_traffic.replies += out.isEmpty() ? 0 : 1;
        return status;
    }
    std::unique_ptr<Transport> m_inner;
    Traffic& m_traffic;
};

// CPU time of this process, all threads.
[[nodiscard]] double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

int Fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "bench-read-all: %s %s\n", what, qPrintable(detail));
    return 1;
}

int LastChannel(const QStringList& args)
{
    const qsizetype at = args.indexOf(QStringLiteral("--last"));
    if (at < 0 || at + 1 >= args.size())
        return kChannelCount;
    const int last = args.at(at + 1).toInt();
    return last >= 1 && last <= kChannelCount ? last : kChannelCount;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int last = LastChannel(app.arguments());
    test::SimProcess sim({});  // real wire timing
    if (sim.pty().isEmpty())
        return Fail("vardo-sim did not start:", sim.errorString());

    Traffic traffic;
    RadioLink link([&traffic](const QString& port) -> std::unique_ptr<Transport> {
        return std::make_unique<CountingTransport>(std::make_unique<SerialTransport>(port), traffic);
    });
    QElapsedTimer clock;
    clock.start();
    if (!link.FindRadio({sim.pty()}))
        return Fail("the radio was not found on", sim.pty());
    std::printf("FindRadio on %s: %.3f s\n", qPrintable(sim.pty()), clock.nsecsElapsed() / 1e9);

    traffic = {};
    int records = 0;
    const double cpuStart = CpuSeconds();
    clock.restart();
    const LinkResult result = link.ReadMemories(1, last, [&records](int, const Record&) { ++records; });
    const double wall = clock.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuStart;
    if (!result.ok)
        return Fail("the read failed:", result.error);

    const double wire = traffic.wireSeconds();
    std::printf("read %d channels: %lld bytes sent, %lld received; wall %.3f s, wire %.3f s, cpu %.3f s\n",
                records, traffic.sent, traffic.received, wall, wire, cpu);
    std::printf("read_all wall/wire=%.3f cpu/wall=%.3f\n", wall / wire, cpu / wall);
    return 0;
}
