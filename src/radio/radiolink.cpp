#include "radiolink.h"

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

[[nodiscard]] bool IsWritable(const ChannelWrite& w)
{
    const bool known = w.ChannelNo >= kFirstRegular && w.ChannelNo <= kLastQmb;
    return known && RadioChannelNumber(w.ChannelNo) != 0 && (w.MaskCode == 1 || w.MaskCode == 2);
}

[[nodiscard]] QString MemoryChannelText(int channel)
{
    return QStringLiteral("memory channel %1").arg(ChannelLabel(channel));
}

// What went wrong, how far the batch got, and whether VFO-A is as the operator left it.
[[nodiscard]] QString BatchFailureText(const LinkResult& failure, int lastWritten, const LinkResult& restored)
{
    QStringList lines{failure.ok ? restored.error : failure.error};
    if (failure.ok)
        lines << QStringLiteral("Every channel was written.");
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

std::unique_ptr<Transport> RadioLink::Probe(const QString& port) const
{
    std::unique_ptr<Transport> transport = m_factory(port);
    if (!transport || !transport->open())
        return {};
    transport->clearInput();
    QByteArray reply;
    const bool answered = transport->write(Cat::SetPacing(Cat::kPacing).toBytes()) == IoStatus::Ok
        && transport->write(Cat::StatusRequest().toBytes()) == IoStatus::Ok
        && transport->readAfter(kStatusWait, reply) == IoStatus::Ok;
    if (answered && IsRadioIdent(reply))
        return transport;
    transport->close();
    return {};
}

bool RadioLink::FindRadio(const QStringList& ports)
{
    close();
    m_transport.reset();
    m_port.clear();
    for (const QString& port : ports) {
        if (Cancelled())
            break;
        if (std::unique_ptr<Transport> found = Probe(port)) {
            m_transport = std::move(found);
            m_port = port;
            return true;
        }
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

// Empties the input first, so a late or surplus byte never becomes part of this reply;
// only the first 16 bytes of the reply are used.
LinkResult RadioLink::Request(const CatFrame& frame, const QString& what, Record& record)
{
    if (!isOpen())
        return LinkLost();
    m_transport->clearInput();
    if (LinkResult sent = Send(frame, what); !sent.ok)
        return sent;
    QByteArray reply;
    const IoStatus status = m_transport->readAtLeast(kRecordSize, kReplyTimeout, reply);
    if (status != IoStatus::Ok || reply.size() < kRecordSize)
        return Failed(status == IoStatus::Ok ? IoStatus::TimedOut : status, what);
    record = RecordFromBytes(reply);
    return LinkResult::Success();
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
    const LinkResult restored = isOpen() ? RestoreVfoA() : LinkLost();
    if (failure.ok && restored.ok)
        return LinkResult::Success();
    return LinkResult::Failure(BatchFailureText(failure, lastWritten, restored));
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
    if (status != IoStatus::Ok || reply.isEmpty())
        return {Failed(status == IoStatus::Ok ? IoStatus::TimedOut : status, kMeterText)};
    return {LinkResult::Success(), static_cast<std::uint8_t>(reply.at(0))};
}

}  // namespace vardo
