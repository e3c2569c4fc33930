// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The emulator core behind a transport wrapper that can fail chosen writes and spoil replies.

#include <atomic>
#include <functional>
#include <optional>

#include <QStringList>
#include <QThread>

#include "radiolink.h"
#include "simtransport.h"

namespace vardo::test {

inline const QString kSimPort = QStringLiteral("SIM");

// Shared by the test and the transports, which may live on the worker thread.
struct WireScript {
    std::function<std::optional<IoStatus>(const QByteArray& frame)> failWrite;  // returned instead of writing
    sim::SimLine::StrayPlan stray;  // bytes the line adds after replies (paced lines only)
    bool network = false;           // the port stands for a connection across a network
    std::atomic<int> closes = 0;
    std::atomic<QThread*> closedOn = nullptr;  // the thread that last closed an open port
};

class ScriptedFailures final : public Transport {
public:
    ScriptedFailures(std::unique_ptr<Transport> inner, std::shared_ptr<WireScript> script)
        : m_inner(std::move(inner)), m_script(std::move(script)) {}

    [[nodiscard]] QString portName() const override { return m_inner->portName(); }
    [[nodiscard]] bool isOpen() const override { return m_inner->isOpen(); }
    [[nodiscard]] QString errorString() const override { return m_inner->errorString(); }
    bool open() override { return m_inner->open(); }
    void close() override
    {
        if (m_inner->isOpen()) {
            ++m_script->closes;
            m_script->closedOn = QThread::currentThread();
        }
        m_inner->close();
    }
    IoStatus write(const QByteArray& bytes) override
    {
        const auto status = m_script->failWrite ? m_script->failWrite(bytes) : std::nullopt;
        return status ? *status : m_inner->write(bytes);
    }
    void clearInput() override { m_inner->clearInput(); }
    IoStatus drain(std::chrono::milliseconds bound) override { return m_inner->drain(bound); }
    [[nodiscard]] bool takesLineTime() const override { return m_inner->takesLineTime(); }
    [[nodiscard]] Clock::time_point now() const override { return m_inner->now(); }
    void sleepUntil(Clock::time_point until) override { m_inner->sleepUntil(until); }
    [[nodiscard]] bool crossesNetwork() const override { return m_script->network; }
    IoStatus readAtLeast(qsizetype n, std::chrono::milliseconds t, QByteArray& out) override
    {
        return m_inner->readAtLeast(n, t, out);
    }
    IoStatus readAfter(std::chrono::milliseconds t, QByteArray& out) override { return m_inner->readAfter(t, out); }

private:
    std::unique_ptr<Transport> m_inner;
    std::shared_ptr<WireScript> m_script;
};

// The line adds `stray` after the `reply`-th reply from now on (counting from 1), and after no other.
[[nodiscard]] inline sim::SimLine::StrayPlan StrayAfterReply(int reply, sim::SimLine::Stray stray)
{
    return [reply, stray, count = 0]() mutable -> std::optional<sim::SimLine::Stray> {
        return ++count == reply ? std::optional(stray) : std::nullopt;
    };
}

// An emulated radio on one port (without wire timing unless asked), reached through ScriptedFailures.
struct SimBench {
    std::shared_ptr<sim::SimRadio> radio = std::make_shared<sim::SimRadio>();
    std::shared_ptr<WireScript> wire = std::make_shared<WireScript>();

    [[nodiscard]] TransportFactory factory(const QString& port = kSimPort, sim::Timing timing = sim::Timing::Fast) const
    {
        return [radio = radio, port, timing, script = wire](const QString& name) -> std::unique_ptr<Transport> {
            if (name != port)
                return nullptr;
            auto line = std::make_unique<sim::SimTransport>(radio, name, timing);
            line->line().setStrayPlan([script] { return script->stray ? script->stray() : std::nullopt; });
            return std::make_unique<ScriptedFailures>(std::move(line), script);
        };
    }
    [[nodiscard]] QStringList sent() const
    {
        QStringList hex;
        for (const auto& f : radio->frameLog())
            hex << f.toHex();
        return hex;
    }
};

// A RadioLink on SimBench; find() leaves the frame log empty for the test's own frames.
struct LinkBench : SimBench {
    explicit LinkBench(sim::Timing timing = sim::Timing::Fast) : link(factory(kSimPort, timing)) {}
    RadioLink link;

    [[nodiscard]] bool find()
    {
        const bool found = link.FindRadio({kSimPort});
        radio->clearLog();
        return found;
    }
};

// "00 00 xx ch op", with the channel number in the fourth byte.
[[nodiscard]] inline QString ChannelFrame(int channel, const char* op, int third = 0)
{
    const QChar zero('0');
    return QStringLiteral("00 00 %1 %2 %3").arg(third, 2, 16, zero).arg(channel, 2, 16, zero).arg(op).toUpper();
}

}  // namespace vardo::test
