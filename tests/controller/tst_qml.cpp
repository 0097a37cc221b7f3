// The controller as the scene sees it: a real myQQuickView published as
// "ui_View", its operations called by name from QML.
#include "hid_thread.h"
#include "hidowner.h"
#include "myqquickview.h"
#include "testmodules.h"
#include "virtual_r770.h"

#include <QApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

namespace {

class ViewOwner : public HidOwner
{
public:
    myQQuickView *view = nullptr;
    bool ownerIsGun() const override { return view->isGun; }
    QString ownerIcType() const override { return view->icType; }
    void deviceStageChanged(int, const QString &) override {}
    void deviceRemoved() override {}
};

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
        const vr770::MouseConfig c = mouse.config();
        DeviceEntry entry;
        entry.type = 1;
        entry.vid = c.vid;
        entry.pid = c.pid;
        entry.usagePage = c.usagePage;
        entry.usage = c.usage;
        entry.usagePage2 = c.usagePage2;
        entry.usage2 = c.usage2;
        entry.reportLength = c.reportLength;
        entry.isEncode = c.scrambling;
        entry.sCode = QString::fromStdString(c.secrecyCode);
        entry.commandPath = QString::fromStdString(mouse.commandPath());
        entry.notifyPath = QString::fromStdString(mouse.notifyPath());

        view = std::make_unique<myQQuickView>();
        view->icType = QStringLiteral("553");
        owner.view = view.get();
        link = std::make_unique<Hid_Thread>();
        link->owner = &owner;
        link->replaceDeviceList({entry});
        link->chkDeviceIsEnCode(0);
        view->hidLink = link.get();
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
