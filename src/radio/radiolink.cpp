// SPDX-License-Identifier: GPL-3.0-or-later
#include "radiolink.h"

#include <thread>

#include <QDeadlineTimer>

#include "channelindex.h"
#include "codec.h"
#include "messagetext.h"

namespace vardo {
namespace {

[[nodiscard]] bool IsRadioIdent(const QByteArray& reply)
{
    return reply.size() == Cat::kStatusReplySize
        && static_cast<std::uint8_t>(reply.at(3)) == Cat::kIdent3
        && static_cast<std::uint8_t>(reply.at(4)) == Cat::kIdent4;
}

// Some CAT interfaces hear their own transmission: the frame sent comes back ahead of the reply.
// Only a reply longer than it should be can hold an echo (a quiet meter's reply, 00 00 00 00 F7,
// is the very bytes of its request).
[[nodiscard]] QByteArray WithoutEcho(const QByteArray& reply, const CatFrame& frame, qsizetype replySize)
{
    const QByteArray sent = frame.toBytes();
    return reply.size() > replySize && reply.startsWith(sent) ? reply.mid(sent.size()) : reply;
}

[[nodiscard]] bool IsWritable(const ChannelWrite& w)
{
    const bool known = w.ChannelNo >= kFirstRegular && w.ChannelNo <= kLastQmb;
    return known && RadioChannelNumber(w.ChannelNo) != 0 && (w.MaskCode == 1 || w.MaskCode == 2);
}

[[nodiscard]] QString MemoryChannelText(int channel)
{
    return QStringLiteral("memory channel %1").arg(ChannelLabel(channel));
}

// How far an operation the operator stopped got: "The read was stopped after channel 42."
[[nodiscard]] QString StoppedText(const QString& operation, int lastDone)
{
    if (lastDone == 0)
        return QStringLiteral("The %1 was stopped before the first channel.").arg(operation);
    return QStringLiteral("The %1 was stopped after channel %2.").arg(operation, ChannelLabel(lastDone));
}

// The channels the read-back found differing, a line each, their values set against `source`'s.
[[nodiscard]] QStringList MismatchLines(const QList<ChannelMismatch>& mismatches, const QString& source)
{
    QStringList lines;
    lines << (mismatches.size() == 1
                  ? QStringLiteral("The radio does not hold channel %1 as written:").arg(ChannelLabel(mismatches[0].channel))
                  : QStringLiteral("The radio does not hold %1 channels as written:").arg(mismatches.size()));
    for (const ChannelMismatch& m : mismatches)
        lines << DifferenceLine(m.channel, m.differences, source);
    return lines;
}

// How far a batch got: the last channel written (and read back when asked), and a channel
// stored after it whose read-back failed.
struct BatchProgress {
    int lastWritten = 0;
    int storedUnchecked = 0;
};

// What went wrong, how far the batch got, and whether VFO-A is as the operator left it. Frames
// handed to a port that then died may never have left it: after a lost link only what was sent
// is known, not what the radio took in.
[[nodiscard]] QString BatchFailureText(const LinkResult& failure, const QList<ChannelWrite>& batch,
                                       const BatchProgress& progress, bool linkLost, const LinkResult& restored,
                                       const QList<ChannelMismatch>& mismatches, const QString& source)
{
    const int lastWritten = progress.lastWritten;
    QStringList lines;
    if (failure.cancelled)
        lines << StoppedText(QStringLiteral("write"), lastWritten);
    else if (!failure.ok || !restored.ok)
        lines << (failure.ok ? restored.error : failure.error);
    if (!mismatches.isEmpty())
        lines << MismatchLines(mismatches, source);
    if (failure.cancelled)
        ;  // how far it got is said already
    else if (failure.ok && mismatches.isEmpty())
        lines << QStringLiteral("Every channel was written.");
    else if (failure.ok && batch.size() > mismatches.size())
        lines << QStringLiteral("Every other channel was written and read back as written.");
    else if (failure.ok)
        ;  // the channels named are all there were
    else if (progress.storedUnchecked && linkLost)
        lines << QStringLiteral("The last channel sent was %1, but the link was lost before it was read back: the "
                                "radio may have taken in fewer channels.")
                     .arg(ChannelLabel(progress.storedUnchecked));
    else if (progress.storedUnchecked)
        lines << QStringLiteral("Channel %1 was stored, but it could not be read back to check it.")
                     .arg(ChannelLabel(progress.storedUnchecked));
    else if (lastWritten && linkLost)
        lines << QStringLiteral("The last channel sent was %1, but the link was lost: the radio may have taken in "
                                "fewer channels.")
                     .arg(ChannelLabel(lastWritten));
    else if (lastWritten)
        lines << QStringLiteral("The last channel written was %1.").arg(ChannelLabel(lastWritten));
    else
        lines << QStringLiteral("No channel was written.");
    lines << (restored.ok ? QStringLiteral("VFO-A has been set back as it was.")
                          : QStringLiteral("VFO-A could not be set back as it was."));
    return lines.join(kMessageLineBreak);
}

const QString kVfoAText = QStringLiteral("the VFO-A record");
const QString kMeterText = QStringLiteral("the S-meter reading");

}  // namespace

RadioLink::RadioLink(TransportFactory factory)
    : m_factory(std::move(factory))
{
}

RadioLink::~RadioLink()
{
    close();
}

void RadioLink::close()
{
    if (m_transport)
        m_transport->close();
}

std::unique_ptr<Transport> RadioLink::Probe(const QString& port, ProbeFailure* failure) const
{
    using Kind = ProbeFailure::Kind;
    const auto fail = [&](const QString& reason, Kind kind) {
        if (failure)
            *failure = {port, reason, kind};
        return nullptr;
    };
    std::unique_ptr<Transport> transport = m_factory(port);
    if (!transport)
        return fail(QStringLiteral("cannot open %1: there is no such port").arg(port), Kind::Missing);
    if (!transport->open())
        return fail(transport->errorString(), transport->missing() ? Kind::Missing : Kind::Unusable);
    transport->clearInput();
    const CatFrame pacing = Cat::SetPacing(static_cast<std::uint8_t>(m_pacing));
    const CatFrame status = Cat::StatusRequest();
    // Both frames on the line, then the status reply at the pacing just asked for.
    const auto statusTime = LineTime(2 * pacing.toBytes().size()) + ReplyTime(Cat::kStatusReplySize, m_pacing);
    const auto wait = kStatusWait + std::chrono::ceil<std::chrono::milliseconds>(statusTime);
    QByteArray reply;
    const bool answered = transport->write(pacing.toBytes()) == IoStatus::Ok
        && transport->write(status.toBytes()) == IoStatus::Ok
        && transport->readAfter(wait, reply) == IoStatus::Ok;
    reply = WithoutEcho(WithoutEcho(reply, pacing, Cat::kStatusReplySize), status, Cat::kStatusReplySize);
    if (answered && IsRadioIdent(reply))
        return transport;
    transport->close();
    if (reply.isEmpty())
        return fail(QStringLiteral("%1 did not answer").arg(port), Kind::Silent);
    return fail(QStringLiteral("%1 answered, but not as the FT-1000MP").arg(port), Kind::NotTheRadio);
}

bool RadioLink::FindRadio(const QStringList& ports)
{
    close();
    m_transport.reset();
    m_port.clear();
    m_probeFailures.clear();
    for (const QString& port : ports) {
        if (Cancelled())
            break;
        ProbeFailure failure;
        if (std::unique_ptr<Transport> found = Probe(port, &failure)) {
            m_transport = std::move(found);
            m_line.reset();  // the probe waited out its own bytes
            m_port = port;
            return true;
        }
        m_probeFailures << failure;
    }
    return false;
}

LinkResult RadioLink::Reconnect()
{
    if (m_port.isEmpty())
        return LinkResult::Failure(QStringLiteral("No radio has been found."));
    close();
    m_transport.reset();  // the old handle may still hold the device
    m_transport = Probe(m_port);
    m_line.reset();
    if (m_transport)
        return LinkResult::Success();
    return LinkResult::Failure(
        QStringLiteral("The radio on %1 does not answer any more.").arg(m_port) + kMessageLineBreak
        + QStringLiteral("Check that it is switched on and connected, then try again."));
}

LinkResult RadioLink::EnsureLink()
{
    return isOpen() ? LinkResult::Success() : Reconnect();
}

LinkResult RadioLink::LinkLost()
{
    const QString reason = m_transport ? m_transport->errorString() : QString();
    close();
    QString message = QStringLiteral("The connection to the radio on %1 was lost").arg(m_port);
    if (!reason.isEmpty())
        message += QStringLiteral(" (%1)").arg(reason);
    return LinkResult::Failure(message + u'.');
}

LinkResult RadioLink::Failed(IoStatus status, const QString& what)
{
    if (status == IoStatus::LinkLost || !isOpen())
        return LinkLost();
    return LinkResult::Failure(QStringLiteral("The radio did not answer the request for %1.").arg(what));
}

LinkResult RadioLink::Send(const CatFrame& frame, const QString& what)
{
    if (!isOpen())
        return LinkLost();
    const QByteArray bytes = frame.toBytes();
    const IoStatus status = m_transport->write(bytes);
    if (status == IoStatus::Ok) {
        if (m_transport->takesLineTime())
            m_line.sent(bytes.size(), LineClock::Clock::now());
        return LinkResult::Success();
    }
    if (status == IoStatus::LinkLost)
        return LinkLost();
    return LinkResult::Failure(
        QStringLiteral("The command for %1 could not be sent to the radio on %2.").arg(what, m_port));
}

std::chrono::milliseconds RadioLink::ReplyBound(qsizetype bytes) const
{
    const auto ahead = m_line.pending(LineClock::Clock::now()) + ReplyTime(bytes, m_pacing);
    return kReplyTimeout + std::chrono::ceil<std::chrono::milliseconds>(ahead);
}

// Long enough to see the next byte of a reply that goes on: two byte times and the pacing,
// and a margin for adapters that pass bytes on in bursts.
std::chrono::milliseconds RadioLink::QuietGap() const
{
    const auto gap = std::chrono::ceil<std::chrono::milliseconds>(LineTime(2)) + std::chrono::milliseconds(m_pacing + 10);
    return std::max(kReplyQuietGap, gap);
}

// One record reply to `frame`: the echo of the frame ahead of it is skipped, and after its
// 16th byte the line must stay quiet for a gap. A reply of any other length is malformed.
// `whileQuiet` runs once the 16 bytes are in, before the gap is watched (its result goes to
// `quietWork`).
RadioLink::Reply RadioLink::ReadReply(const CatFrame& frame, QByteArray& reply, const WhileQuiet& whileQuiet,
                                      LinkResult& quietWork)
{
    const qsizetype echoSize = frame.toBytes().size();
    QByteArray got;
    IoStatus status = m_transport->readAtLeast(kRecordSize, ReplyBound(kRecordSize), got);
    if (status == IoStatus::Ok && got.startsWith(frame.toBytes()) && got.size() < kRecordSize + echoSize) {
        QByteArray rest;
        status = m_transport->readAtLeast(kRecordSize + echoSize - got.size(), ReplyBound(kRecordSize), rest);
        got += rest;
    }
    if (status == IoStatus::Ok && whileQuiet)
        quietWork = whileQuiet();
    if (status == IoStatus::Ok)
        status = ReadUntilQuiet(got);
    if (status == IoStatus::LinkLost)
        return Reply::Lost;
    reply = WithoutEcho(got, frame, kRecordSize);
    if (reply.isEmpty())
        return Reply::Silent;
    return reply.size() == kRecordSize ? Reply::Ok : Reply::Malformed;
}

// Adds what arrives to `got` until the line has been quiet for a gap, within the reply bound
// (a stream of noise ends there too).
IoStatus RadioLink::ReadUntilQuiet(QByteArray& got)
{
    const QDeadlineTimer deadline(ReplyBound(kRecordSize));
    QByteArray more;
    do {
        more.clear();
        if (const IoStatus status = m_transport->readAfter(QuietGap(), more); status != IoStatus::Ok)
            return status;
        got += more;
    } while (!more.isEmpty() && !deadline.hasExpired());
    return IoStatus::Ok;
}

// Empties the input first, so a late byte never becomes part of this reply. A malformed reply
// is asked for again once: a burst of noise should not end a long read.
LinkResult RadioLink::Request(const CatFrame& frame, const QString& what, Record& record, WhileQuiet whileQuiet)
{
    QByteArray reply;
    for (int attempt = 1;; ++attempt) {
        if (!isOpen())
            return LinkLost();
        m_transport->clearInput();
        if (LinkResult sent = Send(frame, what); !sent.ok)
            return sent;
        LinkResult quietWork;
        const Reply got = ReadReply(frame, reply, std::exchange(whileQuiet, {}), quietWork);
        if (!quietWork.ok)
            return quietWork;
        switch (got) {
        case Reply::Ok: record = RecordFromBytes(reply); return LinkResult::Success();
        case Reply::Silent: return Failed(IoStatus::TimedOut, what);
        case Reply::Lost: return LinkLost();
        case Reply::Malformed: break;
        }
        if (attempt == kReplyAttempts)
            return LinkResult::Failure(
                QStringLiteral("The radio's replies to the request for %1 were malformed (%2 bytes where %3 were "
                               "expected).")
                    .arg(what)
                    .arg(reply.size())
                    .arg(kRecordSize));
        // The rest of a malformed reply must not become the start of the next one.
        QByteArray late;
        ReadUntilQuiet(late);
    }
}

LinkResult RadioLink::ReadMemories(int first, int last, const RecordSink& sink)
{
    if (first < kFirstRegular || last > kChannelCount || first > last)
        return LinkResult::Failure(QStringLiteral("There are no memory channels %1 to %2.").arg(first).arg(last));
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    for (int channel = first; channel <= last; ++channel) {
        if (Cancelled())
            return LinkResult::Stopped(StoppedText(QStringLiteral("read"), channel > first ? channel - 1 : 0));
        Record record{};
        if (LinkResult r = Request(Cat::MemoryRequest(channel), MemoryChannelText(channel), record); !r.ok)
            return r;
        if (sink)
            sink(channel, record);
    }
    return LinkResult::Success();
}

LinkResult RadioLink::ReadVfoA()
{
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    Record record{};
    LinkResult r = Request(Cat::VfoARequest(), kVfoAText, record);
    if (r.ok)
        m_savedVfoA = record;
    return r;
}

// Decoding gives the receive frequency when the receive clarifier is on, which is what
// the frequency encoder expects: VFO-A gets its own VFO frequency back.
LinkResult RadioLink::RestoreVfoA()
{
    if (!m_savedVfoA)
        return LinkResult::Failure(QStringLiteral("There is no saved VFO-A record to restore."));
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    for (const CatFrame& frame : EncodeChannel(DecodeRecord(*m_savedVfoA))) {
        if (LinkResult r = Send(frame, QStringLiteral("VFO-A")); !r.ok)
            return r;
    }
    return LinkResult::Success();
}

// The eight setting commands into VFO-A.
LinkResult RadioLink::SendSettings(const ChannelWrite& w)
{
    const QString what = QStringLiteral("channel %1").arg(ChannelLabel(w.ChannelNo));
    for (const CatFrame& frame : EncodeChannel(w.channel)) {
        if (LinkResult r = Send(frame, what); !r.ok)
            return r;
    }
    return LinkResult::Success();
}

// VFO-A into the channel, then its mask.
LinkResult RadioLink::StoreChannel(const ChannelWrite& w)
{
    const QString what = QStringLiteral("channel %1").arg(ChannelLabel(w.ChannelNo));
    if (LinkResult r = Send(Cat::StoreVfoA(w.ChannelNo), what); !r.ok)
        return r;
    return Send(Cat::SetMask(w.MaskCode, w.ChannelNo), what);
}

// Reads the channel just stored and notes where it differs from what was written. While the
// line is watched for a surplus reply byte, the settings of `next` go out (they draw no reply),
// so the check costs only the read itself.
LinkResult RadioLink::ReadBack(const ChannelWrite& w, const ChannelWrite* next, bool& nextSent,
                               QList<ChannelMismatch>& mismatches)
{
    WhileQuiet sendNext;
    if (next)
        sendNext = [this, next, &nextSent] {
            LinkResult r = SendSettings(*next);
            nextSent = r.ok;
            return r;
        };
    Record held{};
    if (LinkResult r = Request(Cat::MemoryRequest(w.ChannelNo), MemoryChannelText(w.ChannelNo), held, sendNext); !r.ok)
        return r;
    if (QList<FieldDifference> differences = RowDifferences(CellsOfWrite(w), DecodeRecord(held), Fields::Written);
        !differences.isEmpty())
        mismatches.append({w.ChannelNo, differences});
    return LinkResult::Success();
}

LinkResult RadioLink::WriteBatch(const QList<ChannelWrite>& batch, const WrittenSink& written, Check check,
                                 const QString& source)
{
    for (const ChannelWrite& w : batch) {
        if (!IsWritable(w))
            return LinkResult::Failure(
                QStringLiteral("Channel %1 cannot be written into the radio.").arg(ChannelLabel(w.ChannelNo)));
    }
    if (batch.isEmpty())
        return LinkResult::Success();
    if (LinkResult r = ReadVfoA(); !r.ok)
        return LinkResult::Failure(r.error + kMessageLineBreak + QStringLiteral("No channel was written."));

    LinkResult failure;
    QList<ChannelMismatch> mismatches;
    BatchProgress progress;
    bool settingsSent = false;  // the next channel's settings went out during a read-back
    for (qsizetype i = 0; i < batch.size(); ++i) {
        const ChannelWrite& w = batch[i];
        if (Cancelled()) {
            failure = LinkResult::Stopped(QStringLiteral("The write was stopped."));
            break;
        }
        failure = settingsSent ? LinkResult::Success() : SendSettings(w);
        if (failure.ok)
            failure = StoreChannel(w);
        settingsSent = false;
        if (failure.ok && check == Check::ReadBack) {
            const ChannelWrite* next = i + 1 < batch.size() && !Cancelled() ? &batch[i + 1] : nullptr;
            failure = ReadBack(w, next, settingsSent, mismatches);
            if (!failure.ok)
                progress.storedUnchecked = w.ChannelNo;
        }
        if (!failure.ok)
            break;
        progress.lastWritten = w.ChannelNo;
        if (written)
            written(w.ChannelNo);
    }
    // VFO-A is only borrowed: give it back even after a failure, if the port still works.
    const bool linkLost = !isOpen();
    LinkResult restored = linkLost ? LinkLost() : RestoreVfoA();
    if (restored.ok)
        restored = FinishSending();
    if (failure.ok && restored.ok && mismatches.isEmpty())
        return LinkResult::Success();
    LinkResult result =
        LinkResult::Failure(BatchFailureText(failure, batch, progress, linkLost, restored, mismatches, source));
    result.cancelled = failure.cancelled;
    result.mismatches = mismatches;
    return result;
}

LinkResult RadioLink::LoadVfoA(int channel)
{
    if (channel < kFirstRegular || channel > kChannelCount || RadioChannelNumber(channel) == 0)
        return LinkResult::Failure(
            QStringLiteral("Channel %1 cannot be loaded into VFO-A.").arg(ChannelLabel(channel)));
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    return Send(Cat::RecallChannel(channel), MemoryChannelText(channel));
}

LinkResult RadioLink::FinishSending()
{
    if (!isOpen())
        return LinkLost();
    using Clock = LineClock::Clock;
    const auto bound = std::chrono::ceil<std::chrono::milliseconds>(m_line.pending(Clock::now())) + kDrainSlack;
    const IoStatus drained = m_transport->drain(bound);
    if (drained == IoStatus::LinkLost)
        return LinkLost();
    if (drained == IoStatus::TimedOut)
        return LinkResult::Failure(
            QStringLiteral("The port %1 has not sent the last commands on to the radio.").arg(m_port));
    // The port may pass bytes on faster than the line can carry them: never earlier than
    // the line time allows.
    std::this_thread::sleep_until(m_line.freeAt() + kCommandSettle);
    return LinkResult::Success();
}

LinkResult RadioLink::RequestMeter()
{
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    m_transport->clearInput();
    LinkResult sent = Send(Cat::MeterRequest(), kMeterText);
    m_meterDue = m_line.freeAt() + ReplyTime(Cat::kMeterReplySize, m_pacing);
    return sent;
}

MeterResult RadioLink::TakeMeterReply(std::chrono::milliseconds wait)
{
    if (!isOpen())
        return {LinkLost()};
    // At least until the reply can be complete, however long the request waited on the line.
    const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(m_meterDue - LineClock::Clock::now());
    QByteArray reply;
    const IoStatus status = m_transport->readAfter(std::max(wait, untilDue), reply);
    reply = WithoutEcho(reply, Cat::MeterRequest(), Cat::kMeterReplySize);
    if (status != IoStatus::Ok || reply.isEmpty())
        return {Failed(status == IoStatus::Ok ? IoStatus::TimedOut : status, kMeterText)};
    return {LinkResult::Success(), static_cast<std::uint8_t>(reply.at(0))};
}

}  // namespace vardo
