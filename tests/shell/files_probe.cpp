// The real program with a virtual R770 plugged in, so that discovery accepts
// it wherever the device table still names it and the scene starts, for the
// test of damaged runtime files. It prints "running" once its event loop
// runs and, for each message of a second start, whether the mouse was
// accepted. It ends like the program on a termination signal.
#include "app.h"
#include "singleinstance.h"
#include "virtual_r770.h"
#include "widget.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

static void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

int main(int argc, char **argv)
{
    return runApplication(argc, argv, [](Widget &window) {
        vr770::addMouse();
        if (auto *app = qobject_cast<SingleInstanceApp *>(QCoreApplication::instance()))
            QObject::connect(app, &SingleInstanceApp::messageReceived, &window,
                             [] { say(deviceConnected ? "message, mouse accepted" : "message, no mouse"); });
        QTimer::singleShot(0, &window, [] { say("running"); });
    });
}
