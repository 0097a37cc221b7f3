// The controller as the scene sees it: a real myQQuickView published as
// "ui_View", its operations called by name from QML.
#include "testmodules.h"
#include "viewrig.h"

#include <QApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

namespace {

// QQuickWidget needs a widget application; the test runner reuses the one
// that exists when it starts.
QApplication *makeApplication()
{
    static int argc = 1;
    static char name[] = "test_controller_qml";
    static char *argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

} // namespace

class Setup : public QObject
{
    Q_OBJECT

public:
    Setup() : app(makeApplication()) {}
    ~Setup() override
    {
        view.reset();
        link.reset();
        vr770::resetBus();
        modules.reset();
    }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        modules = std::make_unique<TestModules>();
        vr770::resetBus();
        const vr770::VirtualR770 mouse = vr770::addMouse();
        view = std::make_unique<myQQuickView>();
        view->icType = QStringLiteral("553");
        link = std::make_unique<Hid_Thread>();
        connectView(*view, *link, owner, mouse);
        engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), view.get());
    }

private:
    std::unique_ptr<QApplication> app;
    std::unique_ptr<TestModules> modules;
    ViewOwner owner;
    std::unique_ptr<Hid_Thread> link;
    std::unique_ptr<myQQuickView> view;
};

QUICK_TEST_MAIN_WITH_SETUP(controller_qml, Setup)

#include "tst_qml.moc"
