// SPDX-License-Identifier: GPL-3.0-or-later
// POSIX pseudo-terminal and signal handling for the emulator's front end.
#include "pty.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <cerrno>
#include <csignal>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace vardo::sim {

namespace {

// The write end of the self-pipe: a signal handler can only touch plain file-scope data.
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

QString SystemError(const char* what) { return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno))); }

bool SetNonBlocking(int fd) { return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0; }

int PollTimeout(std::optional<SimPort::Clock::time_point> deadline)
{
    if (!deadline)
        return -1;
    const auto left = *deadline - SimPort::Clock::now();
    if (left <= SimPort::Clock::duration::zero())
        return 0;
    // Rounded up: waking a little late is harmless, the byte schedule is absolute.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

}  // namespace

Pty::~Pty()
{
    if (m_clientKeeper >= 0)
        ::close(m_clientKeeper);
    if (m_master >= 0)
        ::close(m_master);
}

bool Pty::open(QString* error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || !SetNonBlocking(m_master)) {
        *error = SystemError("cannot create a pseudo-terminal");
        return false;
    }
    const char* name = ::ptsname(m_master);
    if (!name) {
        *error = SystemError("cannot name the pseudo-terminal");
        return false;
    }
    m_clientPath = QString::fromLocal8Bit(name);
    m_clientKeeper = ::open(name, O_RDWR | O_NOCTTY);
    termios raw{};
    if (m_clientKeeper < 0 || ::tcgetattr(m_clientKeeper, &raw) != 0) {
        *error = SystemError("cannot open the pseudo-terminal");
        return false;
    }
    // No echo, no CR/LF or XON/XOFF handling, no signal characters: binary in both directions.
    ::cfmakeraw(&raw);
    if (::tcsetattr(m_clientKeeper, TCSANOW, &raw) != 0) {
        *error = SystemError("cannot set the pseudo-terminal raw");
        return false;
    }
    return true;
}

SimPort::Event Pty::wait(std::optional<Clock::time_point> deadline)
{
    pollfd fds[2] = {{m_master, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    const int n = ::poll(fds, g_signalPipe[0] >= 0 ? 2 : 1, PollTimeout(deadline));
    if (n > 0 && (fds[1].revents & POLLIN))
        return Event::Terminate;
    if (n > 0 && (fds[0].revents & POLLIN))
        return Event::Readable;
    // Our own handle keeps the client side open, so a hang-up or error here means the pty is
    // gone; looking again would only spin.
    if (n > 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)))
        return Event::Broken;
    return Event::Timeout;  // also an interrupted poll: the caller looks again
}

QByteArray Pty::readAvailable()
{
    QByteArray bytes;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

void Pty::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

TcpPort::~TcpPort()
{
    dropClient();
    if (m_listener >= 0)
        ::close(m_listener);
}

bool TcpPort::listen(quint16 port, QString* error)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0
        || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listener, 1) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        *error = SystemError("cannot listen on the TCP port");
        return false;
    }
    m_port = ntohs(address.sin_port);
    return true;
}

QString TcpPort::clientPath() const
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(m_port);
}

void TcpPort::dropClient()
{
    if (m_client >= 0)
        ::close(m_client);
    m_client = -1;
}

SimPort::Event TcpPort::wait(std::optional<Clock::time_point> deadline)
{
    // Without a client the listener is watched; with one, only the client (a second client
    // waits in the backlog, as with a serial-to-network server that takes one at a time).
    pollfd fds[2] = {{m_client >= 0 ? m_client : m_listener, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    const int n = ::poll(fds, g_signalPipe[0] >= 0 ? 2 : 1, PollTimeout(deadline));
    if (n > 0 && (fds[1].revents & POLLIN))
        return Event::Terminate;
    if (n <= 0)
        return Event::Timeout;
    if (m_client >= 0)
        return Event::Readable;  // bytes, or the client's going, which readAvailable finds
    if (fds[0].revents & (POLLERR | POLLNVAL))
        return Event::Broken;
    m_client = ::accept(m_listener, nullptr, nullptr);
    if (m_client >= 0 && !SetNonBlocking(m_client))
        dropClient();
    return Event::Timeout;
}

QByteArray TcpPort::readAvailable()
{
    QByteArray bytes;
    char buffer[512];
    while (m_client >= 0) {
        const ssize_t n = ::recv(m_client, buffer, sizeof buffer, 0);
        if (n > 0) {
            bytes.append(buffer, n);
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            dropClient();
        break;
    }
    return bytes;
}

void TcpPort::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (m_client >= 0 && done < bytes.size()) {
        const ssize_t n = ::send(m_client, bytes.constData() + done, static_cast<size_t>(bytes.size() - done),
                                 MSG_NOSIGNAL);
        if (n <= 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                dropClient();
            return;
        }
        done += n;
    }
}

bool InstallTerminationHandlers(QString* error)
{
    if (::pipe(g_signalPipe) != 0 || !SetNonBlocking(g_signalPipe[1])) {
        *error = SystemError("cannot create the signal pipe");
        return false;
    }
    struct sigaction action{};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0) {
        *error = SystemError("cannot handle termination signals");
        return false;
    }
    return true;
}

}  // namespace vardo::sim

#else  // not Q_OS_UNIX

namespace vardo::sim {

namespace {
const QString kNoPty = QStringLiteral("pseudo-terminals are not available on this system");
const QString kNoTcp = QStringLiteral("the TCP port is not available on this system");
}

Pty::~Pty() = default;
bool Pty::open(QString* error)
{
    *error = kNoPty;
    return false;
}
SimPort::Event Pty::wait(std::optional<Clock::time_point>) { return Event::Broken; }
QByteArray Pty::readAvailable() { return {}; }
void Pty::write(const QByteArray&) {}

TcpPort::~TcpPort() = default;
bool TcpPort::listen(quint16, QString* error)
{
    *error = kNoTcp;
    return false;
}
QString TcpPort::clientPath() const { return {}; }
void TcpPort::dropClient() {}
SimPort::Event TcpPort::wait(std::optional<Clock::time_point>) { return Event::Broken; }
QByteArray TcpPort::readAvailable() { return {}; }
void TcpPort::write(const QByteArray&) {}
bool InstallTerminationHandlers(QString*) { return true; }

}  // namespace vardo::sim

#endif
