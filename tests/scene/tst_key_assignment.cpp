// The key assignment dialog of the real scene against the virtual mouse:
// the codes each function gives the key, keys taken from the capture's
// reports, what closing the dialog changes, and what reaches the mouse and
// the profile (read back in a fresh process). Any QML warning fails.
#include "myqquickview.h"
#include "scenerig.h"
#include "widget.h"

#include <QApplication>
#include <QtTest>

using scenetest::SceneRig;

namespace {

constexpr int KeyMatrix553 = 0x12, Macro553 = 0x13;

QString text(int position)
{
    return scenetest::englishText("keyAssigment", position);
}

} // namespace

class TestKeyAssignment : public scenetest::SceneTestCase
{
    Q_OBJECT

    QObject *keys = nullptr;

    bool start()
    {
        if (!rig->startActive())
            return false;
        keys = rig->find("keyPanel");
        return keys != nullptr;
    }

    // Opens the dialog of key `index` (0-based); null when it does not open.
    QObject *open(int index)
    {
        // Closed dialogs go first, so that a search finds only this one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rig->callRoot("openKeyDialog", {index});
        return rig->find("keyDialog")->property("item").value<QObject *>();
    }

    bool opened() const { return rig->find("keyDialog")->property("opened").toBool(); }
    QVariantList codesOf(int index) const { return rig->keyCodes(index); }
    bool dirty() const { return keys->property("dirty").toBool(); }
    QString description(int index) const { return rig->call(keys, "description", {index}).toString(); }
    static QVariantList choice(QObject *dialog) { return scenetest::ints(dialog->property("choice")); }
    QString hint() const { return rig->find("keyHint")->property("text").toString(); }

    void click(const QString &objectName) { QVERIFY2(rig->click(objectName), qPrintable(objectName)); }

    // What the capture reports, as the program calls the scene.
    void report(bool isDown, int code) { rig->callRoot("detectKeyboard", {isDown, code}); }

private slots:
    // A click on a function and on OK gives key 4 the function's codes and
    // text, held unsaved; a weapon key names its weapon.
    void everyFunctionGivesItsCodes()
    {
        make();
        QVERIFY(start());
        for (const auto &[category, tile, codes, shown] :
             {std::tuple{"category_mouse", "choice0_240_30_2", QVariantList{0, 0xF0, 0x1E, 0x02}, QStringLiteral("Double Fire")},
              {"category_gun", "choice8_0_2_0", QVariantList{8, 0, 2, 0},
               scenetest::englishText("notice", 18).replace("%1", "AKM")}}) {
            QVERIFY(open(3));
            click(category);
            click(tile);
            click("keyOk");
            QVERIFY(!opened());
            QCOMPARE(codesOf(3), codes);
            QCOMPARE(description(3), shown);
            QVERIFY(dirty());
            rig->call(keys, "init", {false}); // back to the stored assignment
        }
    }

    // Fire and combinations take their keys from the capture's reports; a
    // code the key table does not hold is refused with a hint and never
    // becomes a key. Escape leaves the key as it was.
    void fireAndCombinationFromTheCapture()
    {
        make();
        QVERIFY(start());
        QObject *dialog = open(4);
        click("category_fire");
        click("fireKey");
        QCOMPARE(hint(), text(58));
        report(true, 0x74); // no such key in the table
        QCOMPARE(dialog->property("capturing").toString(), QStringLiteral("fire"));
        QCOMPARE(hint(), text(60));
        QCOMPARE(choice(dialog), QVariantList({0, 0, 0xF4, 0}));
        report(true, 0x04);
        report(false, 0x04);
        QCOMPARE(dialog->property("capturing").toString(), QString());
        rig->call(rig->find("fireRate"), "edited", {"10"});
        click("fireEndless"); // repeats while the button is held
        QCOMPARE(choice(dialog), QVariantList({1, 0x04, 10, 0}));
        QTest::keyClick(&rig->view(), Qt::Key_Escape);
        QVERIFY(!opened());
        QCOMPARE(codesOf(4), QVariantList({0, 0, 0xF4, 0}));
        QVERIFY(!dirty());

        open(4);
        click("category_combination");
        click("comboKeys");
        for (int code : {0xE0, 0xE1, 0x06, 0x74})
            report(true, code);
        QCOMPARE(hint(), text(60));
        for (int code : {0x06, 0xE1, 0x74, 0xE0})
            report(false, code);
        click("keyOk");
        QCOMPARE(codesOf(4), QVariantList({2, 0x03, 0x06, 0}));
        QCOMPARE(description(4), QStringLiteral("LCtrl + LShift + C"));
    }

