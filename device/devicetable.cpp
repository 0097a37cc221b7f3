#include "devicetable.h"

#include "debugline.h"

#include <QSettings>
#include <hidapi.h>

namespace {

// Groups read at most. A real table has a few; the count comes from a file,
// and discovery runs on the GUI thread.
constexpr int MaxDeviceGroups = 256;

// Hex text to a 16-bit value: text that does not convert gives 0, wider
// values keep their low 16 bits.
quint16 hexValue(const QSettings &config, const QString &key)
{
    bool ok = false;
    const qulonglong value = config.value(key, 0).toString().toULongLong(&ok, 16);
    return ok ? quint16(value & 0xFFFF) : 0;
}

int decimalValue(const QSettings &config, const QString &key, int fallback)
{
    bool ok = false;
    const int value = config.value(key, fallback).toString().toInt(&ok, 10);
    return ok ? value : 0;
}

// The device kind, hex text with -1 when absent.
int typeValue(const QSettings &config, const QString &key)
{
    bool ok = false;
    const qlonglong value = config.value(key, -1).toString().toLongLong(&ok, 16);
    return ok ? int(value) : 0;
}

} // namespace

QList<DeviceEntry> readDeviceTable(const QSettings &config)
{
    QList<DeviceEntry> entries;
    const QString countKey = QStringLiteral("common/deviceCount");
    for (int i = 0; i < decimalValue(config, countKey, 0); ++i) {
        if (i == MaxDeviceGroups) {
            debugLine("deviceCount capped at", MaxDeviceGroups);
            break;
        }
        const QString group = QString::number(i) + QLatin1Char('/');
        DeviceEntry entry;
        entry.type = typeValue(config, group + QStringLiteral("type"));
        entry.vid = hexValue(config, group + QStringLiteral("vid"));
        entry.pid = hexValue(config, group + QStringLiteral("pid"));
        entry.usagePage = hexValue(config, group + QStringLiteral("usagePage"));
        entry.usage = hexValue(config, group + QStringLiteral("usage"));
        entry.usagePage2 = hexValue(config, group + QStringLiteral("usagePage2"));
        entry.usage2 = hexValue(config, group + QStringLiteral("usage2"));
        entry.reportLength = decimalValue(config, group + QStringLiteral("reportLength"), 32);
        entry.isEncode = config.value(group + QStringLiteral("isEncode"), false).toBool();
        entry.sCode = config.value(group + QStringLiteral("sCode"), entry.sCode).toString();
        entries.append(entry);
    }
    return entries;
}

void findDeviceInterfaces(QList<DeviceEntry> &entries)
{
    for (DeviceEntry &entry : entries) {
        entry.commandPath.clear();
        entry.notifyPath.clear();
        hid_device_info *chain = hid_enumerate(entry.vid, entry.pid);
        for (hid_device_info *info = chain; info; info = info->next) {
            const QString path = QString::fromLocal8Bit(info->path);
            if (info->usage_page == entry.usagePage && info->usage == entry.usage)
                entry.commandPath = path;
            if (info->usage_page == entry.usagePage2 && info->usage == entry.usage2)
                entry.notifyPath = path;
        }
        hid_free_enumeration(chain);
    }
}
