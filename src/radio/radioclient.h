#pragma once
// The window thread's handle on the radio. It owns the worker thread (which owns the port)
// and turns each request into a queued call; answers come back as signals on the window
// thread. busy() is true from a request until its finished() or failed().

#include <QList>
#include <QObject>
#include <QStringList>
#include <QThread>

#include "channel.h"
#include "transport.h"

namespace vardo {

class RadioWorker;

class RadioClient : public QObject {
    Q_OBJECT
public:
    explicit RadioClient(TransportFactory factory, QObject* parent = nullptr);
    ~RadioClient() override;  // stops a scan, waits for the operation under way, closes the port

    [[nodiscard]] bool busy() const { return m_busy; }
    [[nodiscard]] QString portName() const { return m_port; }

    // Each of these does nothing and returns false while busy().
    bool findRadio(const QStringList& ports);
    bool readMemories(int first, int last);
    bool writeChannel(const ChannelWrite& write);       // one channel through VFO-A
    bool writeBatch(const QList<ChannelWrite>& batch);  // VFO-A saved once, restored once
    bool loadVfoA(int channel);                         // 00 00 00 ch 06
    // Scans channels first..last until stopScan(); holds while the meter reads above threshold.
    bool scan(int first, int last, int threshold);
    void stopScan();  // safe at any time; the scan ends at its next check

Q_SIGNALS:
    void radioFound(const QString& port);
    void radioNotFound();
    void recordRead(int channel, const vardo::Channel& decoded);
    void channelWritten(int channel);   // after the store and mask of one channel
    void scanAt(int channel);           // the scan has just loaded this channel
    void busyChanged(bool busy);
    void finished();                    // the operation ended normally
    void failed(const QString& message);  // the operation ended early; says what failed

private:
    void setBusy(bool busy);
    template <typename Call>
    bool start(Call call);  // marks busy and queues the call on the worker thread

    QThread m_thread;
    RadioWorker* m_worker = nullptr;  // lives on m_thread, deleted when it finishes
    bool m_busy = false;
    QString m_port;
};

}  // namespace vardo