    // A macro goes to the key's own slot when OK is pressed, and its name
    // is stored at once; the key's assignment waits for Save. A macro that
    // has no device form is refused and nothing changes.
    void macroIsSentAtOnce()
    {
        SceneRig &r = make();
        r.writeMacro("Burst", {"1,A", "0,100", "2,A"});
        r.writeMacro("Broken", {"1,A", "9,zzz"});
        r.listMacros({"Burst", "Broken"});
        QVERIFY(start());

        QObject *dialog = open(3);
        click("category_macro");
        click("macroMode2");
        rig->call(dialog, "chooseMacro", {"Broken", 2});
        r.mark();
        click("keyOk");
        QVERIFY(opened());
        QCOMPARE(hint(), text(61));
        QVERIFY(r.commandsSinceMark().isEmpty());

        rig->call(dialog, "chooseMacro", {"Burst", 2});
        click("keyOk");
        QVERIFY(!opened());
        QCOMPARE(r.commandsSinceMark(), QList<int>{Macro553});
        const std::array<uint8_t, 128> burst{0, 1, 10, 4, 0x81, 4};
        QCOMPARE(r.mouse.state().macros[3], burst);
        QCOMPARE(r.stored("p1.bin", "mouseMacroKey/3"), QStringLiteral("Burst"));
        QCOMPARE(codesOf(3), QVariantList({4, 2, 3, 0}));
        QCOMPARE(description(3), scenetest::englishText("notice", 17).replace("%1", "Burst"));

        // Opened again, it shows the macro; OK alone sends nothing.
        dialog = open(3);
        QCOMPARE(dialog->property("macroName").toString(), QStringLiteral("Burst"));
        r.mark();
        click("keyOk");
        QVERIFY(r.commandsSinceMark().isEmpty());
        save();
        QCOMPARE(r.commandsSinceMark(), QList<int>{KeyMatrix553});
        QCOMPARE(r.stored("p1.bin", "mouseKeyMatrix/3"), QStringLiteral("4, 2, 3, 0"));
    }

    // Keys whose entry the key matrix fixes, and the only left button, are
    // never offered; keys 13 to 16 have no macro slot, and the dialog
    // refuses a macro there in r770ctl's words. The factory button gives
    // the key its pD.bin assignment at once.
    void keysTheMouseKeeps()
    {
        SceneRig &r = make();
        r.configure({{"mouse/keyCount", 16}});
        r.configure({{"mouseKeyMatrix/6", QStringList{"0", "0", "242", "0"}},
                     {"mouseKeyMatrix/2", QStringList{"2", "0", "4", "0"}}}, "p1.bin");
        r.writeMacro("Burst", {"1,A", "2,A"});
        r.listMacros({"Burst"});
        QVERIFY(start());
        for (const auto &[key, position] : {std::pair{6, 23}, {7, 24}, {8, 57}, {5, 22}})
            QCOMPARE(description(key), text(position));
        for (int key : {0, 6, 7, 12})
            QVERIFY2(!open(key), qPrintable(QString::number(key)));

        QObject *dialog = open(13);
        QVERIFY(dialog);
        rig->call(dialog, "chooseMacro", {"Burst", 0});
        r.mark();
        click("keyOk");
        QVERIFY(opened());
        QCOMPARE(hint(), text(65).replace("%1", "12"));
        QVERIFY(r.commandsSinceMark().isEmpty());
        QCOMPARE(codesOf(13), QVariantList({0, 0, 0, 0}));
        QVERIFY(!dirty());
        click("keyCancel");

        QVERIFY(open(2));
        click("keyFactory");
        click("keyCancel");
        QCOMPARE(codesOf(2), QVariantList({0, 0, 0xF2, 0}));
        QVERIFY(dirty());
    }
};

SCENE_TEST_MAIN(TestKeyAssignment)

#include "tst_key_assignment.moc"
