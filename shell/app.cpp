#include "app.h"

#include "inputhook.h"
#include "singleinstance.h"
#include "widget.h"

#include <QDir>

namespace {
constexpr int secondStartTimeoutMs = 5000;
}

bool makeExecutableFolderCurrent()
{
    QString folder = QCoreApplication::applicationFilePath();
    const int slash = folder.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        folder.truncate(slash);
    return QDir::setCurrent(folder);
}

int runApplication(int &argc, char **argv, const std::function<void(Widget &)> &beforeDiscovery)
{
    SingleInstanceApp app(argc, argv);
    if (app.isRunning()) {
        app.sendMessage(QString(), secondStartTimeoutMs);
        return 1;
    }
    makeExecutableFolderCurrent();
    // The help menu shows it.
    QCoreApplication::setApplicationVersion(QStringLiteral(R770_VERSION));

    int result = 0;
    {
        Widget window;
        QObject::connect(&app, &SingleInstanceApp::messageReceived, &window,
                         &Widget::receiveMessage);
        if (beforeDiscovery)
            beforeDiscovery(window);

        InputHook hook(false);
        hook.setKeyboardCallback(&Widget::onHookKey, &window);
        hook.setMouseCallback(&Widget::onHookMouse, &window);
        hook.setCopyDataCallback(&Widget::onCopyData, &app, &window, window.windowTitle());

        window.showNormal();
        window.checkDevice();
        result = app.exec();

        hook.removeHooks();
    }
    return result;
}
