// SPDX-License-Identifier: GPL-3.0-or-later
#include "radioclient.h"

#include <QDeadlineTimer>
#include <QMetaType>
#include <QtGlobal>

#include "radioworker.h"

namespace vardo {
namespace {

// Every step of an operation is bounded, and a cancelled one ends after the step under way.
constexpr std::chrono::milliseconds kShutdownWait{10000};

}  // namespace

RadioClient::RadioClient(TransportFactory factory, QObject* parent)
    : QObject(parent)
    , m_worker(new RadioWorker(std::move(factory)))
{
    qRegisterMetaType<vardo::Channel>("vardo::Channel");
    qRegisterMetaType<vardo::ChannelWrite>("vardo::ChannelWrite");
    qRegisterMetaType<vardo::LinkResult>("vardo::LinkResult");
    qRegisterMetaType<QList<vardo::ProbeFailure>>("QList<vardo::ProbeFailure>");
    m_thread.setObjectName(QStringLiteral("radio"));
    m_worker->moveToThread(&m_thread);
    // The worker has no parent; it goes with its thread, on that thread.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);

    connect(m_worker, &RadioWorker::portFound, this,
            [this](const QString& port, const QList<ProbeFailure>& failures) {
                m_port = port;
                m_probeFailures = failures;
            });
    connect(m_worker, &RadioWorker::recordRead, this, [this](int channel, const Channel& decoded) {
        if (m_pending.record && m_pending.context)
            m_pending.record(channel, decoded);
        Q_EMIT recordRead(channel, decoded);
    });
    // A batch's written channels and a scan's steps: the asker hears each before the broadcast.
    const auto stepThen = [this](void (RadioClient::*broadcast)(int)) {
        return [this, broadcast](int channel) {
            if (m_pending.step && m_pending.context)
                m_pending.step(channel);
            Q_EMIT(this->*broadcast)(channel);
        };
    };
    connect(m_worker, &RadioWorker::channelWritten, this, stepThen(&RadioClient::channelWritten));
    connect(m_worker, &RadioWorker::scanAt, this, stepThen(&RadioClient::scanAt));
    connect(m_worker, &RadioWorker::ended, this, &RadioClient::onEnded);
    m_thread.start();
}

RadioClient::~RadioClient()
{
    m_worker->cancel().store(true);
    m_worker->scanStop().store(true);
    m_thread.quit();
    if (!m_thread.wait(QDeadlineTimer(kShutdownWait))) {
        qWarning("The radio thread is slow to end; waiting for it.");
        m_thread.wait();
    }
}

void RadioClient::setBusy(bool busy)
{
    if (m_busyShown == busy)
        return;
    m_busyShown = busy;
    Q_EMIT busyChanged(busy);
}

void RadioClient::onEnded(const LinkResult& outcome)
{
    const Pending pending = std::exchange(m_pending, {});
    m_running = false;
    // The asker hears first (a failure is shown while the program still counts as busy);
    // the busy state ends after, unless the answer started the next request.
    if (pending.done && pending.context)
        pending.done(outcome);
    if (!m_running)
        setBusy(false);
}

template <typename Call>
bool RadioClient::start(Pending pending, Call call)
{
    Q_ASSERT(pending.context);
    if (m_running)
        return false;
    m_running = true;
    m_pending = std::move(pending);
    // Cleared here, not on the worker, so a cancel() right after the request is not lost.
    m_worker->cancel().store(false);
    setBusy(true);
    QMetaObject::invokeMethod(m_worker, std::move(call), Qt::QueuedConnection);
    return true;
}

bool RadioClient::findRadio(const QStringList& ports, QObject* context, RadioFound found)
{
    auto done = [this, found = std::move(found)](const LinkResult&) {
        if (found)
            found(m_port);
    };
    return start({context, std::move(done)},
                 [w = m_worker, ports, pacing = m_pacing] { w->findRadio(ports, pacing); });
}

bool RadioClient::readMemories(int first, int last, QObject* context, RecordStep record, RadioDone done)
{
    return start({context, std::move(done), {}, std::move(record)},
                 [w = m_worker, first, last] { w->readMemories(first, last); });
}

bool RadioClient::writeChannel(const ChannelWrite& write, QObject* context, RadioDone done)
{
    return start({context, std::move(done)}, [w = m_worker, write] { w->writeBatch({write}, true, QStringLiteral("editor")); });
}

bool RadioClient::writeBatch(const QList<ChannelWrite>& batch, QObject* context, RadioDone done)
{
    return writeBatch(batch, context, {}, std::move(done));
}

bool RadioClient::writeBatch(const QList<ChannelWrite>& batch, QObject* context, WrittenStep written, RadioDone done,
                             WriteCheck check)
{
    return start({context, std::move(done), std::move(written)},
                 [w = m_worker, batch, check] {
                     w->writeBatch(batch, check == WriteCheck::ReadBack, QStringLiteral("file"));
                 });
}

bool RadioClient::loadVfoA(int channel, QObject* context, RadioDone done)
{
    return start({context, std::move(done)}, [w = m_worker, channel] { w->loadVfoA(channel); });
}

bool RadioClient::scan(int first, int last, int threshold, QObject* context, ScanStep step, RadioDone done)
{
    if (m_running)
        return false;
    // Cleared here, not on the worker, so a stopScan() right after scan() is not lost.
    m_worker->scanStop().store(false);
    return start({context, std::move(done), std::move(step)},
                 [w = m_worker, first, last, threshold] { w->scan(first, last, threshold); });
}

void RadioClient::cancel()
{
    if (m_running)
        m_worker->cancel().store(true);
}

void RadioClient::stopScan()
{
    m_worker->scanStop().store(true);
}

}  // namespace vardo
