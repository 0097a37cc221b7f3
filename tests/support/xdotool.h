#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

// Runs xdotool on the test's X server (keys, clicks, windows put in front)
// with the event loop running meanwhile, so that each event reaches the
// program when it happens, not in one batch once xdotool has ended. True
// when xdotool ended with status 0 within 20 s.
inline bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 20000)
           && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
