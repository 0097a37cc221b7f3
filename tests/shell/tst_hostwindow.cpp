#include "autostartentry.h"
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
#include <QQuickWindow>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The host window; after checking that the real scene loads, the tests put
// in a scene that records every call the program makes into it.
class TestHostWindow : public QObject
{
    Q_OBJECT

    TestModules modules;
    QTemporaryDir config; // the user's XDG_CONFIG_HOME
    std::unique_ptr<Widget> window;
    bool trayAvailable = true;
    bool realSceneLoaded = false;

    QStringList sceneCalls() const
    {
        return window->view()->rootObject()->property("calls").toStringList();
    }

    QAction *menuEntry(const QString &text) const
    {
        for (QAction *action : window->trayIcon->contextMenu()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        Widget::systemTrayAvailable = [this] { return trayAvailable; };
    }

    void init()
    {
        QVERIFY(modules.isValid());
        deviceConnected = false;
        trayAvailable = true;
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
        // The software renderer unless Qt's own variable picks another.
        if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND") && !qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
            QCOMPARE(window->view()->quickWindow()->rendererInterface()->graphicsApi(),
                     QSGRendererInterface::Software);
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
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Save a diagnostic report…"));
        QCOMPARE(actions.last()->text(), QStringLiteral("Quit (&Q)"));
        QTimer::singleShot(0, actions.last(), &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void autostartEntryFollowsTheTrayMenu()
    {
        QAction *entry = menuEntry(QStringLiteral("Start at Login (&S)"));
        QVERIFY(entry);
        QCOMPARE(window->trayIcon->contextMenu()->actions().indexOf(entry), 0);
        QVERIFY(entry->isCheckable());
        QVERIFY(!entry->isChecked());

        const QString path = config.path() + "/autostart/com.braxtel.r770.desktop";
        entry->trigger();
        QVERIFY(entry->isChecked());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        file.close();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nExec=" + QCoreApplication::applicationFilePath() + "\n"));
        QVERIFY(text.contains("\nTryExec=" + QCoreApplication::applicationFilePath() + "\n"));
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (!validator.isEmpty()) {
            QProcess validate;
            validate.start(validator, {path});
            QVERIFY(validate.waitForFinished());
            QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
        }

        // A desktop's own settings switch it off in place; the menu follows.
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden=true\n");
        file.close();
        emit window->trayIcon->contextMenu()->aboutToShow();
        QVERIFY(!entry->isChecked());
        entry->trigger();
        QVERIFY(entry->isChecked());
        entry->trigger();
        QVERIFY(!entry->isChecked());
        QVERIFY(!QFileInfo::exists(path));

        // The entry cannot be written: the menu says so and stays unchecked.
        QVERIFY(QDir().mkpath(path));
        QSignalSpy notices(window.get(), &Widget::trayNotice);
        entry->trigger();
        QVERIFY(!entry->isChecked());
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices.first().at(1).toString().startsWith("Cannot write " + path));
        QVERIFY(QDir(path).removeRecursively());

        // Paths that need quoting in the Exec key.
        QCOMPARE(autostartentry::execArgument("/opt/r770/bin/r770"), QStringLiteral("/opt/r770/bin/r770"));
        QCOMPARE(autostartentry::execArgument("/my apps/$x\\y%"),
                 QStringLiteral("\"/my apps/\\\\$x\\\\\\\\y%%\""));
    }

    void withoutATrayClosingTheWindowEndsTheProgram()
    {
        trayAvailable = false;
        window->show();
        QTimer::singleShot(0, window->uiControler, [this] { window->uiControler->onClose(); });
        QCOMPARE(QCoreApplication::exec(), 0);

        window->show();
        QTimer::singleShot(0, window.get(), [this] { window->close(); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void deviceNoticeStartsDiscoveryAfterAPause()
    {
        window->deviceChangeNotice();
        QVERIFY(window->checkTimer.isActive());
        QCOMPARE(window->checkTimer.interval(), 2048);
        // While a watch runs a notice starts nothing: tst_discovery.
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
