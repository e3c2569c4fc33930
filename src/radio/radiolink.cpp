// SPDX-License-Identifier: GPL-3.0-or-later
#include "radiolink.h"

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

// What came back to the probe without the echo of its two frames, which an interface that
// hears its own transmission sends back ahead of the status reply.
[[nodiscard]] QByteArray StatusBytes(const QByteArray& raw, const QByteArray& sent)
{
    return raw.startsWith(sent) ? raw.mid(sent.size()) : raw;
}

// Whether the status reply is all in: five bytes after the echo, if any (the echo alone may
// have begun to come).
[[nodiscard]] bool StatusComplete(const QByteArray& raw, const QByteArray& sent)
{
    return StatusBytes(raw, sent).size() >= Cat::kStatusReplySize && !sent.startsWith(raw);
}

struct ProbeReply {
    QByteArray raw;  // with the echo, if any
    Transport::Clock::duration took{};  // from the request until the reply was all in
    bool ok = false;    // the link held
    bool late = false;  // (more of) the reply came only after the wait
};

// Reads until the status reply is all in or `until` passes; false when the link went.
bool ReadStatus(Transport& transport, const QByteArray& sent, Transport::Clock::time_point until, QByteArray& raw)
{
    while (!StatusComplete(raw, sent) && transport.now() < until) {
        QByteArray more;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - transport.now());
        if (transport.readAtLeast(1, left, more) == IoStatus::LinkLost)
            return false;
        raw += more;
    }
    return true;
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

