#include "myqquickview.h"

// Placeholder bodies; the file operations replace them.

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    return bool();
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
}

bool myQQuickView::loadProfile(int profile)
{
    return bool();
}

void myQQuickView::saveProfile(int profile)
{
}

void myQQuickView::resetProfile(int profile)
{
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
}

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    return QStringList();
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    return QVariant();
}

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    return QVariant();
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    return QVariant();
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    return QVariant();
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    return QVariantList();
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    return QVariant();
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    return QStringList();
}

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    return QVariantList();
}

QStringList myQQuickView::getGunDataKey()
{
    return QStringList();
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    return QVariant();
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    return QVariant();
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
}

