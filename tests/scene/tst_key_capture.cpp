// Keys for the key assignment dialog typed by a real X client (xdotool) into
// the real window, once through the X11 capture (with the window's own
// events watched too, as the program does) and once through the window's
// own events alone, as on a Wayland session or where the capture cannot be
// installed. Either way the stored codes are right and each key reaches the
// scene exactly once. Needs an X server (xvfb-run).
#include "inputhook.h"
#include "myqquickview.h"
#include "platformhooks.h"
#include "scenerig.h"
#include "widget.h"
#include "windowinputtap.h"
#include "xdotool.h"

#include <QApplication>
#include <QQuickItem>
#include <QtTest>

using scenetest::SceneRig;

namespace {

// Where the X11 capture is not available.
struct NoCapture : HookBackend
{
    bool install() override { return false; }
    void remove() override {}
};

} // namespace

class TestKeyCapture : public QObject
{
    Q_OBJECT

    std::unique_ptr<SceneRig> rig;
    std::unique_ptr<InputHook> hook;
    std::unique_ptr<WindowInputTap> tap;
    // What reached the scene: "+4" key 4 down, "-4" up; "+f0" button down.
    QStringList keys, buttons;

    // Real clicks at a point of the scene, through the X server.
    bool clickAt(QPoint scenePoint, int repeat = 1)
    {
        const QPoint at = rig->view().mapToGlobal(scenePoint);
        return xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()),
                        "click", "--repeat", QString::number(repeat), "1"});
    }

    // A real click at the middle of an item, once the window shows it: the
    // page an earlier click chose may appear only after xdotool has ended.
    bool click(const QString &objectName)
    {
        const QQuickItem *target = rig->shown(objectName);
        return target && clickAt(SceneRig::centreOf(target));
    }

    QObject *dialog() const { return rig->find("keyDialog")->property("item").value<QObject *>(); }
    QVariantList choice() const { return scenetest::ints(dialog()->property("choice")); }
    QVariantList codesOf(int index) const { return rig->keyCodes(index); }

public slots:
    void keyReported(bool isDown, int code)
    {
        keys << (isDown ? "+" : "-") + QString::number(code, 16);
    }
    void buttonReported(bool isDown, int code, int, int)
    {
        buttons << (isDown ? "+" : "-") + QString::number(code, 16);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        qputenv("GSETTINGS_BACKEND", "memory");
        scenetest::collectSceneWarnings();
    }

    void cleanup()
    {
        tap.reset();
        hook.reset();
        rig.reset();
        keys.clear();
        buttons.clear();
        const QStringList warnings = scenetest::takeSceneWarnings();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void keysTypedIntoTheDialog_data()
    {
        QTest::addColumn<bool>("x11Capture");
        QTest::addRow("X11 capture and the window's events") << true;
        QTest::addRow("the window's events alone") << false;
    }

    void keysTypedIntoTheDialog()
    {
        QFETCH(bool, x11Capture);
        rig = std::make_unique<SceneRig>();
        QVERIFY(rig->startActive());

        // As the program sets them up.
        hook = x11Capture ? std::make_unique<InputHook>(false)
                          : std::make_unique<InputHook>(false, std::make_unique<NoCapture>());
        QCOMPARE(hook->ownWindowEventsNeeded(), !x11Capture);
        hook->setKeyboardCallback([](unsigned char usage, bool isDown, void *view) {
            static_cast<myQQuickView *>(view)->keyboardNotify(isDown, usage);
        }, &rig->view());
        hook->setMouseCallback([](unsigned code, bool isDown, int x, int y, void *view) {
            static_cast<myQQuickView *>(view)->mouseNotify(isDown, code, unsigned(x), unsigned(y));
        }, &rig->view());
        tap = std::make_unique<WindowInputTap>(*hook, &rig->view());
        QVERIFY(connect(rig->root(), SIGNAL(msg_KB(bool,int)), this, SLOT(keyReported(bool,int))));
        QVERIFY(connect(rig->root(), SIGNAL(msg_MS(bool,int,int,int)), this, SLOT(buttonReported(bool,int,int,int))));

        // Fire on key 4: a click on the input, then A; Rate and Times typed.
        rig->callRoot("openKeyDialog", {3});
        QVERIFY(dialog());
        QVERIFY(click("category_fire"));
        QVERIFY(click("fireKey"));
        QTRY_COMPARE(dialog()->property("capturing").toString(), QStringLiteral("fire"));
        keys.clear();
        QVERIFY(xdotool({"key", "a"}));
        QTRY_COMPARE(keys, (QStringList{"+4", "-4"}));
        QTRY_COMPARE(choice(), (QVariantList{1, 4, 10, 1}));
        QVERIFY(click("fireRate"));
        QVERIFY(xdotool({"key", "ctrl+a", "type", "25"}));
        QVERIFY(xdotool({"key", "Tab"}));
        QVERIFY(click("fireTimes"));
        QVERIFY(xdotool({"key", "ctrl+a", "type", "3"}));
        QVERIFY(xdotool({"key", "Tab"}));
        QTRY_COMPARE(choice(), (QVariantList{1, 4, 25, 3}));
        buttons.clear();
        QVERIFY(click("keyOk"));
        QTRY_VERIFY(!rig->find("keyDialog")->property("opened").toBool());
        QTRY_COMPARE(buttons, (QStringList{"+f0", "-f0"}));
        QCOMPARE(codesOf(3), (QVariantList{1, 4, 25, 3}));

        // Left Ctrl + left Shift + C on key 5, shown as they are pressed.
        rig->callRoot("openKeyDialog", {4});
        QVERIFY(click("category_combination"));
        QVERIFY(click("comboKeys"));
        QTRY_COMPARE(dialog()->property("capturing").toString(), QStringLiteral("combination"));
        keys.clear();
        QVERIFY(xdotool({"keydown", "Control_L", "keydown", "Shift_L", "key", "c", "keyup", "Shift_L",
                         "keyup", "Control_L"}));
        QTRY_COMPARE(keys, (QStringList{"+e0", "+e1", "+6", "-6", "-e1", "-e0"}));
        QTRY_COMPARE(dialog()->property("capturing").toString(), QString());
        QCOMPARE(choice(), (QVariantList{2, 0x03, 0x06, 0}));
        // The captured keys pressed nothing in the dialog: it is still open.
        QVERIFY(rig->find("keyDialog")->property("opened").toBool());
        QVERIFY(click("keyOk"));
        QTRY_COMPARE(codesOf(4), (QVariantList{2, 0x03, 0x06, 0}));

        // A double-click is two presses and two releases.
        buttons.clear();
        QVERIFY(clickAt({272, 300}, 2)); // between the key panel and the picture
        QTRY_COMPARE(buttons, (QStringList{"+f0", "-f0", "+f0", "-f0"}));

        rig->mark();
        rig->callRoot("saveChanges");
        QVERIFY(rig->waitUnlocked());
        QCOMPARE(rig->commandsSinceMark(), QList<int>{0x12});
        QCOMPARE(rig->stored("p1.bin", "mouseKeyMatrix/3"), QStringLiteral("1, 4, 25, 3"));
        QCOMPARE(rig->stored("p1.bin", "mouseKeyMatrix/4"), QStringLiteral("2, 3, 6, 0"));
    }
};

SCENE_TEST_MAIN(TestKeyCapture)

#include "tst_key_capture.moc"
