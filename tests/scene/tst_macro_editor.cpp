// The macro editor of the real scene against the virtual mouse: what its
// operations write (read back in a fresh process) and what reaches the
// mouse's macro slots and key assignment. Any QML warning fails.
#include "myqquickview.h"
#include "scenerig.h"

#include <QApplication>
#include <QFile>
#include <QQuickItem>
#include <QSettings>
#include <QtTest>

using scenetest::MouseSetup;
using scenetest::SceneRig;
using scenetest::ScriptedDialogs;

namespace {

constexpr int KeyMatrix553 = 0x12, Macro553 = 0x13;

using Block = std::array<uint8_t, 128>;

Block block(const QList<int> &bytes)
{
    Block b{};
    for (int i = 0; i < bytes.size(); ++i)
        b[i] = uint8_t(bytes.at(i));
    return b;
}

} // namespace

class TestMacroEditor : public scenetest::SceneTestCase
{
    Q_OBJECT

    QObject *store = nullptr;

    // Key k of profile file `file` runs the macro `name` from slot k.
    void bindKey(int key, const QString &name, const QString &file = "p1.bin")
    {
        const QString k = QString::number(key);
        rig->configure({{"mouseKeyMatrix/" + k, QStringList{"4", "0", k, "0"}}, {"mouseMacroKey/" + k, name}}, file);
    }

    // Starts the scene and opens the editor on macro `selected`.
    QObject *openEditor(int selected = 0)
    {
        if (!rig->start())
            return nullptr;
        store = rig->find("macroStore");
        rig->callRoot("openDialog", {"macro"});
        QObject *editor = rig->find("macroDialog")->property("item").value<QObject *>();
        if (editor && selected != 0)
            rig->call(store, "select", {selected});
        return editor;
    }

    QVariant call(const char *function, const QVariantList &args = {}) const
    {
        return rig->call(store, function, args);
    }

    QStringList steps() const { return store->property("steps").toStringList(); }
    QString refusal() const { return store->property("refusal").toString(); }
    QString status() const { return rig->find("macroStatus")->property("text").toString(); }
    QString stored(const QString &file, const QString &key) const { return rig->stored(file, key); }
    QString macroFile(const QString &name, const QString &key) const
    {
        return rig->stored("../macro/" + name + ".bin", key);
    }
    static QString text(int position) { return scenetest::englishText("macroEditor", position); }

private slots:
    // New, Import, Export and Rename keep the list, the files and the
    // profiles' references in step; refused names change nothing.
    void libraryOperations()
    {
        SceneRig &r = make();
        r.writeMacro("Leftover", {});
        QVERIFY(openEditor());
        auto dialogs = std::make_unique<ScriptedDialogs>();
        ScriptedDialogs *scripted = dialogs.get();
        r.view().setFileDialogs(std::move(dialogs));

        r.call(r.find("macroNew"), "clicked");
        r.call(r.find("macroNew"), "clicked");
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Macro_0, Macro_1"));
        QCOMPARE(store->property("current").toString(), QStringLiteral("Macro_1"));
        QCOMPARE(macroFile("Macro_1", "config/total"), QStringLiteral("0"));

        // Import at the selected position: a cancelled dialog gives an empty
        // macro, a chosen file its copy.
        call("select", {0});
        r.call(r.find("macroImport"), "clicked");
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Macro_2, Macro_0, Macro_1"));
        QVERIFY(QFile::exists(r.modules.path("macro/Macro_2.bin")));
        QVERIFY(call("insertPair", {0x04}).toBool());
        scripted->save = r.modules.root() + "/out.mc";
        r.call(r.find("macroExport"), "clicked");
        scripted->open = scripted->save;
        r.call(r.find("macroImport"), "clicked");
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Macro_3, Macro_2, Macro_0, Macro_1"));
        QCOMPARE(steps(), QStringList({"1,A", "2,A"}));

        // Refused renames: a listed name, a macro file of that name, a name
        // the library cannot keep. Nothing is written and the hint says why.
        r.call(r.find("keyPanel"), "setKey", {3, QVariantList{4, 0, 3, 0}, QStringLiteral("Macro_0")});
        const int macro0 = 2;
        for (const auto &[name, why] : {std::pair{"Macro_1", "taken"}, {"Leftover", "taken"},
                                        {"a/b", "name"}, {"", "name"}}) {
            QVERIFY(!call("rename", {macro0, QString::fromLatin1(name)}).toBool());
            QCOMPARE(refusal(), QString::fromLatin1(why));
        }
        QCOMPARE(status(), text(20));
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Macro_3, Macro_2, Macro_0, Macro_1"));
        QCOMPARE(stored("p1.bin", "mouseMacroKey/3"), QStringLiteral("Macro_0"));

        // A rename: the list, the file, the profiles and the key page follow.
        r.configure({{"mouseMacroKey/9", "Macro_0"}}, "p6.bin");
        QVERIFY(call("rename", {macro0, QStringLiteral("Burst, short")}).toBool());
        QCOMPARE(refusal(), QString());
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Macro_3, Macro_2, Burst, short, Macro_1"));
        QVERIFY(QFile::exists(r.modules.path("macro/Burst, short.bin")));
        QVERIFY(!QFile::exists(r.modules.path("macro/Macro_0.bin")));
        QCOMPARE(stored("p1.bin", "mouseMacroKey/3"), QStringLiteral("Burst, short"));
        QCOMPARE(stored("p6.bin", "mouseMacroKey/9"), QStringLiteral("Burst, short"));
        QCOMPARE(r.call(r.find("keyPanel"), "description", {3}).toString(),
                 scenetest::englishText("notice", 17).replace("%1", "Burst, short"));
        // The list reads back whole in a fresh start of the editor.
        r.call(r.find("macroDialog"), "close");
        r.callRoot("openDialog", {"macro"});
        QCOMPARE(store->property("names").toStringList(), QStringList({"Macro_3", "Macro_2", "Burst, short", "Macro_1"}));
    }

