#include "virtualdevicechange.h"

#include "virtual_r770.h"

#include <QMetaObject>
#include <QPointer>

VirtualDeviceChangeSource::VirtualDeviceChangeSource()
{
    // plug()/unplug() may run on any thread: hand the notice to ours.
    QPointer<VirtualDeviceChangeSource> self(this);
    vr770::setHotplugListener([self] {
        if (self)
            QMetaObject::invokeMethod(self.data(), &DeviceChangeSource::deviceChanged,
                                      Qt::QueuedConnection);
    });
}

VirtualDeviceChangeSource::~VirtualDeviceChangeSource()
{
    vr770::setHotplugListener({});
}
