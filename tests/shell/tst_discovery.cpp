#include "deviceeventtexts.h"
#include "myqquickview.h"
#include "recordingscene.h"
#include "testmodules.h"
#include "virtual_r770.h"
#include "virtualdevicechange.h"
#include "widget.h"

#include <QMutex>
#include <QQuickItem>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

// Finding the mouse, accepting it after the handshake, following its DPI
// button and noticing its removal, against virtual mice. The scene is one
// that records the program's calls.
namespace {

QMutex logMutex;
QStringList debugLines;

void collect(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg)
        return;
    QMutexLocker lock(&logMutex);
    debugLines << text;
}

int linesSaying(const QString &text)
{
    QMutexLocker lock(&logMutex);
    return int(debugLines.count(text));
}

int opensOf(const vr770::VirtualR770 &mouse)
{
    int opens = 0;
    for (const vr770::Transfer &t : mouse.transfers())
        opens += t.kind == vr770::TransferKind::Open;
    return opens;
}

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestModules> modules;
    std::unique_ptr<Widget> window;

    void configure(const std::function<void(QSettings &)> &edit)
    {
        QSettings config(modules->path("setting/apConfig.bin"), QSettings::IniFormat);
        edit(config);
        config.sync();
    }

    // A second device group for a mouse with another product id, code and
    // notification usage.
    static void addGroup(QSettings &config, int group, quint16 pid, const QString &code)
    {
        const QStringList keys{"type", "vid", "pid", "usagePage", "usage", "usagePage2", "usage2", "isEncode", "sCode"};
        const QVariantList values{1, "2e3c", QString::number(pid, 16), "ff00", "0001", "ff01", "0002", true, code};
        for (int i = 0; i < keys.size(); ++i)
            config.setValue(QString::number(group) + '/' + keys[i], values[i]);
    }

    void start()
    {
        window = std::make_unique<Widget>();
        useRecordingScene(*window->view());
        window->setDeviceChangeSource(std::make_unique<VirtualDeviceChangeSource>());
    }

    QStringList sceneCalls() const
    {
        return window->view()->rootObject()->property("calls").toStringList();
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(collect);
        Widget::systemTrayAvailable = [] { return true; };
    }

    void init()
    {
        vr770::resetBus();
        deviceEventTexts().reset();
        deviceConnected = false;
        modules = std::make_unique<TestModules>();
        QVERIFY(modules->isValid());
        QMutexLocker lock(&logMutex);
        debugLines.clear();
    }

    void cleanup()
    {
        window.reset();
        modules.reset();
        vr770::resetBus();
    }

    void firstGroupPassingTheHandshakeWins()
    {
        vr770::VirtualR770 first = vr770::addMouse();
        vr770::MouseConfig otherConfig;
        otherConfig.pid = 0xC771;
        otherConfig.secrecyCode = "Qz9K2m";
        otherConfig.usage2 = 0x0002; // the notification interface has its own usage
        vr770::VirtualR770 second = vr770::addMouse(otherConfig);

        configure([](QSettings &c) {
            c.setValue("common/deviceCount", 2);
            addGroup(c, 1, 0xC771, "Qz9K2m");
        });
        start();
        QSignalSpy notices(window.get(), &Widget::trayNotice);
        window->hide();
        window->view()->setEnabled(false);
        window->checkDevice();
        QVERIFY(deviceConnected);
        QCOMPARE(window->hidThread.currentIndex, 0);
        QCOMPARE(opensOf(second), 0);
        // Accepted without showing the window.
        QCOMPARE(linesSaying("Device Connect "), 1);
        QCOMPARE(notices, QList<QVariantList>({{"Info", "Detect Device"}}));
        QVERIFY(window->view()->isEnabled() && window->hidThread.watchRunning && !window->isVisible());
        QTRY_COMPARE(sceneCalls(), QStringList({"initUI", "run"}));
        QCOMPARE(window->hidThread.deviceEntry(0).notifyPath, QString::fromStdString(first.notifyPath()));

        // With a wrong code in the first group the second mouse is taken.
        window.reset();
        configure([](QSettings &c) { c.setValue("0/sCode", "wrong1"); });
        start();
        window->checkDevice();
        QVERIFY(deviceConnected);
        QCOMPARE(window->hidThread.currentIndex, 1);
        QVERIFY(opensOf(first) > 0);
        QCOMPARE(window->hidThread.deviceEntry(1).notifyPath, QString::fromStdString(second.notifyPath()));
    }

    void dpiButtonReachesSceneAndTray()
    {
        vr770::VirtualR770 mouse = vr770::addMouse();
        mouse.setReportsKeptWhileClosed(true); // the watch may not listen yet
        start();
        window->checkDevice();
        QVERIFY(window->hidThread.watchRunning);
        QSignalSpy notices(window.get(), &Widget::trayNotice);
        QObject *scene = window->view()->rootObject();

        mouse.pressDpiButton(3);
        QTRY_COMPARE(scene->property("currentDpiStage").toInt(), 3);
        QTRY_COMPARE(notices.count(), 1);
        QCOMPARE(notices.last(), QVariantList({"Info", "DPI Switch to "}));
    }

    void unplugDisablesThenDiscoveryHidesAndReplugAccepts()
    {
        vr770::VirtualR770 mouse = vr770::addMouse();
        start();
        window->show();
        window->checkDevice();
        QVERIFY(window->view()->isEnabled());

        mouse.unplug();
        QTRY_VERIFY(!window->hidThread.watchRunning);
        QTRY_VERIFY(!window->view()->isEnabled());
        QCOMPARE(linesSaying("Device removed "), 1);
        QVERIFY(window->hidThread.deviceEntry(0).notifyPath.isEmpty());
        QVERIFY(window->isVisible());
        // The unplug's own notice starts discovery, even if it came before
        // the watch had noticed.
        QTRY_VERIFY(window->checkTimer.isActive());

        window->checkTimer.stop();
        window->checkDevice();
        QVERIFY(!window->isVisible());
        QVERIFY(!deviceConnected);

        mouse.plug();
        QTRY_VERIFY(window->checkTimer.isActive());
        window->checkTimer.stop();
        window->checkDevice();
        QVERIFY(deviceConnected);
        QVERIFY(window->view()->isEnabled());
        QVERIFY(window->hidThread.watchRunning);
    }

    void burstOfNoticesGivesOneRunAfterTheLast()
    {
        start();
        for (int i = 0; i < 3; ++i) {
            window->deviceChangeNotice();
            QTest::qWait(400);
        }
        QCOMPARE(linesSaying("Device DisConnect "), 0);
        QTRY_COMPARE_WITH_TIMEOUT(linesSaying("Device DisConnect "), 1, 4000);
        QTest::qWait(300);
        QCOMPARE(linesSaying("Device DisConnect "), 1);
    }

    void busyLinkPostponesDiscovery()
    {
        vr770::addMouse();
        start();
        window->show();
        // A busy link makes the handshake wait, processing events; a timer
        // firing meanwhile must not start a nested run. A handshake that
        // never got the link concludes nothing: discovery runs again later.
        window->hidThread.hidReady = false;
        QTimer::singleShot(50, window.get(), &Widget::checkDevice);
        window->checkDevice();
        QCOMPARE(linesSaying("Device DisConnect ") + linesSaying("Device Connect "), 0);
        QVERIFY(window->isVisible());
        QVERIFY(window->checkTimer.isActive());
        window->hidThread.hidReady = true;
        QTRY_VERIFY_WITH_TIMEOUT(deviceConnected, 5000);
    }
};

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
