// The macro editor of the real scene against the virtual mouse: what its
// operations write (read back in a fresh process) and what reaches the
// mouse's macro slots and key assignment. Any QML warning fails.
#include "myqquickview.h"
#include "scenerig.h"

#include <QApplication>
#include <QFile>
#include <QtTest>

using scenetest::SceneRig;

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
    // New and Rename keep the list, the files and the profiles' references
    // in step; refused names change nothing and the hint says why.
    void libraryOperations()
    {
        SceneRig &r = make();
        r.writeMacro("Leftover", {});
        QVERIFY(openEditor());
        r.call(r.find("macroNew"), "clicked");
        r.call(r.find("macroNew"), "clicked");
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Macro_0, Macro_1"));
        QCOMPARE(macroFile("Macro_1", "config/total"), QStringLiteral("0"));
        r.call(r.find("keyPanel"), "setKey", {3, QVariantList{4, 0, 3, 0}, QStringLiteral("Macro_0")});
        r.configure({{"mouseMacroKey/9", "Macro_0"}}, "p6.bin");

        // A listed name, a macro file of that name, a name the library cannot keep.
        for (const auto &[name, why] : {std::pair{"Macro_1", "taken"}, {"Leftover", "taken"},
                                        {"a/b", "name"}, {"", "name"}}) {
            QVERIFY(!call("rename", {0, QString::fromLatin1(name)}).toBool());
            QCOMPARE(refusal(), QString::fromLatin1(why));
        }
        QCOMPARE(status(), text(20));
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Macro_0, Macro_1"));

        QVERIFY(call("rename", {0, QStringLiteral("Burst, short")}).toBool());
        QCOMPARE(stored("name.bin", "macro/macroName"), QStringLiteral("Burst, short, Macro_1"));
        QVERIFY(QFile::exists(r.modules.path("macro/Burst, short.bin")));
        QVERIFY(!QFile::exists(r.modules.path("macro/Macro_0.bin")));
        QCOMPARE(stored("p1.bin", "mouseMacroKey/3"), QStringLiteral("Burst, short"));
        QCOMPARE(stored("p6.bin", "mouseMacroKey/9"), QStringLiteral("Burst, short"));
        QCOMPARE(r.call(r.find("keyPanel"), "description", {3}).toString(),
                 scenetest::englishText("notice", 17).replace("%1", "Burst, short"));
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
        QCOMPARE(stored("name.bin", "macro/macroName").count(','), 99);
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

    // Insert Key through the capture box, steps typed in place (refused
    // with a hint when they are not steps), and the limit.
    void stepEditing()
    {
        SceneRig &r = make();
        r.writeMacro("Keys", {"1,A", "0,100", "2,A"});
        r.listMacros({"Keys", "Other"});
        QObject *editor = openEditor();
        QVERIFY(editor);

        r.call(r.find("insertKey"), "clicked");
        r.view().keyboardNotify(true, 0xE1);
        QTRY_COMPARE(editor->property("capturedCode").toInt(), 0xE1);
        r.call(r.find("keyCaptureOk"), "clicked");
        QCOMPARE(steps(), QStringList({"1,A", "0,100", "2,A", "1,LShift", "2,LShift"}));

        for (const auto &[typed, why, hint] : {std::tuple{"0,abc", "format", 21}, {"9,A", "format", 21},
                                               {"0,6000000", "delay", 23}, {"1,NoSuchKey", "key", 22}}) {
            QVERIFY(!call("editStep", {1, QString::fromLatin1(typed)}).toBool());
            QCOMPARE(refusal(), QString::fromLatin1(why));
            QCOMPARE(status(), text(hint));
        }
        QCOMPARE(macroFile("Keys", "macro/1"), QStringLiteral("0,100"));
        QVERIFY(call("editStep", {1, "0, 250"}).toBool());
        QVERIFY(call("editStep", {2, "1,ms-m"}).toBool());
        QCOMPARE(steps(), QStringList({"1,A", "0,250", "3,MS-M", "1,LShift", "2,LShift"}));
        QCOMPARE(macroFile("Keys", "macro/2"), QStringLiteral("3,MS-M"));

        // 61 actions take 126 bytes: nothing more is added. (This macro's
        // file is missing: the first edit makes it again.)
        call("select", {1});
        while (store->property("length").toInt() < 124)
            QVERIFY(call("insertPair", {0x04}).toBool());
        QVERIFY(call("insertDelay").toBool());
        QVERIFY(call("insertPair", {0x05}).toBool());
        QVERIFY(!call("insertPair", {0x05}).toBool());
        QCOMPARE(refusal(), QStringLiteral("full"));
        QCOMPARE(macroFile("Other", "config/total"), QString::number(steps().size()));
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
    // and a repeat count of 0. Edits reach every key that runs the macro.
    void storedMacroAsItIs()
    {
        SceneRig &r = make();
        r.writeMacro("Long", longMacroSteps());
        r.writeMacro("Zero", {"1,A", "2,A"}, 0);
        r.listMacros({"Long", "Zero"});
        bindKey(3, "Long");
        bindKey(4, "Zero");
        bindKey(5, "Zero");
        QVERIFY(openEditor());
        QCOMPARE(steps().size(), 300);
        QCOMPARE(status(), text(28));
        r.mark();
        QVERIFY(call("editStep", {299, "2,C"}).toBool());
        QVERIFY(r.commandsSinceMark().isEmpty());
        QCOMPARE(macroFile("Long", "config/total"), QStringLiteral("300"));
        QCOMPARE(macroFile("Long", "macro/299"), QStringLiteral("2,C"));

        call("select", {1});
        QCOMPARE(r.find("macroTimes")->property("value").toString(), QStringLiteral("0"));
        QVERIFY(call("insertDelay").toBool());
        QCOMPARE(r.mouse.state().macros[4], block({0, 0, 1, 4, 0x81, 4, 0, 0}));
        r.call(r.find("macroTimes"), "edited", {"1"});
        QCOMPARE(macroFile("Zero", "config/repeat"), QStringLiteral("1"));
        QCOMPARE(r.mouse.state().macros[4], block({0, 1, 1, 4, 0x81, 4, 0, 0}));
        QCOMPARE(r.mouse.state().macros[5], r.mouse.state().macros[4]);
    }
};

SCENE_TEST_MAIN(TestMacroEditor)

#include "tst_macro_editor.moc"
