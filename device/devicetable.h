#pragma once

#include "deviceentry.h"

#include <QList>

class QSettings;

// The device table of apConfig.bin: groups [0] .. [deviceCount - 1].
QList<DeviceEntry> readDeviceTable(const QSettings &config);

// Fills each entry's command and notification paths from the HID
// interfaces present now; the last matching interface wins.
void findDeviceInterfaces(QList<DeviceEntry> &entries);
