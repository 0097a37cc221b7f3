#pragma once

#include "devicechangesource.h"

// Device-change notices raised by plugging and unplugging virtual mice, the
// way the udev monitor raises them for real hidraw nodes. Only one such
// source listens at a time (the bus has one hot-plug listener).
class VirtualDeviceChangeSource : public DeviceChangeSource
{
public:
    VirtualDeviceChangeSource();
    ~VirtualDeviceChangeSource() override;
};
