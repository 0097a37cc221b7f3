// The key assignment dialog of the real scene against the virtual mouse:
// the codes each function gives the key, keys taken from the capture's
// reports, what closing the dialog changes, and what reaches the mouse and
// the profile (read back in a fresh process). Any QML warning fails.
#include "hexbytes.h"
#include "myqquickview.h"
#include "scenerig.h"
#include "widget.h"

#include <QApplication>
#include <QQuickItem>
#include <QSettings>
#include <QtTest>

using scenetest::MouseSetup;
using scenetest::SceneRig;

namespace {

constexpr int KeyMatrix553 = 0x12, SelectMatrix553 = 0x02, Macro553 = 0x13;
constexpr int Profile560 = 0x0C, KeyMatrix560 = 0x0D, SelectProfile560 = 0x02;

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
    // A click on a function of each group and on OK gives key 4 the
    // function's codes and text, held unsaved.
    void everyFunctionGivesItsCodes()
    {
        make();
        QVERIFY(start());
        struct Function
        {
            const char *category;
            QVariantList codes;
            const char *text;
        };
        // One function of each group: the groups' tiles come from the same
        // lists the rules tests check entry by entry.
        const Function functions[] = {
            {"mouse", {0, 0, 0xF2, 0}, "Middle Key"}, {"mouse", {0, 0xF0, 0x1E, 0x02}, "Double Fire"},
            {"media", {3, 0, 0x83, 1}, "Player"},     {"dpi", {5, 0, 4, 0}, "Sniper Key"},
            {"windows", {6, 4, 0x2C, 0x1B}, "Max"},   {"shortcut", {7, 0, 0xE0, 0x06}, "Copy"},
            {"gun", {8, 0, 2, 0}, "Two Gun"},
        };
        for (const Function &f : functions) {
            QObject *dialog = open(3);
            QVERIFY(dialog);
            click(QStringLiteral("category_") + f.category);
            QStringList tile;
            for (const QVariant &c : f.codes)
                tile << QString::number(c.toInt());
            click("choice" + tile.join('_'));
            click("keyOk");
            QVERIFY2(!opened(), f.text);
            QCOMPARE(codesOf(3), f.codes);
            // A weapon key names its weapon.
            QCOMPARE(description(3), f.codes.at(0) == 8 ? scenetest::englishText("notice", 18).replace("%1", "AKM")
                                                        : QString::fromLatin1(f.text));
            QVERIFY(dirty());
            rig->call(keys, "init", {false}); // back to the stored assignment
        }
        QCOMPARE(codesOf(3), QVariantList({0, 0, 0xF3, 0}));

        // By keyboard: Enter gives the key the function that has the focus.
        QObject *dialog = open(3);
        rig->call(dialog, "showCategory", {"dpi"});
        qobject_cast<QQuickItem *>(rig->find("choice5_0_2_0"))->forceActiveFocus();
        QTest::keyClick(&rig->view(), Qt::Key_Return);
        QVERIFY(!opened());
        QCOMPARE(codesOf(3), QVariantList({5, 0, 2, 0}));

        // The fixed function is shown, and no group offers it.
        rig->call(keys, "setKey", {3, QVariantList{0xFF, 0, 1, 0}, QString()});
        dialog = open(3);
        QCOMPARE(rig->find("keyResult")->property("text").toString(), text(57));
        QCOMPARE(dialog->property("category").toString(), QStringLiteral("mouse"));
        rig->call(rig->find("keyDialog"), "close");
    }

