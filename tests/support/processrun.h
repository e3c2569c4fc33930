// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a program to its end, within a bound, and keeps what a test looks at.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vardo::test {

struct ProcessRun {
    int status = -1;  // the exit code; -1 when the program crashed or did not end in time
    bool crashed = false;
    QString out;
    QString err;
};

// A run as one text to compare whole: "status|standard output|standard error".
[[nodiscard]] inline QString Outcome(const ProcessRun& run)
{
    return QString::number(run.status) + '|' + run.out + '|' + run.err;
}

// `env` entries "NAME=value" set a variable, plain "NAME" removes it.
inline ProcessRun RunProcess(const QString& program, const QStringList& args, const QStringList& env = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : env)
        entry.contains('=') ? environment.insert(entry.section('=', 0, 0), entry.section('=', 1))
                            : environment.remove(entry);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    const bool crashed = process.exitStatus() == QProcess::CrashExit;
    return {crashed ? -1 : process.exitCode(), crashed, QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace vardo::test
