#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void failed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}

QString runtimeFolder()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    static QTemporaryDir *dir = [] {
        auto *d = new QTemporaryDir;
        for (const char *sub : {"setting", "macro", "gun", "i18n"})
            QDir().mkpath(d->path() + QStringLiteral("/modules/") + QLatin1String(sub));
        QDir::setCurrent(d->path());
        return d;
    }();
    // The folder goes when the process ends normally.
    static const struct Cleanup
    {
        ~Cleanup() { delete dir; }
    } cleanup;
    (void)app;
    return dir->path();
}

void writeInput(const QString &path, const uint8_t *data, size_t size)
{
    static qint64 stamp = QDateTime::currentMSecsSinceEpoch() - qint64(1000) * 1000 * 1000;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        failed("input written", __FILE__, __LINE__);
    stamp += 1000;
    // The time is set after the bytes reached the file, or writing them
    // would set it again.
    if (!file.flush() || !file.setFileTime(QDateTime::fromMSecsSinceEpoch(stamp), QFileDevice::FileModificationTime))
        failed("input time set", __FILE__, __LINE__);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList texts(const QVariantList &list)
{
    QStringList out;
    for (const QVariant &v : list)
        out << v.toString();
    return out;
}

} // namespace fuzz
