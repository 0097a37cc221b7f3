// The file operations of the controller: hand the values to the
// persistence functions.

#include "controllercore.h"

#include "gunstore.h"
#include "langstrings.h"
#include "macrolibrary.h"
#include "namelists.h"
#include "profilefiles.h"

bool ControllerCore::importMacroFile(const QString &macroFileName, const QString &chosen)
{
    return macrolibrary::importFrom(macroFileName, chosen);
}

bool ControllerCore::exportMacroFile(const QString &macroFileName, const QString &chosen)
{
    return macrolibrary::exportTo(macroFileName, chosen);
}

bool ControllerCore::importProfile(int profile, const QString &chosen)
{
    return profilefiles::replaceSlot(profileSettings, profile, chosen);
}

bool ControllerCore::exportProfile(int profile, const QString &chosen)
{
    return profilefiles::exportSlot(profileSettings, profile, chosen);
}

bool ControllerCore::resetProfile(int profile)
{
    return profilefiles::resetSlot(profileSettings, profile);
}

bool ControllerCore::copyProfile(int destprofile, int srcprofile)
{
    return profilefiles::copySlot(profileSettings, destprofile, srcprofile);
}

QStringList ControllerCore::getLangStrings(const QString &typeStr, const QString &langCode)
{
    return langstrings::read(typeStr, langCode);
}

QStringList ControllerCore::getLanguageList()
{
    return langstrings::available();
}

bool ControllerCore::createMacroIni(const QString &name, uint macroIndex)
{
    return macrolibrary::create(name, macroIndex);
}

bool ControllerCore::updataNameList(uint type, const QStringList &nameList)
{
    return namelists::update(type, nameList);
}

bool ControllerCore::modifyMacroNameUpdateProfile(const QString &oldname, const QString &newname)
{
    return macrolibrary::rename(profileSettings, oldname, newname);
}

bool ControllerCore::deleteMacroUpdateProfile(const QString &macroName)
{
    return macrolibrary::unbindFromProfiles(profileSettings, factorySettings, macroName);
}

bool ControllerCore::deleteMacroIni(const QString &name)
{
    return macrolibrary::remove(name);
}

QVariantList ControllerCore::getNameList(uint type)
{
    return namelists::read(type);
}

bool ControllerCore::saveMacroIni(const QString &name, const QStringList &macros, const QVariant &repeat)
{
    return macrolibrary::save(name, macros, repeat);
}

QStringList ControllerCore::loadMacroIni(const QString &name)
{
    return macrolibrary::load(name);
}

void ControllerCore::mouseSaveGundata(const QString &index, const QVariantList &src6)
{
    gunstore::saveSet(index, src6);
}

void ControllerCore::modifyGundata(int modifyType, const QVariantList &src6)
{
    gunstore::modify(modifyType, src6);
}

QVariantList ControllerCore::getGunData(const QString &name)
{
    return gunstore::readSet(name);
}

QStringList ControllerCore::getGunDataKey()
{
    return gunstore::setKeys();
}

QVariant ControllerCore::getXYSensitive(const QString &index)
{
    return gunstore::xySensitive(currentProfileSettings(), index);
}

QVariant ControllerCore::getselectGun(const QString &index)
{
    return gunstore::selectGun(currentProfileSettings(), index);
}

void ControllerCore::setXYSensitive(const QString &index, const QVariant &xyData)
{
    gunstore::setXYSensitive(currentProfileSettings(), index, xyData);
}

void ControllerCore::setSelectGun(const QString &index, const QVariant &xyData)
{
    gunstore::setSelectGun(currentProfileSettings(), index, xyData);
}
