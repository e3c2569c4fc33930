// SPDX-License-Identifier: GPL-3.0-or-later
#include "tcptransport.h"

#include <algorithm>

#include <QDeadlineTimer>
#include <QUrl>

#include "devicereads.h"

namespace vardo {
namespace {

// Longest time a frame may take to be handed to the network.
constexpr std::chrono::milliseconds kTcpWriteTimeout{1000};


}  // namespace

TcpTransport::TcpTransport(const QString& portName) : m_name(portName)
{
    const QUrl url(portName);
    m_host = url.host();
    m_port = quint16(std::clamp(url.port(0), 0, 65535));
}

TcpTransport::~TcpTransport()
{
    close();
}

bool TcpTransport::IsTcpPortName(const QString& name)
{
    return name.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
}

TransportFactory TcpTransport::factory(TransportFactory fallback)
{
    return [fallback = std::move(fallback)](const QString& name) -> std::unique_ptr<Transport> {
        if (IsTcpPortName(name))
            return std::make_unique<TcpTransport>(name);
        return fallback ? fallback(name) : nullptr;
    };
}

bool TcpTransport::open()
{
    m_error.clear();
    if (m_host.isEmpty() || m_port == 0) {
        m_error = QStringLiteral("cannot open %1: give it as tcp://HOST:PORT").arg(m_name);
        return false;
    }
    m_socket.connectToHost(m_host, m_port);
    if (!m_socket.waitForConnected(int(kConnectTimeout.count()))) {
        m_error = QStringLiteral("cannot open %1: %2").arg(m_name, m_socket.errorString());
        m_socket.abort();
        return false;
    }
    // Frames are five bytes and the next one often waits for a reply: send each at once, not
    // after Nagle's delay. Only a connected socket takes the option (set before, it is lost).
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

void TcpTransport::close()
{
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
}

bool TcpTransport::isOpen() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

// A time-out leaves the connection usable; anything else (the server went, the network
// dropped) is a lost link, reported like an unplugged cable.
IoStatus TcpTransport::failure()
{
    if (m_socket.error() == QAbstractSocket::SocketTimeoutError && isOpen())
        return IoStatus::TimedOut;
    m_error = QStringLiteral("%1: %2").arg(m_name, m_socket.errorString());
    close();
    return IoStatus::LinkLost;
}

IoStatus TcpTransport::write(const QByteArray& bytes)
{
    if (!isOpen())
        return IoStatus::LinkLost;
    if (m_socket.write(bytes) != bytes.size())
        return failure();
    const QDeadlineTimer deadline(kTcpWriteTimeout);
    while (m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(int(Remaining(deadline).count())))
            return failure();
    }
    return IoStatus::Ok;
}

void TcpTransport::clearInput()
{
    if (isOpen())
        m_socket.readAll();
}

IoStatus TcpTransport::waitForData(std::chrono::milliseconds timeout)
{
    if (!isOpen())
        return IoStatus::LinkLost;
    if (m_socket.waitForReadyRead(int(timeout.count())))
        return IoStatus::Ok;
    return failure();
}

IoStatus TcpTransport::readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out)
{
    return ReadAtLeast(m_socket, [this](std::chrono::milliseconds t) { return waitForData(t); }, count, timeout, out);
}

IoStatus TcpTransport::readAfter(std::chrono::milliseconds wait, QByteArray& out)
{
    return ReadAfter(m_socket, [this](std::chrono::milliseconds t) { return waitForData(t); }, wait, out);
}

}  // namespace vardo
