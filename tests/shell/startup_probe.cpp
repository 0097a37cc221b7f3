// The real start-up sequence, which prints where it found its files and then
// leaves through the tray menu's quit entry. With "--save", it first stores
// common/probe=saved in apConfig.bin through the controller, as the scene
// would; warning boxes are then printed instead of shown. With
// "--close-dialogs" it stays up, presses OK on every dialog that opens
// (printing its title and text) and reports that it is still running a
// second later.
// "--plug-later" starts with the virtual mouse unplugged, says "connect" once
// the window is on screen with the scene's connect state, plugs the mouse
// and says "pages" once the pages show. "--serve" stays up for a test that
// drives the window from outside (see serve).
#include "app.h"
#include "myqquickview.h"
#include "virtual_r770.h"
#include "virtualdevicechange.h"
#include "virtualbus.h"
#include "widget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWindow>
#include <QWindow>
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
        say(QStringLiteral("dialog:") + box->windowTitle() + '|' + box->text());
        box->button(QMessageBox::Ok)->click();
        QTimer::singleShot(1000, &window, [&window] {
            say(QStringLiteral("alive"));
            quitFromTray(window);
        });
    });
    poll->start(50);
}

// Polls `ready` until it holds, then runs `then` once.
static void when(Widget &window, std::function<bool()> ready, std::function<void()> then)
{
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [poll, ready, then] {
        if (!ready())
            return;
        poll->deleteLater();
        poll->stop();
        then();
    });
    poll->start(20);
}

static bool onScreen(Widget &window)
{
    return window.isVisible() && window.windowHandle() && window.windowHandle()->isExposed();
}

static bool showing(Widget &window, bool connectState)
{
    const QQuickItem *root = window.view()->rootObject();
    return onScreen(window) && root && root->isVisible()
           && root->property("mouseMissing").toBool() == connectState
           && (connectState || root->property("started").toBool());
}

static void plugLater(Widget &window)
{
    vr770::VirtualR770 mouse = vr770::addMouse();
    mouse.unplug();
    window.setDeviceChangeSource(std::make_unique<VirtualDeviceChangeSource>());
    when(window, [&window] { return showing(window, true); }, [&window, mouse]() mutable {
        say(QStringLiteral("connect"));
        mouse.plug();
        when(window, [&window] { return showing(window, false); }, [&window] {
            say(QStringLiteral("pages"));
            quitFromTray(window);
        });
    });
}

// Stays up for a test that drives the window from outside (a screen
// reader's client, keys typed through the X server): says "pages" once they
// show, then "focus:" and the object name (or class) of the item that has
// the keyboard whenever that changes, "locked:1" and "locked:0" as the
// scene's busy lock comes and goes, "dpi:" and the second DPI stage the
// virtual mouse holds and "state:" and its whole firmware state (JSON)
// whenever they change (polled every 50 ms), and quits after three minutes.
static void serve(Widget &window)
{
    vr770::VirtualR770 mouse = vr770::addMouse();
    when(window, [&window] { return showing(window, false); }, [&window, mouse]() mutable {
        say(QStringLiteral("pages"));
        QQuickWindow *scene = window.view()->quickWindow();
        auto focus = [scene] {
            const QQuickItem *item = scene->activeFocusItem();
            say(QStringLiteral("focus:") + (!item ? QString()
                                            : !item->objectName().isEmpty() ? item->objectName()
                                                                            : QString::fromLatin1(item->metaObject()->className())));
        };
        focus();
        QObject::connect(scene, &QQuickWindow::activeFocusItemChanged, &window, focus);
        auto *poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [&window, mouse, last = -1, lastState = QByteArray(),
                                                           locked = -1]() mutable {
            const int nowLocked = window.view()->rootObject()->property("locked").toBool();
            if (nowLocked != locked)
                say(QStringLiteral("locked:%1").arg(locked = nowLocked));
            const vr770::MouseState state = mouse.state();
            const int dpi = state.dpiStageCodes[1] * 50;
            if (dpi != last)
                say(QStringLiteral("dpi:%1").arg(last = dpi));
            const QByteArray json = QJsonDocument(virtualbus::stateToJson(state)).toJson(QJsonDocument::Compact);
            if (json != lastState)
                say(QStringLiteral("state:") + QString::fromUtf8(lastState = json));
        });
        poll->start(50);
        QTimer::singleShot(180000, &window, [&window] { quitFromTray(window); });
    });
}

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--plug-later" || mode == "--serve") {
        return runApplication(argc, argv, [mode](Widget &window) {
            say(QStringLiteral("cwd:") + QDir::currentPath());
            if (mode == "--serve")
                serve(window);
            else
                plugLater(window);
        });
    }
    const bool save = argc > 1 && std::strcmp(argv[1], "--save") == 0;
    const bool closeDialogs = argc > 1 && std::strcmp(argv[1], "--close-dialogs") == 0;
    if (!closeDialogs) {
        Widget::showWarning = [](const QString &title, const QString &text) {
            say(QStringLiteral("warning:%1|%2").arg(title, text));
        };
    }
    return runApplication(argc, argv, [save, closeDialogs](Widget &window) {
        say(QStringLiteral("cwd:") + QDir::currentPath());
        if (save)
            window.view()->setGlobalData(QStringLiteral("common/probe"), QStringLiteral("saved"));
        if (closeDialogs)
            closeDialogsThenQuit(window);
        else
            QTimer::singleShot(0, &window, [&window] { quitFromTray(window); });
    });
}
