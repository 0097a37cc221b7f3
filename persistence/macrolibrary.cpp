#include "macrolibrary.h"

#include "fileops.h"
#include "inivalue.h"
#include "profilefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace macrolibrary {

namespace {
const char *const macroFolder = "./modules/macro/";
const char *const macroSuffix = ".bin";

const QString totalKey = QStringLiteral("config/total");
const QString repeatKey = QStringLiteral("config/repeat");

QString stepKey(int i)
{
    return QStringLiteral("macro/%1").arg(i);
}

QString macroKeyEntry(int slot)
{
    return QStringLiteral("mouseMacroKey/%1").arg(slot);
}

QString assignmentKey(int key)
{
    return QStringLiteral("mouseKeyMatrix/%1").arg(key);
}

// A step is "type,information"; written without quotes it reads back as a
// list, which is joined back into the text.
QString stepText(const QVariant &stored)
{
    if (stored.metaType().id() == QMetaType::QStringList)
        return stored.toStringList().join(QLatin1Char(','));
    return stored.toString();
}

// The profile slots whose references follow the library.
int walkedSlots(const QList<QSettings *> &profiles)
{
    return qMin(ProfileSlotsWalked, int(profiles.size()));
}

// The macro slot an assignment runs, or -1 when it runs no macro. Missing
// or short assignments run none.
int macroSlotOf(const QVariant &stored)
{
    const QVariantList codes = ini::toList(stored);
    if (codes.size() < 3 || codes.at(0).toInt() != MacroKeyType)
        return -1;
    bool ok = false;
    const int slot = codes.at(2).toInt(&ok);
    return ok ? slot : -1;
}
} // namespace

bool isValidName(const QString &name)
{
    return fileops::isSafeBaseName(name, QString::fromLatin1(macroSuffix));
}

QString macroPath(const QString &name)
{
    if (!isValidName(name))
        return QString();
    return QString::fromLatin1(macroFolder) + name + QString::fromLatin1(macroSuffix);
}

bool exists(const QString &name)
{
    const QString path = macroPath(name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool create(const QString &name, uint macroIndex)
{
    const QString path = macroPath(name);
    if (path.isEmpty())
        return false;
    QSettings settings(path, ini::formatFor(path));
    settings.beginGroup(QStringLiteral("config"));
    settings.setValue(QStringLiteral("index"), macroIndex);
    settings.setValue(QStringLiteral("total"), 0);
    settings.setValue(QStringLiteral("repeat"), 1);
    settings.setValue(QStringLiteral("did"), -1);
    settings.endGroup();
    return ini::flush(settings);
}

bool save(const QString &name, const QStringList &steps, const QVariant &repeat)
{
    if (!exists(name) || steps.size() > MaxSteps)
        return false;
    QSettings settings(macroPath(name), ini::formatFor(macroPath(name)));
    settings.remove(QStringLiteral("macro"));
    settings.setValue(totalKey, int(steps.size()));
    ini::setValue(settings, repeatKey, repeat);
    for (int i = 0; i < steps.size(); ++i)
        settings.setValue(stepKey(i), steps.at(i));
    return ini::flush(settings);
}

QStringList load(const QString &name)
{
    if (!exists(name) || !fileops::isReadableFile(macroPath(name), fileops::MaxIniFileBytes))
        return QStringList();
    QSettings settings(macroPath(name), ini::formatFor(macroPath(name)));
    const int total = qBound(0, settings.value(totalKey, 0).toInt(), MaxSteps);
    QStringList result;
    result.reserve(total + 1);
    for (int i = 0; i < total; ++i)
        result << stepText(settings.value(stepKey(i), QStringLiteral("0")));
    result << settings.value(repeatKey, QStringLiteral("0")).toString();
    return result;
}

bool remove(const QString &name)
{
    return exists(name) && QFile::remove(macroPath(name));
}

bool rename(const QList<QSettings *> &profiles, const QString &oldName, const QString &newName)
{
    if (!exists(oldName) || !isValidName(newName) || QFileInfo::exists(macroPath(newName)))
        return false;
    if (!QFile::rename(macroPath(oldName), macroPath(newName)))
        return false;
    for (int slot = 0; slot < walkedSlots(profiles); ++slot) {
        QSettings *profile = profiles.at(slot);
        if (!profile)
            continue;
        profile->beginGroup(QStringLiteral("mouseMacroKey"));
        const QStringList entries = profile->childKeys();
        for (const QString &entry : entries) {
            if (profile->value(entry).toString() == oldName)
                profile->setValue(entry, newName);
        }
        profile->endGroup();
    }
    return true;
}

bool unbindFromProfiles(const QList<QSettings *> &profiles, QSettings *factory, const QString &name)
{
    // Any name a profile can hold, also one that could not name a file.
    if (name.isEmpty() || !factory)
        return false;
    for (int slot = 0; slot < walkedSlots(profiles); ++slot) {
        QSettings *profile = profiles.at(slot);
        if (!profile)
            continue;
        for (int key = 0; key < profilefiles::KeyAssignmentCount; ++key) {
            const QString assignment = assignmentKey(key);
            const int macroSlot = macroSlotOf(profile->value(assignment));
            if (macroSlot < 0 || profile->value(macroKeyEntry(macroSlot)).toString() != name)
                continue;
            const QVariant factoryValue = factory->value(assignment);
            if (factoryValue.isValid())
                ini::setValue(*profile, assignment, factoryValue);
            else
                profile->remove(assignment);
        }
    }
    return true;
}

bool importFrom(const QString &name, const QString &source)
{
    if (!isValidName(name))
        return false;
    if (!exists(name) && fileops::isReadableFile(source, fileops::MaxIniFileBytes)) {
        QDir().mkpath(QString::fromLatin1(macroFolder));
        fileops::replaceWithCopy(source, macroPath(name));
    }
    return exists(name);
}

bool exportTo(const QString &name, const QString &target)
{
    return exists(name) && !target.isEmpty() && fileops::replaceWithCopy(macroPath(name), target);
}

} // namespace macrolibrary
