// Recording a macro from the real keyboard capture: xdotool types into the
// X server with pauses while the macro editor records, and what is stored
// and what reaches the mouse's macro slot follow the keys and the pauses.
// Needs an X server (xvfb-run). The pauses are measured where the scene
// receives the keys, so the bounds are generous: CI machines are slow and
// shared.
#include "inputhook.h"
#include "myqquickview.h"
#include "scenerig.h"
#include "xdotool.h"

#include <QApplication>
#include <QtTest>

using scenetest::SceneRig;

class TestMacroRecording : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        qputenv("GSETTINGS_BACKEND", "memory");
        scenetest::collectSceneWarnings();
    }

    void keysTypedWithPausesAreRecorded()
    {
        SceneRig rig;
        rig.writeMacro("Typed", {});
        rig.listMacros({"Typed", "Other"});
        rig.configure({{"mouseKeyMatrix/3", QStringList{"4", "0", "3", "0"}}, {"mouseMacroKey/3", "Typed"}}, "p1.bin");
        QVERIFY(rig.start());

        InputHook hook(false);
        hook.setKeyboardCallback([](unsigned char usage, bool isDown, void *view) {
            static_cast<myQQuickView *>(view)->keyboardNotify(isDown, usage);
        }, &rig.view());
        QVERIFY(hook.installHooks());

        rig.callRoot("openDialog", {"macro"});
        QObject *store = rig.find("macroStore");
        QCOMPARE(store->property("current").toString(), QStringLiteral("Typed"));
        QVERIFY(rig.call(store, "startRecording", {-1}).toBool());

        // C is still held when the editor closes.
        QVERIFY(xdotool({"keydown", "Shift_L", "key", "a", "keyup", "Shift_L", "sleep", "0.6", "keydown", "b",
                         "sleep", "0.3", "keyup", "b", "keydown", "c"}));
        const QRegularExpression action("^[1-4],");
        QTRY_COMPARE_WITH_TIMEOUT(store->property("steps").toStringList().filter(action).size(), 7, 10000);
        // Closing the editor stops the recording, releases the held key,
        // stores the macro and sends it.
        rig.call(rig.find("macroClose"), "clicked");
        QVERIFY(!store->property("recording").toBool());
        QVERIFY(xdotool({"keyup", "c"}));

        const QStringList steps = store->property("steps").toStringList();
        QCOMPARE(steps.filter(action), QStringList({"1,LShift", "1,A", "2,A", "2,LShift", "1,B", "2,B", "1,C", "2,C"}));
        for (int i = 0; i < steps.size(); ++i)
            QCOMPARE(rig.stored("../macro/Typed.bin", QStringLiteral("macro/%1").arg(i)), steps.at(i));
        QCOMPARE(rig.stored("../macro/Typed.bin", "config/total"), QString::number(steps.size()));

        // The pauses: 0.6 s after Shift went up, 0.3 s holding b.
        auto pauseAfter = [&steps](const QString &action) {
            int ms = 0;
            for (int i = steps.indexOf(action) + 1; i < steps.size() && steps.at(i).startsWith("0,"); ++i)
                ms += steps.at(i).mid(2).toInt();
            return ms;
        };
        const int afterShift = pauseAfter("2,LShift");
        const int holdingB = pauseAfter("1,B");
        QVERIFY2(afterShift >= 450 && afterShift <= 3000, qPrintable(QString::number(afterShift)));
        QVERIFY2(holdingB >= 200 && holdingB <= 3000, qPrintable(QString::number(holdingB)));

        // What reached key 4's slot is the stored macro in the device form
        // (whose bytes the rules test checks): the same as sending it anew.
        QVERIFY(rig.call(store, "send", {"Typed", 7}).toBool());
        QCOMPARE(rig.mouse.state().macros[3], rig.mouse.state().macros[7]);
        QCOMPARE(int(rig.mouse.state().macros[3][3]), 0xE1);

        const QStringList warnings = scenetest::takeSceneWarnings();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }
};

SCENE_TEST_MAIN(TestMacroRecording)

#include "tst_macro_recording.moc"
