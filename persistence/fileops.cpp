#include "fileops.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fileops {

namespace {
// Common limit of a file name component (ext4, NTFS, APFS), in bytes of the
// name as the file system stores it.
constexpr int MaxNameBytes = 255;
constexpr qint64 CopyChunkBytes = 64 * 1024;
} // namespace

bool isSafeBaseName(const QString &name, const QString &suffix)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    const QByteArray encoded = QFile::encodeName(name + suffix);
    return encoded.size() <= MaxNameBytes;
}

bool isSameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool isReadableFile(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable() && info.size() <= maxBytes;
}

namespace {
constexpr int LockWaitMs = 3000;
// A lock whose owner cannot be told (an empty file) is taken over once it is
// this old; writing the owner into it takes microseconds.
constexpr int StaleLockMs = 1500;
// Temporary copies younger than this may belong to a save in progress.
constexpr qint64 LeftoverAgeMs = 10000;

QString tr(const char *text)
{
    return QCoreApplication::translate("fileops", text);
}

void setWhy(QString *why, const QString &text)
{
    if (why)
        *why = text;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Swaps `from` in for `to` in one step, replacing `to`.
bool renameOver(const QString &from, const QString &to, QString *why)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), ec);
    if (ec) {
        setWhy(why, QString::fromLocal8Bit(ec.message().c_str()));
        return false;
    }
#ifdef Q_OS_UNIX
    // Make the rename itself durable.
    const QByteArray folder = QFile::encodeName(QFileInfo(to).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
    return true;
}

bool syncToDisk(QFile &file)
{
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return file.flush();
#endif
}
} // namespace

QString siblingName(const QString &path)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString name;
    do {
        name = path + QLatin1Char('.');
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
    } while (QFileInfo::exists(name) || QFileInfo(name).isSymLink());
    return name;
}

bool clearLock(const QString &path, QString *why)
{
    const QString lockPath = path + QStringLiteral(".lock");
    const QFileInfo info(lockPath);
    if (info.isSymLink() || (info.exists() && !info.isFile())) {
        setWhy(why, tr("its lock %1 is not a file; remove it").arg(QDir::toNativeSeparators(info.absoluteFilePath())));
        return false;
    }
    if (!info.exists())
        return true;
    QLockFile lock(lockPath);
    lock.setStaleLockTime(StaleLockMs);
    if (lock.tryLock(LockWaitMs)) {
        lock.unlock();
        return true;
    }
    setWhy(why, lock.error() == QLockFile::PermissionError
                    ? tr("its lock %1 cannot be taken (no permission)").arg(QDir::toNativeSeparators(info.absoluteFilePath()))
                    : tr("another program keeps it locked (%1)").arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    return false;
}

bool writeChecked(const QString &path, const QByteArray &bytes, bool locked, QString *why)
{
    std::unique_ptr<QLockFile> lock;
    if (locked) {
        if (!clearLock(path, why))
            return false;
        lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
        lock->setStaleLockTime(StaleLockMs);
        if (!lock->tryLock(LockWaitMs)) {
            setWhy(why, tr("another program keeps it locked"));
            return false;
        }
    }
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        setWhy(why, tr("it is not a file"));
        return false;
    }
    const QString temporary = siblingName(path);
    QFile out(temporary);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        setWhy(why, out.errorString());
        return false;
    }
    out.setPermissions(target.exists() ? target.permissions()
                                       : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                             | QFileDevice::ReadOther);
    const auto fail = [&](const QString &text) {
        setWhy(why, text);
        out.close();
        QFile::remove(temporary);
        return false;
    };
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = out.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return fail(out.errorString());
        done += n;
    }
    if (!out.flush())
        return fail(out.errorString());
    if (!syncToDisk(out))
        return fail(errnoText(errno));
    out.close();
    if (out.error() != QFileDevice::NoError)
        return fail(out.errorString());

    // What reached the disk, not what the calls answered.
    QFile back(temporary);
    if (!back.open(QIODevice::ReadOnly))
        return fail(back.errorString());
    const QByteArray stored = back.read(bytes.size() + 1);
    back.close();
    if (stored != bytes)
        return fail(tr("the written copy is incomplete (%1 of %2 bytes); the disk may be full")
                        .arg(stored.size())
                        .arg(bytes.size()));
    QString renameWhy;
    if (!renameOver(temporary, path, &renameWhy))
        return fail(renameWhy);
    return true;
}

bool replaceWithCopy(const QString &source, const QString &target, bool locked, QString *why)
{
    if (isSameFile(source, target))
        return true;
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly)) {
        setWhy(why, in.errorString());
        return false;
    }
    QByteArray bytes;
    QByteArray chunk;
    do {
        chunk = in.read(CopyChunkBytes);
        bytes += chunk;
    } while (!chunk.isEmpty() && !in.atEnd());
    if (in.error() != QFileDevice::NoError) {
        setWhy(why, in.errorString());
        return false;
    }

    const QFileInfo before(target);
    const QDateTime oldStamp = before.exists() ? before.lastModified() : QDateTime();
    if (!writeChecked(target, bytes, locked, why))
        return false;

    // QSettings keeps a per-process cache of each file and re-reads it only
    // when size or modification time changed. A copy of equal size made in
    // the same millisecond as the last write would be taken for the old
    // content, so make the new file's time differ.
    if (oldStamp.isValid() && QFileInfo(target).lastModified() == oldStamp) {
        QFile stamped(target);
        if (stamped.open(QIODevice::ReadWrite))
            stamped.setFileTime(oldStamp.addMSecs(1), QFileDevice::FileModificationTime);
    }
    return true;
}

QStringList removeLeftovers(const QString &folder)
{
    static const QRegularExpression pattern(QStringLiteral("^.+\\.bin\\.[A-Za-z0-9]{6}$"));
    QStringList removed;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (!pattern.match(entry.fileName()).hasMatch())
            continue;
        if (entry.lastModified().toUTC().msecsTo(now) < LeftoverAgeMs)
            continue;
        if (QFile::remove(entry.absoluteFilePath()))
            removed << entry.fileName();
    }
    return removed;
}

} // namespace fileops
