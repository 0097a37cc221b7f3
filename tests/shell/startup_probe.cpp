// The real start-up sequence, which prints where it found its files and then
// leaves through the tray menu's quit entry.
#include "app.h"
#include "widget.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    return runApplication(argc, argv, [](Widget &window) {
        std::printf("cwd:%s\ntitle:%s\n", qPrintable(QDir::currentPath()),
                    qPrintable(window.windowTitle()));
        std::fflush(stdout);
        QTimer::singleShot(0, &window, [&window] {
            const QList<QAction *> actions = window.trayIcon->contextMenu()->actions();
            std::printf("quit:%s\n", actions.isEmpty() ? "" : qPrintable(actions.first()->text()));
            std::fflush(stdout);
            if (!actions.isEmpty())
                actions.first()->trigger();
        });
    });
}
