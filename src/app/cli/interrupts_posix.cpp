// SPDX-License-Identifier: GPL-3.0-or-later
// POSIX signal handling for vardo-cli: a self-pipe read by a QSocketNotifier.
#include "interrupts.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace vardo::cli {
namespace {

// A signal handler may only touch plain file-scope data and async-signal-safe calls.
int g_interruptPipe[2] = {-1, -1};

extern "C" void OnInterrupt(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_interruptPipe[1], &byte, 1);
    // The next signal, of either kind, takes its default course: the program ends at once.
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    errno = saved;
}

bool SetNonBlocking(int fd) { return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0; }

}  // namespace

InterruptNotifier::InterruptNotifier(QObject* parent)
    : QObject(parent)
{
}

InterruptNotifier::~InterruptNotifier() = default;

bool InterruptNotifier::install(QString* error)
{
    if (::pipe(g_interruptPipe) != 0 || !SetNonBlocking(g_interruptPipe[0]) || !SetNonBlocking(g_interruptPipe[1])) {
        *error = QStringLiteral("cannot create the signal pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_notifier = new QSocketNotifier(g_interruptPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_interruptPipe[0], bytes, sizeof bytes) > 0) {
        }
        Q_EMIT interrupted();
    });
    struct sigaction action{};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGINT, &action, nullptr) != 0 || ::sigaction(SIGTERM, &action, nullptr) != 0) {
        *error = QStringLiteral("cannot handle interrupts: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

}  // namespace vardo::cli

#else  // not Q_OS_UNIX: Ctrl-C keeps its default and ends the program.

namespace vardo::cli {

InterruptNotifier::InterruptNotifier(QObject* parent)
    : QObject(parent)
{
}
InterruptNotifier::~InterruptNotifier() = default;
bool InterruptNotifier::install(QString*) { return true; }

}  // namespace vardo::cli

#endif
