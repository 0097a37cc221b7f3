#pragma once

#include <QQuickWidget>
#include <QStringList>
#include <QVariant>
#include <memory>

#include "controllercore.h"
#include "scenevalue.h"

class FileDialogs;

// The controller the scene reaches as "ui_View": the core's state and
// operations published to the scene. The invokables only unwrap the scene's
// values and forward; what needs the window (file dialogs, scene calls,
// focus) is done here.
// The order of the Q_INVOKABLE declarations is part of the scene contract.
class myQQuickView : public QQuickWidget, public ControllerCore
{
    Q_OBJECT
    // Whether the view takes input; the scene shows a disabled look while
    // the program keeps it disabled (no mouse accepted).
    Q_PROPERTY(bool inputEnabled READ isEnabled NOTIFY inputEnabledChanged)

public:
    // What holds back a change made outside the window (r770ctl, automatic
    // profiles): nothing, a flow sending now (wait), edits the pages hold or
    // a dialog holding a choice (refuse).
    enum class OutsideChange { Allowed, Busy, Unsaved, Dialog };
    Q_ENUM(OutsideChange)

    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

    // Seam for tests: the file dialogs.
    void setFileDialogs(std::unique_ptr<FileDialogs> dialogs);

    // The scene's "connect your R770" state, shown while no mouse is
    // accepted (a direct scene call).
    void showConnectState(bool shown);
    // Asks the scene whether the program may end now; false when it asks
    // the user first (unsaved edits). True without a scene.
    bool mayQuit();
    // The scene's word on a change made outside it now (Allowed without a
    // scene), and its lower-case name ("" for Allowed).
    OutsideChange outsideChange();
    static QString outsideChangeName(OutsideChange state);

    // Notifications of the input hooks: queued scene calls.
    void keyboardNotify(bool isDown, unsigned char usbCode);
    void mouseNotify(bool isDown, unsigned buttonCode, unsigned x, unsigned y);

