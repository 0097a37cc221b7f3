// The real scene, loaded from the resources by the real program, driven
// against the virtual mouse: what reaches the mouse (its frames and state)
// and the files (read back in a fresh process). Any QML warning fails.
#include "deviceeventtexts.h"
#include "hexbytes.h"
#include "myqquickview.h"
#include "scenerig.h"
#include "widget.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QJSValue>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QtTest>


using scenetest::MouseSetup;
using scenetest::SceneRig;
using scenetest::ScriptedDialogs;

namespace {

// hid553 commands
constexpr int KeyMatrix553 = 0x12, DpiSet = 0x11, LedColour = 0x10, LedEffect = 0x0D, Lod = 0x07,
              CurrentDpi553 = 0x0B, GetCurrentDpi553 = 0x8B, GetKeyOptions = 0x83, GunData = 0x04;
// hid560 commands
constexpr int CurrentProfile560 = 0x02, Profile560 = 0x0C, KeyMatrix560 = 0x0D,
              GetCurrentProfile560 = 0x82, GetCurrentDpi560 = 0x84;

// Stands in for the browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QUrl opened;
public slots:
    void open(const QUrl &url) { opened = url; }
};

// The controls Tab reaches on the shown part of the window that a screen
// reader would read without a name.
QStringList unnamedControls(QQuickItem *item)
{
    if (!item->isVisible() || item->opacity() == 0)
        return {};
    QStringList missing;
    const QAccessibleInterface *face = QAccessible::queryAccessibleInterface(item);
    if (item->activeFocusOnTab() && (!face || face->text(QAccessible::Name).trimmed().isEmpty()))
        missing << QString::fromLatin1(item->metaObject()->className()) + ' ' + item->objectName();
    for (QQuickItem *child : item->childItems())
        missing << unnamedControls(child);
    return missing;
}

// A row for each command set, the hid553 one scrambled.
void bothKinds()
{
    QTest::addColumn<bool>("hid560");
    QTest::addColumn<bool>("scrambling");
    QTest::addRow("hid553 scrambled") << false << true;
    QTest::addRow("hid560 plain") << true << false;
}

QList<int> repeat(int code, int times)
{
    return QList<int>(times, code);
}

// The device profiles the profile-image frames (0CH) addressed, in order.
QList<int> imageBlocks(const std::vector<vr770::Bytes> &frames)
{
    QList<int> blocks;
    for (const vr770::Bytes &frame : frames)
        if (frame[1] == Profile560)
            blocks << frame[2];
    return blocks;
}

} // namespace

class TestScene : public scenetest::SceneTestCase
{
    Q_OBJECT

    QObject *page(const char *name) const { return rig->find(QString::fromLatin1(name)); }
    QVariant call(const char *object, const char *function, const QVariantList &args = {}) const
    {
        return rig->call(page(object), function, args);
    }
    QVariant property(const char *object, const char *name) const { return page(object)->property(name); }
    QString notice() const { return property("notice", "text").toString(); }

    // Edits every page that Save sends.
    void editAllPages()
    {
        QVERIFY(call("keyPanel", "setKey", {3, QVariantList{2, 0x01, 0x06, 0}, QString()}).toBool());
        call("dpiPanel", "setValue", {1, 3000});
        call("lightPanel", "setEffect", {1});
        call("liftOffPanel", "setPosition", {89});
    }

    // The profile images the controller holds are what the mouse holds.
    void expectImagesOnTheMouse()
    {
        const vr770::MouseState s = rig->mouse.state();
        for (int b = 0; b < 5; ++b)
            QCOMPARE(hexBytes(s.profiles[size_t(b)]), hexBytes(rig->view().profileImages[b]));
    }

    // Lets closed dialogs go, so that a search finds only what is open.
    static void settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void expectFrames(const QList<int> &got, const QList<int> &expected)
    {
        QCOMPARE(hexBytes(got), hexBytes(expected));
    }

private slots:
    void startUp_data() { bothKinds(); }

