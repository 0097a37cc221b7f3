#include "diaglog.h"

#include "runtimefolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <cstdio>

namespace diaglog {

namespace {

QMutex fileMutex;
QtMessageHandler previousHandler = nullptr;
QString programName;
QString logFile;

const char *levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "message";
}

void tee(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    append(logFile, QStringLiteral("%1 %2[%3] %4: %5")
                        .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs), programName)
                        .arg(QCoreApplication::applicationPid())
                        .arg(QLatin1String(levelName(type)), message));
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

QString path()
{
    return runtimefolder::userFolder() + QStringLiteral("/r770.log");
}

bool append(const QString &file, const QString &line, qint64 cap)
{
    const qint64 half = cap / 2;
    QByteArray bytes = line.toUtf8();
    if (bytes.size() >= half)
        bytes.truncate(half > 1 ? half - 1 : 0);
    bytes += '\n';
    const QMutexLocker lock(&fileMutex);
    const QFileInfo info(file);
    if (info.exists() && info.size() + bytes.size() > half) {
        const QString older = file + QStringLiteral(".1");
        QFile::remove(older);
        if (!QFile::rename(file, older))
            QFile::remove(file);
    }
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return out.write(bytes) == bytes.size();
}

QStringList tail(const QString &file, int count)
{
    QStringList lines;
    for (const QString &part : {file + QStringLiteral(".1"), file}) {
        QFile in(part);
        if (in.open(QIODevice::ReadOnly))
            lines += QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    return lines.mid(qMax(0, int(lines.size()) - count));
}

void install(const QString &program)
{
    programName = program;
    logFile = path();
    previousHandler = qInstallMessageHandler(tee);
}

} // namespace diaglog
