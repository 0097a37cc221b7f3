#include "xwatch.h"

#include "procfs.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <poll.h>

XWatch::XWatch()
{
    display = XOpenDisplay(nullptr);
    if (!display)
        return;
    int event = 0, error = 0, major = 2, minor = 0;
    if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &error)
        || XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        display = nullptr;
        return;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(display, root, &mask, 1);
    pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    XSync(display, False);
}

XWatch::~XWatch()
{
    if (display)
        XCloseDisplay(display);
}

void XWatch::clear()
{
    XSync(display, False);
    while (XPending(display)) {
        XEvent e;
        XNextEvent(display, &e);
    }
}

bool XWatch::nextEvent(std::int64_t deadlineNs)
{
    while (!XPending(display)) {
        const std::int64_t left = deadlineNs - procfs::nowNs();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, int(left / 1000000) + 1);
    }
    XEvent e;
    XNextEvent(display, &e);
    arrivedNs = procfs::nowNs();
    kind = Kind::Other;
    if (e.type == MapNotify && !e.xmap.override_redirect) {
        kind = Kind::Map;
        mappedWindow = e.xmap.window;
    } else if (e.type == GenericEvent && e.xcookie.extension == xiOpcode
               && e.xcookie.evtype == XI_RawKeyPress) {
        kind = Kind::RawKeyPress;
    }
    return true;
}

std::int64_t XWatch::windowPid(unsigned long window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::int64_t pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success
        && data && count == 1 && format == 32)
        pid = std::int64_t(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

std::int64_t XWatch::waitForMap(std::int64_t pid, int timeoutMs)
{
    const std::int64_t deadline = procfs::nowNs() + std::int64_t(timeoutMs) * 1000000;
    while (nextEvent(deadline)) {
        if (kind == Kind::Map && windowPid(mappedWindow) == pid)
            return arrivedNs;
    }
    return -1;
}

std::vector<std::int64_t> XWatch::rawKeyPresses(int count, int timeoutMs)
{
    std::vector<std::int64_t> times;
    const std::int64_t deadline = procfs::nowNs() + std::int64_t(timeoutMs) * 1000000;
    while (int(times.size()) < count && nextEvent(deadline)) {
        if (kind == Kind::RawKeyPress)
            times.push_back(arrivedNs);
    }
    return times;
}
