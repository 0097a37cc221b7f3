#include "coreview.h"

#include "controllercore.h"

#include <QJSValue>

namespace {

// A value from a flow as plain Qt values: numbers, texts, lists.
QVariant plain(const QVariant &value)
{
    if (value.metaType().id() == qMetaTypeId<QJSValue>())
        return plain(value.value<QJSValue>().toVariant());
    if (value.metaType().id() == QMetaType::QVariantList) {
        QVariantList list;
        for (const QVariant &element : value.toList())
            list << plain(element);
        return list;
    }
    return value;
}

QVariantList plainList(const QVariantList &list)
{
    return plain(QVariant(list)).toList();
}

} // namespace

QVariant CoreView::getData(const QVariant &key, bool isRecovery)
{
    return core.getData(key.toString(), isRecovery);
}

QVariant CoreView::getGlobalData(const QVariant &key)
{
    return core.getGlobalData(key.toString());
}

QVariantList CoreView::getDataList(const QVariant &key, bool isRecovery)
{
    return core.getDataList(key.toString(), isRecovery);
}

void CoreView::setData(const QVariant &key, const QVariant &data)
{
    core.setData(key.toString(), plain(data));
}

void CoreView::setDataList(const QVariant &key, const QVariantList &list)
{
    core.setDataList(key.toString(), plainList(list));
}

void CoreView::setGlobalData(const QVariant &key, const QVariant &data)
{
    core.setGlobalData(key.toString(), plain(data));
}

void CoreView::setCurrentProfile(int profile)
{
    core.setCurrentProfile(profile);
}

QVariantList CoreView::getGunData(const QVariant &index)
{
    return core.getGunData(index.toString());
}

QVariantList CoreView::mouseGetKeydefine(const QVariant &index, bool isRecovery)
{
    return core.mouseGetKeydefine(index.toString(), isRecovery);
}

QStringList CoreView::loadMacroIni(const QString &name)
{
    return core.loadMacroIni(name);
}

bool CoreView::mouseSetKeyMatrix(const QVariantList &src64, bool isSendData, const QVariantList &periods)
{
    return core.mouseSetKeyMatrix(plainList(src64), isSendData, plainList(periods));
}

bool CoreView::mouseSendMacroData(const QVariantList &bytes, uint slot)
{
    return core.mouseSendMacroData(plainList(bytes), slot);
}

bool CoreView::mouseSetReportRate(int rate, int enabled)
{
    return core.mouseSetReportRate(uchar(rate), uchar(enabled));
}

bool CoreView::mouseSetDpi(int count, const QString &sensorType, const QVariantList &values)
{
    return core.mouseSetDpi(count, sensorType, plainList(values));
}

bool CoreView::mouseSetRGBEffect(int effect, int option1, int option2)
{
    return core.mouseSetRGBEffect(uchar(effect), uchar(option1), uchar(option2));
}

bool CoreView::mouseSetRGBColor(int type, const QVariantList &colours)
{
    return core.mouseSetRGBColor(uchar(type), plainList(colours));
}

void CoreView::mouseSetCursorSpeed(uint speed)
{
    core.mouseSetCursorSpeed(speed);
}

void CoreView::mouseSetDoubleClickSpeed(uint speed)
{
    core.mouseSetDoubleClickSpeed(speed);
}

void CoreView::mouseSetVerticalScrollLines(uint lines)
{
    core.mouseSetVerticalScrollLines(lines);
}
