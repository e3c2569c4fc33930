// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio emulator's core: a state machine fed with bytes that answers with bytes, as the
// FT-1000MP does on its CAT port. No I/O and no clock of its own: the front ends pace it.
// Every public member locks the radio's mutex, so a link worker thread may feed it while a
// test inspects it from another thread.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include "catframe.h"
#include "channel.h"
#include "record.h"

namespace vardo::sim {

struct Faults {
    std::optional<std::array<std::uint8_t, 2>> ident;  // other identification bytes
    bool silent = false;       // never answers
    int stopAfter = -1;        // answers this many requests, then falls silent (-1: never)
    bool shortReplies = false; // records one byte short
    bool longReplies = false;  // records four bytes long
    bool garbage = false;      // random bytes instead of records
    std::chrono::milliseconds delay{0};  // extra wait before each reply (applied by the front ends)
    bool echo = false;         // the line hands every byte sent back first, as some CAT interfaces do
    int dropStore = 0;         // stores into this channel are ignored: it keeps its old contents (0: none)

    bool operator==(const Faults&) const = default;
};

// The status reply's first three bytes: VFO-A shown, no split, not in memory mode, receiving.
inline constexpr std::array<std::uint8_t, 3> kStatusFlags{0x00, 0x00, 0x00};
inline constexpr int kVfoRecordCount = 2;  // the "both VFOs" read answers VFO-A then VFO-B

class SimRadio {
public:
    using Clock = std::chrono::steady_clock;

    SimRadio();
    SimRadio(const SimRadio&) = delete;
    SimRadio& operator=(const SimRadio&) = delete;

    // Feeds bytes as they arrive on the wire (frames may be split anywhere); returns the
    // reply bytes to send back, in order.
    QByteArray feed(const QByteArray& bytes);
    // Forgets the bytes of an unfinished frame (a front end calls this after a long gap).
    void dropPartialFrame();
    [[nodiscard]] bool hasPartialFrame() const;

    // Every frame received, in order, answered or not.
    [[nodiscard]] std::vector<CatFrame> frameLog() const;
    // Hears each frame as it is received (called with the radio locked: it must not call back).
    void setFrameObserver(std::function<void(const CatFrame&)> observer);
    void clearLog();

    // Memory: channel 1..113 (a blank record outside that range); VFO-A and VFO-B records.
    [[nodiscard]] Record memory(int channel) const;
    void setMemory(int channel, const Record& record);
    [[nodiscard]] Record vfoA() const;
    void setVfoA(const Record& record);
    [[nodiscard]] Record vfoB() const;
    void setVfoB(const Record& record);

    // S-meter byte the meter read returns after the given channel was recalled into VFO-A.
    void setMeterLevel(int channel, std::uint8_t level);
    [[nodiscard]] int pacing() const;

    [[nodiscard]] Faults faults() const;
    void setFaults(const Faults& faults);
    // Replies given so far (what the stop-after fault counts).
    [[nodiscard]] int replyCount() const;

    // A lost link: transports on this radio fail every call with LinkLost until replug().
    void unplug();
    void replug();
    [[nodiscard]] bool isPlugged() const;
    // For transports: bumps on unplug and replug; waitForChange() sleeps until it moves away
    // from `seen` or the deadline passes, whichever is first.
    [[nodiscard]] std::uint64_t changeCount() const;
    void waitForChange(std::uint64_t seen, Clock::time_point deadline) const;

    // Readable text image of the 113 channels and both VFOs; on a bad file nothing changes
    // and `error` names the line.
    bool loadImage(const QString& path, QString* error = nullptr);
    bool saveImage(const QString& path, QString* error = nullptr) const;
    // The demo image shipped in the program's resources.
    bool loadDemoImage();

private:
    struct State {
        std::array<Record, kChannelCount> channels{};
        std::array<std::uint8_t, kChannelCount> meter{};
        std::array<QString, kChannelCount> labels;  // the image's comments, until a channel changes
        Record vfoA{};
        Record vfoB{};
    };

    QByteArray handleFrame(const CatFrame& frame);
    [[nodiscard]] QByteArray answer(const CatFrame& frame);
    [[nodiscard]] QByteArray recordReply(const CatFrame& frame) const;
    [[nodiscard]] QByteArray withRecordFaults(QByteArray reply);
    void applySetting(const CatFrame& frame);
    void applyMemoryOperation(const CatFrame& frame);
    [[nodiscard]] QByteArray imageText() const;
    bool loadImageText(const QByteArray& text, QString* error);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    State m_state;
    QByteArray m_partial;
    std::vector<CatFrame> m_log;
    std::function<void(const CatFrame&)> m_observer;
    int m_pacing = 0;
    int m_recalled = 0;
    int m_replies = 0;
    Faults m_faults;
    bool m_plugged = true;
    std::uint64_t m_changes = 0;
    std::uint32_t m_noise = 0x2545F491u;  // garbage generator state (fixed seed: reproducible)
};

}  // namespace vardo::sim
