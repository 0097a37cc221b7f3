#pragma once

#include <QList>
#include <QQuickWidget>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

#include "commandset.h"
#include "keymatrix.h"

class Hid_Thread;
class QSettings;
class FileDialogs;
class PointerSettings;

// The controller the scene reaches as "ui_View". Its invokable operations
// convert scene values and delegate: to the device link for the mouse, to
// the persistence functions for the settings files.
// The order of the Q_INVOKABLE declarations is part of the scene contract.
class myQQuickView : public QQuickWidget
{
    Q_OBJECT
    // Whether the view takes input; the scene shows a disabled look while
    // the program keeps it disabled (no mouse accepted).
    Q_PROPERTY(bool inputEnabled READ isEnabled NOTIFY inputEnabledChanged)

public:
    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

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

    // Seams for tests: the file dialogs and the system pointer settings.
    void setFileDialogs(std::unique_ptr<FileDialogs> dialogs);
    void setPointerSettings(std::unique_ptr<PointerSettings> settings);

    // Notifications of the input hooks: queued scene calls.
    void keyboardNotify(bool isDown, unsigned char usbCode);
    void mouseNotify(bool isDown, unsigned buttonCode, unsigned x, unsigned y);

    Q_INVOKABLE void clearHidBusy();
    Q_INVOKABLE void initUI();
    Q_INVOKABLE void runUI();
    Q_INVOKABLE void resetApconfig();
    Q_INVOKABLE bool loadMacroFile(QVariant macroFileName);
    Q_INVOKABLE void saveMacroFile(QVariant macroFileName);
    Q_INVOKABLE bool loadProfile(int profile);
    Q_INVOKABLE void saveProfile(int profile);
    Q_INVOKABLE void resetProfile(int profile);
    Q_INVOKABLE void copyProfile(int destprofile, int srcprofile);
    Q_INVOKABLE QStringList getLangStrings(QString typeStr, QString langCode);
    Q_INVOKABLE QVariant createMacroIni(QVariant name, QVariant macroIndex);
    Q_INVOKABLE QVariant updataNameList(QVariant type, QStringList nameList);
    Q_INVOKABLE QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname);
    Q_INVOKABLE void deleteMacroUpdateProfile(QVariant macroName);
    Q_INVOKABLE QVariant deleteMacroIni(QVariant name);
    Q_INVOKABLE QVariantList getNameList(QVariant type);
    Q_INVOKABLE QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat);
    Q_INVOKABLE QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex);
    Q_INVOKABLE QStringList loadMacroIni(QVariant name);
    Q_INVOKABLE void mouseSaveGundata(QVariant index, QVariantList src6);
    Q_INVOKABLE void mouseSendGundata(int, QVariantList);
    Q_INVOKABLE void modifyGundata(QVariant modifyType, QVariantList src6);
    Q_INVOKABLE QVariantList getGunData(QVariant name);
    Q_INVOKABLE QStringList getGunDataKey();
    Q_INVOKABLE QVariant getXYSensitive(QVariant index);
    Q_INVOKABLE QVariant getselectGun(QVariant index);
    Q_INVOKABLE void setXYSensitive(QVariant index, QVariant xyData);
    Q_INVOKABLE void setSelectGun(QVariant index, QVariant xyData);
    Q_INVOKABLE void setCurrentProfile(int profile);
    Q_INVOKABLE void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    Q_INVOKABLE void mouseSetReportRate(uchar rate, uchar en);
    Q_INVOKABLE void mouseSetCurrentDPI(uchar currentDPI);
    Q_INVOKABLE void mouseResetKeyMatrix();
    Q_INVOKABLE QVariant mouseGetCurrentDPI();
    Q_INVOKABLE void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam);
    Q_INVOKABLE void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray);
    Q_INVOKABLE void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    Q_INVOKABLE void mouseSetRGBColor(uchar type, QVariantList src24);
    Q_INVOKABLE void mouseSetProfile(uint profileNo);
    Q_INVOKABLE void mouseReadProfile(uint profileNo);
    Q_INVOKABLE QVariant mouseReadCurrentProfile();
    Q_INVOKABLE void mouseSwitchKeyMatrix(int indexNo);
    Q_INVOKABLE QVariantList GetKeyboardoption();
    Q_INVOKABLE void mouseSetCursorSpeed(uint cursorSpeed);
    Q_INVOKABLE void mouseSetVerticalScrollLines(uint lines);
    Q_INVOKABLE void mouseSetDoubleClickSpeed(uint speed);
    Q_INVOKABLE QVariantList mouseGetKeydefine(QVariant index, bool);
    Q_INVOKABLE void openUpdateExe();
    Q_INVOKABLE QVariant getData(QVariant key, bool isRecovery);
    Q_INVOKABLE QVariant getGlobalData(QVariant key);
    Q_INVOKABLE QVariantList getDataList(QVariant key, bool isRecovery);
    Q_INVOKABLE void setData(QVariant key, QVariant data);
    Q_INVOKABLE void setGlobalData(QVariant key, QVariant tmpdata);
    Q_INVOKABLE void setDataList(QVariant key, QVariantList datalist);
    Q_INVOKABLE void setBusy(int busyTime);
    Q_INVOKABLE void setCurrentDPI(int dpiValue);

    // Beyond the scene contract's operations (their order above is kept):
    // the base names of the language files, for the scene's language menu.
    Q_INVOKABLE QStringList getLanguageList();

signals:
    void inputEnabledChanged();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Calls a function of the scene's root item (no-op without a scene).
    void callScene(const char *function, Qt::ConnectionType type,
                   const QVariantList &args = {});
    // The settings object of the profile being edited.
    QSettings *currentProfileSettings() const;

    // The command set chosen by icType, on every call.
    CommandSet commandSet() const;
    // Sends the named profile image blocks as the device profiles of the
    // same numbers, in order.
    void sendProfileBlocks(const std::vector<int> &blocks);
    // The key-matrix command of the selected set.
    void sendKeyMatrix(uchar *matrix, uchar index);
    // The current profile's firmware default matrix, zero where missing.
    keymatrix::Matrix firmwareMatrix() const;

    std::unique_ptr<FileDialogs> fileDialogs;
    std::unique_ptr<PointerSettings> pointerSettings;
};
