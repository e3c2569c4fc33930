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
#include "linkio.h"
#include "linkresult.h"
#include "record.h"
#include "requestrun.h"
#include "rowcompare.h"
#include "transport.h"

namespace vardo {

// The status reply during the probe and the meter reply are read after a fixed wait (plus
// their line time).
inline constexpr std::chrono::milliseconds kStatusWait{100};
inline constexpr std::chrono::milliseconds kMeterWait{100};
// Over a network the status reply may take this much longer: its round trip is not known yet.
inline constexpr std::chrono::milliseconds kNetworkStatusExtra{2000};
// After that, bytes that still come this soon show a port that answered, only too late.
inline constexpr std::chrono::milliseconds kLateAnswerWatch{1000};
// On a serial port, a status reply that has begun but is not all in when the wait ends (a
// stalled adapter, a busy machine) is read this much longer before it is judged.
inline constexpr std::chrono::milliseconds kBegunReplyWatch{1000};
// After the line time of the last command, the time the radio is given to act on it before
// an operation counts as done.
inline constexpr std::chrono::milliseconds kCommandSettle{30};
// Longer than this past the line time, a port that still holds bytes counts as stuck.
inline constexpr std::chrono::milliseconds kDrainSlack{2000};

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
        Late,         // it answered, but only after the wait for the reply was over
    };
    QString port;
    QString reason;  // "cannot open /dev/ttyUSB0: No such file or directory", "COM3 did not answer"
    Kind kind = Kind::Silent;
    bool operator==(const ProbeFailure&) const = default;
};

// How far a batch got: the last channel written (and read back when asked), and the channels
// stored after it whose read-back did not come to an end.
struct BatchProgress {
    int lastWritten = 0;
    QList<int> storedUnchecked;
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

    // Reads channels first..last, handing each record to `sink` once it has framed cleanly.
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
    // A port that answered as the radio: whether its interface echoes, the round trip of a
    // network in between, and whether the far end keeps the line's time.
    struct Found {
        std::unique_ptr<Transport> transport;
        bool echoes = false;
        std::chrono::nanoseconds roundTrip{0};
        bool keepsLineTime = true;
    };

    [[nodiscard]] Found Probe(const QString& port, ProbeFailure* failure = nullptr) const;
    void Attach(Found found);
    LinkResult EnsureLink();
    LinkResult Send(const CatFrame& frame, const QString& what);
    // Runs record requests back to back; a stoppable run ends early when the operation is cancelled.
    RunEnd Run(const QList<RecordRequest>& steps, const RequestRun::Taker& take, bool stoppable);
    // What a run that did not get through says to the operator.
    LinkResult RunFailure(const RunEnd& end, const QList<RecordRequest>& steps);
    LinkResult Failed(IoStatus status, const QString& what);
    LinkResult LinkLost();
    LinkResult SendChannel(const ChannelWrite& write);
    LinkResult WriteOnly(const QList<ChannelWrite>& batch, const std::function<void(int)>& done);
    LinkResult WriteAndReadBack(const QList<ChannelWrite>& batch, BatchProgress& progress,
                                QList<ChannelMismatch>& mismatches, const std::function<void(int)>& done);
    [[nodiscard]] bool Cancelled() const { return m_cancel && m_cancel->load(); }

    TransportFactory m_factory;
    std::unique_ptr<Transport> m_transport;
    QString m_port;
    QList<ProbeFailure> m_probeFailures;
    std::optional<Record> m_savedVfoA;
    const std::atomic<bool>* m_cancel = nullptr;
    int m_pacing = Cat::kPacing;
    LinkIo m_io;
    Transport::Clock::time_point m_meterDue{};  // when the meter reply asked for can be complete
};

}  // namespace vardo
