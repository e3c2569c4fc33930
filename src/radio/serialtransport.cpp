// SPDX-License-Identifier: GPL-3.0-or-later
#include "serialtransport.h"

#include <algorithm>
#include <optional>
#include <thread>

#include <QDeadlineTimer>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

#include "devicereads.h"
#include "linetime.h"
#include "serialerrortext.h"

namespace vardo {
namespace {

// The bytes still in the driver's output queue; none where the system does not say.
[[nodiscard]] std::optional<int> OutputQueueBytes([[maybe_unused]] QSerialPort& port)
{
#ifdef Q_OS_UNIX
    int queued = 0;
    if (::ioctl(static_cast<int>(port.handle()), TIOCOUTQ, &queued) == 0)
        return queued;
#endif
    return std::nullopt;
}

// A time-out is the only error after which the port is still worth using. Anything else
// (on Linux an unplugged adapter shows up as ReadError) means the device is gone.
[[nodiscard]] bool IsLinkError(QSerialPort::SerialPortError error)
{
    return error != QSerialPort::NoError && error != QSerialPort::TimeoutError;
}

// Why `name` did not open, in words that point at the remedy: a missing device, something that
// is no serial port at all (a plain file, /dev/null, a FIFO, a folder), a port another program
// holds, or one the user may not use.
[[nodiscard]] QString OpenFailureText(const QString& name, QSerialPort::SerialPortError error, const QString& reason)
{
    const QString cannotOpen = QStringLiteral("cannot open %1: %2").arg(name, reason);
    const QString inUse = QStringLiteral("%1 is in use by another program").arg(name);
    const QString notSerial = QStringLiteral("%1 is not a serial port").arg(name);
    if (QFileInfo(name).isDir())
        return notSerial;
    switch (error) {
    case QSerialPort::UnsupportedOperationError: return notSerial;  // the terminal settings were refused
    case QSerialPort::PermissionError: {
#ifdef Q_OS_WIN
        return inUse;  // Windows refuses a COM port that is open elsewhere as "access denied"
#else
        // Qt reports a lock held by another program as a permission error too.
        const QFileInfo device(name);
        if (device.isReadable() && device.isWritable())
            return inUse;
#ifdef Q_OS_LINUX
        return cannotOpen + QStringLiteral(" (add your user to the dialout group: sudo adduser $USER "
                                           "dialout, then log in again)");
#else
        return cannotOpen;
#endif
#endif
    }
    default: return cannotOpen;
    }
}

}  // namespace

SerialTransport::SerialTransport(const QString& portName)
    : m_name(portName)
{
    m_port.setPortName(portName);
    m_port.setBaudRate(kBaud);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::TwoStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
}

SerialTransport::~SerialTransport()
{
    close();
}

TransportFactory SerialTransport::factory()
{
    return [](const QString& name) -> std::unique_ptr<Transport> {
        return std::make_unique<SerialTransport>(name);
    };
}

bool SerialTransport::open()
{
    m_error.clear();
    m_missing = false;
    m_opening = true;
    const bool ok = m_port.open(QIODevice::ReadWrite);
    if (ok) {
        // A pseudo-terminal has no DTR line and refuses this; that is not a failed setting.
        m_port.setDataTerminalReady(false);
        m_port.clear(QSerialPort::AllDirections);
    } else {
        m_missing = m_port.error() == QSerialPort::DeviceNotFoundError;
        m_error = OpenFailureText(m_name, m_port.error(), PlainSerialError(m_port.error(), m_port.errorString()));
    }
    m_opening = false;
    m_port.clearError();
    return ok;
}

void SerialTransport::close()
{
    if (m_port.isOpen())
        m_port.close();
}

void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    if (m_opening || !IsLinkError(error) || !m_port.isOpen())
        return;
    // Reported from the event loop while no call waits (the port is idle between operations).
    // QSerialPort repeats such an error on every wake-up, so the port is closed at once, but
    // not from inside its own notification.
    m_error = PlainSerialError(m_port.error(), m_port.errorString());
    QMetaObject::invokeMethod(
        &m_port, [this] { close(); }, Qt::QueuedConnection);
}

IoStatus SerialTransport::failure()
{
    if (!m_port.isOpen())
        return IoStatus::LinkLost;
    const QSerialPort::SerialPortError error = m_port.error();
    if (!IsLinkError(error))
        return IoStatus::TimedOut;
    m_error = PlainSerialError(m_port.error(), m_port.errorString());
    close();
    return IoStatus::LinkLost;
}

IoStatus SerialTransport::write(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return IoStatus::LinkLost;
    m_port.clearError();
    if (m_port.write(bytes) != bytes.size())
        return failure();
    const QDeadlineTimer deadline(kWriteTimeout);
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(int(Remaining(deadline).count())))
            return failure();
    }
    return IoStatus::Ok;
}

void SerialTransport::clearInput()
{
    if (!m_port.isOpen())
        return;
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
    m_port.clearError();
}

IoStatus SerialTransport::waitForData(std::chrono::milliseconds timeout)
{
    if (!m_port.isOpen())
        return IoStatus::LinkLost;
    m_port.clearError();
    if (m_port.waitForReadyRead(static_cast<int>(timeout.count())))
        return IoStatus::Ok;
    return failure();
}

IoStatus SerialTransport::readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out)
{
    return ReadAtLeast(m_port, [this](std::chrono::milliseconds t) { return waitForData(t); }, count, timeout, out);
}

IoStatus SerialTransport::readAfter(std::chrono::milliseconds wait, QByteArray& out)
{
    return ReadAfter(m_port, [this](std::chrono::milliseconds t) { return waitForData(t); }, wait, out);
}

IoStatus SerialTransport::drain(std::chrono::milliseconds bound)
{
    if (!m_port.isOpen())
        return IoStatus::LinkLost;
    const QDeadlineTimer deadline(bound);
    for (;;) {
        const std::optional<int> queued = OutputQueueBytes(m_port);
        if (!queued || *queued <= 0)
            return IoStatus::Ok;
        if (deadline.hasExpired())
            return IoStatus::TimedOut;
        // Sleep for about the line time of what is still queued: no busy loop, no long overshoot.
        const auto wait = std::min(std::chrono::duration_cast<std::chrono::milliseconds>(LineTime(*queued)),
                                   Remaining(deadline));
        std::this_thread::sleep_for(std::max(wait, std::chrono::milliseconds{1}));
    }
}

}  // namespace vardo
