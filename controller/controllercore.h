#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

#include "commandset.h"
#include "keymatrix.h"
#include "profileimage.h"

class Hid_Thread;
class QSettings;
class PointerSettings;

// The controller's state and the bodies of its operations, without any
// widget or scene: the window's view (myQQuickView) publishes them to the
// scene, r770ctl calls them directly. Values arrive plain (the view unwraps
// what the scene hands over). Device operations keep the link's silence;
// file operations return whether they did their work.
class ControllerCore
{
public:
    ControllerCore();
    virtual ~ControllerCore();
    ControllerCore(const ControllerCore &) = delete;
    ControllerCore &operator=(const ControllerCore &) = delete;

    Hid_Thread *hidLink = nullptr;
    bool isColorful = false;
    bool isGun = false;
    QString icType;
    bool is55328 = false;
    QSettings *globalSettings = nullptr;
    QSettings *factorySettings = nullptr;
    QList<QSettings *> profileSettings;
    int currentProfile = 0;
    uchar profileImages[5][128] = {};

    // Seam for tests: the system pointer settings.
    void setPointerSettings(std::unique_ptr<PointerSettings> settings);

    // The command set chosen by icType, on every call.
    CommandSet commandSet() const;
    // The settings object of the profile being edited.
    QSettings *currentProfileSettings() const;

    // What a newly accepted hid560 mouse holds: device profiles 0 and 1, and
    // 2 to 4 on a recoil-capable mouse, read into the images so that later
    // changes keep the device's other bytes. Nothing for hid553.
    void readDeviceProfiles();

    // --- the operations, as the scene calls them ---------------------------
    void clearHidBusy();
    void resetApconfig();
    // The file work of the import and export operations, with the path the
    // user chose.
    bool importMacroFile(const QString &macroFileName, const QString &chosen);
    bool exportMacroFile(const QString &macroFileName, const QString &chosen);
    bool importProfile(int profile, const QString &chosen);
    bool exportProfile(int profile, const QString &chosen);
    bool resetProfile(int profile);
    bool copyProfile(int destprofile, int srcprofile);
    QStringList getLangStrings(const QString &typeStr, const QString &langCode);
    // The base names of the language files.
    QStringList getLanguageList();
    bool createMacroIni(const QString &name, uint macroIndex);
    bool updataNameList(uint type, const QStringList &nameList);
    bool modifyMacroNameUpdateProfile(const QString &oldname, const QString &newname);
    bool deleteMacroUpdateProfile(const QString &macroName);
    bool deleteMacroIni(const QString &name);
    QVariantList getNameList(uint type);
    bool saveMacroIni(const QString &name, const QStringList &macros, const QVariant &repeat);
    void mouseSendMacroData(const QVariantList &macroData, uint macroIndex);
    QStringList loadMacroIni(const QString &name);
    void mouseSaveGundata(const QString &index, const QVariantList &src6);
    void mouseSendGundata(int mode, const QVariantList &data);
    void modifyGundata(int modifyType, const QVariantList &src6);
    QVariantList getGunData(const QString &name);
    QStringList getGunDataKey();
    QVariant getXYSensitive(const QString &index);
    QVariant getselectGun(const QString &index);
    void setXYSensitive(const QString &index, const QVariant &xyData);
    void setSelectGun(const QString &index, const QVariant &xyData);
    void setCurrentProfile(int profile);
    void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void mouseSetReportRate(uchar rate, uchar en);
    void mouseSetCurrentDPI(uchar currentDPI);
    void mouseResetKeyMatrix();
    int mouseGetCurrentDPI();
    void mouseSetKeyMatrix(const QVariantList &src64, bool isSendData, const QVariantList &otherParam);
    void mouseSetDpi(int dpiCount, const QString &sensorType, const QVariantList &dpiValueArray);
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    void mouseSetRGBColor(uchar type, const QVariantList &src24);
    void mouseSetProfile(uint profileNo);
    void mouseReadProfile(uint profileNo);
    int mouseReadCurrentProfile();
    void mouseSwitchKeyMatrix(int indexNo);
    QVariantList GetKeyboardoption();
    void mouseSetCursorSpeed(uint cursorSpeed);
    void mouseSetVerticalScrollLines(uint lines);
    void mouseSetDoubleClickSpeed(uint speed);
    // Whether the desktop has the pointer setting that "cursorSpeed",
    // "doubleClickSpeed" or "verticalScrollLines" names; the operations
    // leave a missing one alone, without a failure line.
    bool pointerSettingAvailable(const QString &setting) const;
    QVariantList mouseGetKeydefine(const QString &index, bool isRecovery);
    QVariant getData(const QString &key, bool isRecovery);
    QVariant getGlobalData(const QString &key);
    QVariantList getDataList(const QString &key, bool isRecovery);
    void setData(const QString &key, const QVariant &data);
    void setGlobalData(const QString &key, const QVariant &tmpdata);
    void setDataList(const QString &key, const QVariantList &datalist);
    // Writes the pending changes of the profile in use and of apConfig.bin
    // now; false when either did not reach the disk.
    bool flushSettings();

    // A flow of several operations (a save, a profile switch) begins and
    // ends. In between, the hid560 profile images the operations send are
    // held back; when the outermost flow ends each goes to the mouse once,
    // with the bytes its last send would have carried. Images the mouse did
    // not take stay marked and go with the end of the next flow. Nothing
    // changes for hid553, whose settings have commands of their own.
    void mouseBeginFlow();
    void mouseEndFlow();

private:
    // Every hid560 profile image leaves through here, in the order given,
    // at once or, during a flow, when it ends.
    void sendProfileBlocks(const std::vector<int> &blocks);
    // Sends a marked block with its marked bytes; the mark stays unless the
    // mouse took it.
    void sendMarkedBlock(int block);
    // The key-matrix command of the selected set.
    void sendKeyMatrix(uchar *matrix, uchar index);
    // The current profile's firmware default matrix, zero where missing.
    keymatrix::Matrix firmwareMatrix() const;

    std::unique_ptr<PointerSettings> pointerSettings;
    int flowDepth = 0;
    profileimage::UnsentBlocks unsentBlocks;
};
