#include "runtimefolder.h"

#include "configfile.h"
#include "debugline.h"
#include "fileops.h"
#include "profilefiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>

namespace runtimefolder {
namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("RuntimeFolder", source);
}

// Why a folder could not be created: look at the nearest part that exists.
QString whyNoFolder(const QString &path)
{
    QFileInfo existing(path);
    while (!existing.exists() && !existing.isRoot())
        existing = QFileInfo(existing.absolutePath());
    if (!existing.isDir())
        return text("%1 is not a folder").arg(existing.absoluteFilePath());
    if (!existing.isWritable())
        return text("no permission to write in %1").arg(existing.absoluteFilePath());
    return text("the folder could not be created");
}

// The user must be able to change every copy, whatever the shipped mode.
void makeOwnerWritable(const QString &path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOwner | QFile::WriteOwner
                                    | QFile::ReadUser | QFile::WriteUser);
}

// Copies one file to a new name beside the target and renames it into
// place, so that the target never exists half-written. Never replaces a
// file that exists.
bool addFile(const QString &source, const QString &target, QString *why)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *why = in.errorString();
        return false;
    }
    QTemporaryFile out(QFileInfo(target).absolutePath() + QStringLiteral("/.r770-XXXXXX"));
    if (!out.open()) {
        *why = out.errorString();
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            *why = in.errorString();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            *why = out.errorString();
            return false;
        }
    }
    if (!out.flush()) {
        *why = out.errorString();
        return false;
    }
    out.setPermissions(in.permissions() | QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                       | QFile::WriteUser);
    out.close();
    // QFile::rename refuses to replace an existing file.
    if (!QFile::rename(out.fileName(), target)) {
        *why = QFileInfo::exists(target) ? text("it appeared meanwhile")
                                         : text("it could not be renamed into place");
        return false;
    }
    out.setAutoRemove(false);
    return true;
}

// Copies the shipped tree into an empty folder. Hidden files are not ours.
bool copyTree(const QString &from, const QString &to, QString *why)
{
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(from.size() + 1);
        const QString target = to + QLatin1Char('/') + relative;
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target)) {
                *why = QStringLiteral("%1: %2").arg(relative, whyNoFolder(target));
                return false;
            }
            continue;
        }
        QFile in(source);
        if (!in.copy(target)) {
            *why = QStringLiteral("%1: %2").arg(relative, in.errorString());
            return false;
        }
        makeOwnerWritable(target);
    }
    return true;
}

// The first copy: staged beside the final folder and renamed into place
// once complete, so a failed or interrupted copy never counts as done.
bool copyFirst(const QString &shipped, const QString &user, QString *why)
{
    const QString modules = user + QStringLiteral("/modules");
    QTemporaryDir stage(user + QStringLiteral("/.modules-XXXXXX"));
    if (!stage.isValid()) {
        *why = stage.errorString();
        return false;
    }
    if (!copyTree(shipped, stage.path(), why))
        return false; // the stage is removed with everything in it
    if (QDir().rename(stage.path(), modules)) {
        stage.setAutoRemove(false);
        return true;
    }
    // Another start of ours (r770ctl, say) may have finished its copy first.
    if (QFileInfo(modules).isDir())
        return true;
    *why = text("the copy could not be moved to %1").arg(modules);
    return false;
}

// Adds every shipped file that the user's folder lacks; what is there
// stays. A file that cannot be added is noted, not fatal: the folder was
// complete before.
void addMissing(const QString &shipped, const QString &modules, QStringList *notes)
{
    QDirIterator it(shipped, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(shipped.size() + 1);
        const QString target = modules + QLatin1Char('/') + relative;
        if (QFileInfo::exists(target))
            continue;
        QString why;
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                *notes << QStringLiteral("%1: %2").arg(relative, whyNoFolder(target));
        } else if (!addFile(source, target, &why)) {
            *notes << QStringLiteral("%1: %2").arg(relative, why);
        }
    }
}

} // namespace

bool isInstalledCopy(const QString &executableFolder)
{
    return QFileInfo(executableFolder + QLatin1Char('/') + QLatin1String(installedMarker)).isFile();
}

QString userFolder()
{
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/r770"));
}

Outcome prepareUserFolder(const QString &shippedModules, const QString &userFolder)
{
    Outcome out;
    out.folder = userFolder;
    const QString shipped = QDir::cleanPath(shippedModules);
    if (!QFileInfo(shipped).isDir()) {
        out.error = text("The program's own files are missing: %1").arg(shipped);
        return out;
    }
    const QString modules = userFolder + QStringLiteral("/modules");
    if (!QFileInfo::exists(modules)) {
        if (!QDir().mkpath(userFolder)) {
            out.error = text("Cannot create your settings folder %1: %2")
                            .arg(userFolder, whyNoFolder(userFolder));
            return out;
        }
        QString why;
        if (!copyFirst(shipped, userFolder, &why)) {
            out.error = text("Cannot copy the program's files into your settings folder %1: %2")
                            .arg(userFolder, why);
            return out;
        }
    }
    if (!QFileInfo(modules).isDir()) {
        out.error = text("%1 is not a folder").arg(modules);
        return out;
    }
    QStringList notes;
    addMissing(shipped, modules, &notes);
    if (!notes.isEmpty())
        out.notes = text("Could not add to %1: %2").arg(modules, notes.join(QStringLiteral("; ")));
    out.ok = true;
    return out;
}

QStringList damagedFiles()
{
    QStringList files = {configfile::path(), profilefiles::factoryPath(), QStringLiteral("./modules/setting/name.bin"),
                         QStringLiteral("./modules/gun/gunData.bin")};
    for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
        files << profilefiles::slotPath(slot);
    QStringList out;
    for (const QString &file : std::as_const(files)) {
        const QFileInfo info(file);
        const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
        const QFileInfo lock(file + QStringLiteral(".lock"));
        if (info.exists() && !info.isFile())
            out << text("%1: a folder stands where the file should be; it is neither read nor written").arg(shown);
        else if (info.exists() && !info.isReadable())
            out << text("%1: the file cannot be read (no permission)").arg(shown);
        else if (info.exists() && !info.isWritable())
            out << text("%1: the file cannot be written (no permission); changes to it will not be kept").arg(shown);
        if (lock.isSymLink() || (lock.exists() && !lock.isFile()))
            out << text("%1: its lock %2 is not a file; changes to it will not be kept until it is removed")
                       .arg(shown, QDir::toNativeSeparators(lock.absoluteFilePath()));
    }
    return out;
}

Outcome enter()
{
    // The executable's folder: its path up to the last "/".
    QString executableFolder = QCoreApplication::applicationFilePath();
    const int slash = executableFolder.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        executableFolder.truncate(slash);

    Outcome out;
    if (isInstalledCopy(executableFolder)) {
        out = prepareUserFolder(executableFolder + QStringLiteral("/modules"), userFolder());
        if (!out.ok)
            return out;
    } else {
        out.folder = executableFolder;
    }
    out.ok = QDir::setCurrent(out.folder);
    if (!out.ok) {
        out.error = text("Cannot enter the folder %1").arg(out.folder);
        return out;
    }
    // Temporary copies an interrupted save left beside the files.
    for (const char *folder : {"./modules/setting", "./modules/macro", "./modules/gun"}) {
        const QStringList removed = fileops::removeLeftovers(QString::fromLatin1(folder));
        for (const QString &name : removed)
            debugLine("removed leftover", QString::fromLatin1(folder) + QLatin1Char('/') + name);
    }
    return out;
}

} // namespace runtimefolder
