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
#include "record.h"
#include "transport.h"

namespace vardo {

// A 16-byte record needs about 120 ms at 4800 baud with pacing 5; a second is ample.
inline constexpr std::chrono::milliseconds kReplyTimeout{1000};
// The status reply during the probe and the meter reply are read after a fixed wait.
inline constexpr std::chrono::milliseconds kStatusWait{100};
inline constexpr std::chrono::milliseconds kMeterWait{100};
// A reply is framed, not just counted: after its last byte the line must stay quiet this long,
// or the reply is malformed. The radio's bytes come about 7 ms apart (2.3 ms each at 4800 baud
// plus the 5 ms pacing), so a surplus byte shows within this gap.
inline constexpr std::chrono::milliseconds kReplyQuietGap{20};
// A malformed reply is asked for this many times in all before the operation fails.
inline constexpr int kReplyAttempts = 2;

struct LinkResult {
    bool ok = true;
    QString error;  // what failed, for the operator; empty when ok

    [[nodiscard]] static LinkResult Success() { return {}; }
    [[nodiscard]] static LinkResult Failure(const QString& message) { return {false, message}; }
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

    // Channels through VFO-A with VFO-A saved once and restored once; `written` after each channel.
    LinkResult WriteBatch(const QList<ChannelWrite>& batch, const WrittenSink& written = {});

    LinkResult LoadVfoA(int channel);               // 00 00 00 ch 06
    // The meter read in two halves, so the caller waits in its own way in between.
    LinkResult RequestMeter();
    MeterResult TakeMeterReply(std::chrono::milliseconds wait);

    // Checked between the steps of a read or a batch write: set it to end them early (a
    // batch still gives VFO-A back).
    void setCancelFlag(const std::atomic<bool>* cancel) { m_cancel = cancel; }

private:
    enum class Reply { Ok, Silent, Malformed, Lost };

    [[nodiscard]] std::unique_ptr<Transport> Probe(const QString& port, ProbeFailure* failure = nullptr) const;
    Reply ReadReply(const CatFrame& frame, QByteArray& reply);
    IoStatus ReadUntilQuiet(QByteArray& got);
    LinkResult EnsureLink();
    LinkResult Send(const CatFrame& frame, const QString& what);
    LinkResult Request(const CatFrame& frame, const QString& what, Record& record);
    LinkResult Failed(IoStatus status, const QString& what);
    LinkResult LinkLost();
    LinkResult SetChannel(const ChannelWrite& write);
    [[nodiscard]] bool Cancelled() const { return m_cancel && m_cancel->load(); }

    TransportFactory m_factory;
    std::unique_ptr<Transport> m_transport;
    QString m_port;
    QList<ProbeFailure> m_probeFailures;
    std::optional<Record> m_savedVfoA;
    const std::atomic<bool>* m_cancel = nullptr;
};

}  // namespace vardo
