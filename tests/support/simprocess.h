// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A vardo-sim process, which prints the device path a client opens as its first line.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vardo::test {

// VARDO_BIN when the test runner sets it, else the folder of the running program.
[[nodiscard]] inline QString SimProgram()
{
    const QString bin = qEnvironmentVariable("VARDO_BIN", QCoreApplication::applicationDirPath());
    return QDir(bin).filePath(QStringLiteral("vardo-sim"));
}

class SimProcess {
public:
    static constexpr int kStartMs = 10000;

    explicit SimProcess(const QStringList& args)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(SimProgram(), args);
        if (m_process.waitForStarted(kStartMs))
            m_pty = nextLine();
    }
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The client side of the pseudo-terminal; empty when the emulator did not start.
    [[nodiscard]] QString pty() const { return m_pty; }
    [[nodiscard]] QString errorString() const { return m_process.errorString(); }
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }

    // The next line it prints (with --log, the next frame it received); empty when none comes in time.
    [[nodiscard]] QString nextLine(int ms = kStartMs)
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(ms)) {
        }
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    // Every line it printed that nobody has read yet; after stop(), all it ever printed.
    [[nodiscard]] QStringList unreadLines()
    {
        QStringList lines;
        while (m_process.canReadLine())
            lines << QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return lines;
    }

    // Ends it at once, as a pulled plug would.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(kStartMs);
    }
    // Ends it with SIGTERM; its exit code, or -1 when it crashed or had to be killed.
    int stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(kStartMs))
                kill();
        }
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QProcess m_process;
    QString m_pty;
};

}  // namespace vardo::test
