#include "controllercore.h"

#include "configfile.h"
#include "debugline.h"
#include "fileops.h"
#include "hid_thread.h"
#include "inivalue.h"
#include "pointersettings.h"
#include "profilefiles.h"
#include "profileimage.h"

#include <QSettings>

ControllerCore::ControllerCore() : pointerSettings(createPointerSettings())
{
    // Files larger than any real one read as empty and are never rewritten.
    const auto open = [](const QString &path) { return new ini::CheckedSettings(path); };
    globalSettings = open(configfile::path());
    factorySettings = open(profilefiles::factoryPath());
    for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
        profileSettings.append(open(profilefiles::slotPath(slot)));
    currentProfile = 0;

    isColorful = getGlobalData(QStringLiteral("mouse/isColorful")).toBool();
    isGun = getGlobalData(QStringLiteral("mouse/isGun")).toBool();
    icType = getGlobalData(QStringLiteral("mouse/icType")).toString();
    is55328 = getGlobalData(QStringLiteral("mouse/is55328")).toBool();
}

ControllerCore::~ControllerCore()
{
    // Pending changes are written (checked) here rather than unchecked by
    // the destructors. An object whose file cannot be written is left to
    // the end of the process: its destructor would try again unchecked,
    // and wait for good on a lock that cannot be taken.
    const auto release = [](QSettings *settings) {
        if (settings && ini::flush(*settings))
            delete settings;
    };
    for (QSettings *settings : std::as_const(profileSettings))
        release(settings);
    release(globalSettings);
    delete factorySettings;
}

void ControllerCore::setPointerSettings(std::unique_ptr<PointerSettings> settings)
{
    pointerSettings = std::move(settings);
}

QSettings *ControllerCore::currentProfileSettings() const
{
    return profileSettings.value(currentProfile, nullptr);
}

bool ControllerCore::readDeviceProfiles()
{
    if (commandSet() != CommandSet::hid560)
        return true;
    // Every read is tried, whatever became of the one before.
    bool read = mouseReadProfile(0);
    read = mouseReadProfile(profileimage::mainBlock) && read;
    if (!isGun)
        return read;
    for (int block = profileimage::firstRecoilBlock; block <= profileimage::lastRecoilBlock; ++block)
        read = mouseReadProfile(uint(block)) && read;
    return read;
}

void ControllerCore::clearHidBusy()
{
    if (hidLink)
        hidLink->hidReady = true;
}

void ControllerCore::resetApconfig()
{
    const QString path = globalSettings->fileName();
    const QString factory = configfile::factoryPath();
    // Without a usable factory copy there is nothing to reset to: keep the file.
    if (!fileops::isReadableFile(factory, fileops::MaxIniFileBytes)) {
        debugLine("resetApconfig Failed");
        return;
    }
    // Delete the old object now, not later: a deferred deletion would flush
    // its pending writes over the fresh copy.
    if (!ini::flush(*globalSettings)) {
        debugLine("resetApconfig Failed");
        return;
    }
    delete globalSettings;
    globalSettings = nullptr;
    // The copy is swapped in only once complete: a failed copy keeps the file.
    if (!fileops::replaceWithCopy(factory, path, true))
        debugLine("resetApconfig Failed");
    globalSettings = new ini::CheckedSettings(configfile::path());
}

void ControllerCore::setCurrentProfile(int profile)
{
    if (profile < 0 || profile >= profileSettings.size()) {
        debugLine("setCurrentProfile refused", profile);
        return;
    }
    currentProfile = profile;
}

QVariant ControllerCore::getData(const QString &key, bool isRecovery)
{
    QSettings *settings = isRecovery ? factorySettings : currentProfileSettings();
    return settings->value(key);
}

QVariant ControllerCore::getGlobalData(const QString &key)
{
    return globalSettings->value(key);
}

QVariantList ControllerCore::getDataList(const QString &key, bool isRecovery)
{
    return ini::toList(getData(key, isRecovery));
}

void ControllerCore::setData(const QString &key, const QVariant &data)
{
    ini::setValue(*currentProfileSettings(), key, data);
}

void ControllerCore::setGlobalData(const QString &key, const QVariant &tmpdata)
{
    ini::setValue(*globalSettings, key, tmpdata);
}

void ControllerCore::setDataList(const QString &key, const QVariantList &datalist)
{
    ini::setValue(*currentProfileSettings(), key, QVariant(datalist));
}

bool ControllerCore::flushSettings()
{
    QString why;
    bool ok = true;
    for (QSettings *settings : {currentProfileSettings(), globalSettings}) {
        // A deferred write that failed earlier dropped its changes: they
        // are not on the disk either.
        auto *checked = dynamic_cast<ini::CheckedSettings *>(settings);
        if (checked && checked->takeDeferredFailure()) {
            debugLine("flushSettings Failed", settings->fileName());
            ok = false;
        }
        if (settings && !ini::flush(*settings, &why)) {
            debugLine("flushSettings Failed", settings->fileName(), why);
            ok = false;
        }
    }
    return ok;
}
