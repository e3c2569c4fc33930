// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Transport over a raw TCP connection to a serial-to-network server (ser2net in raw mode
// and its kind), which passes bytes to and from the radio's serial port unchanged. Its port
// name is "tcp://HOST:PORT". The server sets the line (4800 8N2); here there is nothing to
// configure. Blocking calls only, on the radio worker thread, like the serial transport.

#include <QTcpSocket>

#include "transport.h"

namespace vardo {

// How long a connection may take to be made before the port counts as not answering.
inline constexpr std::chrono::milliseconds kConnectTimeout{5000};

class TcpTransport final : public Transport {
public:
    explicit TcpTransport(const QString& portName);
    ~TcpTransport() override;

    // Whether a port name names such a connection.
    [[nodiscard]] static bool IsTcpPortName(const QString& name);
    // Makes one of these for "tcp://" names and hands every other name to `fallback`.
    [[nodiscard]] static TransportFactory factory(TransportFactory fallback);

    [[nodiscard]] QString portName() const override { return m_name; }
    bool open() override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;

    IoStatus write(const QByteArray& bytes) override;
    void clearInput() override;
    IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out) override;
    IoStatus readAfter(std::chrono::milliseconds wait, QByteArray& out) override;

    [[nodiscard]] QString errorString() const override { return m_error; }
    [[nodiscard]] bool crossesNetwork() const override { return true; }

private:
    IoStatus waitForData(std::chrono::milliseconds timeout);
    IoStatus failure();

    QString m_name;
    QString m_host;
    quint16 m_port = 0;
    QTcpSocket m_socket;
    QString m_error;
};

}  // namespace vardo