    // The first initialisation reads the profile in use (also for the
    // lift-off panel), sends nothing and asks the mouse only what it must.
    void startUp()
    {
        QFETCH(bool, hid560);
        QFETCH(bool, scrambling);
        SceneRig &r = make({hid560, scrambling});
        r.configure({{"mouse/profileNo", 1}});
        r.configure({{"profile/profileName", QStringList{"Home0", "Work1"}}}, "name.bin");
        r.configure({{"mouse/reportRate", 80}, {"mouseKeyMatrix/1", QStringList{"5", "0", "3", "0"}}}, "p2.bin");
        r.mouse.setCurrentDpi(4);
        if (hid560)
            r.mouse.setCurrentProfile(3);
        deviceEventTexts().reset();
        QVERIFY(r.start());

        expectFrames(r.commandsSinceMark(), hid560 ? QList<int>{GetCurrentProfile560, CurrentProfile560, GetCurrentDpi560}
                                                   : QList<int>{GetCurrentDpi553});
        if (hid560)
            QCOMPARE(r.mouse.state().currentProfile, 1);
        QCOMPARE(r.view().currentProfile, 1);
        QCOMPARE(property("liftOffPanel", "position").toInt(), 80);
        QCOMPARE(call("keyPanel", "description", {1}).toString(), QStringLiteral("DPI LOOP"));
        QCOMPARE(property("dpiPanel", "activeStage").toInt(), 3);
        QVERIFY(!r.root()->property("unsaved").toBool());
        QCOMPARE(property("saveButton", "text").toString(), QStringLiteral("Save"));
        // Every group was read: the notices come from the "other" group.
        QCOMPARE(deviceEventTexts().at(0), QStringLiteral("DPI Switch to 1"));
        // Entry 0 takes the standard profile's name of the language; the
        // start writes nothing of name.bin.
        QVariant selector = property("profileSelector", "model");
        if (selector.canConvert<QJSValue>())
            selector = selector.value<QJSValue>().toVariant();
        QCOMPARE(selector.toStringList(), QStringList({"Standard", "Work"}));
        QCOMPARE(r.stored("name.bin", "profile/profileName"), QStringLiteral("Home0, Work1"));
    }

    // The program's calls reach the scene; a second initialisation only
    // locks and refreshes the stage (nothing is read again: a held edit
    // stays). Keys and buttons reaching the scene: tst_key_capture.
    void programCallsReachTheScene()
    {
        SceneRig &r = make();
        QVERIFY(r.start());
        r.view().setCurrentDPI(3);
        QCOMPARE(property("dpiPanel", "activeStage").toInt(), 2);
        r.view().setCurrentDPI(0);
        QCOMPARE(property("dpiPanel", "activeStage").toInt(), 2);

        call("liftOffPanel", "setPosition", {50});
        r.mouse.setCurrentDpi(5);
        r.mark();
        r.view().initUI();
        QTRY_VERIFY(r.root()->property("locked").toBool());
        QVERIFY(!r.view().isEnabled());
        QVERIFY(r.waitUnlocked(5000));
        expectFrames(r.commandsSinceMark(), {GetCurrentDpi553});
        QCOMPARE(property("dpiPanel", "activeStage").toInt(), 4);
        QCOMPARE(property("liftOffPanel", "position").toInt(), 50);

        r.mouse.unplug();
        QTRY_VERIFY(r.root()->property("deviceAbsent").toBool());
        QVERIFY(!property("panels", "enabled").toBool());
    }