    void hundredMacrosAreTheMost()
    {
        SceneRig &r = make();
        QStringList names;
        for (int i = 0; i < 100; ++i)
            names << QStringLiteral("M%1").arg(i);
        r.listMacros(names);
        QVERIFY(openEditor());
        QVERIFY(!r.find("macroNew")->property("enabled").toBool());
        QVERIFY(!call("create").toBool());
        QVERIFY(!call("importFile").toBool());
        QCOMPARE(refusal(), QStringLiteral("count"));
        QCOMPARE(store->property("names").toStringList().size(), 100);
        QCOMPARE(stored("name.bin", "macro/macroName").count(','), 99);
        QVERIFY(!QFile::exists(r.modules.path("macro/Macro_0.bin")));
    }

    // Delete gives the keys that ran the macro their factory assignment
    // back, sends the stored assignment at once, and the other profiles
    // forget the macro too; unsaved edits of other keys stay unsaved.
    void deleteResetsTheKeysThatRanIt()
    {
        SceneRig &r = make();
        r.writeMacro("Burst", {"1,A", "2,A"});
        r.writeMacro("Other", {"1,B", "2,B"});
        r.listMacros({"Burst", "Other"});
        bindKey(3, "Burst");
        bindKey(5, "Burst");
        bindKey(4, "Other");
        bindKey(2, "Burst", "p2.bin");
        QVERIFY(openEditor());
        r.call(r.find("keyPanel"), "setKey", {6, QVariantList{0, 0, 0xF1, 0}, QString()});

        r.mark();
        r.call(r.find("macroDelete"), "clicked");
        r.call(r.find("macroDeleteConfirm"), "clicked");
        QCOMPARE(r.commandsSinceMark(), QList<int>{KeyMatrix553});
        QCOMPARE(stored("p1.bin", "mouseKeyMatrix/3"), QStringLiteral("0, 0, 243, 0"));
        QCOMPARE(stored("p1.bin", "mouseKeyMatrix/5"), QStringLiteral("5, 0, 1, 0"));
        QCOMPARE(stored("p1.bin", "mouseKeyMatrix/4"), QStringLiteral("4, 0, 4, 0"));
        QCOMPARE(stored("p2.bin", "mouseKeyMatrix/2"), QStringLiteral("0, 0, 242, 0"));
        QCOMPARE(stored("p1.bin", "mouseKeyMatrix/6"), QStringLiteral("5, 0, 2, 0"));
        QVERIFY(r.find("keyPanel")->property("dirty").toBool());
        QCOMPARE(r.call(r.find("keyPanel"), "description", {3}).toString(), QStringLiteral("Back Key"));

        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Other, loadertolvik"));
        QVERIFY(!QFile::exists(r.modules.path("macro/Burst.bin")));
        QCOMPARE(store->property("current").toString(), QStringLiteral("Other"));
    }

