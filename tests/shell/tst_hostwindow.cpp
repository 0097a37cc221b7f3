#include "autostartentry.h"
#include "../persistence/filetestutil.h"
#include "inputhook.h"
#include "recordingscene.h"
#include "myqquickview.h"
#include "testmodules.h"
#include "ui_controler.h"
#include "widget.h"

#include <QAction>
#include <QMenu>
#include <QQuickItem>
#include <QQuickWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QScreen>
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

    // The compiled-in scene resolved; the scene's 1024x640 scaled down to
    // fit the screen (the offscreen platform's is 800x600); the software
    // renderer unless Qt's own variable picks another.
    void setsItselfUpFromTheRuntimeFolder()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("BRAXTEL SOLVAR MOUSE R770"));
        QVERIFY(realSceneLoaded);
        const QRect area = window->screen()->availableGeometry();
        QCOMPARE(window->size(), QSize(1024, 640).scaled(area.size().boundedTo(QSize(1024, 640)), Qt::KeepAspectRatio));
        QVERIFY(!window->trayIcon->icon().isNull());
        if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND") && !qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
            QCOMPARE(window->view()->quickWindow()->rendererInterface()->graphicsApi(),
                     QSGRendererInterface::Software);
    }

    // Without a mouse the window hides to the tray, saying so once; a second
    // start, a click on the tray icon, its "Show Window" and a click on a
    // notice bring it back, showing what to connect.
    void everyWayBackShowsTheWindow()
    {
        QSignalSpy notices(window.get(), &Widget::trayNotice);
        for (int i = 0; i < 2; ++i) {
            window->show();
            window->checkDevice();
            QVERIFY(!window->isVisible());
        }
        QCOMPARE(notices.size(), 1);
        QCOMPARE(notices.first().at(1).toString(), Widget::trayWaitText());
        QVERIFY(window->view()->rootObject()->property("connectShown").toBool());

        QAction *show = menuEntry(QStringLiteral("Show Window (&W)"));
        QVERIFY(show);
        const QList<std::function<void()>> ways = {
            [this] { window->receiveMessage(QString()); },
            [this] { window->trayIconActivated(QSystemTrayIcon::Trigger); },
            [this] { window->trayIconActivated(QSystemTrayIcon::DoubleClick); },
            [show] { show->trigger(); },
            [this] { emit window->trayIcon->messageClicked(); },
        };
        for (const auto &way : ways) {
            window->hide();
            way();
            QTRY_VERIFY(window->isVisible());
        }
        window->uiControler->onMinimize();
        QTRY_VERIFY(window->isMinimized());
        window->trayIconActivated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(!window->isMinimized());
    }

    void windowOperationsOfTheScene()
    {
        window->show();
        window->move(100, 100);
        const QPoint start = window->pos();
        window->uiControler->onXChanged(15);
        window->uiControler->onYChanged(-7);
        // The scene's offsets are in its own units, scaled to the screen's.
        const double scale = window->uiControler->sceneScale();
        QCOMPARE(window->pos(), start + QPoint(qRound(15 * scale), qRound(-7 * scale)));
        window->uiControler->setBusy(250);
        QCOMPARE(window->view()->rootObject()->property("protectInterval").toInt(), 250);
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

    // "Automatic profiles" writes the rules file; a damaged file keeps it
    // off and is left as it is.
    void automaticProfilesEntry()
    {
        QAction *entry = menuEntry(QStringLiteral("Automatic profiles"));
        QVERIFY(entry && entry->isCheckable());
        QVERIFY(entry->isChecked()); // no rules file yet: on, with nothing tied
        entry->trigger();
        QVERIFY(!entry->isChecked());
        const QString path = modules.path("setting/autoProfiles.bin");
        QVERIFY(filetest::contents(path).contains("enabled=false\n"));

        QVERIFY(filetest::writeFile(path, "garbage"));
        entry->trigger();
        QVERIFY(!entry->isChecked());
        QCOMPARE(filetest::contents(path), QByteArray("garbage"));
        QFile::remove(path);
    }

    // "Start at Login" writes the desktop's autostart entry and removes it;
    // the desktop's own switch (Hidden=true) unchecks it; an entry that
    // cannot be written is said and leaves it unchecked.
    void autostartEntryFollowsTheTrayMenu()
    {
        QAction *entry = menuEntry(QStringLiteral("Start at Login (&S)"));
        QVERIFY(entry && entry->isCheckable() && !entry->isChecked());
        const QString path = config.path() + "/autostart/com.braxtel.r770.desktop";
        entry->trigger();
        QVERIFY(entry->isChecked());
        const QString text = QString::fromUtf8(filetest::contents(path));
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nExec=" + QCoreApplication::applicationFilePath() + " --autostart\n"));
        QVERIFY(text.contains("\nTryExec=" + QCoreApplication::applicationFilePath() + "\n"));
        if (const QString validator = QStandardPaths::findExecutable("desktop-file-validate"); !validator.isEmpty())
            QCOMPARE(QProcess::execute(validator, {path}), 0);

        QVERIFY(filetest::writeFile(path, text.toUtf8() + "Hidden=true\n"));
        emit window->trayIcon->contextMenu()->aboutToShow();
        QVERIFY(!entry->isChecked());
        entry->trigger();
        entry->trigger();
        QVERIFY(!entry->isChecked());
        QVERIFY(!QFileInfo::exists(path));

        QVERIFY(QDir().mkpath(path));
        QSignalSpy notices(window.get(), &Widget::trayNotice);
        entry->trigger();
        QVERIFY(!entry->isChecked());
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices.first().at(1).toString().startsWith("Cannot write " + path));
        QVERIFY(QDir(path).removeRecursively());

        // Paths that need quoting in the Exec key.
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
};

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
