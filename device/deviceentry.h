#pragma once

#include <QString>
#include <QtGlobal>

// One device group of apConfig.bin in memory, with the two hidapi paths
// discovery found for it.
struct DeviceEntry
{
    int type = -1;
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    quint16 usagePage2 = 0;
    quint16 usage2 = 0;
    int reportLength = 32;
    bool isEncode = false;
    QString sCode = QStringLiteral("739158");
    QString commandPath;
    QString notifyPath;
};
