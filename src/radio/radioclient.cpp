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
    m_thread.setObjectName(QStringLiteral("radio"));
    m_worker->moveToThread(&m_thread);
    // The worker has no parent; it goes with its thread, on that thread.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);

    connect(m_worker, &RadioWorker::radioFound, this, [this](const QString& port) {
        m_port = port;
        Q_EMIT radioFound(port);
    });
    connect(m_worker, &RadioWorker::radioNotFound, this, [this] {
        m_port.clear();  // a new search closes the port of the last one
        Q_EMIT radioNotFound();
    });
    connect(m_worker, &RadioWorker::recordRead, this, &RadioClient::recordRead);
    connect(m_worker, &RadioWorker::channelWritten, this, &RadioClient::channelWritten);
    connect(m_worker, &RadioWorker::scanAt, this, &RadioClient::scanAt);
    connect(m_worker, &RadioWorker::finished, this, [this] {
        setBusy(false);
        Q_EMIT finished();
    });
    connect(m_worker, &RadioWorker::failed, this, [this](const QString& message) {
        setBusy(false);
        Q_EMIT failed(message);
    });
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
    if (m_busy == busy)
        return;
    m_busy = busy;
    Q_EMIT busyChanged(busy);
}

template <typename Call>
bool RadioClient::start(Call call)
{
    if (m_busy)
        return false;
    setBusy(true);
    QMetaObject::invokeMethod(m_worker, std::move(call), Qt::QueuedConnection);
    return true;
}

bool RadioClient::findRadio(const QStringList& ports)
{
    return start([w = m_worker, ports] { w->findRadio(ports); });
}

bool RadioClient::readMemories(int first, int last)
{
    return start([w = m_worker, first, last] { w->readMemories(first, last); });
}

bool RadioClient::writeChannel(const ChannelWrite& write)
{
    return start([w = m_worker, write] { w->writeChannel(write); });
}

bool RadioClient::writeBatch(const QList<ChannelWrite>& batch)
{
    return start([w = m_worker, batch] { w->writeBatch(batch); });
}

bool RadioClient::loadVfoA(int channel)
{
    return start([w = m_worker, channel] { w->loadVfoA(channel); });
}

bool RadioClient::scan(int first, int last, int threshold)
{
    if (m_busy)
        return false;
    // Cleared here, not on the worker, so a stopScan() right after scan() is not lost.
    m_worker->scanStop().store(false);
    return start([w = m_worker, first, last, threshold] { w->scan(first, last, threshold); });
}

void RadioClient::stopScan()
{
    m_worker->scanStop().store(true);
}

}  // namespace vardo
