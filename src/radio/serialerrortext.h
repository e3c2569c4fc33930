// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operator's words for what a serial port reported. The system's own texts name the call
// that failed ("Inappropriate ioctl for device" for an unplugged USB adapter), not what
// happened to the radio's cable.

#include <QSerialPort>
#include <QString>

namespace vardo {

inline constexpr char kAdapterGone[] = "the serial adapter was unplugged or stopped answering";

// `systemText` (QSerialPort::errorString()) in plain words where it only tells that the device
// went away; any other text as it is.
[[nodiscard]] QString PlainSerialError(QSerialPort::SerialPortError error, const QString& systemText);

}  // namespace vardo
