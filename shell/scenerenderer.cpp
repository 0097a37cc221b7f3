#include "scenerenderer.h"

#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtGlobal>

void chooseSceneRenderer()
{
    // Once per process: Qt warns about a second request once the scene
    // graph has started.
    static const bool chosen = [] {
        if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
            return false;
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return true;
    }();
    Q_UNUSED(chosen);
}
