#include "serialtransport.h"

#include <algorithm>

#include <QDeadlineTimer>

namespace vardo {
namespace {

constexpr qint32 kBaudRate = 4800;

[[nodiscard]] int RemainingMs(const QDeadlineTimer& deadline)
{
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

// A time-out is the only error after which the port is still worth using. Anything else
// (on Linux an unplugged adapter shows up as ReadError) means the device is gone.
[[nodiscard]] bool IsLinkError(QSerialPort::SerialPortError error)
{
    return error != QSerialPort::NoError && error != QSerialPort::TimeoutError;
}

}  // namespace

SerialTransport::SerialTransport(const QString& portName)
    : m_name(portName)
{
    m_port.setPortName(portName);
    m_port.setBaudRate(kBaudRate);
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
    m_opening = true;
    const bool ok = m_port.open(QIODevice::ReadWrite);
    if (ok) {
        // A pseudo-terminal has no DTR line and refuses this; that is not a failed setting.
        m_port.setDataTerminalReady(false);
        m_port.clear(QSerialPort::AllDirections);
    } else {
        m_error = m_port.errorString();
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
    m_error = m_port.errorString();
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
    m_error = m_port.errorString();
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
        if (!m_port.waitForBytesWritten(RemainingMs(deadline)))
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
    const QDeadlineTimer deadline(timeout);
    while (m_port.bytesAvailable() < count) {
        const IoStatus status = waitForData(std::chrono::milliseconds(RemainingMs(deadline)));
        if (status == IoStatus::LinkLost)
            return status;
        if (status == IoStatus::TimedOut) {
            out = m_port.readAll();
            return status;
        }
    }
    out = m_port.readAll();
    return IoStatus::Ok;
}

IoStatus SerialTransport::readAfter(std::chrono::milliseconds wait, QByteArray& out)
{
    const QDeadlineTimer deadline(wait);
    // At least one look, so a zero wait still collects what has arrived meanwhile.
    do {
        if (waitForData(std::chrono::milliseconds(RemainingMs(deadline))) == IoStatus::LinkLost)
            return IoStatus::LinkLost;
    } while (!deadline.hasExpired());
    out = m_port.readAll();
    return IoStatus::Ok;
}

}  // namespace vardo
