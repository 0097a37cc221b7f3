#include "app.h"

#include "handover.h"
#include "debugline.h"
#include "diaglog.h"
#include "inputhook.h"
#include "macrolibrary.h"
#include "myqquickview.h"
#include "quitsignals.h"
#include "requesthost.h"
#include "runtimefolder.h"
#include "singleinstance.h"
#include "widget.h"
#include "windowinputtap.h"

#include <QDebug>

namespace {
constexpr int secondStartTimeoutMs = 5000;
}

int runApplication(int &argc, char **argv, const std::function<void(Widget &)> &beforeDiscovery,
                   bool atLogin)
{
    SingleInstanceApp app(argc, argv);
    if (app.isRunning()) {
        app.sendMessage(QString(), secondStartTimeoutMs);
        return 1;
    }
    const runtimefolder::Outcome folder = runtimefolder::enter();
    if (!folder.ok) {
        qWarning().noquote() << folder.error;
        Widget::showWarning(QStringLiteral("BRAXTEL SOLVAR MOUSE R770"), folder.error);
        return cannotStartExitCode;
    }
    // The debug lines go to stderr as ever and to the log diagnostic reports show.
    diaglog::install(QStringLiteral("r770"));
    if (!folder.notes.isEmpty())
        qWarning().noquote() << folder.notes;
    // A macro operation cut short (a crash between its files) is completed
    // or undone before anything reads the library.
    for (const QString &note : macrolibrary::repair())
        debugLine("repaired", note);
    for (const QString &problem : runtimefolder::damagedFiles())
        qWarning().noquote() << problem;
    // The program lives in the tray until "Quit (&Q)": closing a dialog that
    // has no parent while the window is hidden must not end it.
    app.setQuitOnLastWindowClosed(false);
    // The help menu shows it.
    QCoreApplication::setApplicationVersion(QStringLiteral(R770_VERSION));

    int result = 0;
    {
        Widget window;
        QObject::connect(&app, &SingleInstanceApp::messageReceived, &window,
                         &Widget::receiveMessage);
        quitOnTerminationSignals(&window, [&window] { window.exitSYS(); });
        if (beforeDiscovery)
            beforeDiscovery(window);

        InputHook hook(false);
        hook.setKeyboardCallback(&Widget::onHookKey, &window);
        hook.setMouseCallback(&Widget::onHookMouse, &window);
        hook.setCopyDataCallback(&Widget::onCopyData, &app, &window, window.windowTitle());
        // Keys typed into the scene, where the capture cannot see them.
        const WindowInputTap windowInput(hook, window.view());

        // r770ctl's requests, performed here while the program runs.
        RequestHost requests(window);
        handover::RequestServer requestServer(QCoreApplication::applicationFilePath(),
                                              [&requests](const QStringList &arguments) {
                                                  return requests.take(arguments);
                                              });

        if (!atLogin)
            window.showNormal();
        window.checkDevice();
        result = app.exec();

        hook.removeHooks();
    }
    return result;
}
