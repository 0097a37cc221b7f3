#include "fileproblems.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace fileproblems {

namespace {
QString text(const char *source)
{
    return QCoreApplication::translate("r770ctl", source);
}
} // namespace

QString whyNotReadable(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return text("no such file");
    if (info.isDir())
        return text("it is a folder");
    if (!info.isFile())
        return text("not a regular file");
    if (!info.isReadable())
        return text("permission denied");
    if (info.size() > maxBytes)
        return text("too large (%1 bytes; at most %2)").arg(info.size()).arg(maxBytes);
    return QString();
}

QString whyNotWritable(const QString &path)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return text("the folder %1 does not exist").arg(folder.absoluteFilePath());
    if (!folder.isDir())
        return text("%1 is not a folder").arg(folder.absoluteFilePath());
    if (info.exists()) {
        if (info.isDir())
            return text("it is a folder");
        if (!info.isFile())
            return text("not a regular file");
        if (!info.isWritable())
            return text("permission denied");
    }
    if (!folder.isWritable())
        return text("no permission to write in %1").arg(folder.absoluteFilePath());
    return QString();
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

QString describe(const QString &path, const QString &why)
{
    return QStringLiteral("%1: %2").arg(shown(path), why);
}

} // namespace fileproblems
