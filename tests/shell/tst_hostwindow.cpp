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
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QScreen>
#include <QTimer>
#include <algorithm>

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
        // The scene's 1024x640, scaled down where the screen is smaller
        // (the offscreen platform's is 800x600).
        const QRect area = window->screen()->availableGeometry();
        const double scale = std::min({1.0, area.width() / 1024.0, area.height() / 640.0});
        QCOMPARE(window->uiControler->sceneScale(), scale);
        QCOMPARE(window->size(), QSize(int(1024 * scale), int(640 * scale)));
        QVERIFY(area.contains(window->geometry()) || scale == 1.0);
        QVERIFY(!window->trayIcon->icon().isNull());
        // The software renderer unless Qt's own variable picks another.
        if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND") && !qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
            QCOMPARE(window->view()->quickWindow()->rendererInterface()->graphicsApi(),
                     QSGRendererInterface::Software);
    }

    // A second start, a click on the tray icon, its "Show Window" and a
    // click on a notice bring the window back; without a mouse it shows
    // what to connect.
    void everyWayBackShowsTheWindow()
    {
        QAction *show = menuEntry(QStringLiteral("Show Window (&W)"));
        QVERIFY(show);
        QCOMPARE(window->trayIcon->contextMenu()->actions().indexOf(show), 0);

        window->checkDevice(); // no mouse
        QVERIFY(window->view()->rootObject()->property("connectShown").toBool());
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
        window->trayIconActivated(QSystemTrayIcon::Context);

        window->uiControler->onMinimize();
        QTRY_VERIFY(window->isMinimized());
        window->trayIconActivated(QSystemTrayIcon::Trigger);
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
        // The scene's offsets are in its own units, scaled to the screen's.
        const double scale = window->uiControler->sceneScale();
        QCOMPARE(window->pos(), start + QPoint(qRound(15 * scale), qRound(-7 * scale)));

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

    void autostartEntryFollowsTheTrayMenu()
    {
        QAction *entry = menuEntry(QStringLiteral("Start at Login (&S)"));
        QVERIFY(entry);
        QCOMPARE(window->trayIcon->contextMenu()->actions().indexOf(entry), 1);
        QVERIFY(entry->isCheckable());
        QVERIFY(!entry->isChecked());

        const QString path = config.path() + "/autostart/com.braxtel.r770.desktop";
        entry->trigger();
        QVERIFY(entry->isChecked());
        const QString text = QString::fromUtf8(filetest::contents(path));
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nExec=" + QCoreApplication::applicationFilePath() + " --autostart\n"));
        QVERIFY(text.contains("\nTryExec=" + QCoreApplication::applicationFilePath() + "\n"));
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (!validator.isEmpty()) {
            QProcess validate;
            validate.start(validator, {path});
            QVERIFY(validate.waitForFinished());
            QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
        }

        // A desktop's own settings switch it off in place; the menu follows.
        QVERIFY(filetest::writeFile(path, text.toUtf8() + "Hidden=true\n"));
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

    void noMouseHidesToTheTrayOrShowsWhatToConnect()
    {
        QSignalSpy notices(window.get(), &Widget::trayNotice);
        window->show();
        window->checkDevice();
        QVERIFY(!window->isVisible());
        QVERIFY(!deviceConnected);
        QCOMPARE(notices.count(), 1);
        QCOMPARE(notices.first().at(1).toString(), Widget::trayWaitText());
        window->show();
        window->checkDevice();
        QVERIFY(!window->isVisible());
        QCOMPARE(notices.count(), 1);

        trayAvailable = false;
        window->show();
        window->checkDevice();
        QVERIFY(window->isVisible());
        QVERIFY(window->view()->rootObject()->property("connectShown").toBool());
        // The title bar's buttons stay usable.
        QVERIFY(window->view()->isEnabled());
        QCOMPARE(notices.count(), 1);
    }
};

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
