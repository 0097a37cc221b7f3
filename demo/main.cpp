// r770-demo: the program as it ships, with a virtual R770 plugged in
// instead of a real mouse, and a control window for the virtual mouse.
#include "app.h"
#include "democontrolwindow.h"
#include "virtualdevicechange.h"
#include "widget.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char **argv)
{
    return runApplication(argc, argv, [](Widget &window) {
        vr770::VirtualR770 mouse = vr770::addMouse();
        window.setDeviceChangeSource(std::make_unique<VirtualDeviceChangeSource>());
        auto *control = new DemoControlWindow(mouse);
        // Where the desktop has no tray, this stands in for a double-click
        // on the tray icon: it restores the window while a mouse is accepted.
        control->setRestoreAction([&window] { window.receiveMessage(QString()); });
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, control, [control] { delete control; });
        control->show();
        // Beside the program's window, at the right edge of the screen.
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            control->move(area.right() - control->frameGeometry().width() - 20, area.top() + 40);
        }
    });
}
