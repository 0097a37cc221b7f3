#pragma once

#include <QObject>
#include <memory>

// Tells the host window that a HID device was attached or removed (the
// device-change notice that starts the discovery timer). One implementation
// per platform, from createDeviceChangeSource(); tests and the demo plug in
// a source driven by the virtual mouse.
class DeviceChangeSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void deviceChanged();
};

// The platform's source; never null (a source that cannot watch simply
// never signals).
std::unique_ptr<DeviceChangeSource> createDeviceChangeSource();
