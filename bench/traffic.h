// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the benchmarks measure a run against: the bytes that crossed the port, the line time
// they need at 4800 baud 8N2 with the radio's pacing between reply bytes, and the CPU time
// this process spent meanwhile.

#include <cstdio>
#include <ctime>
#include <memory>

#include <QStringList>

#include "catframe.h"
#include "linetime.h"
#include "transport.h"

namespace vardo::bench {

struct Traffic {
    qint64 sent = 0;
    qint64 received = 0;
    qint64 replies = 0;  // requests sent that the radio answers
    int pacing = 5;      // ms between the bytes of a reply

    [[nodiscard]] double wireSeconds() const
    {
        const qint64 pacedGaps = received - replies;  // no pacing before a reply's first byte
        return std::chrono::duration<double>(LineTime(sent + received)).count() + double(pacedGaps) * pacing * 1e-3;
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
        const auto opcode = std::uint8_t(bytes.back());
        m_traffic.replies += opcode == Cat::kOpUpdate || opcode == Cat::kOpMeter || opcode == Cat::kOpStatus;
        return m_inner->write(bytes);
    }
    void clearInput() override { m_inner->clearInput(); }
    IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out) override
    {
        return counted(m_inner->readAtLeast(count, timeout, out), out);
    }
    IoStatus readAfter(std::chrono::milliseconds wait, QByteArray& out) override
    {
        return counted(m_inner->readAfter(wait, out), out);
    }
    [[nodiscard]] bool crossesNetwork() const override { return m_inner->crossesNetwork(); }
    IoStatus drain(std::chrono::milliseconds bound) override { return m_inner->drain(bound); }
    [[nodiscard]] bool takesLineTime() const override { return m_inner->takesLineTime(); }
    [[nodiscard]] QString errorString() const override { return m_inner->errorString(); }

private:
    IoStatus counted(IoStatus status, const QByteArray& out)
    {
        m_traffic.received += out.size();
        return status;
    }
    std::unique_ptr<Transport> m_inner;
    Traffic& m_traffic;
};

// The number after `option` among `args`, else (or when out of range) `fallback`.
[[nodiscard]] inline int NumberArgument(const QStringList& args, const QString& option, int lowest, int highest,
                                        int fallback)
{
    const qsizetype at = args.indexOf(option);
    bool ok = false;
    const int value = at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt(&ok) : 0;
    return ok && value >= lowest && value <= highest ? value : fallback;
}

// The channel a run ends at: "--last N" among `args`, else (or when out of range) `fallback`.
[[nodiscard]] inline int LastChannelArgument(const QStringList& args, int fallback)
{
    return NumberArgument(args, QStringLiteral("--last"), 1, fallback, fallback);
}

// With --help among `args`, prints `usage` and says so: the benchmark does not run.
[[nodiscard]] inline bool PrintedUsage(const QStringList& args, const char* usage)
{
    if (!args.contains(QStringLiteral("--help")) && !args.contains(QStringLiteral("-h")))
        return false;
    std::fputs(usage, stdout);
    return true;
}

// Says what failed on standard error; the exit status for it.
inline int FailWith(const char* program, const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s %s\n", program, what, qPrintable(detail));
    return 1;
}

// CPU time of this process, all threads.
[[nodiscard]] inline double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace vardo::bench
