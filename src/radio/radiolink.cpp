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

// What went wrong, how far the batch got, and whether VFO-A is as the operator left it. Frames
// handed to a port that then died may never have left it: after a lost link only what was sent
// is known, not what the radio took in.
[[nodiscard]] QString BatchFailureText(const LinkResult& failure, int lastWritten, bool linkLost,
                                       const LinkResult& restored)
{
    QStringList lines{failure.ok ? restored.error : failure.error};
    if (failure.ok)
        lines << QStringLiteral("Every channel was written.");
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
    const CatFrame pacing = Cat::SetPacing(Cat::kPacing);
    const CatFrame status = Cat::StatusRequest();
    QByteArray reply;
    const bool answered = transport->write(pacing.toBytes()) == IoStatus::Ok
        && transport->write(status.toBytes()) == IoStatus::Ok
        && transport->readAfter(kStatusWait, reply) == IoStatus::Ok;
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
    const IoStatus status = m_transport->write(frame.toBytes());
    if (status == IoStatus::Ok)
        return LinkResult::Success();
    if (status == IoStatus::LinkLost)
        return LinkLost();
    return LinkResult::Failure(
        QStringLiteral("The command for %1 could not be sent to the radio on %2.").arg(what, m_port));
}

// One record reply to `frame`: the echo of the frame ahead of it is skipped, and after its
// 16th byte the line must stay quiet for a gap. A reply of any other length is malformed.
RadioLink::Reply RadioLink::ReadReply(const CatFrame& frame, QByteArray& reply)
{
    const qsizetype echoSize = frame.toBytes().size();
    QByteArray got;
    IoStatus status = m_transport->readAtLeast(kRecordSize, kReplyTimeout, got);
    if (status == IoStatus::Ok && got.startsWith(frame.toBytes()) && got.size() < kRecordSize + echoSize) {
        QByteArray rest;
        status = m_transport->readAtLeast(kRecordSize + echoSize - got.size(), kReplyTimeout, rest);
        got += rest;
    }
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
    const QDeadlineTimer deadline(kReplyTimeout);
    QByteArray more;
    do {
        more.clear();
        if (const IoStatus status = m_transport->readAfter(kReplyQuietGap, more); status != IoStatus::Ok)
            return status;
        got += more;
    } while (!more.isEmpty() && !deadline.hasExpired());
    return IoStatus::Ok;
}

// Empties the input first, so a late byte never becomes part of this reply. A malformed reply
// is asked for again once: a burst of noise should not end a long read.
LinkResult RadioLink::Request(const CatFrame& frame, const QString& what, Record& record)
{
    QByteArray reply;
    for (int attempt = 1;; ++attempt) {
        if (!isOpen())
            return LinkLost();
        m_transport->clearInput();
        if (LinkResult sent = Send(frame, what); !sent.ok)
            return sent;
        switch (ReadReply(frame, reply)) {
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
            return LinkResult::Failure(QStringLiteral("The read was cancelled."));
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

// The eight setting commands into VFO-A, then store and mask.
LinkResult RadioLink::SetChannel(const ChannelWrite& w)
{
    const QString what = QStringLiteral("channel %1").arg(ChannelLabel(w.ChannelNo));
    for (const CatFrame& frame : EncodeChannel(w.channel)) {
        if (LinkResult r = Send(frame, what); !r.ok)
            return r;
    }
    if (LinkResult r = Send(Cat::StoreVfoA(w.ChannelNo), what); !r.ok)
        return r;
    return Send(Cat::SetMask(w.MaskCode, w.ChannelNo), what);
}

LinkResult RadioLink::WriteBatch(const QList<ChannelWrite>& batch, const WrittenSink& written)
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
    int lastWritten = 0;
    for (const ChannelWrite& w : batch) {
        if (Cancelled()) {
            failure = LinkResult::Failure(QStringLiteral("The write was cancelled."));
            break;
        }
        failure = SetChannel(w);
        if (!failure.ok)
            break;
        lastWritten = w.ChannelNo;
        if (written)
            written(lastWritten);
    }
    // VFO-A is only borrowed: give it back even after a failure, if the port still works.
    const bool linkLost = !isOpen();
    const LinkResult restored = linkLost ? LinkLost() : RestoreVfoA();
    if (failure.ok && restored.ok)
        return LinkResult::Success();
    return LinkResult::Failure(BatchFailureText(failure, lastWritten, linkLost, restored));
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

LinkResult RadioLink::RequestMeter()
{
    if (LinkResult link = EnsureLink(); !link.ok)
        return link;
    m_transport->clearInput();
    return Send(Cat::MeterRequest(), kMeterText);
}

MeterResult RadioLink::TakeMeterReply(std::chrono::milliseconds wait)
{
    if (!isOpen())
        return {LinkLost()};
    QByteArray reply;
    const IoStatus status = m_transport->readAfter(wait, reply);
    reply = WithoutEcho(reply, Cat::MeterRequest(), Cat::kMeterReplySize);
    if (status != IoStatus::Ok || reply.isEmpty())
        return {Failed(status == IoStatus::Ok ? IoStatus::TimedOut : status, kMeterText)};
    return {LinkResult::Success(), static_cast<std::uint8_t>(reply.at(0))};
}

}  // namespace vardo
