// The controller as the scene sees it: a real myQQuickView published as
// "ui_View", its operations called by name from QML.
#include "testmodules.h"
#include "viewrig.h"

#include <QApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

// QQuickWidget needs a widget application; the test runner reuses the one
// that exists when it starts.
static int appArgc = 1;
static char appName[] = "test_controller_qml";
static char *appArgv[] = {appName, nullptr};

class Setup : public QObject
{
    Q_OBJECT

public:
    Setup()
    {
        vr770::resetBus();
        view.icType = QStringLiteral("553");
        connectView(view, link, owner, vr770::addMouse());
    }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), &view);
    }

private:
    QApplication app{appArgc, appArgv};
    TestModules modules;
    ViewOwner owner;
    Hid_Thread link;
    myQQuickView view;
};

QUICK_TEST_MAIN_WITH_SETUP(controller_qml, Setup)

#include "tst_qml.moc"
