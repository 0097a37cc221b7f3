#include "procfs.h"

#include <QFile>
#include <QString>

#include <time.h>
#include <unistd.h>

namespace procfs {

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::int64_t statusKiB(const QByteArray &status, const char *field)
{
    for (const QByteArray &line : status.split('\n')) {
        if (!line.startsWith(field))
            continue;
        const QList<QByteArray> parts = line.simplified().split(' ');
        return parts.size() >= 2 ? parts.at(1).toLongLong() : 0;
    }
    return 0;
}

} // namespace

Memory memory(std::int64_t pid)
{
    const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(pid));
    return {statusKiB(status, "VmRSS:"), statusKiB(status, "VmHWM:")};
}

std::int64_t cpuTimeNs(std::int64_t pid)
{
    // Fields after the command name: state is field 3, utime 14, stime 15.
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    constexpr int utimeAt = 14 - 3, stimeAt = 15 - 3;
    if (fields.size() <= stimeAt)
        return -1;
    const std::int64_t ticks = fields.at(utimeAt).toLongLong() + fields.at(stimeAt).toLongLong();
    return ticks * (1000000000 / sysconf(_SC_CLK_TCK));
}

std::int64_t nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace procfs
