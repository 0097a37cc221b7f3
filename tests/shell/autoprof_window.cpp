// A small X client for the automatic-profile tests: one window with the
// WM_CLASS given (instance, class), with or without _NET_WM_PID. Prints its
// window id, then serves events until killed.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const bool withPid = !(argc > 3 && std::strcmp(argv[3], "--no-pid") == 0);
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
    XClassHint hint{argv[1], argv[2]};
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, argv[1]);
    if (withPid) {
        const long pid = getpid();
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char *>(&pid), 1);
    }
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}
