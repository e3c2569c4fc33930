// SPDX-License-Identifier: GPL-3.0-or-later
#include "requestrun.h"

#include <algorithm>
#include <utility>

namespace vardo {

namespace {
constexpr qsizetype kRequestSize = 5;
}

RequestRun::RequestRun(LinkIo& io, Sender send, QList<RecordRequest> steps, Taker take, StopFlag stop)
    : m_io(io)
    , m_send(std::move(send))
    , m_steps(std::move(steps))
    , m_take(std::move(take))
    , m_stop(std::move(stop))
    , m_failures(m_steps.size(), 0)
    , m_prepared(m_steps.size(), false)
{
}

RunEnd RequestRun::run()
{
    using How = RunEnd::How;
    m_io.discard();
    qsizetype next = 0;
    while (next < m_steps.size()) {
        if (!m_open && stopAsked())
            return {How::Stopped};
        if (LinkResult sent = send(next); !sent.ok)
            return {How::Failed, next, 0, sent};
        if (m_open) {
            const Surplus window = watchWindow();
            if (window.status == IoStatus::LinkLost)
                return {How::Lost, next};
            if (window.bytes > 0) {
                againAfterMalformed(m_open->step);  // never its last ask: that one keeps the gap
                settle();
                next = m_restart;
                continue;
            }
            if (LinkResult taken = takeHeld(); !taken.ok)
                return {How::Failed, next, 0, taken};
            m_held = std::exchange(m_open, std::nullopt);
        }

        const qsizetype step = next++;
        QByteArray reply = std::exchange(m_next, {});
        const auto bound = m_io.now() + m_io.replyBound(kRecordSize);
        const IoStatus status = m_io.readSome(std::max<qsizetype>(0, kRecordSize - reply.size()), bound, reply);
        if (status == IoStatus::LinkLost)
            return {How::Lost, step};
        if (reply.isEmpty()) {
            // The silence shows that nothing more came after the record kept.
            if (LinkResult taken = takeHeld(); !taken.ok)
                return {How::Failed, step, 0, taken};
            return {How::Silent, step};
        }
        if (reply.size() != kRecordSize) {
            const Surplus rest = reply.size() > kRecordSize ? settle() : Surplus{};
            if (!againAfterMalformed(step))
                return {How::Malformed, step, reply.size() + rest.bytes};
            next = m_restart;
            continue;
        }
        m_open = Reply{step, RecordFromBytes(reply), m_io.now()};
        if (next < m_steps.size() && !lastAsk(step) && !stopAsked())
            continue;  // the next request's window frames this reply

        const Surplus gap = watchQuiet();
        if (gap.status == IoStatus::LinkLost)
            return {How::Lost, step};
        if (gap.bytes > 0) {
            if (!againAfterMalformed(step))
                return {How::Malformed, step, kRecordSize + gap.bytes};
            next = m_restart;
            continue;
        }
        if (LinkResult taken = takeHeld(); !taken.ok)
            return {How::Failed, step, 0, taken};
        m_held = std::exchange(m_open, std::nullopt);
        if (LinkResult taken = takeHeld(); !taken.ok)
            return {How::Failed, step, 0, taken};
    }
    return {How::Done};
}

LinkResult RequestRun::send(qsizetype step)
{
    const RecordRequest& s = m_steps[step];
    if (!m_prepared[step] && s.before) {
        if (LinkResult r = s.before(); !r.ok)
            return r;
    }
    m_prepared[step] = true;
    if (m_open)
        holdBack(*m_open);
    return m_send(s.request, s.what);
}

// At a long pacing the window after the next request would end before a surplus byte of the
// open reply could show: hold the request back just enough.
void RequestRun::holdBack(const Reply& open)
{
    if (!m_io.paced())
        return;
    const auto surplusBy = open.lastByteAt + LineTime(1) + std::chrono::milliseconds(m_io.pacing()) + kBitTime;
    const auto now = m_io.now();
    const auto windowEnd = std::max(now, m_io.lineFreeAt()) + ReplyWindow(kRequestSize);
    if (windowEnd < surplusBy)
        m_io.sleepUntil(now + (surplusBy - windowEnd));
}

// Reply bytes seen before the window after the last request ends belong to the open reply;
// later ones start the next reply.
RequestRun::Surplus RequestRun::watchWindow()
{
    const auto end = m_io.lineFreeAtEarliest() + ReplyWindow(kRequestSize) - LineTime(kRequestSize);
    Surplus surplus;
    while (m_io.paced() && m_io.now() < end) {
        QByteArray got;
        surplus.status = m_io.readSome(1, end, got);
        if (surplus.status == IoStatus::LinkLost)
            return surplus;
        if (m_io.now() < end) {
            surplus.bytes += got.size();
            if (surplus.bytes > 0)
                return surplus;
        } else {
            m_next += got;
        }
    }
    surplus.status = IoStatus::Ok;
    return surplus;
}

// Adds up what arrives until the line has been quiet for a gap, within the reply bound (a
// stream of noise ends there too).
RequestRun::Surplus RequestRun::watchQuiet()
{
    const auto deadline = m_io.now() + m_io.replyBound(kRecordSize);
    Surplus surplus;
    QByteArray more;
    do {
        more.clear();
        surplus.status = m_io.readFor(m_io.quietGap(), more);
        if (surplus.status == IoStatus::LinkLost)
            return surplus;
        surplus.bytes += more.size();
    } while (!more.isEmpty() && m_io.now() < deadline);
    return surplus;
}

// Before a request is asked for again, every reply under way must be in: the line stays quiet
// for a gap after the last request can have reached the radio.
RequestRun::Surplus RequestRun::settle()
{
    m_io.sleepUntil(m_io.lineFreeAt() + m_io.roundTrip());
    return watchQuiet();
}

LinkResult RequestRun::takeHeld()
{
    if (!m_held)
        return LinkResult::Success();
    const Reply held = *std::exchange(m_held, std::nullopt);
    return m_take(held.step, held.record);
}

bool RequestRun::againAfterMalformed(qsizetype step)
{
    ++m_failures[step];
    m_restart = step;
    if (m_held) {
        ++m_failures[m_held->step];
        m_restart = m_held->step;
    }
    m_held.reset();
    m_open.reset();
    m_next.clear();
    return m_failures[step] < kReplyAttempts;
}

}  // namespace vardo
