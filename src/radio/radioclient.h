// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window thread's handle on the radio. It owns the worker thread (which owns the port)
// and turns each request into a queued call. Each request names who asked (`context`) and
// what to do when it ends (`done`): that answer goes to the asker alone, on the window
// thread, and always before busy() turns false. Progress (records, written channels, scan
// steps) and the busy state are broadcast as signals.

#include <functional>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThread>

#include "channel.h"
#include "radiolink.h"
#include "transport.h"

namespace vardo {

class RadioWorker;

// How a request ended: ok, or the message that says what failed. Called once, unless the
// asker has been destroyed meanwhile. A new request may be started from inside it: the busy
// state then carries straight on.
using RadioDone = std::function<void(const LinkResult& outcome)>;
// The end of a search: the port the radio answered on, empty when none did.
using RadioFound = std::function<void(const QString& port)>;
using ScanStep = std::function<void(int channel)>;
using WrittenStep = std::function<void(int channel)>;
using RecordStep = std::function<void(int channel, const Channel& decoded)>;

// Whether a batch write reads each channel back after storing it and compares what the
// radio holds with what was written (LinkResult::mismatches), or sends the commands alone.
enum class WriteCheck { ReadBack, None };

class RadioClient : public QObject {
    Q_OBJECT
public:
    explicit RadioClient(TransportFactory factory, QObject* parent = nullptr);
    ~RadioClient() override;  // stops a scan, waits for the operation under way, closes the port

    [[nodiscard]] bool busy() const { return m_running; }
    [[nodiscard]] QString portName() const { return m_port; }
    // Why each port of the last search was not the radio, in the order tried.
    [[nodiscard]] QList<ProbeFailure> probeFailures() const { return m_probeFailures; }

    // Each of these does nothing and returns false while busy().
    bool findRadio(const QStringList& ports, QObject* context, RadioFound found);
    // Reads channels first..last; `record` hears each one as it arrives.
    bool readMemories(int first, int last, QObject* context, RecordStep record, RadioDone done);
    // One channel through VFO-A, read back; a difference is told against the editor's values.
    bool writeChannel(const ChannelWrite& write, QObject* context, RadioDone done);
    bool writeBatch(const QList<ChannelWrite>& batch, QObject* context, RadioDone done);  // VFO-A saved and restored once
    // The same; `written` hears each channel after its store and mask (and its read-back),
    // before channelWritten.
    bool writeBatch(const QList<ChannelWrite>& batch, QObject* context, WrittenStep written, RadioDone done,
                    WriteCheck check = WriteCheck::ReadBack);
    bool loadVfoA(int channel, QObject* context, RadioDone done);                          // 00 00 00 ch 06
    // Scans channels first..last until stopScan(), holding while the meter reads above
    // threshold; `step` hears each channel the scan loads.
    bool scan(int first, int last, int threshold, QObject* context, ScanStep step, RadioDone done);
    void stopScan();  // safe at any time; the scan ends at its next check
    // The pacing the next search asks the radio for: ms between the bytes of a reply (0-255).
    void setPacing(int milliseconds) { m_pacing = milliseconds; }
    [[nodiscard]] int pacing() const { return m_pacing; }
    // Ends the request under way at its next step, as an interrupted command line wants: a
    // read stops, a batch write stops and gives VFO-A back, a search stops probing.
    void cancel();

Q_SIGNALS:
    void recordRead(int channel, const vardo::Channel& decoded);
    void channelWritten(int channel);   // after the store and mask of one channel
    void scanAt(int channel);           // the scan has just loaded this channel
    void busyChanged(bool busy);

private:
    // The answer owed for the request under way.
    struct Pending {
        QPointer<QObject> context;
        RadioDone done{};
        ScanStep step{};  // a scan's or a batch's
        RecordStep record{};
    };

    void setBusy(bool busy);
    void onEnded(const LinkResult& outcome);
    template <typename Call>
    bool start(Pending pending, Call call);

    QThread m_thread;
    RadioWorker* m_worker = nullptr;  // lives on m_thread, deleted when it finishes
    Pending m_pending;
    bool m_running = false;    // a request is with the worker
    bool m_busyShown = false;  // what busyChanged last said
    QString m_port;
    QList<ProbeFailure> m_probeFailures;
    int m_pacing = Cat::kPacing;
};

}  // namespace vardo
