#include "autostart.h"
#include "autostartentry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace autostart {
namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("Autostart", source);
}

// $XDG_CONFIG_HOME/autostart/<desktop file id>, by default under ~/.config.
QString entryPath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty() || QDir::isRelativePath(base)) // a relative value is invalid
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/") + QLatin1String(autostartentry::desktopFileId);
}

} // namespace

bool isEnabled()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // Desktops switch an entry off in place rather than deleting it.
    return autostartentry::isActive(file.read(64 * 1024));
}

bool setEnabled(bool enabled, QString *error)
{
    const QString path = entryPath();
    if (!enabled) {
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return true;
        *error = text("Cannot remove %1").arg(path);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = text("Cannot create the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(autostartentry::text(QCoreApplication::applicationFilePath())) < 0
        || !file.commit()) {
        *error = text("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace autostart
