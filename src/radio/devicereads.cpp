// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicereads.h"

#include <algorithm>

namespace vardo {

std::chrono::milliseconds Remaining(const QDeadlineTimer& deadline)
{
    return std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime()));
}

IoStatus ReadAtLeast(QIODevice& device, const DataWait& wait, qsizetype count, std::chrono::milliseconds timeout,
                     QByteArray& out)
{
    const QDeadlineTimer deadline(timeout);
    while (device.bytesAvailable() < count) {
        const IoStatus status = wait(Remaining(deadline));
        if (status == IoStatus::LinkLost)
            return status;
        if (status == IoStatus::TimedOut) {
            out = device.readAll();
            return status;
        }
    }
    out = device.readAll();
    return IoStatus::Ok;
}

IoStatus ReadAfter(QIODevice& device, const DataWait& wait, std::chrono::milliseconds interval, QByteArray& out)
{
    const QDeadlineTimer deadline(interval);
    // At least one look, so a zero wait still collects what has arrived meanwhile.
    do {
        if (wait(Remaining(deadline)) == IoStatus::LinkLost)
            return IoStatus::LinkLost;
    } while (!deadline.hasExpired());
    out = device.readAll();
    return IoStatus::Ok;
}

}  // namespace vardo