    // (The hid560 form of a macro send: tst_ctl macroToKey and the recordings.)
    void editsReachEveryKeyThatRunsTheMacro()
    {
        SceneRig &r = make();
        r.writeMacro("Burst", {"1,A", "0,100", "2,A"});
        r.writeMacro("Other", {"1,B", "2,B"});
        r.listMacros({"Burst", "Other"});
        bindKey(3, "Burst");
        bindKey(5, "Burst");
        bindKey(4, "Other");
        QVERIFY(openEditor());
        QCOMPARE(store->property("runningKeys").toList(), QVariantList({3, 5}));

        r.mark();
        QVERIFY(call("insertPair", {0x05}).toBool());
        QCOMPARE(r.commandsSinceMark(), QList<int>({Macro553, Macro553}));
        QCOMPARE(macroFile("Burst", "config/total"), QStringLiteral("5"));
        const Block expected = block({0, 1, 10, 4, 0x81, 4, 1, 5, 0x81, 5, 0, 0});
        const vr770::MouseState s = r.mouse.state();
        QCOMPARE(s.macros[3], expected);
        QCOMPARE(s.macros[5], expected);
        QCOMPARE(s.macros[4], Block{});

        // "Times" confirmed: stored and sent with the new count.
        r.mark();
        r.call(r.find("macroTimes"), "edited", {"300"});
        QCOMPARE(r.commandsSinceMark(), QList<int>({Macro553, Macro553}));
        QCOMPARE(macroFile("Burst", "config/repeat"), QStringLiteral("300"));
        QCOMPARE(int(r.mouse.state().macros[5][0]), 1);
        QCOMPARE(int(r.mouse.state().macros[5][1]), 44);

        // The key dialog's way: a macro sent to one slot.
        QVERIFY(call("send", {"Other", 7}).toBool());
        QCOMPARE(r.mouse.state().macros[7], block({0, 1, 1, 5, 0x81, 5, 0, 0}));
    }

    // Insert Key through the capture box, the mouse buttons, steps typed in
    // place (refused with a hint when they are not steps), and the limit.
    void stepEditing()
    {
        SceneRig &r = make();
        r.writeMacro("Keys", {"1,A", "0,100", "2,A"});
        r.listMacros({"Keys", "Other"});
        QObject *editor = openEditor();
        QVERIFY(editor);

        r.call(r.find("insertKey"), "clicked");
        QCOMPARE(editor->property("overlay").toString(), QStringLiteral("key"));
        r.view().keyboardNotify(true, 0xE1);
        QTRY_COMPARE(editor->property("capturedCode").toInt(), 0xE1);
        r.call(r.find("keyCaptureOk"), "clicked");
        QCOMPARE(steps(), QStringList({"1,A", "0,100", "2,A", "1,LShift", "2,LShift"}));

        store->setProperty("step", 1);
        r.call(r.find("insertLeft"), "clicked");
        r.call(r.find("insertRight"), "clicked");
        r.call(r.find("insertDelay"), "clicked");
        QCOMPARE(steps(), QStringList({"1,A", "0,100", "3,MS-L", "4,MS-L", "3,MS-R", "0,50", "4,MS-R", "2,A",
                                       "1,LShift", "2,LShift"}));
        QCOMPARE(macroFile("Keys", "config/total"), QStringLiteral("10"));

        const QStringList before = steps();
        for (const auto &[typed, why, hint] : {std::tuple{"0,abc", "format", 21}, {"9,A", "format", 21},
                                               {"0,6000000", "delay", 23}, {"1,NoSuchKey", "key", 22}}) {
            QVERIFY(!call("editStep", {1, QString::fromLatin1(typed)}).toBool());
            QCOMPARE(refusal(), QString::fromLatin1(why));
            QCOMPARE(status(), text(hint));
        }
        QCOMPARE(steps(), before);
        QCOMPARE(macroFile("Keys", "macro/1"), QStringLiteral("0,100"));
        QVERIFY(call("editStep", {1, "0, 250"}).toBool());
        QVERIFY(call("editStep", {2, "1,ms-m"}).toBool());
        QCOMPARE(macroFile("Keys", "macro/1"), QStringLiteral("0,250"));
        QCOMPARE(macroFile("Keys", "macro/2"), QStringLiteral("3,MS-M"));
        QCOMPARE(refusal(), QString());

        // 61 actions take 126 bytes: nothing more is added. (This macro's
        // file is missing: the first edit makes it again.)
        call("select", {1});
        while (store->property("length").toInt() < 124)
            QVERIFY(call("insertPair", {0x04}).toBool());
        QVERIFY(call("insertDelay").toBool());
        QVERIFY(call("insertPair", {0x05}).toBool());
        QCOMPARE(store->property("length").toInt(), 128);
        QVERIFY(!call("insertPair", {0x05}).toBool());
        QCOMPARE(refusal(), QStringLiteral("full"));
        QCOMPARE(macroFile("Other", "config/total"), QString::number(steps().size()));
    }

