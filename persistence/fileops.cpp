#include "fileops.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

bool replaceWithCopy(const QString &source, const QString &target)
{
    if (isSameFile(source, target))
        return true;
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return false;

    const QFileInfo before(target);
    const QDateTime oldStamp = before.exists() ? before.lastModified() : QDateTime();

    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    do {
        chunk = in.read(CopyChunkBytes);
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            break;
        }
    } while (!chunk.isEmpty() && !in.atEnd());
    if (in.error() != QFileDevice::NoError)
        out.cancelWriting();
    if (!out.commit())
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

} // namespace fileops
