// Keys and clicks made by a real X client (xdotool) reach the scene through
// the hook and the controller's notifications (into a scene that records
// them). Needs an X server (xvfb-run).

#include "inputhook.h"
#include "myqquickview.h"
#include "recordingscene.h"
#include "testmodules.h"

#include <QApplication>
#include <QJSValue>
#include <QProcess>
#include <QQuickItem>
#include <QTest>
#include <memory>

class TestInputX11 : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestModules> modules;
    std::unique_ptr<myQQuickView> view;
    std::unique_ptr<InputHook> hook;

    static bool xdotool(const QStringList &arguments)
    {
        return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
    }

    QStringList calls() const
    {
        QVariant value = view->rootObject()->property("calls");
        if (value.canConvert<QJSValue>())
            value = value.value<QJSValue>().toVariant();
        return value.toStringList();
    }

    // Runs an xdotool command, then taps z as a marker, and returns what
    // reached the scene before the marker, "detectKeyboard"(true, 4) as "+4".
    QStringList reportsOf(const QStringList &command)
    {
        view->rootObject()->setProperty("calls", QVariantList());
        if (!xdotool(command + QStringList{"key", "z"}))
            return {"xdotool failed"};
        if (!QTest::qWaitFor([&] { return calls().contains("detectKeyboard false 29"); }, 5000))
            return calls() << "marker missing";
        QStringList seen = calls().mid(0, calls().indexOf("detectKeyboard true 29"));
        return seen.replaceInStrings("detectKeyboard true ", "+")
            .replaceInStrings("detectKeyboard false ", "-");
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        modules = std::make_unique<TestModules>();
        QVERIFY(modules->isValid());
        view = std::make_unique<myQQuickView>();
        useRecordingScene(*view);
        QVERIFY(view->rootObject());
        hook = std::make_unique<InputHook>(false);
        hook->setKeyboardCallback([](unsigned char usage, bool isDown, void *view) {
            static_cast<myQQuickView *>(view)->keyboardNotify(isDown, usage);
        }, view.get());
        hook->setMouseCallback([](unsigned code, bool isDown, int x, int y, void *view) {
            static_cast<myQQuickView *>(view)->mouseNotify(isDown, code, unsigned(x), unsigned(y));
        }, view.get());
        // Installing again replaces: each click still reports once (checked below).
        QVERIFY(hook->installHooks());
    }

    void keysReachTheScene()
    {
        QCOMPARE(reportsOf({"key", "a"}), (QStringList{"+4", "-4"}));
        // Control_R+Pause, modifier by keycode too.
        QCOMPARE(reportsOf({"keydown", "105", "key", "127", "keyup", "105"}),
                 (QStringList{"+228", "+72", "-72", "-228"}));
    }

    void clicksReachTheSceneAtThePointer()
    {
        // Left and right, then the wheel (not reported) and middle elsewhere.
        view->rootObject()->setProperty("calls", QVariantList());
        QVERIFY(xdotool({"mousemove", "123", "45", "click", "1", "click", "3"}));
        QTRY_COMPARE_WITH_TIMEOUT(calls().size(), 4, 5000);
        QVERIFY(xdotool({"mousemove", "7", "9", "click", "4", "click", "2"}));
        const QStringList expected{"detectMouse true 240 123 45", "detectMouse false 240 123 45",
                                   "detectMouse true 241 123 45", "detectMouse false 241 123 45",
                                   "detectMouse true 242 7 9", "detectMouse false 242 7 9"};
        QTRY_COMPARE_WITH_TIMEOUT(calls(), expected, 5000);
    }

    void typingIntoAnotherClientStillReports()
    {
        QProcess other;
        // Line-buffered so that its report of the key can be read while it runs.
        other.start(QStringLiteral("stdbuf"),
                    {"-oL", "xev", "-name", "r770-other-client", "-event", "keyboard"});
        QVERIFY(other.waitForStarted());
        QCOMPARE(reportsOf({"search", "--sync", "--name", "r770-other-client", "windowfocus",
                            "--sync", "key", "c"}),
                 (QStringList{"+6", "-6"}));
        // The other client got the key too: nothing is grabbed.
        QByteArray seen;
        QTRY_VERIFY_WITH_TIMEOUT((seen += other.readAllStandardOutput()).contains("KeyPress"),
                                 5000);
        other.kill();
        other.waitForFinished();
    }
};

QTEST_MAIN(TestInputX11)
#include "tst_input_x11.moc"
