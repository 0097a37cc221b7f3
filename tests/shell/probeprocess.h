#pragma once

// Starting the program and its probes as processes, and reading what they
// report, for the shell tests.

#include <QDeadlineTimer>
#include <QProcess>

namespace probeprocess {

// Reads the process's standard output into `out` until it holds `line`,
// `ms` passed or the process ended.
inline bool waitForLine(QProcess &process, QByteArray &out, const QByteArray &line, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!out.contains(line) && !deadline.hasExpired()) {
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        out += process.readAllStandardOutput();
        if (process.state() == QProcess::NotRunning)
            break;
    }
    return out.contains(line);
}

// Starts `executable` on the offscreen platform.
inline void startOffscreen(QProcess &process, const QString &executable, const QStringList &arguments = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(executable, arguments);
}

} // namespace probeprocess
