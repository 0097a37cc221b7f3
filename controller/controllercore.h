#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

#include "commandset.h"
#include "keymatrix.h"
#include "linkflags.h"
#include "profileimage.h"

class Hid_Thread;
class QSettings;
class PointerSettings;

// The controller's state and the bodies of its operations, without any
// widget or scene: the window's view (myQQuickView) publishes them to the
// scene, r770ctl calls them directly. Values arrive plain (the view unwraps
// what the scene hands over). Device operations return whether every
// exchange they made completed (false without a link); the view's
// invokables drop that, keeping the scene's contract. File operations
// return whether they did their work.
class ControllerCore : public LinkFlags
{
public:
    ControllerCore();
    ~ControllerCore() override;
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

    // Gives the controller its link (or none), and the link this
    // controller's flags.
    void setHidLink(Hid_Thread *link);
    bool linkIsGun() const override;
    QString linkIcType() const override;

    // Seam for tests: the system pointer settings.
    void setPointerSettings(std::unique_ptr<PointerSettings> settings);

    // The command set chosen by icType, on every call.
    CommandSet commandSet() const;
    // The settings object of the profile being edited.
    QSettings *currentProfileSettings() const;

    // What a newly accepted hid560 mouse holds: device profiles 0 and 1, and
    // 2 to 4 on a recoil-capable mouse, read into the images so that later
    // changes keep the device's other bytes. Nothing for hid553. False when
    // a read did not complete.
    bool readDeviceProfiles();

    // The device reads with their outcome: nothing when the mouse did not
    // answer. The scene's operations below give it the query's starting
    // values (zeros) instead.
    std::optional<int> readCurrentDPI();
    std::optional<int> readCurrentProfile();
    std::optional<QVariantList> readKeyboardOptions();

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
    bool mouseSendMacroData(const QVariantList &macroData, uint macroIndex);
    QStringList loadMacroIni(const QString &name);
    void mouseSaveGundata(const QString &index, const QVariantList &src6);
    bool mouseSendGundata(int mode, const QVariantList &data);
    void modifyGundata(int modifyType, const QVariantList &src6);
    QVariantList getGunData(const QString &name);
    QStringList getGunDataKey();
    QVariant getXYSensitive(const QString &index);
    QVariant getselectGun(const QString &index);
    void setXYSensitive(const QString &index, const QVariant &xyData);
    void setSelectGun(const QString &index, const QVariant &xyData);
    void setCurrentProfile(int profile);
    bool mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    bool mouseSetReportRate(uchar rate, uchar en);
    bool mouseSetCurrentDPI(uchar currentDPI);
    bool mouseResetKeyMatrix();
    int mouseGetCurrentDPI();
    bool mouseSetKeyMatrix(const QVariantList &src64, bool isSendData, const QVariantList &otherParam);
    bool mouseSetDpi(int dpiCount, const QString &sensorType, const QVariantList &dpiValueArray);
    bool mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    bool mouseSetRGBColor(uchar type, const QVariantList &src24);
    bool mouseSetProfile(uint profileNo);
    bool mouseReadProfile(uint profileNo);
    int mouseReadCurrentProfile();
    bool mouseSwitchKeyMatrix(int indexNo);
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
    // mouseEndFlow is false when an image did not reach the mouse.
    void mouseBeginFlow();
    bool mouseEndFlow();

private:
    // Every hid560 profile image leaves through here, in the order given,
    // at once or, during a flow, when it ends.
    bool sendProfileBlocks(const std::vector<int> &blocks);
    // Sends a marked block with its marked bytes; the mark stays unless the
    // mouse took it.
    bool sendMarkedBlock(int block);
    // The key-matrix command of the selected set.
    bool sendKeyMatrix(uchar *matrix, uchar index);
    // The current profile's firmware default matrix, zero where missing.
    keymatrix::Matrix firmwareMatrix() const;

    std::unique_ptr<PointerSettings> pointerSettings;
    int flowDepth = 0;
    profileimage::UnsentBlocks unsentBlocks;
};
