// SPDX-License-Identifier: GPL-3.0-or-later
#include "scanloop.h"

#include <algorithm>
#include <thread>

#include "channel.h"

namespace vardo {

void ThreadSleeper::sleepFor(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

ScanLoop::ScanLoop(RadioLink& link, Sleeper& sleeper, const std::atomic<bool>& stop)
    : m_link(link)
    , m_sleeper(sleeper)
    , m_stop(stop)
{
}

bool ScanLoop::Pause(std::chrono::milliseconds duration)
{
    while (duration.count() > 0) {
        if (Stopped())
            return false;
        const std::chrono::milliseconds slice = std::min(duration, kStopCheckSlice);
        m_sleeper.sleepFor(slice);
        duration -= slice;
    }
    return !Stopped();
}

ScanLoop::Visit ScanLoop::MeasureOnce(int threshold)
{
    if (LinkResult r = m_link.RequestMeter(); !r.ok) {
        m_failure = r;
        return Visit::Failed;
    }
    if (!Pause(kMeterWait))
        return Visit::Stopped;
    const MeterResult meter = m_link.TakeMeterReply(std::chrono::milliseconds(0));
    if (!meter.result.ok) {
        m_failure = meter.result;
        return Visit::Failed;
    }
    return meter.level > threshold ? Visit::Busy : Visit::Quiet;
}

// Loads the channel and stays on it while the meter reads above the threshold.
ScanLoop::Visit ScanLoop::VisitChannel(int channel, int threshold)
{
    if (LinkResult r = m_link.LoadVfoA(channel); !r.ok) {
        m_failure = r;
        return Visit::Failed;
    }
    if (!Pause(kSettleTime))
        return Visit::Stopped;
    bool signalSeen = false;
    for (;;) {
        if (Stopped())
            return Visit::Stopped;
        const Visit v = MeasureOnce(threshold);
        if (v != Visit::Busy)
            return v == Visit::Quiet && signalSeen ? Visit::Busy : v;
        signalSeen = true;
    }
}

LinkResult ScanLoop::Run(int first, int last, int threshold, const ChannelSink& onChannel)
{
    if (first < kFirstRegular || last > kLastRegular || first > last)
        return LinkResult::Failure(
            QStringLiteral("Only memory channels 1 to 99 can be scanned, not %1 to %2.").arg(first).arg(last));
    m_failure = LinkResult::Success();
    bool onTrack = true;
    int resume = first;
    while (!Stopped()) {
        for (int channel = first; channel <= last; ++channel) {
            if (Stopped())
                break;
            // After a hold, go back to the channel that had the signal and measure it again.
            if (!onTrack) {
                channel = resume;
                onTrack = true;
            }
            resume = channel;
            if (onChannel)
                onChannel(channel);
            if (Stopped())
                break;
            const Visit v = VisitChannel(channel, threshold);
            if (v == Visit::Failed)
                return m_failure;
            if (v == Visit::Stopped)
                break;
            if (v == Visit::Busy) {
                onTrack = false;
                if (!Pause(kHoldTime))
                    break;
            }
        }
    }
    return LinkResult::Success();
}

}  // namespace vardo
