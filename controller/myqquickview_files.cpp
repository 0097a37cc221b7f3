// The file operations of the controller: convert the scene's values and
// hand them to the persistence functions.

#include "myqquickview.h"

#include "filedialogs.h"
#include "gunstore.h"
#include "langstrings.h"
#include "macrolibrary.h"
#include "namelists.h"
#include "profilefiles.h"
#include "scenevalue.h"

#include <QStandardPaths>

namespace {
QString desktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}
} // namespace

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    const QString name = macroFileName.toString();
    if (!macrolibrary::isValidName(name))
        return false;
    const QString chosen = fileDialogs->openFileName(this, tr("Open File"), desktopFolder(),
                                                     tr("Macro(*.mc)"));
    if (chosen.isEmpty())
        return false;
    return macrolibrary::importFrom(name, chosen);
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    const QString name = macroFileName.toString();
    if (!macrolibrary::exists(name))
        return;
    const QString chosen = fileDialogs->saveFileName(this, tr("Save File"), desktopFolder(),
                                                     tr("Macro(*.mc)"));
    if (!chosen.isEmpty())
        macrolibrary::exportTo(name, chosen);
}

bool myQQuickView::loadProfile(int profile)
{
    if (!profilefiles::isValidSlot(profile))
        return false;
    const QString chosen = fileDialogs->openFileName(this, tr("Open File"), desktopFolder(),
                                                     tr("Profile(*.pf)"));
    if (chosen.isEmpty())
        return false;
    return profilefiles::replaceSlot(profileSettings, profile, chosen);
}

void myQQuickView::saveProfile(int profile)
{
    if (!profilefiles::isValidSlot(profile))
        return;
    const QString chosen = fileDialogs->saveFileName(this, tr("Save File"), desktopFolder(),
                                                     tr("Profile(*.pf)"));
    if (!chosen.isEmpty())
        profilefiles::exportSlot(profileSettings, profile, chosen);
}

void myQQuickView::resetProfile(int profile)
{
    profilefiles::resetSlot(profileSettings, profile);
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    profilefiles::copySlot(profileSettings, destprofile, srcprofile);
}

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    return langstrings::read(typeStr, langCode);
}

QStringList myQQuickView::getLanguageList()
{
    return langstrings::available();
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    return macrolibrary::create(name.toString(), macroIndex.toUInt());
}

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    return namelists::update(type.toUInt(), nameList);
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    return macrolibrary::rename(profileSettings, oldname.toString(), newname.toString());
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    macrolibrary::unbindFromProfiles(profileSettings, factorySettings, macroName.toString());
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    return macrolibrary::remove(name.toString());
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    return namelists::read(type.toUInt());
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    return macrolibrary::save(name.toString(), macros, repeat);
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    return macrolibrary::load(name.toString());
}

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    gunstore::saveSet(index.toString(), plainSceneList(src6));
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    gunstore::modify(modifyType.toInt(), plainSceneList(src6));
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    return gunstore::readSet(name.toString());
}

QStringList myQQuickView::getGunDataKey()
{
    return gunstore::setKeys();
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    return gunstore::xySensitive(currentProfileSettings(), index.toString());
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    return gunstore::selectGun(currentProfileSettings(), index.toString());
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    gunstore::setXYSensitive(currentProfileSettings(), index.toString(), xyData);
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    gunstore::setSelectGun(currentProfileSettings(), index.toString(), xyData);
}