    Q_INVOKABLE void clearHidBusy() { ControllerCore::clearHidBusy(); }
    Q_INVOKABLE void initUI();
    Q_INVOKABLE void runUI();
    Q_INVOKABLE void resetApconfig() { ControllerCore::resetApconfig(); }
    Q_INVOKABLE bool loadMacroFile(QVariant macroFileName);
    Q_INVOKABLE void saveMacroFile(QVariant macroFileName);
    Q_INVOKABLE bool loadProfile(int profile);
    Q_INVOKABLE void saveProfile(int profile);
    Q_INVOKABLE void resetProfile(int profile) { ControllerCore::resetProfile(profile); }
    Q_INVOKABLE void copyProfile(int destprofile, int srcprofile) { ControllerCore::copyProfile(destprofile, srcprofile); }
    Q_INVOKABLE QStringList getLangStrings(QString typeStr, QString langCode) { return ControllerCore::getLangStrings(typeStr, langCode); }
    Q_INVOKABLE QVariant createMacroIni(QVariant name, QVariant macroIndex) { return ControllerCore::createMacroIni(name.toString(), macroIndex.toUInt()); }
    Q_INVOKABLE QVariant updataNameList(QVariant type, QStringList nameList) { return ControllerCore::updataNameList(type.toUInt(), nameList); }
    Q_INVOKABLE QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname) { return ControllerCore::modifyMacroNameUpdateProfile(oldname.toString(), newname.toString()); }
    Q_INVOKABLE void deleteMacroUpdateProfile(QVariant macroName) { ControllerCore::deleteMacroUpdateProfile(macroName.toString()); }
    Q_INVOKABLE QVariant deleteMacroIni(QVariant name) { return ControllerCore::deleteMacroIni(name.toString()); }
    Q_INVOKABLE QVariantList getNameList(QVariant type) { return ControllerCore::getNameList(type.toUInt()); }
    Q_INVOKABLE QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat) { return ControllerCore::saveMacroIni(name.toString(), macros, repeat); }
    Q_INVOKABLE QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex) { ControllerCore::mouseSendMacroData(plainSceneList(macroData), macroIndex.toUInt()); return QVariant(true); }
    Q_INVOKABLE QStringList loadMacroIni(QVariant name) { return ControllerCore::loadMacroIni(name.toString()); }
    Q_INVOKABLE void mouseSaveGundata(QVariant index, QVariantList src6) { ControllerCore::mouseSaveGundata(index.toString(), plainSceneList(src6)); }
    Q_INVOKABLE void mouseSendGundata(int, QVariantList);
    Q_INVOKABLE void modifyGundata(QVariant modifyType, QVariantList src6) { ControllerCore::modifyGundata(modifyType.toInt(), plainSceneList(src6)); }
    Q_INVOKABLE QVariantList getGunData(QVariant name) { return ControllerCore::getGunData(name.toString()); }
    Q_INVOKABLE QStringList getGunDataKey() { return ControllerCore::getGunDataKey(); }
    Q_INVOKABLE QVariant getXYSensitive(QVariant index) { return ControllerCore::getXYSensitive(index.toString()); }
    Q_INVOKABLE QVariant getselectGun(QVariant index) { return ControllerCore::getselectGun(index.toString()); }
    Q_INVOKABLE void setXYSensitive(QVariant index, QVariant xyData) { ControllerCore::setXYSensitive(index.toString(), plainSceneValue(xyData)); }
    Q_INVOKABLE void setSelectGun(QVariant index, QVariant xyData) { ControllerCore::setSelectGun(index.toString(), plainSceneValue(xyData)); }
    Q_INVOKABLE void setCurrentProfile(int profile) { ControllerCore::setCurrentProfile(profile); }
    Q_INVOKABLE void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4) { ControllerCore::mouseSetKeyboardoption(byte1, byte2, byte3, byte4); }
    Q_INVOKABLE void mouseSetReportRate(uchar rate, uchar en) { ControllerCore::mouseSetReportRate(rate, en); }
    Q_INVOKABLE void mouseSetCurrentDPI(uchar currentDPI) { ControllerCore::mouseSetCurrentDPI(currentDPI); }
    Q_INVOKABLE void mouseResetKeyMatrix() { ControllerCore::mouseResetKeyMatrix(); }
    Q_INVOKABLE QVariant mouseGetCurrentDPI() { return ControllerCore::mouseGetCurrentDPI(); }
    Q_INVOKABLE void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam) { ControllerCore::mouseSetKeyMatrix(plainSceneList(src64), isSendData, plainSceneList(otherParam)); }
    Q_INVOKABLE void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray) { ControllerCore::mouseSetDpi(dpiCount, sensorType, plainSceneList(dpiValueArray)); }
    Q_INVOKABLE void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2) { ControllerCore::mouseSetRGBEffect(effect, option1, option2); }
    Q_INVOKABLE void mouseSetRGBColor(uchar type, QVariantList src24) { ControllerCore::mouseSetRGBColor(type, plainSceneList(src24)); }
    Q_INVOKABLE void mouseSetProfile(uint profileNo) { ControllerCore::mouseSetProfile(profileNo); }
    Q_INVOKABLE void mouseReadProfile(uint profileNo) { ControllerCore::mouseReadProfile(profileNo); }
    Q_INVOKABLE QVariant mouseReadCurrentProfile() { return ControllerCore::mouseReadCurrentProfile(); }
    Q_INVOKABLE void mouseSwitchKeyMatrix(int indexNo) { ControllerCore::mouseSwitchKeyMatrix(indexNo); }
    Q_INVOKABLE QVariantList GetKeyboardoption() { return ControllerCore::GetKeyboardoption(); }
    Q_INVOKABLE void mouseSetCursorSpeed(uint cursorSpeed) { ControllerCore::mouseSetCursorSpeed(cursorSpeed); }
    Q_INVOKABLE void mouseSetVerticalScrollLines(uint lines) { ControllerCore::mouseSetVerticalScrollLines(lines); }
    Q_INVOKABLE void mouseSetDoubleClickSpeed(uint speed) { ControllerCore::mouseSetDoubleClickSpeed(speed); }
    Q_INVOKABLE QVariantList mouseGetKeydefine(QVariant index, bool);
    Q_INVOKABLE void openUpdateExe() {}
    Q_INVOKABLE QVariant getData(QVariant key, bool isRecovery) { return ControllerCore::getData(key.toString(), isRecovery); }
    Q_INVOKABLE QVariant getGlobalData(QVariant key) { return ControllerCore::getGlobalData(key.toString()); }
    Q_INVOKABLE QVariantList getDataList(QVariant key, bool isRecovery) { return ControllerCore::getDataList(key.toString(), isRecovery); }
    Q_INVOKABLE void setData(QVariant key, QVariant data) { ControllerCore::setData(key.toString(), plainSceneValue(data)); }
    Q_INVOKABLE void setGlobalData(QVariant key, QVariant tmpdata) { ControllerCore::setGlobalData(key.toString(), plainSceneValue(tmpdata)); }
    Q_INVOKABLE void setDataList(QVariant key, QVariantList datalist) { ControllerCore::setDataList(key.toString(), plainSceneList(datalist)); }
    Q_INVOKABLE void setBusy(int busyTime);
    Q_INVOKABLE void setCurrentDPI(int dpiValue);

    // Beyond the scene contract's operations (their order above is kept):
    // the base names of the language files, for the scene's language menu.
    Q_INVOKABLE QStringList getLanguageList() { return ControllerCore::getLanguageList(); }
    // Around the scene's flows (save, profile switch, factory reset): each
    // hid560 profile image goes to the mouse once per flow.
    Q_INVOKABLE void mouseBeginFlow() { ControllerCore::mouseBeginFlow(); }
    Q_INVOKABLE void mouseEndFlow() { ControllerCore::mouseEndFlow(); }
    // Whether the desktop has a pointer setting ("cursorSpeed",
    // "doubleClickSpeed", "verticalScrollLines"), for the system dialog.
    Q_INVOKABLE bool pointerSettingAvailable(const QString &setting) const
    {
        return ControllerCore::pointerSettingAvailable(setting);
    }
    // Writes the edits held for the files now: false when they did not
    // reach the disk (the scene tells the user).
    Q_INVOKABLE bool flushSettings() { return ControllerCore::flushSettings(); }

signals:
    void inputEnabledChanged();
    // A file the user chose was written or read: "exportProfile",
    // "importProfile", "exportMacro" or "importMacro", the profile number or
    // macro name, whether it worked, and the file.
    void fileDone(const QString &operation, const QVariant &subject, bool ok, const QString &path);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Calls a function of the scene's root item (no-op without a scene).
    void callScene(const char *function, Qt::ConnectionType type,
                   const QVariantList &args = {});

    std::unique_ptr<FileDialogs> fileDialogs;
};
