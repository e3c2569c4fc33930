// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio operations as plain synchronous code over a Transport: finding the radio,
// reading memory records, writing channels through VFO-A, loading VFO-A and reading the
// S-meter. Every wait for a reply has a deadline; an operation that fails says what did not
// answer. Runs on the radio worker thread (or directly in tests).

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "catframe.h"
#include "channel.h"
#include "linetime.h"
#include "record.h"
#include "rowcompare.h"
#include "transport.h"

namespace vardo {

// How long the radio may take to start a reply once the request has reached it, on top of the
// reply's own line time: every reply bound counts from when the request can have reached the
// radio, so a request queued behind a long write still gets its full time.
inline constexpr std::chrono::milliseconds kReplyTimeout{1000};
// The status reply during the probe and the meter reply are read after a fixed wait (plus
// their line time).
inline constexpr std::chrono::milliseconds kStatusWait{100};
inline constexpr std::chrono::milliseconds kMeterWait{100};
// A reply is framed, not just counted: after its last byte the line must stay quiet this long,
// or the reply is malformed. The radio's bytes come about 7 ms apart (2.3 ms each at 4800 baud
// plus the 5 ms pacing), so a surplus byte shows within this gap; a longer pacing widens it.
inline constexpr std::chrono::milliseconds kReplyQuietGap{20};
// A malformed reply is asked for this many times in all before the operation fails.
inline constexpr int kReplyAttempts = 2;
// After the line time of the last command, the time the radio is given to act on it before
// an operation counts as done.
inline constexpr std::chrono::milliseconds kCommandSettle{30};
// Longer than this past the line time, a port that still holds bytes counts as stuck.
inline constexpr std::chrono::milliseconds kDrainSlack{2000};

struct LinkResult {
    bool ok = true;
    QString error;  // what failed, for the operator; empty when ok
    // The operator stopped the operation (cancel()); `error` says how far it got.
    bool cancelled = false;
    // A write whose read-back found channels the radio does not hold as written: the link
    // itself worked, every channel was written and checked, and `error` lists them.
    QList<ChannelMismatch> mismatches;

    [[nodiscard]] static LinkResult Success() { return {}; }
    [[nodiscard]] static LinkResult Failure(const QString& message) { return {false, message, false, {}}; }
    [[nodiscard]] static LinkResult Stopped(const QString& message) { return {false, message, true, {}}; }
    bool operator==(const LinkResult&) const = default;
};

struct MeterResult {
    LinkResult result;
    int level = 0;  // first byte of the meter reply, 0..255
    bool operator==(const MeterResult&) const = default;
};

// Why one port of a search did not turn out to be the radio.
struct ProbeFailure {
    enum class Kind {
        Missing,      // the port does not exist
        Unusable,     // it exists but did not open: in use, no permission, not a serial port
        Silent,       // it opened, and nothing answered
        NotTheRadio,  // something answered, but not as the FT-1000MP
    };
    QString port;
    QString reason;  // "cannot open /dev/ttyUSB0: No such file or directory", "COM3 did not answer"
    Kind kind = Kind::Silent;
    bool operator==(const ProbeFailure&) const = default;
};

class RadioLink {
public:
    using RecordSink = std::function<void(int channel, const Record& record)>;
    using WrittenSink = std::function<void(int channel)>;
    // Whether a batch reads each channel back after storing it and compares.
    enum class Check { ReadBack, None };

    explicit RadioLink(TransportFactory factory);
    ~RadioLink();
    RadioLink(const RadioLink&) = delete;
    RadioLink& operator=(const RadioLink&) = delete;

    // Probes the ports in order; the first that answers as the radio stays open and the
    // later ones are not touched. False when none answered.
    bool FindRadio(const QStringList& ports);
    // Each port the last FindRadio tried without finding the radio, in order.
    [[nodiscard]] QList<ProbeFailure> probeFailures() const { return m_probeFailures; }
    // Reopens and re-identifies the port of the last FindRadio after the link was lost.
    LinkResult Reconnect();
    [[nodiscard]] QString portName() const { return m_port; }
    [[nodiscard]] bool isOpen() const { return m_transport && m_transport->isOpen(); }
    void close();

