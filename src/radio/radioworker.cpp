#include "radioworker.h"

#include "codec.h"

namespace vardo {

RadioWorker::RadioWorker(TransportFactory factory, QObject* parent)
    : QObject(parent)
    , m_link(std::move(factory))
{
    m_link.setCancelFlag(&m_cancel);
}

RadioWorker::~RadioWorker()
{
    m_link.close();
}

void RadioWorker::report(const LinkResult& result)
{
    if (result.ok)
        Q_EMIT finished();
    else
        Q_EMIT failed(result.error);
}

// Not finding the radio is a normal end of the search; the caller decides what it means.
void RadioWorker::findRadio(const QStringList& ports)
{
    if (m_link.FindRadio(ports))
        Q_EMIT radioFound(m_link.portName());
    else
        Q_EMIT radioNotFound();
    Q_EMIT finished();
}

void RadioWorker::readMemories(int first, int last)
{
    report(m_link.ReadMemories(first, last, [this](int channel, const Record& record) {
        Q_EMIT recordRead(channel, DecodeRecord(record));
    }));
}

void RadioWorker::writeChannel(const ChannelWrite& write)
{
    report(m_link.WriteBatch({write}, [this](int channel) { Q_EMIT channelWritten(channel); }));
}

void RadioWorker::writeBatch(const QList<ChannelWrite>& batch)
{
    report(m_link.WriteBatch(batch, [this](int channel) { Q_EMIT channelWritten(channel); }));
}

void RadioWorker::loadVfoA(int channel)
{
    report(m_link.LoadVfoA(channel));
}

void RadioWorker::scan(int first, int last, int threshold)
{
    ScanLoop loop(m_link, m_sleeper, m_scanStop);
    report(loop.Run(first, last, threshold, [this](int channel) { Q_EMIT scanAt(channel); }));
}

}  // namespace vardo
