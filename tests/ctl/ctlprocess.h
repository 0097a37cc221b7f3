#pragma once

// r770ctl's test build run as a process by the r770ctl tests.

#include <QProcess>
#include <QTest>

struct CtlResult
{
    int code = -1;
    QString out;
    QString err;
};

// Started in `folder`, its runtime folder, with the pointer options it
// applies kept in its memory; with `bus`, the virtual mice of that file
// (see virtualbus.h), logged to `log`.
inline QProcess *startCtl(const QString &program, const QStringList &args, const QString &folder,
                          const QString &bus = {}, const QString &log = {})
{
    auto *process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", folder);
    env.insert("GSETTINGS_BACKEND", "memory");
    env.insert("XDG_DATA_HOME", folder + "/data"); // its diagnostic log
    env.remove("R770CTL_VIRTUAL_BUS");
    if (!bus.isEmpty()) {
        env.insert("R770CTL_VIRTUAL_BUS", bus);
        env.insert("R770CTL_VIRTUAL_LOG", log);
    }
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(folder);
    process->start(program, args);
    return process;
}

// Waits for the end while this process's events go on (a test may play the
// tray program meanwhile); a run that does not end is killed. Takes the
// process.
inline CtlResult finishCtl(QProcess *process)
{
    CtlResult r;
    if (QTest::qWaitFor([process] { return process->state() == QProcess::NotRunning; }, 120000)) {
        r.code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    } else {
        process->kill();
        process->waitForFinished();
        r.err = "did not finish\n";
    }
    r.out = QString::fromUtf8(process->readAllStandardOutput());
    r.err += QString::fromUtf8(process->readAllStandardError());
    delete process;
    return r;
}
