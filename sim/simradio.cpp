// SPDX-License-Identifier: GPL-3.0-or-later
#include "simradio.h"

namespace vardo::sim {

namespace {

using namespace Param;

constexpr int kFrameSize = 5;
constexpr std::uint8_t kMeterTrailer = 0xF7;
constexpr int kLongExtra = 4;

[[nodiscard]] bool ValidChannel(int channel) { return channel >= 1 && channel <= kChannels; }

[[nodiscard]] Frame FrameFrom(const QByteArray& bytes)
{
    Frame f;
    for (int i = 0; i < kFrameSize; ++i)
        f.bytes[i] = static_cast<std::uint8_t>(bytes.at(i));
    return f;
}

}  // namespace

QByteArray Frame::toBytes() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), kFrameSize);
}

QString Frame::toHex() const
{
    return QString::fromLatin1(toBytes().toHex(' ').toUpper());
}

SimRadio::SimRadio() = default;

QByteArray SimRadio::feed(const QByteArray& bytes)
{
    std::lock_guard lock(m_mutex);
    QByteArray reply;
    m_partial.append(bytes);
    while (m_partial.size() >= kFrameSize) {
        const Frame frame = FrameFrom(m_partial);
        m_partial.remove(0, kFrameSize);
        reply.append(handleFrame(frame));
    }
    return reply;
}

void SimRadio::dropPartialFrame()
{
    std::lock_guard lock(m_mutex);
    m_partial.clear();
}

bool SimRadio::hasPartialFrame() const
{
    std::lock_guard lock(m_mutex);
    return !m_partial.isEmpty();
}

QByteArray SimRadio::handleFrame(const Frame& frame)
{
    m_log.push_back(frame);
    if (m_observer)
        m_observer(frame);
    applySetting(frame);
    applyMemoryOperation(frame);
    QByteArray reply = answer(frame);
    if (reply.isEmpty() || m_faults.silent)
        return {};
    if (m_faults.stopAfter >= 0 && m_replies >= m_faults.stopAfter)
        return {};
    ++m_replies;
    return reply;
}

QByteArray SimRadio::answer(const Frame& frame)
{
    const auto& b = frame.bytes;
    switch (b[4]) {
    case Op::kStatus: {
        QByteArray reply;
        for (std::uint8_t flag : kStatusFlags)
            reply.append(static_cast<char>(flag));
        const auto ident = m_faults.ident.value_or(kIdentBytes);
        reply.append(static_cast<char>(ident[0]));
        reply.append(static_cast<char>(ident[1]));
        return reply;
    }
    case Op::kMeter: {
        const char level = static_cast<char>(ValidChannel(m_recalled) ? m_state.meter[m_recalled - 1] : 0);
        return QByteArray(kMeterReplyBytes - 1, level) + static_cast<char>(kMeterTrailer);
    }
    case Op::kRecordRead:
        return withRecordFaults(recordReply(frame));
    default:
        return {};
    }
}

QByteArray SimRadio::recordReply(const Frame& frame) const
{
    const auto& b = frame.bytes;
    switch (b[3]) {
    case kReadVfoA: return ReplyBytes(m_state.vfoA);
    case kReadBothVfos: return ReplyBytes(m_state.vfoA) + ReplyBytes(m_state.vfoB);
    case kReadMemory:
        return ValidChannel(b[0]) ? ReplyBytes(m_state.channels[b[0] - 1]) : QByteArray();
    default: return {};
    }
}

QByteArray SimRadio::withRecordFaults(QByteArray reply)
{
    if (reply.isEmpty())
        return reply;
    if (m_faults.garbage) {
        for (auto& byte : reply) {
            // xorshift32: cheap, and the same garbage on every run
            m_noise ^= m_noise << 13;
            m_noise ^= m_noise >> 17;
            m_noise ^= m_noise << 5;
            byte = static_cast<char>(m_noise);
        }
    }
    if (m_faults.shortReplies)
        reply.chop(1);
    if (m_faults.longReplies)
        reply.append(QByteArray(kLongExtra, '\0'));
    return reply;
}

