#include "devicechangesource.h"

#include "debugline.h"

#include <QSocketNotifier>
#include <libudev.h>

namespace {

// Watches udev for hidraw nodes coming and going.
class UdevDeviceChangeSource : public DeviceChangeSource
{
public:
    UdevDeviceChangeSource()
    {
        context = udev_new();
        if (!context)
            return;
        monitor = udev_monitor_new_from_netlink(context, "udev");
        if (!monitor)
            return;
        if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0
            || udev_monitor_enable_receiving(monitor) < 0) {
            debugLine("udev monitor unavailable");
            return;
        }
        notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { drain(); });
    }

    ~UdevDeviceChangeSource() override
    {
        delete notifier;
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }

private:
    void drain()
    {
        bool changed = false;
        while (udev_device *device = udev_monitor_receive_device(monitor)) {
            const char *action = udev_device_get_action(device);
            if (action && (qstrcmp(action, "add") == 0 || qstrcmp(action, "remove") == 0))
                changed = true;
            udev_device_unref(device);
        }
        if (changed)
            emit deviceChanged();
    }

    struct udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
};

} // namespace

std::unique_ptr<DeviceChangeSource> createDeviceChangeSource()
{
    return std::make_unique<UdevDeviceChangeSource>();
}
