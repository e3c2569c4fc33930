// SPDX-License-Identifier: GPL-3.0-or-later
#include "serialerrortext.h"

#include <array>

namespace vardo {
namespace {

// What Linux, macOS and Windows say when the device behind an open port has gone: the
// adapter unplugged, its driver unbound, the radio's USB interface switched off.
constexpr std::array kDeviceGoneTexts{
    "Inappropriate ioctl for device",  // ENOTTY: the descriptor is no terminal any more
    "Input/output error",              // EIO
    "No such device",                  // ENODEV
    "No such device or address",       // ENXIO
    "Device not configured",           // ENXIO on macOS
    "Bad file descriptor",             // EBADF
    "The device does not recognize the command.",
    "A device attached to the system is not functioning.",
    "The handle is invalid.",
    "The I/O operation has been aborted because of either a thread exit or an application request.",
};

}  // namespace

QString PlainSerialError(QSerialPort::SerialPortError error, const QString& systemText)
{
    // Qt reports a device removed from the system as a resource error, whatever the text.
    if (error == QSerialPort::ResourceError)
        return QString::fromLatin1(kAdapterGone);
    const QString text = systemText.trimmed();
    for (const char* gone : kDeviceGoneTexts) {
        if (text.compare(QLatin1String(gone), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(kAdapterGone);
    }
    return systemText;
}

}  // namespace vardo
