// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the emulator meets its client (a pseudo-terminal, or a TCP port as a serial-to-network
// server offers one), and the termination signals that end it. The only platform-specific
// code of the emulator lives behind this header.

#include <chrono>
#include <optional>

#include <QByteArray>
#include <QString>

namespace vardo::sim {

// The client's end of the line, as the serving loop sees it.
class SimPort {
public:
    using Clock = std::chrono::steady_clock;
    enum class Event { Readable, Timeout, Terminate, Broken };

    virtual ~SimPort() = default;
    // Sleeps until a client's bytes arrive, the deadline passes (none: no limit) or a
    // termination signal comes in. Broken: the port itself failed and cannot serve any more.
    [[nodiscard]] virtual Event wait(std::optional<Clock::time_point> deadline) = 0;
    [[nodiscard]] virtual QByteArray readAvailable() = 0;
    // Bytes the client's side cannot take are dropped, as on a wire nobody listens to.
    virtual void write(const QByteArray& bytes) = 0;
};

class Pty final : public SimPort {
public:
    Pty() = default;
    ~Pty() override;
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Creates the pair with a raw line discipline, so every byte passes unchanged.
    bool open(QString* error);
    // The device path a client opens, e.g. /dev/pts/7.
    [[nodiscard]] QString clientPath() const { return m_clientPath; }

    [[nodiscard]] Event wait(std::optional<Clock::time_point> deadline) override;
    [[nodiscard]] QByteArray readAvailable() override;
    void write(const QByteArray& bytes) override;

private:
    int m_master = -1;
    int m_clientKeeper = -1;  // our own handle on the client side: it keeps the pty up between clients
    QString m_clientPath;
};

// A raw TCP port on 127.0.0.1, as ser2net and its kind offer a serial line: one client at a
// time, the bytes passed through unchanged. A client that goes makes room for the next.
class TcpPort final : public SimPort {
public:
    TcpPort() = default;
    ~TcpPort() override;
    TcpPort(const TcpPort&) = delete;
    TcpPort& operator=(const TcpPort&) = delete;

    // Listens on `port` (0: one the system picks).
    bool listen(quint16 port, QString* error);
    // What a client gives as its port name: "tcp://127.0.0.1:PORT".
    [[nodiscard]] QString clientPath() const;

    [[nodiscard]] Event wait(std::optional<Clock::time_point> deadline) override;
    [[nodiscard]] QByteArray readAvailable() override;
    void write(const QByteArray& bytes) override;

private:
    void dropClient();

    int m_listener = -1;
    int m_client = -1;
    quint16 m_port = 0;
};

// Makes SIGTERM and SIGINT end Pty::wait with Event::Terminate instead of killing the process.
bool InstallTerminationHandlers(QString* error);

}  // namespace vardo::sim
