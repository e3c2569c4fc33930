// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl-C (SIGINT) and SIGTERM as a Qt signal on the main thread, so an interrupted command can
// end its radio work properly (a batch write gives VFO-A back) and say how far it got. The only
// platform-specific code of vardo-cli's signals lives behind this header.

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace vardo::cli {

class InterruptNotifier : public QObject {
    Q_OBJECT
public:
    explicit InterruptNotifier(QObject* parent = nullptr);
    ~InterruptNotifier() override;

    // Takes over SIGINT and SIGTERM. The first one becomes interrupted(); after it both are
    // back to their default, so a second one ends the program at once.
    bool install(QString* error);

Q_SIGNALS:
    void interrupted();

private:
    QSocketNotifier* m_notifier = nullptr;  // child of this object
};

}  // namespace vardo::cli
