#pragma once
// A vardo-sim process on a pseudo-terminal for end-to-end tests: started with the given
// arguments, its device path read from its first line, stopped when it goes out of scope.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vardo::test {

class SimProcess {
public:
    static constexpr int kStartMs = 10000;

    explicit SimProcess(const QStringList& args)
    {
        m_process.start(qEnvironmentVariable("VARDO_BIN") + QStringLiteral("/vardo-sim"), args);
        if (!m_process.waitForStarted(kStartMs))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(kStartMs)) {
        }
        m_pty = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    [[nodiscard]] QString pty() const { return m_pty; }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(kStartMs))
            m_process.kill();
    }

private:
    QProcess m_process;
    QString m_pty;
};

}  // namespace vardo::test
