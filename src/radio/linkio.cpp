// SPDX-License-Identifier: GPL-3.0-or-later
#include "linkio.h"

#include <algorithm>

namespace vardo {

using std::chrono::ceil;
using std::chrono::milliseconds;

void LinkIo::attach(Transport* transport, bool echoes, std::chrono::nanoseconds roundTrip, bool keepsLineTime)
{
    m_keepsLineTime = keepsLineTime;
    m_transport = transport;
    m_line.reset();  // the probe waited out its own bytes
    m_earliest.reset();
    m_echo.setEchoing(echoes);
    m_roundTrip = roundTrip;
}

IoStatus LinkIo::write(const QByteArray& bytes)
{
    const Clock::time_point before = now();
    const IoStatus status = m_transport->write(bytes);
    if (status != IoStatus::Ok)
        return status;
    const Clock::time_point at = now();
    if (m_transport->takesLineTime()) {
        m_line.sent(bytes.size(), at);
        m_earliest.sent(bytes.size(), before);
    }
    m_echo.sent(bytes, std::max(at, m_line.freeAt()) + m_roundTrip + kReplyTimeout);
    return status;
}

IoStatus LinkIo::readSome(qsizetype count, Clock::time_point until, QByteArray& out)
{
    const qsizetype wanted = out.size() + count;
    while (out.size() < wanted) {
        const auto left = until - now();
        if (left <= Clock::duration::zero())
            return IoStatus::TimedOut;
        QByteArray raw;
        const IoStatus status = m_transport->readAtLeast(wanted - out.size(), ceil<milliseconds>(left), raw);
        out += m_echo.strip(raw, now());
        if (status == IoStatus::LinkLost)
            return status;
    }
    return IoStatus::Ok;
}

IoStatus LinkIo::readFor(milliseconds wait, QByteArray& out)
{
    QByteArray raw;
    const IoStatus status = m_transport->readAfter(wait, raw);
    out += m_echo.strip(raw, now());
    return status;
}

void LinkIo::discard()
{
    QByteArray dropped;
    readFor(milliseconds{0}, dropped);
}

milliseconds LinkIo::replyBound(qsizetype bytes) const
{
    const auto ahead = m_line.pending(now()) + ReplyTime(bytes, m_pacing) + m_roundTrip;
    return kReplyTimeout + ceil<milliseconds>(ahead);
}

milliseconds LinkIo::quietGap() const
{
    const auto gap = ceil<milliseconds>(LineTime(2)) + milliseconds(m_pacing + 10);
    return std::max(kReplyQuietGap, gap);
}

}  // namespace vardo
