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

#include "recordfields.h"

namespace vardo::sim {

// One CAT command as the radio receives it: P1 P2 P3 P4, then the opcode.
struct Frame {
    std::array<std::uint8_t, 5> bytes{};

    [[nodiscard]] QByteArray toBytes() const;
    [[nodiscard]] QString toHex() const;  // "00 00 00 05 0E"
    auto operator<=>(const Frame&) const = default;
};

// The radio's CAT commands as its documentation gives them: the opcode (fifth byte) and the
// parameter codes the emulator obeys.
namespace Op {
inline constexpr std::uint8_t kStore = 0x03;       // P3 00: VFO-A into channel P4; else a mask code
inline constexpr std::uint8_t kRecall = 0x06;      // channel P4 into VFO-A
inline constexpr std::uint8_t kClarifier = 0x09;   // a switch in P4, or the offset when P4 is FF
inline constexpr std::uint8_t kFrequencyA = 0x0A;  // eight BCD digits of 10 Hz, low byte first
inline constexpr std::uint8_t kMode = 0x0C;
inline constexpr std::uint8_t kPacing = 0x0E;      // ms between reply bytes in P4
inline constexpr std::uint8_t kRecordRead = 0x10;  // what P4 says
inline constexpr std::uint8_t kRepeaterShift = 0x84;
inline constexpr std::uint8_t kFrequencyB = 0x8A;
inline constexpr std::uint8_t kFilter = 0x8C;      // stage in P1, width in P4
inline constexpr std::uint8_t kMeter = 0xF7;
inline constexpr std::uint8_t kStatus = 0xFA;
}  // namespace Op

namespace Param {
inline constexpr std::uint8_t kReadVfoA = 0x02;      // P4 of the record read
inline constexpr std::uint8_t kReadBothVfos = 0x03;
inline constexpr std::uint8_t kReadMemory = 0x04;    // the channel in P1
inline constexpr std::uint8_t kMask = 0x01;          // P3 of a store
inline constexpr std::uint8_t kUnmask = 0x02;
inline constexpr std::uint8_t kStage82 = 0x01;       // P1 of the filter command
inline constexpr std::uint8_t kStage455 = 0x02;
inline constexpr std::uint8_t kRxClarifierOff = 0x00;  // P4 of the clarifier switches
inline constexpr std::uint8_t kRxClarifierOn = 0x01;
inline constexpr std::uint8_t kTxClarifierOff = 0x80;
inline constexpr std::uint8_t kTxClarifierOn = 0x81;
inline constexpr std::uint8_t kClarifierOffset = 0xFF;  // P4 of the offset
inline constexpr std::uint8_t kOffsetPlus = 0x00;       // its P3
inline constexpr std::uint8_t kOffsetMinus = 0xFF;
inline constexpr std::uint8_t kModeOfVfoB = 0x80;       // mode codes 80..8B set VFO-B
}  // namespace Param

inline constexpr int kStatusReplyBytes = 5;
inline constexpr std::array<std::uint8_t, 2> kIdentBytes{0x03, 0x93};  // the status reply's last two
inline constexpr int kMeterReplyBytes = 5;  // the meter byte four times, then F7

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
    [[nodiscard]] std::vector<Frame> frameLog() const;
    // Hears each frame as it is received (called with the radio locked: it must not call back).
    void setFrameObserver(std::function<void(const Frame&)> observer);
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
        std::array<Record, kChannels> channels{};
        std::array<std::uint8_t, kChannels> meter{};
        std::array<QString, kChannels> labels;  // the image's comments, until a channel changes
        Record vfoA{};
        Record vfoB{};
    };

    QByteArray handleFrame(const Frame& frame);
    [[nodiscard]] QByteArray answer(const Frame& frame);
    [[nodiscard]] QByteArray recordReply(const Frame& frame) const;
    [[nodiscard]] QByteArray withRecordFaults(QByteArray reply);
    void applySetting(const Frame& frame);
    void applyMemoryOperation(const Frame& frame);
    [[nodiscard]] QByteArray imageText() const;
    bool loadImageText(const QByteArray& text, QString* error);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    State m_state;
    QByteArray m_partial;
    std::vector<Frame> m_log;
    std::function<void(const Frame&)> m_observer;
    int m_pacing = 0;
    int m_recalled = 0;
    int m_replies = 0;
    Faults m_faults;
    bool m_plugged = true;
    std::uint64_t m_changes = 0;
    std::uint32_t m_noise = 0x2545F491u;  // garbage generator state (fixed seed: reproducible)
};

}  // namespace vardo::sim
