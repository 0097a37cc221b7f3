#pragma once

// Helpers of the persistence tests.

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <cstring>

namespace filetest {

inline QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// Runs what the event loop would run later, deferred deletions included.
inline void drainEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

constexpr const char *freshReadFlag = "--fresh-read";

// One INI key as a separate process reads it (invalid when missing), so that
// the result comes from the file and not from this process's QSettings cache.
inline QVariant freshRead(const QString &file, const QString &key)
{
    QProcess reader;
    reader.start(QCoreApplication::applicationFilePath(), {freshReadFlag, file, key});
    QVariant value = QStringLiteral("<reader failed>");
    if (reader.waitForFinished(30000) && reader.exitCode() == 0) {
        QDataStream in(reader.readAllStandardOutput());
        in >> value;
    }
    return value;
}

// Called first thing in main(): when started as a reader, prints the value
// and returns true.
inline bool handleFreshRead(int argc, char **argv)
{
    if (argc != 4 || std::strcmp(argv[1], freshReadFlag) != 0)
        return false;
    const QSettings settings(QString::fromLocal8Bit(argv[2]), QSettings::IniFormat);
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    QDataStream stream(&out);
    stream << settings.value(QString::fromLocal8Bit(argv[3]));
    return true;
}

} // namespace filetest
