#include "devicechangesource.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <windows.h>

namespace {

// WM_DEVICECHANGE reaches every top-level window; any of them will do.
class WindowsDeviceChangeSource : public DeviceChangeSource, public QAbstractNativeEventFilter
{
public:
    WindowsDeviceChangeSource() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~WindowsDeviceChangeSource() override
    {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        if (static_cast<MSG *>(message)->message == WM_DEVICECHANGE)
            emit deviceChanged();
        return false;
    }
};

} // namespace

std::unique_ptr<DeviceChangeSource> createDeviceChangeSource()
{
    return std::make_unique<WindowsDeviceChangeSource>();
}