void SimRadio::applySetting(const Frame& frame)
{
    const auto& b = frame.bytes;
    switch (b[4]) {
    case Op::kPacing: m_pacing = b[3]; break;
    case Op::kMode:
        if (b[3] & kModeOfVfoB)
            ApplyMode(m_state.vfoB, b[3] & ~kModeOfVfoB);
        else
            ApplyMode(m_state.vfoA, b[3]);
        break;
    case Op::kFilter: ApplyFilter(m_state.vfoA, b[0], b[3]); break;
    case Op::kClarifier:
        if (b[3] == kClarifierOffset)
            ApplyClarifierOffset(m_state.vfoA, b[0], b[1], b[2]);
        else
            ApplyClarifierSwitch(m_state.vfoA, b[3]);
        break;
    case Op::kRepeaterShift: ApplyRepeaterShift(m_state.vfoA, b[3]); break;
    case Op::kFrequencyA: ApplyFrequency(m_state.vfoA, {b[0], b[1], b[2], b[3]}); break;
    case Op::kFrequencyB: ApplyFrequency(m_state.vfoB, {b[0], b[1], b[2], b[3]}); break;
    default: break;
    }
}

void SimRadio::applyMemoryOperation(const Frame& frame)
{
    const auto& b = frame.bytes;
    const int channel = b[3];
    if (!ValidChannel(channel))
        return;
    Record& stored = m_state.channels[channel - 1];
    if (b[4] == Op::kStore && b[2] == 0 && channel == m_faults.dropStore)
        return;  // a store the radio silently did not take
    if (b[4] == Op::kStore && b[2] == 0) {
        // A stored channel is shown again: the radio unmasks what it stores into.
        stored = m_state.vfoA;
        SetMasked(stored, false);
        m_state.labels[channel - 1].clear();
    } else if (b[4] == Op::kStore && (b[2] == kMask || b[2] == kUnmask)) {
        SetMasked(stored, b[2] == kMask);
    } else if (b[4] == Op::kRecall) {
        m_state.vfoA = stored;
        SetMasked(m_state.vfoA, false);
        m_recalled = channel;
    }
}

std::vector<Frame> SimRadio::frameLog() const
{
    std::lock_guard lock(m_mutex);
    return m_log;
}

void SimRadio::setFrameObserver(std::function<void(const Frame&)> observer)
{
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

void SimRadio::clearLog()
{
    std::lock_guard lock(m_mutex);
    m_log.clear();
}

Record SimRadio::memory(int channel) const
{
    std::lock_guard lock(m_mutex);
    return ValidChannel(channel) ? m_state.channels[channel - 1] : Record{};
}

void SimRadio::setMemory(int channel, const Record& record)
{
    std::lock_guard lock(m_mutex);
    if (!ValidChannel(channel))
        return;
    m_state.channels[channel - 1] = record;
    m_state.labels[channel - 1].clear();
}

Record SimRadio::vfoA() const
{
    std::lock_guard lock(m_mutex);
    return m_state.vfoA;
}

void SimRadio::setVfoA(const Record& record)
{
    std::lock_guard lock(m_mutex);
    m_state.vfoA = record;
}

Record SimRadio::vfoB() const
{
    std::lock_guard lock(m_mutex);
    return m_state.vfoB;
}

void SimRadio::setVfoB(const Record& record)
{
    std::lock_guard lock(m_mutex);
    m_state.vfoB = record;
}

void SimRadio::setMeterLevel(int channel, std::uint8_t level)
{
    std::lock_guard lock(m_mutex);
    if (ValidChannel(channel))
        m_state.meter[channel - 1] = level;
}

int SimRadio::pacing() const
{
    std::lock_guard lock(m_mutex);
    return m_pacing;
}

Faults SimRadio::faults() const
{
    std::lock_guard lock(m_mutex);
    return m_faults;
}

void SimRadio::setFaults(const Faults& faults)
{
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

int SimRadio::replyCount() const
{
    std::lock_guard lock(m_mutex);
    return m_replies;
}

void SimRadio::unplug()
{
    {
        std::lock_guard lock(m_mutex);
        m_plugged = false;
        m_partial.clear();
        ++m_changes;
    }
    m_changed.notify_all();
}

void SimRadio::replug()
{
    {
        std::lock_guard lock(m_mutex);
        m_plugged = true;
        ++m_changes;
    }
    m_changed.notify_all();
}

bool SimRadio::isPlugged() const
{
    std::lock_guard lock(m_mutex);
    return m_plugged;
}

std::uint64_t SimRadio::changeCount() const
{
    std::lock_guard lock(m_mutex);
    return m_changes;
}

void SimRadio::waitForChange(std::uint64_t seen, Clock::time_point deadline) const
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_until(lock, deadline, [&] { return m_changes != seen; });
}

}  // namespace vardo::sim
