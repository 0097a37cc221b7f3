// System-wide key and button events on X11: XInput2 raw events selected on
// the root window of a connection of our own. Raw events are only observed;
// nothing is grabbed and every event still reaches its window.

#include "evdevscancodes.h"
#include "hooklogic.h"
#include "inputhook.h"
#include "platformhooks.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace {

constexpr unsigned scanAlt = 0x38;
// Raw button numbers of X.
constexpr int xButtonLeft = 1;
constexpr int xButtonMiddle = 2;
constexpr int xButtonRight = 3;

// The Windows mouse message for a raw X button change, 0 for other buttons.
unsigned mouseMessageFor(int button, bool isDown)
{
    using namespace hooklogic;
    switch (button) {
    case xButtonLeft: return isDown ? WmLButtonDown : WmLButtonUp;
    case xButtonMiddle: return isDown ? WmMButtonDown : WmMButtonUp;
    case xButtonRight: return isDown ? WmRButtonDown : WmRButtonUp;
    default: return 0;
    }
}

class X11HookBackend : public HookBackend
{
public:
    explicit X11HookBackend(InputHook &owner) : hook(owner) {}
    ~X11HookBackend() override { remove(); }

    bool install() override
    {
        remove();
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())
            || QGuiApplication::platformName() != QLatin1String("xcb"))
            return false;
        display = XOpenDisplay(nullptr);
        if (!display)
            return false;
        if (!selectRawEvents()) {
            remove();
            return false;
        }
        notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(display),
                                                     QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                         [this] { drain(); });
        drain();
        return true;
    }

    void remove() override
    {
        notifier.reset();
        if (display) {
            XCloseDisplay(display);
            display = nullptr;
        }
        leftAltDown = rightAltDown = false;
    }

    // It installs only where Qt's windows are clients of the X server it
    // listens to (the xcb platform, under Xwayland too), so the program's own
    // windows are covered whenever it runs.
    bool coversOwnWindows() const override { return display != nullptr; }

private:
    bool selectRawEvents()
    {
        int event = 0, error = 0;
        if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &error))
            return false;
        // 2.1 and later deliver raw events also while another client grabs.
        int major = 2, minor = 2;
        if (XIQueryVersion(display, &major, &minor) != Success || major < 2)
            return false;
        unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(mask, XI_RawKeyPress);
        XISetMask(mask, XI_RawKeyRelease);
        XISetMask(mask, XI_RawButtonPress);
        XISetMask(mask, XI_RawButtonRelease);
        XIEventMask eventMask;
        eventMask.deviceid = XIAllMasterDevices;
        eventMask.mask_len = sizeof(mask);
        eventMask.mask = mask;
        if (XISelectEvents(display, DefaultRootWindow(display), &eventMask, 1) != Success)
            return false;
        XSync(display, False);
        return true;
    }

    void drain()
    {
        while (display && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            XGenericEventCookie *cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != xiOpcode
                || !XGetEventData(display, cookie))
                continue;
            const auto *raw = static_cast<const XIRawEvent *>(cookie->data);
            switch (cookie->evtype) {
            case XI_RawKeyPress: keyChanged(raw->detail, true); break;
            case XI_RawKeyRelease: keyChanged(raw->detail, false); break;
            case XI_RawButtonPress: buttonChanged(raw->detail, true); break;
            case XI_RawButtonRelease: buttonChanged(raw->detail, false); break;
            default: break;
            }
            XFreeEventData(display, cookie);
        }
    }

    void keyChanged(int xKeycode, bool isDown)
    {
        const evdevscan::ScanCode key = evdevscan::fromXKeycode(unsigned(xKeycode));
        if (key.scan == scanAlt)
            (key.extended ? rightAltDown : leftAltDown) = isDown;
        hook.handleKeyboard(key.scan, key.extended, leftAltDown || rightAltDown, isDown);
    }

    void buttonChanged(int button, bool isDown)
    {
        const unsigned message = mouseMessageFor(button, isDown);
        if (message == 0)
            return;
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
        unsigned int buttons = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY,
                      &windowX, &windowY, &buttons);
        hook.handleMouse(message, rootX, rootY);
    }

    InputHook &hook;
    Display *display = nullptr;
    int xiOpcode = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    bool leftAltDown = false;
    bool rightAltDown = false;
};

} // namespace

std::unique_ptr<HookBackend> createHookBackend(InputHook &hook)
{
    return std::make_unique<X11HookBackend>(hook);
}

// Qt gives the X keycode, the evdev code + 8, on X11 and Wayland alike.
WindowKey windowKeyScanCode(quint32 nativeScanCode)
{
    const evdevscan::ScanCode key = evdevscan::fromXKeycode(nativeScanCode);
    return {key.scan, key.extended};
}