    // Reads channels first..last, one request at a time, handing each record to `sink`.
    LinkResult ReadMemories(int first, int last, const RecordSink& sink);

    LinkResult ReadVfoA();                          // keeps the record for RestoreVfoA
    LinkResult RestoreVfoA();                       // sets VFO-A back to the kept record

    // Channels through VFO-A with VFO-A saved once and restored once; `written` after each
    // channel. With Check::ReadBack each channel is read back after its store and mask and
    // compared with what was written; channels that differ do not stop the batch, they end it
    // with LinkResult::mismatches, their values set against `source`'s ("file", "editor").
    // Returns once the radio can have taken in the last command.
    LinkResult WriteBatch(const QList<ChannelWrite>& batch, const WrittenSink& written = {},
                          Check check = Check::ReadBack, const QString& source = QStringLiteral("file"));

    LinkResult LoadVfoA(int channel);               // 00 00 00 ch 06
    // Waits until the radio can have taken in every command sent so far: the port has drained
    // and the line time of every byte has passed, and then the radio's settling time.
    LinkResult FinishSending();

    // The pacing the next search asks for: ms between the bytes of a reply (0-255).
    void setPacing(int milliseconds) { m_pacing = milliseconds; }
    // The meter read in two halves, so the caller waits in its own way in between.
    LinkResult RequestMeter();
    MeterResult TakeMeterReply(std::chrono::milliseconds wait);

    // Checked between the steps of a read or a batch write: set it to end them early (a
    // batch still gives VFO-A back).
    void setCancelFlag(const std::atomic<bool>* cancel) { m_cancel = cancel; }

private:
    enum class Reply { Ok, Silent, Malformed, Lost };

    [[nodiscard]] std::unique_ptr<Transport> Probe(const QString& port, ProbeFailure* failure = nullptr) const;
    // Something to do once a reply's bytes are in and while the line is watched for surplus
    // ones: it must send only commands the radio does not answer.
    using WhileQuiet = std::function<LinkResult()>;

    Reply ReadReply(const CatFrame& frame, QByteArray& reply, const WhileQuiet& whileQuiet, LinkResult& quietWork);
    IoStatus ReadUntilQuiet(QByteArray& got);
    LinkResult EnsureLink();
    LinkResult Send(const CatFrame& frame, const QString& what);
    LinkResult Request(const CatFrame& frame, const QString& what, Record& record, WhileQuiet whileQuiet = {});
    LinkResult Failed(IoStatus status, const QString& what);
    LinkResult LinkLost();
    LinkResult SendSettings(const ChannelWrite& write);
    LinkResult StoreChannel(const ChannelWrite& write);
    LinkResult ReadBack(const ChannelWrite& write, const ChannelWrite* next, bool& nextSent,
                        QList<ChannelMismatch>& mismatches);
    // How long a reply of `bytes` may take from now: the line time still ahead of the request,
    // the reply's own time at the current pacing, and the radio's bound.
    [[nodiscard]] std::chrono::milliseconds ReplyBound(qsizetype bytes) const;
    [[nodiscard]] std::chrono::milliseconds QuietGap() const;
    [[nodiscard]] bool Cancelled() const { return m_cancel && m_cancel->load(); }

    TransportFactory m_factory;
    std::unique_ptr<Transport> m_transport;
    QString m_port;
    QList<ProbeFailure> m_probeFailures;
    std::optional<Record> m_savedVfoA;
    const std::atomic<bool>* m_cancel = nullptr;
    int m_pacing = Cat::kPacing;
    LineClock m_line;  // the line time of what has been handed to the port
    LineClock::Clock::time_point m_meterDue{};  // when the meter reply asked for can be complete
};

}  // namespace vardo
