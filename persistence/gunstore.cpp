#include "gunstore.h"

#include "fileops.h"
#include "inivalue.h"

#include <QFileInfo>
#include <QSettings>

namespace gunstore {

namespace {
const char *const storeFile = "./modules/gun/gunData.bin";
constexpr int DefaultXYSensitive = 4;

QString storePath()
{
    return QString::fromLatin1(storeFile);
}

// A set name must stay one entry of the group: an empty name would address
// the whole group, a slash a subgroup.
bool isValidSetName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString setKey(const QString &name)
{
    return QStringLiteral("gunData/") + name;
}

} // namespace

bool storeExists()
{
    return QFileInfo(storePath()).isFile();
}

namespace {
// Whether a write may begin: nothing is changed in a settings object that
// cannot be written, since its destructor would try again, waiting on the
// lock for good.
bool writable()
{
    return storeExists() && fileops::clearLock(storePath());
}
} // namespace

bool saveSet(const QString &index, const QVariantList &values)
{
    if (!writable() || values.size() < SetValueCount || !isValidSetName(index))
        return false;
    QSettings settings(storePath(), ini::formatFor(storePath()));
    ini::setValue(settings, setKey(index), values.mid(0, SetValueCount));
    return ini::flush(settings);
}

bool modify(int type, const QVariantList &values)
{
    if (!writable())
        return false;
    if (type == Remove) {
        const QString name = values.value(0).toString();
        if (!isValidSetName(name))
            return false;
        QSettings settings(storePath(), ini::formatFor(storePath()));
        settings.remove(setKey(name));
        return ini::flush(settings);
    }
    if (type == Rename) {
        if (values.size() < RenameValueCount)
            return false;
        const QString newName = values.at(0).toString();
        const QString oldName = values.at(RenameValueCount - 1).toString();
        if (!isValidSetName(newName) || !isValidSetName(oldName))
            return false;
        QSettings settings(storePath(), ini::formatFor(storePath()));
        settings.remove(setKey(oldName));
        ini::setValue(settings, setKey(newName), values.mid(1, SetValueCount - 1));
        return ini::flush(settings);
    }
    return false;
}

QVariantList readSet(const QString &name)
{
    if (!storeExists() || !isValidSetName(name))
        return QVariantList();
    const QSettings settings(storePath(), ini::formatFor(storePath()));
    return ini::toList(settings.value(setKey(name)));
}

QStringList setKeys()
{
    if (!storeExists())
        return QStringList();
    QSettings settings(storePath(), ini::formatFor(storePath()));
    settings.beginGroup(QStringLiteral("gunData"));
    const QStringList keys = settings.childKeys();
    settings.endGroup();
    return keys;
}

QVariant xySensitive(const QSettings *profile, const QString &index)
{
    if (!profile)
        return DefaultXYSensitive;
    return profile->value(QStringLiteral("XYSensitive/") + index, DefaultXYSensitive);
}

void setXYSensitive(QSettings *profile, const QString &index, const QVariant &value)
{
    if (profile)
        ini::setValue(*profile, QStringLiteral("XYSensitive/") + index, value);
}

QVariant selectGun(const QSettings *profile, const QString &index)
{
    if (!profile)
        return QString();
    return profile->value(QStringLiteral("selectGun/") + index, QString());
}

void setSelectGun(QSettings *profile, const QString &index, const QVariant &value)
{
    if (profile)
        ini::setValue(*profile, QStringLiteral("selectGun/") + index, value);
}

} // namespace gunstore