    // Typed by keyboard: a refused name or step keeps its row open with the
    // reason shown, whether Enter or Tab ends it; Enter never closes the
    // editor, and Tab stores a good name.
    void refusedEditsStayOpen()
    {
        SceneRig &r = make();
        r.writeMacro("Keys", {"1,A", "2,A"});
        r.writeMacro("Other", {"1,B", "2,B"});
        r.listMacros({"Keys", "Other"});
        QVERIFY(r.startActive());
        store = r.find("macroStore");
        r.callRoot("openDialog", {"macro"});
        QVERIFY(r.find("macroDialog")->property("opened").toBool());
        auto type = [&r](const QString &text, Qt::Key end) {
            QTest::keyClick(&r.view(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(&r.view(), text);
            QTest::keyClick(&r.view(), end);
        };

        QQuickItem *row = qobject_cast<QQuickItem *>(r.find("macroNameInput"))->parentItem();
        r.call(row, "startRename");
        for (const auto &[name, end, why] : {std::tuple{"Other", Qt::Key_Return, "taken"},
                                             {"a/b", Qt::Key_Tab, "name"}}) {
            type(QString::fromLatin1(name), end);
            QVERIFY(r.find("macroDialog")->property("opened").toBool());
            QVERIFY(row->property("renaming").toBool());
            QCOMPARE(refusal(), QString::fromLatin1(why));
            QCOMPARE(r.view().quickWindow()->activeFocusItem()->objectName(), QStringLiteral("macroNameInput"));
        }
        type("Keys 2", Qt::Key_Tab);
        QVERIFY(!row->property("renaming").toBool());
        QCOMPARE(store->property("names").toStringList(), QStringList({"Keys 2", "Other"}));

        row = qobject_cast<QQuickItem *>(r.find("stepInput"))->parentItem();
        r.call(row, "startEdit");
        type("0,abc", Qt::Key_Return);
        QVERIFY(r.find("macroDialog")->property("opened").toBool());
        QVERIFY(row->property("editing").toBool());
        QCOMPARE(status(), text(21));
        type("0,abc", Qt::Key_Tab);
        QVERIFY(row->property("editing").toBool());
        type("2,C", Qt::Key_Return);
        QVERIFY(!row->property("editing").toBool());
        QCOMPARE(steps(), QStringList({"2,C", "2,A"}));

        qobject_cast<QQuickItem *>(r.find("macroTimes"))->forceActiveFocus();
        type("5", Qt::Key_Return);
        QVERIFY(r.find("macroDialog")->property("opened").toBool());
        QCOMPARE(macroFile("Keys 2", "config/repeat"), QStringLiteral("5"));
    }

    // Steps show their keys in the language in use, whatever language they
    // were recorded in, and go to the mouse by the same table.
    void keyNamesOfTheLanguage()
    {
        SceneRig &r = make();
        r.configure({{"common/language", "ChineseSimplified"}});
        const QSettings chinese(TestModules::sourceModules() + "/i18n/ChineseSimplified.ini", QSettings::IniFormat);
        const QString space = chinese.value("keyCode/40").toString();
        r.writeMacro("Keys", {"1,Space", "2,Space"});
        r.listMacros({"Keys", "Other"});
        bindKey(3, "Keys");
        QVERIFY(openEditor());

        QObject *editor = r.find("macroDialog")->property("item").value<QObject *>();
        r.call(editor, "openKeyCapture");
        r.view().keyboardNotify(true, 0x2C);
        QTRY_COMPARE(editor->property("capturedCode").toInt(), 0x2C);
        r.call(r.find("keyCaptureOk"), "clicked");
        QCOMPARE(steps(), QStringList({"1,Space", "2,Space", "1," + space, "2," + space}));
        QCOMPARE(r.mouse.state().macros[3], block({0, 1, 1, 0x2C, 0x81, 0x2C, 1, 0x2C, 0x81, 0x2C, 0, 0}));

        QQuickItem *first = qvariant_cast<QQuickItem *>(r.call(r.find("stepList"), "itemAtIndex", {0}));
        QVERIFY(first);
        QCOMPARE(r.call(first, "editText").toString(), "1," + space);
        QVERIFY(status().startsWith(chinese.value("macroEditor/34").toString()));
    }

    // A macro with no device form is stored but not sent, and the editor
    // says why.
    void macroWithoutDeviceForm()
    {
        SceneRig &r = make();
        r.writeMacro("Long", {"1,A", "0,6000000", "2,A"});
        r.listMacros({"Long", "Broken"});
        r.writeMacro("Broken", {"1,A", "x,y"});
        bindKey(3, "Long");
        QVERIFY(openEditor());
        QCOMPARE(status(), text(26));
        r.mark();
        QVERIFY(call("setRepeat", {2}).toBool());
        QCOMPARE(macroFile("Long", "config/repeat"), QStringLiteral("2"));
        QVERIFY(r.commandsSinceMark().isEmpty());
        QVERIFY(!call("send", {"Long", 3}).toBool());
        // Editing the delay mends it.
        QVERIFY(call("editStep", {1, "0,5999990"}).toBool());
        QCOMPARE(r.commandsSinceMark(), QList<int>{Macro553});

        call("select", {1});
        QCOMPARE(status(), text(27).replace("%1", "2"));
    }

    // The editor shows and sends what the file holds: every step of a macro
    // longer than the mouse takes (refused, never cut, saved back whole),
    // and a repeat count of 0.
    void storedMacroAsItIs()
    {
        SceneRig &r = make();
        const QStringList many = longMacroSteps();
        r.writeMacro("Long", many);
        r.writeMacro("Zero", {"1,A", "2,A"}, 0);
        r.listMacros({"Long", "Zero"});
        bindKey(3, "Long");
        bindKey(4, "Zero");
        QVERIFY(openEditor());
        QCOMPARE(steps().size(), 300);
        QCOMPARE(status(), text(28));
        r.mark();
        QVERIFY(call("editStep", {299, "2,C"}).toBool());
        QVERIFY(r.commandsSinceMark().isEmpty());
        QCOMPARE(macroFile("Long", "config/total"), QStringLiteral("300"));
        QCOMPARE(macroFile("Long", "macro/299"), QStringLiteral("2,C"));

        call("select", {1});
        QCOMPARE(store->property("repeat").toInt(), 0);
        QCOMPARE(r.find("macroTimes")->property("value").toString(), QStringLiteral("0"));
        QVERIFY(call("insertDelay").toBool());
        QCOMPARE(r.mouse.state().macros[4], block({0, 0, 1, 4, 0x81, 4, 0, 0}));
        r.call(r.find("macroTimes"), "edited", {"1"});
        QCOMPARE(macroFile("Zero", "config/repeat"), QStringLiteral("1"));
        QCOMPARE(r.mouse.state().macros[4], block({0, 1, 1, 4, 0x81, 4, 0, 0}));
    }

    // Recording from the capture's reports: the pauses become delays, a
    // release never pressed is dropped, and closing the editor stops the
    // recording, releases held keys, stores it and sends it.
    void recordingUntilTheEditorCloses()
    {
        SceneRig &r = make();
        r.writeMacro("Rec", {});
        r.listMacros({"Rec", "Other"});
        bindKey(2, "Rec");
        QVERIFY(openEditor());
        QVERIFY(call("startRecording").toBool());
        QVERIFY(!r.find("insertDelay")->property("enabled").toBool());

        r.view().keyboardNotify(false, 0x28);  // Enter let go from before
        r.view().keyboardNotify(true, 0xE1);
        QTRY_COMPARE(steps().size(), 1);
        QTest::qWait(300);
        r.view().keyboardNotify(true, 0x04);
        QTRY_COMPARE(steps().size(), 3);
        r.call(r.find("macroClose"), "clicked");
        QVERIFY(!r.find("macroDialog")->property("opened").toBool());
        QVERIFY(!store->property("recording").toBool());

        const QStringList recorded = steps();
        QCOMPARE(recorded.size(), 5);
        // The pause itself is measured in the recording test with real keys.
        QCOMPARE(recorded.at(0), QStringLiteral("1,LShift"));
        QVERIFY(recorded.at(1).startsWith("0,"));
        QCOMPARE(recorded.mid(2), QStringList({"1,A", "2,LShift", "2,A"}));
        QCOMPARE(macroFile("Rec", "config/total"), QStringLiteral("5"));
        QCOMPARE(int(r.mouse.state().macros[2][3]), 0xE1);
    }
};

SCENE_TEST_MAIN(TestMacroEditor)

#include "tst_macro_editor.moc"
