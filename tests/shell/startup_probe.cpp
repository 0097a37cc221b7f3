// The real start-up sequence, which prints where it found its files and then
// leaves through the tray menu's quit entry. With "--save", it first stores
// common/probe=saved in apConfig.bin through the controller, as the scene
// would. Warning boxes are printed instead of shown.
#include "app.h"
#include "myqquickview.h"
#include "widget.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    const bool save = argc > 1 && std::strcmp(argv[1], "--save") == 0;
    Widget::showWarning = [](const QString &title, const QString &text) {
        std::printf("warning:%s|%s\n", qPrintable(title), qPrintable(text));
        std::fflush(stdout);
    };
    return runApplication(argc, argv, [save](Widget &window) {
        std::printf("cwd:%s\ntitle:%s\n", qPrintable(QDir::currentPath()),
                    qPrintable(window.windowTitle()));
        std::fflush(stdout);
        if (save)
            window.view()->setGlobalData(QStringLiteral("common/probe"), QStringLiteral("saved"));
        QTimer::singleShot(0, &window, [&window] {
            const QList<QAction *> actions = window.trayIcon->contextMenu()->actions();
            QAction *quit = actions.isEmpty() ? nullptr : actions.last();
            std::printf("quit:%s\n", quit ? qPrintable(quit->text()) : "");
            std::fflush(stdout);
            if (quit)
                quit->trigger();
        });
    });
}