    // Recoil edits of an active weapon are sent and stored at once, with
    // nothing left to save; of another weapon, stored only.
    void recoilEditor()
    {
        SceneRig &r = make();
        QVERIFY(r.start());
        r.callRoot("openDialog", {"gun"});
        r.mark();
        r.call(r.find("gunX"), "chosen", {-5});
        expectFrames(r.commandsSinceMark(), {GetKeyOptions, GunData});
        QCOMPARE(int(r.mouse.state().gunData[1]), 0xFB);
        QCOMPARE(r.stored("../gun/gunData.bin", "gunData/0"), QStringLiteral("M416, L-Click, 10, -5, 10, 0"));
        QVERIFY(!r.root()->property("unsaved").toBool());
        r.mark();
        r.call(r.find("gunTimes"), "edited", {"3"});
        expectFrames(r.commandsSinceMark(), {GetKeyOptions, GunData});
        QCOMPARE(int(r.mouse.state().gunData[0]), 3);
        r.find("gunDialog")->property("item").value<QObject *>()->setProperty("selected", 4);
        r.mark();
        r.call(r.find("gunName"), "edited", {"Vector"});
        QVERIFY(r.commandsSinceMark().isEmpty());
        QCOMPARE(r.stored("../gun/gunData.bin", "gunData/4"), QStringLiteral("Vector, L-Click, 10, 0, 10, 0"));
    }

    void saveSendsOnlyChangedPagesInOrder_data() { bothKinds(); }

    void saveSendsOnlyChangedPagesInOrder()
    {
        QFETCH(bool, hid560);
        QFETCH(bool, scrambling);
        SceneRig &r = make({hid560, scrambling});
        QVERIFY(r.start());

        // One page.
        call("dpiPanel", "setValue", {1, 2400});
        QVERIFY(r.root()->property("unsaved").toBool());
        save();
        expectFrames(r.commandsSinceMark(), hid560 ? repeat(Profile560, 4) : QList<int>{DpiSet});
        if (hid560)
            expectImagesOnTheMouse();
        QVERIFY(!r.root()->property("unsaved").toBool());
        QCOMPARE(r.stored("p1.bin", "mouse/dpiValueArray"),
                 QStringLiteral("400, 2400, 1600, 3200, 6400, 12000, 14000, 16000"));

        // Nothing changed: nothing is sent.
        save();
        QVERIFY(r.commandsSinceMark().isEmpty());

        // Every page, in the order key, DPI, lighting, lift-off.
        editAllPages();
        save();
        if (hid560) {
            // The pages' own commands in order; then each profile image once,
            // with the DPI, colour and effect changes in it.
            expectFrames(r.commandsSinceMark(), QList<int>{KeyMatrix560, Lod} + repeat(Profile560, 5));
            QCOMPARE(imageBlocks(r.framesSinceMark()), QList<int>({0, 1, 2, 3, 4}));
            expectImagesOnTheMouse();
        } else {
            // The bytes of these frames are in tst_ctl_handover's recordings.
            expectFrames(r.commandsSinceMark(),
                         {KeyMatrix553, DpiSet, LedColour, LedColour, LedEffect, LedEffect, Lod});
        }
        QCOMPARE(r.stored("p1.bin", "mouseKeyMatrix/3"), QStringLiteral("2, 1, 6, 0"));
        QCOMPARE(r.stored("p1.bin", "mouse/lightValue"), QStringLiteral("1, 2, 4"));
        QCOMPARE(r.stored("p1.bin", "mouse/reportRate"), QStringLiteral("89"));
    }

    // An image the mouse did not take (the link failed halfway through it)
    // stays marked: the next save sends it, even with nothing edited.
    void unsentImagesGoWithTheNextSave()
    {
        SceneRig &r = make({true, true});
        QVERIFY(r.start());
        call("dpiPanel", "setValue", {1, 3000});
        // Blocks 1 to 4 go as four reports each: the sixth is block 2's second.
        r.mouse.failCall(vr770::Interface::Command, vr770::Call::Write, 6);
        save();
        QCOMPARE(imageBlocks(r.framesSinceMark()), QList<int>({1, 2, 3, 4}));
        const vr770::MouseState s = r.mouse.state();
        QCOMPARE(s.profiles[1][85], 3000 / 50);
        QCOMPARE(s.profiles[3][85], 3000 / 50);
        QVERIFY(s.profiles[2][85] != 3000 / 50);
        QVERIFY(!r.root()->property("unsaved").toBool());

        save();
        QCOMPARE(imageBlocks(r.framesSinceMark()), QList<int>({2}));
        expectImagesOnTheMouse();
        save();
        QVERIFY(r.commandsSinceMark().isEmpty());
    }