// "2", "2 and 3", "2, 3 and 4".
[[nodiscard]] QString ChannelList(const QList<int>& channels)
{
    QStringList labels;
    for (int channel : channels)
        labels << ChannelLabel(channel);
    const QString last = labels.takeLast();
    return labels.isEmpty() ? last : labels.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

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
    else if (!progress.storedUnchecked.isEmpty() && linkLost)
        lines << QStringLiteral("The last channel sent was %1, but the link was lost before it was read back: the "
                                "radio may have taken in fewer channels.")
                     .arg(ChannelLabel(progress.storedUnchecked.last()));
    else if (progress.storedUnchecked.size() == 1)
        lines << QStringLiteral("Channel %1 was stored, but it could not be read back to check it.")
                     .arg(ChannelLabel(progress.storedUnchecked.first()));
    else if (!progress.storedUnchecked.isEmpty())
        lines << QStringLiteral("Channels %1 were stored, but they could not be read back to check them.")
                     .arg(ChannelList(progress.storedUnchecked));
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

// The status reply to the frames `sent` at `asked`: within `wait` on a serial port (a reply
// begun by then may finish a little later); over a network up to 2 s longer, and bytes that
// come within a further second mark the reply late.
// A sixth byte within the wait (over a network, soon after the fifth) makes it some other device.
ProbeReply AwaitStatus(Transport& transport, const QByteArray& sent, Transport::Clock::time_point asked,
                       std::chrono::milliseconds wait)
{
    using std::chrono::milliseconds;
    const bool network = transport.crossesNetwork();
    ProbeReply reply;
    reply.ok = ReadStatus(transport, sent, asked + wait + (network ? kNetworkStatusExtra : milliseconds{0}), reply.raw);
    if (reply.ok && !network && !reply.raw.isEmpty() && !StatusComplete(reply.raw, sent))
        reply.ok = ReadStatus(transport, sent, transport.now() + kBegunReplyWatch, reply.raw);
    const auto came = transport.now();
    reply.took = came - asked;
    const auto lookUntil = std::max(asked + wait, came + (network ? kStatusWait : milliseconds{0}));
    QByteArray more;
    const auto look = std::chrono::ceil<milliseconds>(std::max(lookUntil - came, Transport::Clock::duration{}));
    reply.ok = reply.ok && transport.readAfter(look, more) == IoStatus::Ok;
    reply.raw += more;
    const qsizetype inTime = StatusBytes(reply.raw, sent).size();
    if (reply.ok && network && inTime < Cat::kStatusReplySize) {
        reply.ok = ReadStatus(transport, sent, transport.now() + kLateAnswerWatch, reply.raw);
        reply.late = StatusBytes(reply.raw, sent).size() > inTime;
    }
    return reply;
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

// Pacing, then the status request. A serial port gets a fixed wait for the reply; over a
// network the wait goes on for longer, the round trip is taken from when the reply came, and a
// reply that comes even later is told apart from silence.
RadioLink::Found RadioLink::Probe(const QString& port, ProbeFailure* failure) const
{
    using Kind = ProbeFailure::Kind;
    using std::chrono::milliseconds;
    const auto fail = [&](const QString& reason, Kind kind) {
        if (failure)
            *failure = {port, reason, kind};
        return Found{};
    };
    std::unique_ptr<Transport> transport = m_factory(port);
    if (!transport)
        return fail(QStringLiteral("cannot open %1: there is no such port").arg(port), Kind::Missing);
    if (!transport->open())
        return fail(transport->errorString(), transport->missing() ? Kind::Missing : Kind::Unusable);
    transport->clearInput();
    const CatFrame pacing = Cat::SetPacing(static_cast<std::uint8_t>(m_pacing));
    const CatFrame status = Cat::StatusRequest();
    const QByteArray sent = pacing.toBytes() + status.toBytes();
    // Both frames on the line, then the status reply at the pacing just asked for.
    const auto statusTime = LineTime(sent.size()) + ReplyTime(Cat::kStatusReplySize, m_pacing);
    const auto wait = kStatusWait + std::chrono::ceil<milliseconds>(statusTime);
    const auto asked = transport->now();
    const bool written = transport->write(pacing.toBytes()) == IoStatus::Ok
        && transport->write(status.toBytes()) == IoStatus::Ok;
    const ProbeReply answer = written ? AwaitStatus(*transport, sent, asked, wait) : ProbeReply{};
    const QByteArray& raw = answer.raw;
    const bool answered = written && answer.ok;
    const bool late = answer.late;
    Found found;
    if (transport->crossesNetwork())
        found.roundTrip = std::max(std::chrono::nanoseconds{0}, answer.took - statusTime);
    // An answer sooner than the line could carry it comes from something that keeps no line
    // time (an emulator answering at once): framing by time would find surplus in every window.
    found.keepsLineTime = answer.took >= statusTime / 2;
    const QByteArray reply = StatusBytes(raw, sent);
    if (answered && !late && IsRadioIdent(reply)) {
        found.transport = std::move(transport);
        found.echoes = raw.startsWith(sent);
        return found;
    }
    const auto took = std::chrono::duration_cast<milliseconds>(transport->now() - asked);
    transport->close();
    if (late)
        return fail(QStringLiteral("%1 answered too late (%2 ms)").arg(port).arg(took.count()), Kind::Late);
    if (reply.isEmpty())
        return fail(QStringLiteral("%1 did not answer").arg(port), Kind::Silent);
    return fail(QStringLiteral("%1 answered, but not as the FT-1000MP").arg(port), Kind::NotTheRadio);
}

void RadioLink::Attach(Found found)
{
    m_transport = std::move(found.transport);
    m_io.attach(m_transport.get(), found.echoes, found.roundTrip, found.keepsLineTime);
    m_io.setPacing(m_pacing);
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
        if (Found found = Probe(port, &failure); found.transport) {
            Attach(std::move(found));
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
    if (Found found = Probe(m_port); found.transport) {
        Attach(std::move(found));
        return LinkResult::Success();
    }
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
    const IoStatus status = m_io.write(frame.toBytes());
    if (status == IoStatus::Ok)
        return LinkResult::Success();
    if (status == IoStatus::LinkLost)
        return LinkLost();
    return LinkResult::Failure(
        QStringLiteral("The command for %1 could not be sent to the radio on %2.").arg(what, m_port));
}

RunEnd RadioLink::Run(const QList<RecordRequest>& steps, const RequestRun::Taker& take, bool stoppable)
{
    const RequestRun::Sender send = [this](const CatFrame& frame, const QString& what) { return Send(frame, what); };
    RequestRun::StopFlag stop;
    if (stoppable)
        stop = [this] { return Cancelled(); };
    return RequestRun(m_io, send, steps, take, stop).run();
}

LinkResult RadioLink::RunFailure(const RunEnd& end, const QList<RecordRequest>& steps)
{
    using How = RunEnd::How;
    switch (end.how) {
    case How::Done:
    case How::Stopped: break;
    case How::Silent: return Failed(IoStatus::TimedOut, steps[end.step].what);
    case How::Lost: return LinkLost();
    case How::Failed: return end.failure;
    case How::Malformed:
        return LinkResult::Failure(
            QStringLiteral("The radio's replies to the request for %1 were malformed (%2 bytes where %3 were "
                           "expected).")
                .arg(steps[end.step].what)
                .arg(end.bytes)
                .arg(kRecordSize));
    }
    return LinkResult::Success();
}

LinkResult RadioLink::ReadMemories(int first, int last, const RecordSink& sink)
{
    if (first < kFirstRegular || last > kChannelCount || first > last)
        return LinkResult::Failure(QStringLiteral("There are no memory channels %1 to %2.").arg(first).arg(last));
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    QList<RecordRequest> steps;
    for (int channel = first; channel <= last; ++channel)
        steps << RecordRequest{Cat::MemoryRequest(channel), MemoryChannelText(channel)};
    int lastRead = 0;
    const RunEnd end = Run(steps, [&](qsizetype step, const Record& record) {
        lastRead = first + int(step);
        if (sink)
            sink(lastRead, record);
        return LinkResult::Success();
    }, true);
    if (end.how == RunEnd::How::Stopped)
        return LinkResult::Stopped(StoppedText(QStringLiteral("read"), lastRead));
    return RunFailure(end, steps);
}

LinkResult RadioLink::ReadVfoA()
{
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    const QList<RecordRequest> steps{{Cat::VfoARequest(), kVfoAText}};
    return RunFailure(Run(steps, [this](qsizetype, const Record& record) {
        m_savedVfoA = record;
        return LinkResult::Success();
    }, false), steps);
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

// The eight setting commands into VFO-A, then VFO-A into the channel and its mask.
LinkResult RadioLink::SendChannel(const ChannelWrite& w)
{
    const QString what = QStringLiteral("channel %1").arg(ChannelLabel(w.ChannelNo));
    std::vector<CatFrame> frames = EncodeChannel(w.channel);
    frames.push_back(Cat::StoreVfoA(w.ChannelNo));
    frames.push_back(Cat::SetMask(w.MaskCode, w.ChannelNo));
    for (const CatFrame& frame : frames) {
        if (LinkResult r = Send(frame, what); !r.ok)
            return r;
    }
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

    QList<ChannelMismatch> mismatches;
    BatchProgress progress;
    const auto done = [&](int channel) {
        progress.lastWritten = channel;
        if (written)
            written(channel);
    };
    LinkResult failure = check == Check::ReadBack ? WriteAndReadBack(batch, progress, mismatches, done)
                                                  : WriteOnly(batch, done);
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

LinkResult RadioLink::WriteOnly(const QList<ChannelWrite>& batch, const std::function<void(int)>& done)
{
    for (const ChannelWrite& w : batch) {
        if (Cancelled())
            return LinkResult::Stopped(QStringLiteral("The write was stopped."));
        if (LinkResult r = SendChannel(w); !r.ok)
            return r;
        done(w.ChannelNo);
    }
    return LinkResult::Success();
}

// Each channel's settings, store and mask go out just ahead of its read-back, so they ride in
// the window that frames the reply before; a channel counts as written once its read-back has
// framed cleanly, and one that differs is noted and does not stop the batch.
LinkResult RadioLink::WriteAndReadBack(const QList<ChannelWrite>& batch, BatchProgress& progress,
                                       QList<ChannelMismatch>& mismatches, const std::function<void(int)>& done)
{
    QList<RecordRequest> steps;
    for (const ChannelWrite& w : batch) {
        steps << RecordRequest{Cat::MemoryRequest(w.ChannelNo), MemoryChannelText(w.ChannelNo), [this, &w, &progress] {
                                LinkResult r = SendChannel(w);
                                if (r.ok)
                                    progress.storedUnchecked << w.ChannelNo;
                                return r;
                            }};
    }
    const RunEnd end = Run(steps, [&](qsizetype step, const Record& held) {
        const ChannelWrite& w = batch[step];
        if (QList<FieldDifference> differences = RowDifferences(CellsOfWrite(w), DecodeRecord(held), Fields::Written);
            !differences.isEmpty())
            mismatches.append({w.ChannelNo, differences});
        progress.storedUnchecked.removeOne(w.ChannelNo);
        done(w.ChannelNo);
        return LinkResult::Success();
    }, true);
    if (end.how == RunEnd::How::Stopped)
        return LinkResult::Stopped(QStringLiteral("The write was stopped."));
    return RunFailure(end, steps);
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
    const auto pending = std::max(Transport::Clock::duration::zero(), m_io.lineFreeAt() - m_io.now());
    const auto bound = std::chrono::ceil<std::chrono::milliseconds>(pending) + kDrainSlack;
    const IoStatus drained = m_transport->drain(bound);
    if (drained == IoStatus::LinkLost)
        return LinkLost();
    if (drained == IoStatus::TimedOut)
        return LinkResult::Failure(
            QStringLiteral("The port %1 has not sent the last commands on to the radio.").arg(m_port));
    // The port may pass bytes on faster than the line can carry them: never earlier than the
    // line time allows, and over a network not before the bytes can have crossed it.
    m_io.sleepUntil(m_io.lineFreeAt() + m_io.roundTrip() / 2 + kCommandSettle);
    return LinkResult::Success();
}

LinkResult RadioLink::RequestMeter()
{
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    m_io.discard();
    LinkResult sent = Send(Cat::MeterRequest(), kMeterText);
    m_meterDue = m_io.lineFreeAt() + ReplyTime(Cat::kMeterReplySize, m_io.pacing()) + m_io.roundTrip();
    return sent;
}

MeterResult RadioLink::TakeMeterReply(std::chrono::milliseconds wait)
{
    if (!isOpen())
        return {LinkLost()};
    // At least until the reply can be complete, however long the request waited on the line.
    const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(m_meterDue - m_io.now());
    QByteArray reply;
    const IoStatus status = m_io.readFor(std::max(wait, untilDue), reply);
    if (status != IoStatus::Ok || reply.isEmpty())
        return {Failed(status == IoStatus::Ok ? IoStatus::TimedOut : status, kMeterText)};
    return {LinkResult::Success(), static_cast<std::uint8_t>(reply.at(0))};
}

}  // namespace vardo
