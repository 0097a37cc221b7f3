// The real start-up sequence, which prints where it found its files and then
// leaves through the tray menu's quit entry. With "--save", it first stores
// common/probe=saved in apConfig.bin through the controller, as the scene
// would; warning boxes are then printed instead of shown. With
// "--close-dialogs" it stays up, presses OK on every dialog that opens and
// reports that it is still running a second later.
#include "app.h"
#include "myqquickview.h"
#include "widget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstring>

static void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

static void quitFromTray(Widget &window)
{
    // "Quit (&Q)" is the menu's last entry.
    const QList<QAction *> actions = window.trayIcon->contextMenu()->actions();
    say(QStringLiteral("quit:") + (actions.isEmpty() ? QString() : actions.last()->text()));
    if (!actions.isEmpty())
        actions.last()->trigger();
}

static void closeDialogsThenQuit(Widget &window)
{
    QTimer::singleShot(0, &window, [] { say(QStringLiteral("ready")); });
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&window, poll] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        say(QStringLiteral("dialog:") + box->text());
        box->button(QMessageBox::Ok)->click();
        QTimer::singleShot(1000, &window, [&window] {
            say(QStringLiteral("alive"));
            quitFromTray(window);
        });
    });
    poll->start(50);
}

int main(int argc, char **argv)
{
    const bool save = argc > 1 && std::strcmp(argv[1], "--save") == 0;
    const bool closeDialogs = argc > 1 && std::strcmp(argv[1], "--close-dialogs") == 0;
    if (!closeDialogs) {
        Widget::showWarning = [](const QString &title, const QString &text) {
            say(QStringLiteral("warning:%1|%2").arg(title, text));
        };
    }
    return runApplication(argc, argv, [save, closeDialogs](Widget &window) {
        say(QStringLiteral("cwd:") + QDir::currentPath());
        say(QStringLiteral("title:") + window.windowTitle());
        if (save)
            window.view()->setGlobalData(QStringLiteral("common/probe"), QStringLiteral("saved"));
        if (closeDialogs)
            closeDialogsThenQuit(window);
        else
            QTimer::singleShot(0, &window, [&window] { quitFromTray(window); });
    });
}
