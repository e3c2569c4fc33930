// SPDX-License-Identifier: GPL-3.0-or-later
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

// Not finding the radio is a normal end of the search; the caller decides what it means.
void RadioWorker::findRadio(const QStringList& ports, int pacing)
{
    m_link.setPacing(pacing);
    const bool found = m_link.FindRadio(ports);
    Q_EMIT portFound(found ? m_link.portName() : QString(), m_link.probeFailures());
    Q_EMIT ended(LinkResult::Success());
}

void RadioWorker::readMemories(int first, int last)
{
    Q_EMIT ended(m_link.ReadMemories(first, last, [this](int channel, const Record& record) {
        Q_EMIT recordRead(channel, DecodeRecord(record));
    }));
}

void RadioWorker::writeBatch(const QList<ChannelWrite>& batch, bool readBack, const QString& source)
{
    const auto written = [this](int channel) { Q_EMIT channelWritten(channel); };
    const auto check = readBack ? RadioLink::Check::ReadBack : RadioLink::Check::None;
    Q_EMIT ended(m_link.WriteBatch(batch, written, check, source));
}

void RadioWorker::loadVfoA(int channel)
{
    LinkResult loaded = m_link.LoadVfoA(channel);
    if (loaded.ok)
        loaded = m_link.FinishSending();
    Q_EMIT ended(loaded);
}

void RadioWorker::scan(int first, int last, int threshold)
{
    ScanLoop loop(m_link, m_sleeper, m_scanStop);
    Q_EMIT ended(loop.Run(first, last, threshold, [this](int channel) { Q_EMIT scanAt(channel); }));
}

}  // namespace vardo
