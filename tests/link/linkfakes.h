#pragma once
// Stand-ins for the link tests: scripted in-memory ports for the radio search, a transport
// wrapper that injects failures and counts calls, and a sleeper on a virtual clock.

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QStringList>
#include <QThread>

#include "catframe.h"
#include "scanloop.h"
#include "transport.h"

namespace vardo::test {

// ---- Scripted ports for FindRadio ----------------------------------------------------------

struct PortLog {
    int opens = 0;
    int closes = 0;
    QByteArray written;
};

struct ScriptedPort {
    bool opens = true;
    QByteArray statusReply;  // what arrives after the status request
};

class ScriptedPorts {
public:
    void add(const QString& name, const ScriptedPort& port) { m_ports[name] = port; }
    [[nodiscard]] const PortLog* log(const QString& name) const
    {
        const auto it = m_logs.find(name);
        return it == m_logs.end() ? nullptr : &it->second;
    }
    [[nodiscard]] QStringList touched() const
    {
        QStringList names;
        for (const QString& name : m_order)
            names << name;
        return names;
    }
    [[nodiscard]] TransportFactory factory();

private:
    friend class ScriptedTransport;
    std::map<QString, ScriptedPort> m_ports;
    std::map<QString, PortLog> m_logs;
    QStringList m_order;  // ports a transport was made for, in order
};

class ScriptedTransport final : public Transport {
public:
    ScriptedTransport(QString name, ScriptedPort port, PortLog& log)
        : m_name(std::move(name)), m_port(std::move(port)), m_log(log) {}

    [[nodiscard]] QString portName() const override { return m_name; }
    bool open() override
    {
        if (!m_port.opens)
            return false;
        ++m_log.opens;
        m_open = true;
        return true;
    }
    void close() override
    {
        if (m_open)
            ++m_log.closes;
        m_open = false;
    }
    [[nodiscard]] bool isOpen() const override { return m_open; }
    IoStatus write(const QByteArray& bytes) override
    {
        m_log.written += bytes;
        if (bytes == Cat::StatusRequest().toBytes())
            m_input += m_port.statusReply;
        return IoStatus::Ok;
    }
    void clearInput() override { m_input.clear(); }
    IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds, QByteArray& out) override
    {
        out = std::exchange(m_input, {});
        return out.size() >= count ? IoStatus::Ok : IoStatus::TimedOut;
    }
    IoStatus readAfter(std::chrono::milliseconds, QByteArray& out) override
    {
        out = std::exchange(m_input, {});
        return IoStatus::Ok;
    }
    [[nodiscard]] QString errorString() const override { return {}; }

private:
    QString m_name;
    ScriptedPort m_port;
    PortLog& m_log;
    QByteArray m_input;
    bool m_open = false;
};

inline TransportFactory ScriptedPorts::factory()
{
    return [this](const QString& name) -> std::unique_ptr<Transport> {
        const auto it = m_ports.find(name);
        if (it == m_ports.end())
            return nullptr;
        m_order << name;
        return std::make_unique<ScriptedTransport>(name, it->second, m_logs[name]);
    };
}

// ---- A wrapper that fails chosen writes and counts every call -----------------------------

struct WireScript {
    // Asked before each write; a status here is returned instead of writing.
    std::function<std::optional<IoStatus>(const QByteArray& frame)> failWrite;
    std::atomic<int> calls = 0;               // every call on a transport made by the factory
    std::atomic<QThread*> closedOn = nullptr;  // the thread that last closed an open port
};

class ScriptedFailures final : public Transport {
public:
    ScriptedFailures(std::unique_ptr<Transport> inner, std::shared_ptr<WireScript> script)
        : m_inner(std::move(inner)), m_script(std::move(script)) {}

    [[nodiscard]] QString portName() const override { return m_inner->portName(); }
    bool open() override
    {
        count();
        return m_inner->open();
    }
    void close() override
    {
        if (m_inner->isOpen())
            m_script->closedOn = QThread::currentThread();
        m_inner->close();
    }
    [[nodiscard]] bool isOpen() const override { return m_inner->isOpen(); }
    IoStatus write(const QByteArray& bytes) override
    {
        count();
        if (m_script->failWrite)
            if (const auto status = m_script->failWrite(bytes))
                return *status;
        return m_inner->write(bytes);
    }
    void clearInput() override
    {
        count();
        m_inner->clearInput();
    }
    IoStatus readAtLeast(qsizetype n, std::chrono::milliseconds t, QByteArray& out) override
    {
        count();
        return m_inner->readAtLeast(n, t, out);
    }
    IoStatus readAfter(std::chrono::milliseconds t, QByteArray& out) override
    {
        count();
        return m_inner->readAfter(t, out);
    }
    [[nodiscard]] QString errorString() const override { return m_inner->errorString(); }

private:
    void count() { ++m_script->calls; }
    std::unique_ptr<Transport> m_inner;
    std::shared_ptr<WireScript> m_script;
};

[[nodiscard]] inline TransportFactory WithFailures(TransportFactory inner, std::shared_ptr<WireScript> script)
{
    return [inner = std::move(inner), script](const QString& name) -> std::unique_ptr<Transport> {
        std::unique_ptr<Transport> t = inner(name);
        return t ? std::make_unique<ScriptedFailures>(std::move(t), script) : nullptr;
    };
}

// ---- Virtual time for the scan --------------------------------------------------------------

class VirtualSleeper final : public Sleeper {
public:
    void sleepFor(std::chrono::milliseconds d) override
    {
        now += d;
        if (onAdvance)
            onAdvance(now);
    }
    std::chrono::milliseconds now{0};
    std::function<void(std::chrono::milliseconds now)> onAdvance;
};

// ---- Frames ---------------------------------------------------------------------------------

[[nodiscard]] inline QStringList HexFrames(const std::vector<CatFrame>& frames)
{
    QStringList hex;
    for (const CatFrame& f : frames)
        hex << f.toHex();
    return hex;
}

}  // namespace vardo::test
