// The window in front on X11: the window manager's _NET_ACTIVE_WINDOW on the
// root window, watched through PropertyNotify on a connection of our own.
// The program behind a window comes from _NET_WM_PID, or, for clients that
// do not set it, from the X server itself (X-Resource extension).

#include "activewindow.h"

#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

namespace {

bool isWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

// The executable's name of process `pid`, or its command name.
QString programOf(long pid)
{
    if (pid <= 0)
        return QString();
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    const QString exe = QFileInfo(proc + QStringLiteral("exe")).symLinkTarget();
    if (!exe.isEmpty())
        return QFileInfo(exe).fileName().remove(QStringLiteral(" (deleted)"));
    QFile comm(proc + QStringLiteral("comm"));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromUtf8(comm.read(64)).trimmed();
    return QString();
}

class X11ActiveWindow : public ActiveWindowSource
{
public:
    X11ActiveWindow()
    {
        // A connection of our own: on a Wayland session it reaches XWayland,
        // whatever platform Qt itself uses.
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        display = XOpenDisplay(nullptr);
        if (!display)
            return;
        root = DefaultRootWindow(display);
        netActiveWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        netClientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
        netWmPid = XInternAtom(display, "_NET_WM_PID", False);
        netWmName = XInternAtom(display, "_NET_WM_NAME", False);
        utf8String = XInternAtom(display, "UTF8_STRING", False);
        int eventBase = 0, errorBase = 0;
        hasXRes = XResQueryExtension(display, &eventBase, &errorBase);
        XSelectInput(display, root, PropertyChangeMask);
        XFlush(display);
        notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, this, [this] { drain(); });
    }

    ~X11ActiveWindow() override
    {
        notifier.reset();
        if (display)
            XCloseDisplay(display);
    }

    Reach reach() const override
    {
        if (!display)
            return Reach::Nothing;
        return isWaylandSession() ? Reach::X11Only : Reach::All;
    }

    std::optional<autoprofiles::Window> active() override
    {
        if (!display)
            return std::nullopt;
        const std::vector<unsigned long> ids = windowProperty(root, netActiveWindow, XA_WINDOW);
        if (ids.empty() || ids[0] == None)
            return std::nullopt;
        const std::optional<autoprofiles::Window> window = describe(Window(ids[0]));
        drainLater();
        return window;
    }

    QList<autoprofiles::Window> openWindows() override
    {
        QList<autoprofiles::Window> found;
        if (!display)
            return found;
        for (unsigned long id : windowProperty(root, netClientList, XA_WINDOW)) {
            const std::optional<autoprofiles::Window> window = describe(Window(id));
            if (!window)
                continue;
            bool known = false;
            for (const autoprofiles::Window &other : found)
                known = known || (other.program == window->program && other.wmClass == window->wmClass);
            if (!known)
                found.append(*window);
        }
        drainLater();
        return found;
    }

private:
    // Reads every event queued; a change of the active window is reported
    // once per batch. Reading the window's properties makes round trips
    // that can take further events off the socket into Xlib's queue, where
    // the socket notifier never sees them: the queue is read again after.
    void drain()
    {
        for (;;) {
            bool changed = false;
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == PropertyNotify && event.xproperty.atom == netActiveWindow)
                    changed = true;
            }
            if (!changed)
                return;
            emit activeWindowChanged();
        }
    }

    // After round trips made outside drain(): events they queued are read.
    void drainLater()
    {
        if (XQLength(display) > 0)
            QMetaObject::invokeMethod(this, [this] { drain(); }, Qt::QueuedConnection);
    }

    static int ignoreErrors(Display *, XErrorEvent *) { return 0; }

    // A property of 32-bit items (windows, cardinals); empty when missing.
    std::vector<unsigned long> windowProperty(Window window, Atom property, Atom type)
    {
        std::vector<unsigned long> values;
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &count,
                               &after, &data) == Success && data && format == 32) {
            const auto *items = reinterpret_cast<const unsigned long *>(data);
            values.assign(items, items + count);
        }
        if (data)
            XFree(data);
        return values;
    }

    QString textProperty(Window window, Atom property)
    {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        QString text;
        if (XGetWindowProperty(display, window, property, 0, 1024, False, utf8String, &actualType, &format,
                               &count, &after, &data) == Success && data && format == 8)
            text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(count));
        if (data)
            XFree(data);
        return text;
    }

    // The process of the client that made `window`, asked of the X server.
    long clientPid(Window window)
    {
        if (!hasXRes)
            return 0;
        XResClientIdSpec wanted{window, XRES_CLIENT_ID_PID_MASK};
        long count = 0;
        XResClientIdValue *ids = nullptr;
        long pid = 0;
        if (XResQueryClientIds(display, 1, &wanted, &count, &ids) == Success) {
            for (long i = 0; i < count && pid <= 0; ++i)
                if (XResGetClientPid(&ids[i]) > 0)
                    pid = XResGetClientPid(&ids[i]);
            XResClientIdsDestroy(count, ids);
        }
        return pid;
    }

    std::optional<autoprofiles::Window> describe(Window window)
    {
        // The window may be gone by the time we ask: its errors are ignored.
        XSync(display, False);
        auto *previous = XSetErrorHandler(ignoreErrors);
        autoprofiles::Window info;
        XClassHint hint{nullptr, nullptr};
        const bool hasClass = XGetClassHint(display, window, &hint);
        if (hasClass) {
            info.instance = QString::fromLocal8Bit(hint.res_name);
            info.wmClass = QString::fromLocal8Bit(hint.res_class);
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        const std::vector<unsigned long> pid = windowProperty(window, netWmPid, XA_CARDINAL);
        info.pid = !pid.empty() ? long(pid[0]) : clientPid(window);
        info.program = programOf(long(info.pid));
        info.title = textProperty(window, netWmName);
        if (info.title.isEmpty()) {
            char *name = nullptr;
            if (XFetchName(display, window, &name) && name) {
                info.title = QString::fromLocal8Bit(name);
                XFree(name);
            }
        }
        XSync(display, False);
        XSetErrorHandler(previous);
        if (!hasClass && info.program.isEmpty())
            return std::nullopt;
        return info;
    }

    Display *display = nullptr;
    Window root = None;
    Atom netActiveWindow = None, netClientList = None, netWmPid = None, netWmName = None, utf8String = None;
    bool hasXRes = false;
    std::unique_ptr<QSocketNotifier> notifier;
};

} // namespace

std::unique_ptr<ActiveWindowSource> createActiveWindowSource()
{
    return std::make_unique<X11ActiveWindow>();
}
