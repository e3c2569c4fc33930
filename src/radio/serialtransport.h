// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Transport over a real serial port (or a pseudo-terminal). Blocking calls only: it is
// used on the radio worker thread, which has nothing else to do while it waits.

#include <QSerialPort>

#include "transport.h"

namespace vardo {

// Longest time one five-byte frame may take to leave the port (it needs about 11 ms).
inline constexpr std::chrono::milliseconds kWriteTimeout{1000};

class SerialTransport final : public Transport {
public:
    explicit SerialTransport(const QString& portName);
    ~SerialTransport() override;

    [[nodiscard]] QString portName() const override { return m_name; }
    bool open() override;
    [[nodiscard]] bool missing() const override { return m_missing; }
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_port.isOpen(); }

    IoStatus write(const QByteArray& bytes) override;
    void clearInput() override;
    IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out) override;
    IoStatus readAfter(std::chrono::milliseconds wait, QByteArray& out) override;
    // Waits until the driver's output queue is empty, where the system says how full it is.
    IoStatus drain(std::chrono::milliseconds bound) override;

    [[nodiscard]] QString errorString() const override { return m_error; }

    // A factory that makes one of these for each port name.
    [[nodiscard]] static TransportFactory factory();

private:
    IoStatus waitForData(std::chrono::milliseconds timeout);
    IoStatus failure();
    void onError(QSerialPort::SerialPortError error);

    QString m_name;
    QSerialPort m_port;
    QString m_error;
    bool m_missing = false;
    bool m_opening = false;  // errors while opening are reported by open() itself
};

}  // namespace vardo