    // Fire and combinations take their keys from the capture's reports; a
    // code the key table does not hold is refused with a hint and never
    // becomes a key.
    void fireAndCombinationFromTheCapture()
    {
        make();
        QVERIFY(start());
        QObject *dialog = open(4);
        click("category_fire");
        click("fireKey");
        QCOMPARE(dialog->property("capturing").toString(), QStringLiteral("fire"));
        QCOMPARE(hint(), text(58));
        report(true, 0x74); // no such key in the table
        QCOMPARE(dialog->property("capturing").toString(), QStringLiteral("fire"));
        QCOMPARE(hint(), text(60));
        QVERIFY(rig->find("fireKey")->property("invalid").toBool());
        QCOMPARE(choice(dialog), QVariantList({0, 0, 0xF4, 0}));
        report(true, 0x04);
        report(false, 0x04);
        QCOMPARE(dialog->property("capturing").toString(), QString());
        QCOMPARE(hint(), text(64));
        rig->call(rig->find("fireRate"), "edited", {"10"});
        rig->call(rig->find("fireTimes"), "edited", {"3"});
        QCOMPARE(choice(dialog), QVariantList({1, 0x04, 10, 3}));
        click("fireEndless"); // repeats while the button is held
        QCOMPARE(choice(dialog), QVariantList({1, 0x04, 10, 0}));
        click("keyOk");
        QCOMPARE(codesOf(4), QVariantList({1, 0x04, 10, 0}));

        // Left Ctrl, left Shift and C; the dialog shows the keys as they come.
        dialog = open(4);
        QCOMPARE(dialog->property("category").toString(), QStringLiteral("fire"));
        QCOMPARE(rig->find("fireKey")->property("text").toString(), QStringLiteral("A"));
        click("category_combination");
        click("comboKeys");
        report(true, 0xE0);
        report(true, 0xE1);
        report(true, 0x06);
        QCOMPARE(rig->find("comboKeys")->property("text").toString(), QStringLiteral("LCtrl + LShift + C"));
        report(true, 0x74);
        QCOMPARE(hint(), text(60));
        for (int code : {0x06, 0xE1, 0x74, 0xE0})
            report(false, code);
        QCOMPARE(dialog->property("capturing").toString(), QString());
        QCOMPARE(choice(dialog), QVariantList({2, 0x03, 0x06, 0}));
        // A new capture that takes nothing keeps the combination.
        click("comboKeys");
        QCOMPARE(rig->find("comboKeys")->property("text").toString(), QString());
        click("category_fire");
        click("category_combination");
        QCOMPARE(rig->find("comboKeys")->property("text").toString(), QStringLiteral("LCtrl + LShift + C"));
        click("keyOk");
        QCOMPARE(codesOf(4), QVariantList({2, 0x03, 0x06, 0}));
        QCOMPARE(description(4), QStringLiteral("LCtrl + LShift + C"));
    }

    // The keyboard stays in the open dialog: Tab and Shift+Tab go round its
    // own controls, Escape closes it and the focus goes back to the control
    // that opened it. A number typed into a field counts when a click on OK
    // takes the focus away, and Enter there does not close the dialog.
    void keyboardStaysInTheDialog()
    {
        make();
        QVERIFY(start());
        auto *opener = qobject_cast<QQuickItem *>(rig->find("gunButton"));
        opener->forceActiveFocus();
        QObject *dialog = open(4);
        // The dialog's own item, round its content.
        auto *card = dialog->property("contentItem").value<QQuickItem *>()->parentItem();
        QSet<QQuickItem *> visited;
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            for (int i = 0; i < 40; ++i) {
                QTest::keyClick(&rig->view(), key);
                QCoreApplication::processEvents(); // the dialog takes the focus back after the key
                QQuickItem *now = rig->view().quickWindow()->activeFocusItem();
                QVERIFY2(now && (now == card || card->isAncestorOf(now)),
                         qPrintable(QString::number(i) + ' ' + (now ? now->objectName() + ' ' + now->metaObject()->className() : QString())));
                visited.insert(now);
            }
        }
        QVERIFY(visited.size() > 5);
        QTest::keyClick(&rig->view(), Qt::Key_Escape);
        QVERIFY(!opened());
        QCOMPARE(rig->view().quickWindow()->activeFocusItem(), opener);