    // A mouse of the 55328 kind shows the eighth colour only with the effect
    // that uses all eight: with any other, the scene sends it black (and the
    // controller then sends the first colour alone).
    void eighthColourOf55328()
    {
        SceneRig &r = make();
        r.configure({{"mouse/is55328", true}});
        QVERIFY(r.start());
        call("lightPanel", "setEffect", {1});
        save();
        expectFrames(r.commandsSinceMark(), {0x0C, LedEffect, LedEffect});
        call("lightPanel", "setEffect", {4});
        save();
        expectFrames(r.commandsSinceMark(), {LedColour, LedEffect, LedEffect});
        // What is stored keeps all eight colours.
        QCOMPARE(r.stored("p1.bin", "mouse/colorValue").section(", ", 21), QStringLiteral("255, 255, 255"));
    }

    // What a switch sends is in tst_ctl_handover's recordings; here: the
    // question before unsaved edits go, the pointer options, and what is
    // stored.
    void profileSwitchAsksAndStores()
    {
        SceneRig &r = make();
        r.configure({{"profile/profileName", QStringList{"Standard0", "Far2"}}}, "name.bin");
        r.configure({{"mouse/mouseRate", 0}, {"mouse/scrollRate", 1000}}, "p3.bin");
        QVERIFY(r.start());
        call("dpiPanel", "setValue", {0, 800});
        r.call(r.find("profileSelector"), "activated", {1});
        QVERIFY(property("switchDialog", "opened").toBool());
        r.call(r.find("confirmCancel"), "clicked");
        settle();
        QCOMPARE(r.view().currentProfile, 0);
        r.call(r.find("profileSelector"), "activated", {1});
        r.call(r.find("confirmAlternative"), "clicked"); // "Switch without saving"
        QVERIFY(r.waitUnlocked());
        QCOMPARE(r.mouse.state().dpiStageCodes[0], 400 / 50); // the edit was dropped
        QCOMPARE(r.pointerLog, QStringList({"speed 1", "double 480", "lines 1000"}));
        QCOMPARE(r.view().currentProfile, 2);
        QCOMPARE(r.stored("apConfig.bin", "mouse/profileNo"), QStringLiteral("2"));
        QVERIFY(!r.root()->property("unsaved").toBool());

        // "Save and switch" stores the edit, then switches.
        call("dpiPanel", "setValue", {0, 800});
        settle(); // the earlier question is gone
        r.call(r.find("profileSelector"), "activated", {0});
        r.call(r.find("confirmOk"), "clicked");
        QVERIFY(r.waitUnlocked());
        QCOMPARE(r.view().currentProfile, 0);
        QVERIFY(r.stored("p3.bin", "mouse/dpiValueArray").startsWith(QStringLiteral("800, ")));
        QCOMPARE(notice(), scenetest::englishText("notice", 2).replace("%1", "Standard"));

        // Automatic profiles take the same flow, and never over unsaved edits.
        QCOMPARE(r.root()->property("profileInUseName").toString(), QStringLiteral("Standard"));
        QCOMPARE(r.callRoot("autoSwitchProfile", {2}).toBool(), true);
        QVERIFY(r.waitUnlocked());
        QCOMPARE(r.view().currentProfile, 2);
        call("dpiPanel", "setValue", {0, 1600});
        QCOMPARE(r.callRoot("autoSwitchProfile", {0}).toBool(), false);
        QCOMPARE(r.view().currentProfile, 2);
    }

