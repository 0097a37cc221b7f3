#include "macrolibrary.h"

#include "fileops.h"
#include "inivalue.h"
#include "namelists.h"
#include "profilefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <functional>

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
    // Nothing is changed in a settings object that cannot be written: its
    // destructor would try again, waiting on the lock for good.
    if (path.isEmpty() || !fileops::clearLock(path))
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
    if (!exists(name) || steps.size() > MaxSteps || !fileops::clearLock(macroPath(name)))
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
    int total = qBound(0, settings.value(totalKey, 0).toInt(), MaxSteps);
    // A count beyond the last step the file holds would only add "0" steps.
    int present = 0;
    settings.beginGroup(QStringLiteral("macro"));
    for (const QString &key : settings.childKeys()) {
        bool ok = false;
        const int i = key.toInt(&ok);
        if (ok && i >= 0 && i < total)
            present = qMax(present, i + 1);
    }
    settings.endGroup();
    total = present;
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

namespace {
// Gives every key of profile slots 0 to 5 that runs a macro `runs` picks
// (by name) the factory profile's assignment of that key. Returns the
// slots changed.
QList<int> unbindWhere(const QList<QSettings *> &profiles, QSettings &factory,
                       const std::function<bool(const QString &)> &runs)
{
    QList<int> changed;
    for (int slot = 0; slot < walkedSlots(profiles); ++slot) {
        QSettings *profile = profiles.at(slot);
        if (!profile)
            continue;
        for (int key = 0; key < profilefiles::KeyAssignmentCount; ++key) {
            const QString assignment = assignmentKey(key);
            const int macroSlot = macroSlotOf(profile->value(assignment));
            if (macroSlot < 0 || !runs(profile->value(macroKeyEntry(macroSlot)).toString()))
                continue;
            const QVariant factoryValue = factory.value(assignment);
            if (factoryValue.isValid())
                ini::setValue(*profile, assignment, factoryValue);
            else
                profile->remove(assignment);
            if (!changed.contains(slot))
                changed << slot;
        }
    }
    return changed;
}
} // namespace

bool unbindFromProfiles(const QList<QSettings *> &profiles, QSettings *factory, const QString &name)
{
    // Any name a profile can hold, also one that could not name a file.
    if (name.isEmpty() || !factory)
        return false;
    unbindWhere(profiles, *factory, [&name](const QString &runs) { return runs == name; });
    return true;
}

QStringList repair()
{
    QStringList notes;
    // The files of the library.
    QStringList files;
    const QFileInfoList entries = QDir(QString::fromLatin1(macroFolder))
                                      .entryInfoList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (isValidName(entry.completeBaseName()))
            files << entry.completeBaseName();
    }

    // The list: names without a file go, files without a name come back.
    QStringList listed;
    for (const QVariant &name : namelists::read(namelists::Macros))
        listed << name.toString();
    if (listed.size() == 2 && listed.at(1) == QLatin1String(namelists::Padding))
        listed.removeLast();
    QStringList kept;
    for (const QString &name : std::as_const(listed)) {
        if (exists(name) && !kept.contains(name))
            kept << name;
        else
            notes << QStringLiteral("macro list: dropped \"%1\", which has no file").arg(name);
    }
    for (const QString &name : std::as_const(files)) {
        if (!kept.contains(name)) {
            kept << name;
            notes << QStringLiteral("macro list: listed \"%1\" again, whose file was not listed").arg(name);
        }
    }
    if (kept != listed && !namelists::update(namelists::Macros, kept))
        notes << QStringLiteral("macro list: the repair could not be written");

    // Keys that run a macro without a file get their factory assignment, as
    // deleting the macro would have given them.
    // Profiles that cannot be written are left alone (the start reports
    // them as damaged).
    QList<QSettings *> profiles;
    for (int slot = 0; slot < ProfileSlotsWalked; ++slot) {
        const QString path = profilefiles::slotPath(slot);
        profiles << (QFileInfo(path).isFile() && fileops::clearLock(path) ? new ini::CheckedSettings(path) : nullptr);
    }
    ini::CheckedSettings factory(profilefiles::factoryPath());
    const QList<int> changed = unbindWhere(profiles, factory, [](const QString &name) { return !name.isEmpty() && !exists(name); });
    for (int slot : changed) {
        notes << QStringLiteral("%1: keys running a macro without a file reset").arg(profilefiles::slotPath(slot));
        if (!ini::flush(*profiles.at(slot)))
            notes << QStringLiteral("%1: the repair could not be written").arg(profilefiles::slotPath(slot));
    }
    // Written above or unchanged: nothing is left for the destructors.
    qDeleteAll(profiles);
    return notes;
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