        open(4);
        click("category_fire");
        click("fireKey");
        report(true, 0x04);
        report(false, 0x04);
        QTest::qWait(300); // the capture's settling time
        click("fireTimes");
        QTest::keyClick(&rig->view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&rig->view(), "3");
        QTest::keyClick(&rig->view(), Qt::Key_Return);
        QVERIFY(opened());
        QCOMPARE(codesOf(4), QVariantList({0, 0, 0xF4, 0})); // not yet given
        QTest::keyClick(&rig->view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&rig->view(), "4");
        click("keyOk");
        QVERIFY(!opened());
        QCOMPARE(codesOf(4).value(0).toInt(), 1);
        QCOMPARE(codesOf(4).value(3).toInt(), 4);
    }

    // Closing without a change, or with Cancel, Escape or the close button,
    // leaves the key page as it was.
    void closingWithoutAChange()
    {
        make();
        QVERIFY(start());
        const QVariantList before = codesOf(3);
        open(3);
        click("keyOk");
        QVERIFY(!opened());
        QVERIFY(!dirty());
        QVERIFY(!rig->root()->property("unsaved").toBool());

        QObject *dialog = open(3);
        rig->call(dialog, "choose", {QVariant(QVariantList{5, 0, 3, 0})});
        click("keyCancel");
        dialog = open(3);
        rig->call(dialog, "choose", {QVariant(QVariantList{5, 0, 3, 0})});
        QTest::keyClick(&rig->view(), Qt::Key_Escape);
        QVERIFY(!opened());
        // The same function chosen again is no change.
        dialog = open(3);
        click("category_dpi");
        click("choice5_0_3_0");
        click("category_mouse");
        click("choice0_0_243_0");
        click("keyOk");
        QCOMPARE(codesOf(3), before);
        QVERIFY(!dirty());
        save();
        QVERIFY(rig->commandsSinceMark().isEmpty());
    }

    // Save stores the assignments made in the dialog and sends the key
    // matrix frames; with a recoil weapon key, the derived matrices too.
    void saveSendsTheAssignment_data()
    {
        QTest::addColumn<bool>("hid560");
        QTest::addColumn<bool>("withGun");
        QTest::addColumn<QList<int>>("frames");
        QTest::addRow("hid553") << false << false << QList<int>{KeyMatrix553};
        QTest::addRow("hid553 weapon") << false << true << QList<int>(4, KeyMatrix553) + QList<int>{SelectMatrix553};
        QTest::addRow("hid560") << true << false << QList<int>{KeyMatrix560};
        // The profile image with the recoil-mode mask goes when the save ends.
        QTest::addRow("hid560 weapon") << true << true
                                       << QList<int>(4, KeyMatrix560) + QList<int>{SelectProfile560, Profile560};
    }

    void saveSendsTheAssignment()
    {
        QFETCH(bool, hid560);
        QFETCH(bool, withGun);
        QFETCH(QList<int>, frames);
        make({hid560, true});
        QVERIFY(start());

        auto assign = [this](int key, const QVariantList &codes) {
            rig->call(open(key), "choose", {QVariant(codes)});
            click("keyOk");
        };
        assign(3, {1, 0x04, 10, 3});
        assign(4, {2, 0x03, 0x06, 0});
        if (withGun)
            assign(1, {8, 0, 2, 0});
        QVERIFY(rig->root()->property("unsaved").toBool());
        save();
        QCOMPARE(rig->commandsSinceMark(), frames);
        QVERIFY(!dirty());
        QCOMPARE(rig->stored("p1.bin", "mouseKeyMatrix/3"), QStringLiteral("1, 4, 10, 3"));
        QCOMPARE(rig->stored("p1.bin", "mouseKeyMatrix/4"), QStringLiteral("2, 3, 6, 0"));
        // The device form of each entry: controller/tst_device.cpp;
        // the recoil-mode mask reaches the mouse in profile image 0.
        if (withGun && hid560)
            QCOMPARE(hexBytes(rig->mouse.state().profiles[0]), hexBytes(rig->view().profileImages[0]));
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
        QCOMPARE(codesOf(3), QVariantList({0, 0, 0xF3, 0}));

        rig->call(dialog, "chooseMacro", {"Burst", 2});
        QCOMPARE(choice(dialog), QVariantList({4, 2, 3, 0}));
        click("keyOk");
        QVERIFY(!opened());
        QCOMPARE(r.commandsSinceMark(), QList<int>{Macro553});
        std::array<uint8_t, 128> burst{};
        const uint8_t bytes[] = {0, 1, 10, 4, 0x81, 4, 0, 0};
        std::copy(std::begin(bytes), std::end(bytes), burst.begin());
        QCOMPARE(r.mouse.state().macros[3], burst);
        QCOMPARE(r.stored("p1.bin", "mouseMacroKey/3"), QStringLiteral("Burst"));
        QCOMPARE(codesOf(3), QVariantList({4, 2, 3, 0}));
        QCOMPARE(description(3), scenetest::englishText("notice", 17).replace("%1", "Burst"));
        QVERIFY(dirty());

        // Opened again, it shows the macro; OK alone sends nothing.
        dialog = open(3);
        QCOMPARE(dialog->property("category").toString(), QStringLiteral("macro"));
        QCOMPARE(dialog->property("macroName").toString(), QStringLiteral("Burst"));
        QVERIFY(rig->find("macroMode2")->property("checked").toBool());
        r.mark();
        click("keyOk");
        QVERIFY(r.commandsSinceMark().isEmpty());

        save();
        QCOMPARE(r.commandsSinceMark(), QList<int>{KeyMatrix553});
        QCOMPARE(r.stored("p1.bin", "mouseKeyMatrix/3"), QStringLiteral("4, 2, 3, 0"));

        // The macro editor opens over the dialog.
        open(3);
        click("category_macro");
        click("openMacroEditor");
        QVERIFY(rig->find("macroDialog")->property("opened").toBool());
        rig->call(rig->find("macroDialog"), "close");
        QVERIFY(opened());
    }

    // Keys whose entry the key matrix fixes show the mouse's own function
    // and are never offered, whatever the profile holds; keys 13 to 16 have
    // no macro slot, and the dialog refuses a macro there in r770ctl's words.
    void keysTheMouseKeeps()
    {
        SceneRig &r = make();
        r.configure({{"mouse/keyCount", 16}});
        r.configure({{"mouseKeyMatrix/6", QStringList{"0", "0", "242", "0"}}}, "p1.bin");
        r.writeMacro("Burst", {"1,A", "2,A"});
        r.listMacros({"Burst"});
        QVERIFY(start());
        for (const auto &[key, position] : {std::pair{6, 23}, {7, 24}, {8, 57}, {5, 22}})
            QCOMPARE(description(key), text(position));
        for (int key : {6, 7, 12})
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
    }

    // The only left button is never offered; the factory button gives the
    // key its pD.bin assignment in the dialog and on the key page at once.
    void leftButtonAndFactory()
    {
        SceneRig &r = make();
        r.configure({{"mouseKeyMatrix/2", QStringList{"2", "0", "4", "0"}}}, "p1.bin");
        QVERIFY(start());
        QVERIFY(!open(0));
        QObject *dialog = open(2);
        QVERIFY(dialog);
        QCOMPARE(dialog->property("category").toString(), QStringLiteral("combination"));
        click("keyFactory");
        QCOMPARE(choice(dialog), QVariantList({0, 0, 0xF2, 0}));
        QCOMPARE(dialog->property("category").toString(), QStringLiteral("mouse"));
        QCOMPARE(codesOf(2), QVariantList({0, 0, 0xF2, 0}));
        QVERIFY(dirty());
        click("keyCancel");
        QCOMPARE(codesOf(2), QVariantList({0, 0, 0xF2, 0}));
        save();
        QCOMPARE(r.stored("p1.bin", "mouseKeyMatrix/2"), QStringLiteral("0, 0, 242, 0"));

        // With a second left button, the first may change.
        rig->call(keys, "setKey", {1, QVariantList{0, 0, 0xF0, 0}, QString()});
        QVERIFY(open(0));
    }
};

SCENE_TEST_MAIN(TestKeyAssignment)

#include "tst_key_assignment.moc"
