// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio's own thread: owns the link (and with it the port) and runs one operation at a
// time, reporting each record, each written channel and each scan step as signals, and the
// end of every operation as one ended() with its outcome.
// Its slots are called through queued calls from RadioClient.

#include <atomic>

#include <QList>
#include <QObject>
#include <QStringList>

#include "channel.h"
#include "radiolink.h"
#include "scanloop.h"

namespace vardo {

class RadioWorker : public QObject {
    Q_OBJECT
public:
    explicit RadioWorker(TransportFactory factory, QObject* parent = nullptr);
    ~RadioWorker() override;  // closes the port on the worker thread

    void findRadio(const QStringList& ports, int pacing);
    void readMemories(int first, int last);
    void writeBatch(const QList<ChannelWrite>& batch, bool readBack, const QString& source);
    void loadVfoA(int channel);
    void scan(int first, int last, int threshold);

    // Thread-safe: read by the operation under way between its steps.
    std::atomic<bool>& scanStop() { return m_scanStop; }
    std::atomic<bool>& cancel() { return m_cancel; }

Q_SIGNALS:
    // The search's answer: the port, empty when no port answered, and why each port tried was not it.
    void portFound(const QString& port, const QList<vardo::ProbeFailure>& failures);
    void recordRead(int channel, const vardo::Channel& decoded);
    void channelWritten(int channel);
    void scanAt(int channel);
    void ended(const vardo::LinkResult& outcome);

private:
    std::atomic<bool> m_scanStop{false};
    std::atomic<bool> m_cancel{false};  // set when the client goes away or cancels a request
    ThreadSleeper m_sleeper;
    RadioLink m_link;
};

}  // namespace vardo
