#include "inputhook.h"
#include "recordingscene.h"
#include "myqquickview.h"
#include "testmodules.h"
#include "ui_controler.h"
#include "userevent.h"
#include "widget.h"

#include <QAction>
#include <QMenu>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The host window; after checking that the real scene loads, the tests put
// in a scene that records every call the program makes into it.
class TestHostWindow : public QObject
{
    Q_OBJECT

    TestModules modules;
    std::unique_ptr<Widget> window;
    bool realSceneLoaded = false;

    QStringList sceneCalls() const
    {
        return window->view()->rootObject()->property("calls").toStringList();
    }

private slots:
    void init()
    {
        QVERIFY(modules.isValid());
        deviceConnected = false;
        window = std::make_unique<Widget>();
        realSceneLoaded = window->view()->rootObject() != nullptr;
        useRecordingScene(*window->view());
    }

    void cleanup() { window.reset(); }

    void setsItselfUpFromTheRuntimeFolder()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("BRAXTEL SOLVAR MOUSE R770"));
        QVERIFY(realSceneLoaded); // the compiled-in scene resolved
        QCOMPARE(window->size(), QSize(1024, 640));
        QVERIFY(!window->trayIcon->icon().isNull());
    }

    void runFollowsInitOnceForEachUserEvent()
    {
        window->startScene();
        QTRY_COMPARE(sceneCalls(), QStringList({"initUI", "run"}));

        QCoreApplication::postEvent(window.get(), new UserEvent(2176));
        QCoreApplication::postEvent(window.get(), new UserEvent);
        QCoreApplication::processEvents();
        QTRY_COMPARE(sceneCalls(), QStringList({"initUI", "run", "run"}));
        QTest::qWait(50);
        QCOMPARE(sceneCalls().size(), 3);
    }

    void restoresOnlyWithADeviceAccepted()
    {
        window->show();
        window->hide();
        window->receiveMessage(QString());
        window->trayIconActivated(QSystemTrayIcon::DoubleClick);
        QTest::qWait(20);
        QVERIFY(!window->isVisible());

        deviceConnected = true;
        window->trayIconActivated(QSystemTrayIcon::Trigger);
        window->trayIconActivated(QSystemTrayIcon::Context);
        QTest::qWait(20);
        QVERIFY(!window->isVisible());
        window->receiveMessage(QString());
        QTRY_VERIFY(window->isVisible());

        window->uiControler->onMinimize();
        QTRY_VERIFY(window->isMinimized());
        window->trayIconActivated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(!window->isMinimized());
        QVERIFY(window->isVisible());
    }

    void windowOperationsOfTheScene()
    {
        window->show();
        window->move(100, 100);
        const QPoint start = window->pos();
        window->uiControler->onXChanged(15);
        window->uiControler->onYChanged(-7);
        QCOMPARE(window->pos(), start + QPoint(15, -7));

        window->uiControler->setBusy(250);
        QCOMPARE(window->view()->rootObject()->property("protectInterval").toInt(), 250);
        window->uiControler->setBusy();
        QCOMPARE(window->view()->rootObject()->property("protectInterval").toInt(), 0);

        window->uiControler->onClose();
        QVERIFY(!window->isVisible());
    }

    void hookReportsReachTheSceneQueued()
    {
        Widget::onHookKey(0x04, true, window.get());
        Widget::onHookMouse(0xF0, false, 12, 34, window.get());
        Widget::onHookKey(0x04, true, nullptr);
        QVERIFY(sceneCalls().isEmpty());
        QTRY_COMPARE(sceneCalls(), QStringList({"detectKeyboard true 4", "detectMouse false 240 12 34"}));
    }

    void copyDataWarningUsesTheWindowTitle()
    {
        QStringList shown;
        const auto saved = Widget::showWarning;
        Widget::showWarning = [&shown](const QString &title, const QString &text) {
            shown << title << text;
        };
        CopyData message;
        message.dwData = 0x250F;
        message.bytes = QStringLiteral("Firmware \u00fcberholt").toUtf8();
        Widget::onCopyData(message, window.get());
        Widget::onCopyData(message, nullptr);
        message.dwData = 0x2510;
        Widget::onCopyData(message, window.get());
        Widget::showWarning = saved;
        QCOMPARE(shown, QStringList({"BRAXTEL SOLVAR MOUSE R770", QStringLiteral("Firmware \u00fcberholt")}));
    }

    void quitEndsTheEventLoopWithZero()
    {
        const QList<QAction *> actions = window->trayIcon->contextMenu()->actions();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions.first()->text(), QStringLiteral("Quit (&Q)"));
        QTimer::singleShot(0, actions.first(), &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void deviceNoticesStartDiscoveryOnlyWhileNoWatchRuns()
    {
        window->deviceChangeNotice();
        QVERIFY(window->checkTimer.isActive());
        QCOMPARE(window->checkTimer.interval(), 2048);

        window->checkTimer.stop();
        window->hidThread.watchRunning = true;
        window->deviceChangeNotice();
        QVERIFY(!window->checkTimer.isActive());
        window->hidThread.watchRunning = false;
    }

    void noDeviceTableHidesTheWindowWithoutNotice()
    {
        QSignalSpy notices(window.get(), &Widget::trayNotice);
        window->show();
        window->checkDevice();
        QVERIFY(!window->isVisible());
        QVERIFY(!deviceConnected);
        QCOMPARE(notices.count(), 0);
    }
};

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
