#pragma once
// The pseudo-terminal the emulator listens on, and the termination signals that end it.
// The only platform-specific code of the emulator lives behind this header.

#include <chrono>
#include <optional>

#include <QByteArray>
#include <QString>

namespace vardo::sim {

class Pty {
public:
    using Clock = std::chrono::steady_clock;
    enum class Event { Readable, Timeout, Terminate, Broken };

    Pty() = default;
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Creates the pair with a raw line discipline, so every byte passes unchanged.
    bool open(QString* error);
    // The device path a client opens, e.g. /dev/pts/7.
    [[nodiscard]] QString clientPath() const { return m_clientPath; }

    // Sleeps until a client's bytes arrive, the deadline passes (none: no limit) or a
    // termination signal comes in. Broken: the pty itself failed and cannot serve any more.
    [[nodiscard]] Event wait(std::optional<Clock::time_point> deadline);
    [[nodiscard]] QByteArray readAvailable();
    // Bytes the client's side cannot take are dropped, as on a wire nobody listens to.
    void write(const QByteArray& bytes);

private:
    int m_master = -1;
    int m_clientKeeper = -1;  // our own handle on the client side: it keeps the pty up between clients
    QString m_clientPath;
};

// Makes SIGTERM and SIGINT end Pty::wait with Event::Terminate instead of killing the process.
bool InstallTerminationHandlers(QString* error);

}  // namespace vardo::sim
