#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class ControllerCore;

// The controller's operations under the names the scene calls on "ui_View",
// for the page flows of flows.mjs run by r770ctl: the flows store and send
// through the core exactly as the window's pages do. The sending operations
// return whether every exchange completed, which the flows pass on.
class CoreView : public QObject
{
    Q_OBJECT
public:
    explicit CoreView(ControllerCore &core) : core(core) {}

    Q_INVOKABLE QVariant getData(const QVariant &key, bool isRecovery);
    Q_INVOKABLE QVariant getGlobalData(const QVariant &key);
    Q_INVOKABLE QVariantList getDataList(const QVariant &key, bool isRecovery);
    Q_INVOKABLE void setData(const QVariant &key, const QVariant &data);
    Q_INVOKABLE void setDataList(const QVariant &key, const QVariantList &list);
    Q_INVOKABLE void setGlobalData(const QVariant &key, const QVariant &data);
    Q_INVOKABLE void setCurrentProfile(int profile);
    Q_INVOKABLE QVariantList getGunData(const QVariant &index);
    Q_INVOKABLE QVariantList mouseGetKeydefine(const QVariant &index, bool isRecovery);
    Q_INVOKABLE QStringList loadMacroIni(const QString &name);
    Q_INVOKABLE bool mouseSetKeyMatrix(const QVariantList &src64, bool isSendData, const QVariantList &periods);
    Q_INVOKABLE bool mouseSendMacroData(const QVariantList &bytes, uint slot);
    Q_INVOKABLE bool mouseSetReportRate(int rate, int enabled);
    Q_INVOKABLE bool mouseSetDpi(int count, const QString &sensorType, const QVariantList &values);
    Q_INVOKABLE bool mouseSetRGBEffect(int effect, int option1, int option2);
    Q_INVOKABLE bool mouseSetRGBColor(int type, const QVariantList &colours);
    Q_INVOKABLE void mouseSetCursorSpeed(uint speed);
    Q_INVOKABLE void mouseSetDoubleClickSpeed(uint speed);
    Q_INVOKABLE void mouseSetVerticalScrollLines(uint lines);

private:
    ControllerCore &core;
};