    // A stage value typed beside its slider is held like a slider's; one the
    // sensor cannot take is refused with the range and step. A click on a
    // stage number makes that stage the mouse's active one.
    void dpiTypedAndStageChosen()
    {
        SceneRig &r = make();
        QVERIFY(r.startActive());
        QObject *field = page("dpiValue1");
        for (const char *refused : {"1234", "99", "99999", "12a"}) {
            r.call(field, "edited", {QString::fromLatin1(refused)});
            QCOMPARE(notice(), scenetest::englishText("notice", 19).replace("%1", "100").replace("%2", "16000")
                                   .replace("%3", "50"));
            QVERIFY(field->property("invalid").toBool());
        }
        QVERIFY(!property("dpiPanel", "dirty").toBool());
        r.call(field, "edited", {"16000"}); // the sensor's most
        QCOMPARE(property("dpiPanel", "values").toList().value(1).toInt(), 16000);
        QVERIFY(property("dpiPanel", "dirty").toBool());
        QVERIFY(!field->property("invalid").toBool());

        QVERIFY(r.click("dpiStage2"));
        QCOMPARE(r.mouse.state().currentDpi, 3);
        QCOMPARE(property("dpiPanel", "activeStage").toInt(), 2);

        // Ctrl+S takes a value still being typed, and the keyboard stays
        // in its field.
        QVERIFY(r.click("dpiValue0"));
        QQuickItem *typing = r.view().quickWindow()->activeFocusItem();
        QTest::keyClicks(&r.view(), "1500");
        QTest::keyClick(&r.view(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(r.waitUnlocked());
        QVERIFY(r.stored("p1.bin", "mouse/dpiValueArray").startsWith(QStringLiteral("1500, 16000, ")));
        QCOMPARE(notice(), scenetest::englishText("notice", 0));
        QTRY_COMPARE(r.view().quickWindow()->activeFocusItem(), typing);
    }

    // The tray's Quit with unsaved edits asks: Cancel keeps the program and
    // the edits, Save stores and sends them and then ends the program.
    void quitAsksAboutUnsavedEdits()
    {
        SceneRig &r = make();
        QVERIFY(r.start());
        QVERIFY(r.window().hidThread.watchRunning);
        call("dpiPanel", "setValue", {0, 800});
        r.window().quitAsked();
        QVERIFY(property("quitDialog", "opened").toBool());
        r.call(r.find("confirmCancel"), "clicked");
        settle();
        QVERIFY(!property("quitDialog", "opened").toBool());
        QVERIFY(r.root()->property("unsaved").toBool());
        QVERIFY(r.window().hidThread.watchRunning);

        r.window().quitAsked();
        r.call(r.find("confirmOk"), "clicked"); // "Save"
        QVERIFY(r.waitUnlocked());
        QCOMPARE(r.mouse.state().dpiStageCodes[0], 800 / 50);
        QVERIFY(!r.root()->property("unsaved").toBool());
        QVERIFY(!r.window().hidThread.watchRunning);
    }

    // A pointer setting the desktop lacks is shown as unavailable, with the
    // reason, and a profile switch does not attempt it; the others apply.
    void pointerSettingTheDesktopLacks()
    {
        SceneRig &r = make();
        r.desktopWheelLines = false;
        r.configure({{"profile/profileName", QStringList{"Standard0", "Far2"}}}, "name.bin");
        r.configure({{"mouse/mouseRate", 0}}, "p3.bin");
        QVERIFY(r.start(true));
        r.callRoot("openDialog", {"system"});
        settle();
        QVERIFY(!r.find("scrollLines")->property("enabled").toBool());
        QVERIFY(!r.find("scrollScreen")->property("enabled").toBool());
        QVERIFY(r.find("pointerSpeed")->property("enabled").toBool());
        const auto reasons = [&r](const char *label) {
            QStringList shown;
            for (QQuickItem *item : r.find(label)->findChildren<QQuickItem *>("unavailableReason"))
                if (item->isVisible())
                    shown << item->property("text").toString();
            return shown;
        };
        QCOMPARE(reasons("scrollLabel"), QStringList({"Not available on this desktop"}));
        QCOMPARE(reasons("pointerSpeed"), QStringList());
        call("systemDialog", "close");
        settle();

        r.call(r.find("profileSelector"), "activated", {1});
        QVERIFY(r.waitUnlocked());
        QCOMPARE(r.view().currentProfile, 2);
        QCOMPARE(r.pointerLog, QStringList({"speed 1", "double 480"}));
    }

    void factoryResetRestoresAndSendsTheProfile()
    {
        SceneRig &r = make();
        r.configure({{"mouse/reportRate", 60}, {"mouseKeyMatrix/4", QStringList{"3", "0", "226", "0"}}}, "p1.bin");
        r.configure({{"gunData/1", QStringList{"Mine", "L-Click", "20", "3", "30", "4"}}}, "../gun/gunData.bin");
        r.configure({{"mouse/selectGun", QStringList{"5", "4", "3"}}});
        QVERIFY(r.start());

        r.callRoot("openDialog", {"reset"});
        QObject *confirm = r.find("confirmOk");
        QVERIFY(confirm);
        // The question in the "main" texts, with what else is reset below it.
        const QObject *question = r.find("resetDialog")->property("item").value<QObject *>();
        QCOMPARE(question->property("title").toString(), scenetest::englishText("main", 5));
        QCOMPARE(question->property("message").toString(),
                 scenetest::englishText("main", 6) + "\n" + scenetest::englishText("main", 20));
        QCOMPARE(property("confirmCancel", "text").toString(), scenetest::englishText("main", 7));
        QCOMPARE(property("confirmOk", "text").toString(), scenetest::englishText("main", 8));
        r.mark();
        r.call(confirm, "clicked");
        QVERIFY(r.waitUnlocked());
        expectFrames(r.commandsSinceMark(),
                     {KeyMatrix553, Lod, DpiSet, LedColour, LedColour, LedEffect, LedEffect, CurrentDpi553,
                      GetKeyOptions, GunData, GetKeyOptions, GunData, GetKeyOptions, GunData});
        QVERIFY(!property("resetDialog", "opened").toBool());
        QCOMPARE(r.stored("p1.bin", "mouse/reportRate"), QStringLiteral("3"));
        QCOMPARE(r.stored("p1.bin", "mouseKeyMatrix/4"), QStringLiteral("0, 0, 244, 0"));
        QCOMPARE(r.stored("../gun/gunData.bin", "gunData/1"), QStringLiteral("AKM, L-Click, 9, 0, 7, 0"));
        QCOMPARE(r.stored("apConfig.bin", "mouse/selectGun"), QStringLiteral("0, 1, 2"));
        const vr770::MouseState s = r.mouse.state();
        QCOMPARE(s.currentDpi, 2);
        QCOMPARE(s.liftOffStage, 125);
        QCOMPARE(property("dpiPanel", "activeStage").toInt(), 1);
        // The last weapon sent is active weapon 3: M16A4, Y 8.
        QCOMPARE(int(s.gunData[2]), 8);
    }

    // Entries are addressed by their profile number: deleting one never
    // points another at the wrong file, and export writes the entry chosen
    // in the manager, not the profile in use.
    void profileManager()
    {
        SceneRig &r = make();
        r.configure({{"profile/profileName", QStringList{"Standard0", "profile_01", "profile_12", "profile_23"}}},
                    "name.bin");
        r.configure({{"mouse/reportRate", 77}}, "p4.bin");
        r.configure({{"mouse/reportRate", 55}}, "p2.bin");
        QVERIFY(r.start());
        auto dialogs = std::make_unique<ScriptedDialogs>();
        const QString exported = r.modules.root() + "/export.pf";
        dialogs->save = exported;
        r.view().setFileDialogs(std::move(dialogs));
        r.callRoot("openDialog", {"profile"});
        QObject *manager = r.find("profileDialog")->property("item").value<QObject *>();
        manager->setProperty("selected", 2);
        r.call(r.find("profileDelete"), "clicked");
        r.call(r.find("profileDeleteConfirm"), "clicked");
        QCOMPARE(r.stored("name.bin", "profile/profileName"), QStringLiteral("Standard0, profile_01, profile_23"));

        r.call(r.find("profileSelector"), "activated", {2});
        QVERIFY(r.waitUnlocked());
        QCOMPARE(r.view().currentProfile, 3);
        QCOMPARE(property("liftOffPanel", "position").toInt(), 77);
        manager->setProperty("selected", 2); // the profile in use cannot be deleted
        QVERIFY(!property("profileDelete", "enabled").toBool());
        manager->setProperty("selected", 1);
        r.call(r.find("profileExport"), "clicked");
        QCOMPARE(QSettings(exported, QSettings::IniFormat).value("mouse/reportRate").toString(), QStringLiteral("55"));
    }

    // Values out of range in a hand-edited profile are never sent out of
    // range.
    void handEditedProfile()
    {
        SceneRig &r = make();
        r.configure({{"mouse/reportRate", 200}, {"mouse/dpiCount", 20}, {"mouse/currentDpiCount", 12},
                     {"mouse/dpiValueArray", QStringList{"99999", "-5", "abc"}}, {"mouse/mouseRate", 9999},
                     {"mouse/doubleRate", -50}, {"mouse/scrollRate", 0}}, "p1.bin");
        QVERIFY(r.start());
        r.callRoot("loadProfilePages", {true});
        QVERIFY(r.waitUnlocked());
        const vr770::MouseState s = r.mouse.state();
        QCOMPARE(s.liftOffStage, 90);
        QCOMPARE(s.dpiStageCount, 8);
        QCOMPARE(s.dpiStageCodes[1], 100 / 50);
        QCOMPARE(r.pointerLog, QStringList({"speed 20", "double 900", "lines 1"}));
    }

    void languageOfTheKeyNames()
    {
        SceneRig &r = make();
        r.configure({{"common/language", "ChineseSimplified"}});
        QVERIFY(r.start());
        const QSettings chinese(TestModules::sourceModules() + "/i18n/ChineseSimplified.ini", QSettings::IniFormat);
        call("keyPanel", "setKey", {4, QVariantList{2, 0x01, 0x2C, 0}, QString()});
        QCOMPARE(call("keyPanel", "description", {4}).toString(),
                 chinese.value("keyCode/120").toString() + " + " + chinese.value("keyCode/40").toString());
        QVERIFY(chinese.value("keyCode/40").toString() != QStringLiteral("Space"));
        QCOMPARE(property("saveButton", "text").toString(), chinese.value("main/10").toString());
    }

    // The window and each dialog, as a screen reader reads them.
    void everyControlNamedForScreenReaders()
    {
        QAccessible::setActive(true);
        SceneRig &r = make();
        QVERIFY(r.startActive());
        QQuickItem *top = r.view().quickWindow()->contentItem();
        QCOMPARE(unnamedControls(top), QStringList());
        for (const char *name : {"macro", "gun", "system", "profile", "reset"}) {
            r.callRoot("openDialog", {QString::fromLatin1(name)});
            QTest::qWait(30);
            QVERIFY2(unnamedControls(top).isEmpty(), qPrintable(name + (": " + unnamedControls(top).join("; "))));
            call(QByteArray(name + QByteArray("Dialog")).constData(), "close");
            settle();
        }
        r.callRoot("openKeyDialog", {2});
        QObject *keyDialog = property("keyDialog", "item").value<QObject *>();
        for (const char *group : {"mouse", "fire", "combination", "media", "macro", "dpi", "windows", "shortcut", "gun"}) {
            keyDialog->setProperty("category", QString::fromLatin1(group));
            QVERIFY2(unnamedControls(top).isEmpty(), qPrintable(group + (": " + unnamedControls(top).join("; "))));
        }
        call("keyDialog", "close");
        settle();
        r.call(r.find("menuUp"), "openHelp");
        QCOMPARE(unnamedControls(top), QStringList());
        r.call(r.find("helpMenu"), "close");
        r.call(r.find("lightPanel"), "editColour", {7});
        QCOMPARE(unnamedControls(top), QStringList());
        r.call(r.find("colourPicker"), "close");
        QAccessible::setActive(false);
    }

    // The dialogs' and popups' own controls, and a real click on Save.
    void everyDialogOpens()
    {
        SceneRig &r = make();
        QVERIFY(r.startActive());
        // (Every dialog opening: everyControlNamedForScreenReaders; the key
        // dialog: tst_key_assignment.)
        r.call(r.find("menuUp"), "openHelp");
        QVERIFY(property("helpMenu", "opened").toBool());
        QCOMPARE(property("helpVersion", "text").toString(), QStringLiteral("Version 9.9.1"));
        UrlCatcher browser;
        QDesktopServices::setUrlHandler("https", &browser, "open");
        r.call(r.find("helpSupport"), "triggered");
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(browser.opened, QUrl("https://support.braxtel.example/r770"));
        r.call(r.find("menuUp"), "openHelp");
        QVERIFY(r.find("language_ChineseSimplified"));
        r.call(r.find("language_ChineseSimplified"), "triggered");
        QCOMPARE(r.stored("apConfig.bin", "common/language"), QStringLiteral("ChineseSimplified"));
        r.call(r.find("helpMenu"), "close");

        r.callRoot("openDialog", {"system"});
        r.call(r.find("pointerSpeed"), "chosen", {3});
        r.call(r.find("scrollLines"), "edited", {"7"});
        QCOMPARE(r.pointerLog, QStringList({"speed 6", "lines 7"}));
        QCOMPARE(r.stored("p1.bin", "mouse/mouseRate"), QStringLiteral("70"));
        call("systemDialog", "close");
        r.call(r.find("lightPanel"), "editColour", {7});
        r.call(r.find("colourPicker"), "picked", {10, 20, 30});
        r.call(r.find("colourPicker"), "close");
        QCOMPARE(property("lightPanel", "colours").toList().mid(21), QVariantList({10, 20, 30}));

        // Tab stays in an open dialog; in the colour picker the arrows move
        // and Space picks; Escape gives the keyboard back to the swatch.
        r.callRoot("openDialog", {"system"});
        auto *card = property("systemDialog", "item").value<QObject *>()->property("contentItem").value<QQuickItem *>();
        for (int i = 0; i < 30; ++i) {
            QTest::keyClick(&r.view(), Qt::Key_Tab);
            QVERIFY(card->isAncestorOf(r.view().quickWindow()->activeFocusItem()));
        }
        QTest::keyClick(&r.view(), Qt::Key_Escape);
        QVERIFY(!property("systemDialog", "opened").toBool());
        r.call(r.find("lightPanel"), "editColour", {7});
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
            QTest::keyClick(&r.view(), key);
        const int chosen = r.view().quickWindow()->activeFocusItem()->property("index").toInt();
        QVERIFY(chosen >= 9); // below the first row
        QTest::keyClick(&r.view(), Qt::Key_Space);
        QCOMPARE(property("lightPanel", "colours").toList().mid(21),
                 property("colourPicker", "presets").toList().at(chosen).toList());
        QTest::keyClick(&r.view(), Qt::Key_Escape);
        QVERIFY(!property("colourPicker", "opened").toBool());
        QVERIFY(r.view().quickWindow()->activeFocusItem()->property("index").toInt() == 7);
        settle();

        // A click on Save, where the window shows it.
        r.mark();
        QVERIFY(r.click("saveButton"));
        QVERIFY(r.waitUnlocked());
        expectFrames(r.commandsSinceMark(), {LedColour, LedColour, LedEffect, LedEffect});
    }
};

SCENE_TEST_MAIN(TestScene)

#include "tst_scene.moc"
