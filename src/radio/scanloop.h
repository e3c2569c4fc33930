// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The memory scan on the radio side: load each channel of the range into VFO-A, read the
// S-meter, stay while the signal is above the threshold, hold five seconds after it went,
// then measure that channel once more before moving on. Endless until the stop flag is set.

#include <atomic>
#include <chrono>
#include <functional>

#include "radiolink.h"

namespace vardo {

// The VFO-A load needs time to settle before the meter means anything.
inline constexpr std::chrono::milliseconds kSettleTime{150};
inline constexpr std::chrono::milliseconds kHoldTime{5000};
// Waits are cut into slices this long so a stop takes effect quickly.
inline constexpr std::chrono::milliseconds kStopCheckSlice{25};

// How the scan waits; tests substitute one that only advances a virtual clock.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

class ThreadSleeper final : public Sleeper {
public:
    void sleepFor(std::chrono::milliseconds duration) override;
};

class ScanLoop {
public:
    using ChannelSink = std::function<void(int channel)>;

    ScanLoop(RadioLink& link, Sleeper& sleeper, const std::atomic<bool>& stop);

    // Scans first..last (regular channels) until the stop flag is set, which is a normal
    // end. A meter that does not answer or a lost link ends it with a failure.
    LinkResult Run(int first, int last, int threshold, const ChannelSink& onChannel);

private:
    enum class Visit { Quiet, Busy, Stopped, Failed };
    Visit VisitChannel(int channel, int threshold);
    Visit MeasureOnce(int threshold);
    bool Pause(std::chrono::milliseconds duration);  // false when stopped meanwhile
    [[nodiscard]] bool Stopped() const { return m_stop.load(); }

    RadioLink& m_link;
    Sleeper& m_sleeper;
    const std::atomic<bool>& m_stop;
    LinkResult m_failure;
};

}  // namespace vardo
