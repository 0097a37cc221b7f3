#include "namelists.h"

#include "fileops.h"
#include "inivalue.h"

#include <QSettings>

namespace namelists {

const char *const Padding = "loadertolvik";

namespace {
const char *const nameFile = "./modules/setting/name.bin";
} // namespace

QString keyFor(uint type)
{
    switch (type) {
    case Macros:
        return QStringLiteral("macro/macroName");
    case Guns:
        return QStringLiteral("gun/gunName");
    case Profiles:
        return QStringLiteral("profile/profileName");
    case SelectedGuns:
        return QStringLiteral("gun/selectGun");
    }
    return QString();
}

bool update(uint type, QStringList names)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return true;
    if (names.size() == 1)
        names << QString::fromLatin1(Padding);
    const QString path = QString::fromLatin1(nameFile);
    // Nothing is changed in a settings object that cannot be written: its
    // destructor would try again, waiting on the lock for good.
    if (!fileops::clearLock(path))
        return false;
    QSettings settings(path, ini::formatFor(path));
    // A list stored as it is leaves the file alone: a rewrite costs as much
    // as all the lists hold (thousands of macro names, say).
    const QVariant value = ini::storable(names);
    if (value.isValid() ? settings.value(key) == value : !settings.contains(key))
        return true;
    if (names.isEmpty())
        settings.remove(key);
    else
        settings.setValue(key, value);
    return ini::flush(settings);
}

QVariantList read(uint type)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return QVariantList();
    const QString path = QString::fromLatin1(nameFile);
    const QSettings settings(path, ini::formatFor(path));
    return ini::toList(settings.value(key, 0));
}

} // namespace namelists
