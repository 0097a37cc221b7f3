#include "ui_controler.h"

#include "configfile.h"
#include "inivalue.h"
#include "myqquickview.h"
#include "scenerenderer.h"
#include "widget.h"

#include <QQmlContext>
#include <QSettings>
#include <QUrl>
#include <QWidget>

Ui_Controler::Ui_Controler(QObject *parent) : QObject(parent) {}

void Ui_Controler::setupView(QWidget *host)
{
    if (host->objectName().isEmpty())
        host->setObjectName(QStringLiteral("Widget"));
    hostWidget = host;
    host->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    host->setWindowOpacity(1.0);
    host->setAttribute(Qt::WA_TranslucentBackground);
    host->setStyleSheet(QStringLiteral("background:transparent;"));

    chooseSceneRenderer();
    view = new myQQuickView(host);
    view->setObjectName(QStringLiteral("ui_View"));
    view->setSource(QUrl(QStringLiteral("qrc:/modules/qml/main.qml")));

    QQmlContext *context = view->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), view);
    if (auto *window = qobject_cast<Widget *>(host))
        context->setContextProperty(QStringLiteral("hid"), &window->hidThread);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);

    host->resize(view->size());

    const QSettings config(configfile::path(), ini::formatFor(configfile::path()));
    host->setWindowTitle(config.value(QStringLiteral("common/name"), QString()).toString());
}

void Ui_Controler::onMinimize()
{
    if (hostWidget)
        hostWidget->showMinimized();
}

void Ui_Controler::onClose()
{
    if (!hostWidget)
        return;
    // Without a tray a hidden program could neither come back nor be
    // ended: closing the window ends it.
    auto *window = qobject_cast<Widget *>(hostWidget);
    if (window && !Widget::systemTrayAvailable()) {
        window->exitSYS();
        return;
    }
    hostWidget->setVisible(false);
}

void Ui_Controler::onXChanged(int dx)
{
    if (hostWidget)
        hostWidget->move(hostWidget->x() + dx, hostWidget->y());
}

void Ui_Controler::onYChanged(int dy)
{
    if (hostWidget)
        hostWidget->move(hostWidget->x(), hostWidget->y() + dy);
}

void Ui_Controler::setBusy(int busyTime)
{
    if (view)
        view->setBusy(busyTime);
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}
