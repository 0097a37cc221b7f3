// r770-screenshots: the real window against the virtual mouse, every page
// and dialog in every shipped language, saved as PNG files for the
// documentation. scripts/screenshots runs it under a virtual X server.
#include "scenerig.h"
#include "widget.h"

#include <QApplication>
#include <QDir>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickWindow>
#include <QSettings>
#include <QTest>

#include "myqquickview.h"

using scenetest::SceneRig;

namespace {

bool grab(SceneRig &rig, const QString &file)
{
    QTest::qWait(400); // let animations settle
    QQuickItem *top = rig.view().quickWindow()->contentItem();
    QSharedPointer<QQuickItemGrabResult> result = top->grabToImage();
    if (!result)
        return false;
    bool ready = false;
    QObject::connect(result.data(), &QQuickItemGrabResult::ready, [&ready] { ready = true; });
    if (!QTest::qWaitFor([&ready] { return ready; }, 5000))
        return false;
    const bool saved = result->image().save(file);
    printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
    return saved;
}

// Opens something, grabs the window, closes it again.
bool shoot(SceneRig &rig, const QString &folder, const QString &name,
           const std::function<void()> &open, const std::function<void()> &close)
{
    open();
    const bool ok = grab(rig, folder + '/' + name + ".png");
    close();
    QTest::qWait(50);
    return ok;
}

// A few macros, one of them on key 4, for the macro editor's pictures.
void addMacros(SceneRig &rig)
{
    const QList<QPair<QString, QStringList>> macros = {
        {"Burst", {"1,A", "0,40", "2,A", "0,60", "1,A", "0,40", "2,A"}},
        {"Reload", {"1,R", "0,120", "2,R", "0,800", "3,MS-L", "0,30", "4,MS-L"}},
        {"Jump crouch", {"1,Space", "0,10", "1,LCtrl", "0,250", "2,Space", "2,LCtrl"}},
        {"Greeting", {"1,LShift", "1,H", "2,H", "2,LShift", "1,I", "2,I", "0,50", "1,Enter", "2,Enter"}},
    };
    QStringList names;
    for (const auto &[name, steps] : macros) {
        rig.writeMacro(name, steps);
        names << name;
    }
    rig.listMacros(names);
}

// The macro editor, and the editor while recording, capturing a key and
// refusing a step.
bool shootMacroEditor(SceneRig &rig, const QString &tag, const QString &folder)
{
    // Key 4 runs "Reload" while the editor is shown.
    QObject *keys = rig.find("keyPanel");
    rig.call(keys, "setKey", {3, QVariantList{4, 0, 3, 0}, QStringLiteral("Reload")});
    rig.callRoot("openDialog", {"macro"});
    QObject *store = rig.find("macroStore");
    QObject *editor = rig.find("macroDialog")->property("item").value<QObject *>();
    if (!store || !editor)
        return false;
    rig.call(store, "select", {1});
    bool ok = grab(rig, folder + "/macro-editor-" + tag + ".png");

    rig.call(store, "select", {3});
    rig.call(store, "startRecording", {-1});
    for (int code : {0x0B, 0x0C}) {
        rig.view().keyboardNotify(true, code);
        QTest::qWait(90);
        rig.view().keyboardNotify(false, code);
        QTest::qWait(160);
    }
    ok = grab(rig, folder + "/macro-recording-" + tag + ".png") && ok;
    rig.call(store, "stopRecording");

    rig.call(editor, "openKeyCapture");
    rig.view().keyboardNotify(true, 0x2B);
    QTest::qWait(50);
    ok = grab(rig, folder + "/macro-key-capture-" + tag + ".png") && ok;
    rig.call(editor, "closeOverlay");

    // A step typed in place that is not a step.
    rig.call(store, "select", {1});
    auto *row = qvariant_cast<QQuickItem *>(rig.call(rig.find("stepList"), "itemAtIndex", {3}));
    if (!row)
        return false;
    rig.call(row, "startEdit");
    if (QObject *input = row->findChild<QObject *>("stepInput"))
        input->setProperty("text", "0,later");
    rig.call(row, "finishEdit", {false});
    ok = grab(rig, folder + "/macro-refused-" + tag + ".png") && ok;
    rig.call(row, "cancelEdit");
    rig.call(keys, "init", {false});
    rig.call(rig.find("macroDialog"), "close");
    QTest::qWait(50);
    return ok;
}

// The key assignment dialog: a mouse button, a fire key with its rate, a
// combination being pressed, a refused key, a macro.
bool shootKeyAssignment(SceneRig &rig, const QString &tag, const QString &folder)
{
    rig.callRoot("openKeyDialog", {2});
    QObject *dialog = rig.find("keyDialog")->property("item").value<QObject *>();
    if (!dialog)
        return false;
    bool ok = grab(rig, folder + "/key-assignment-" + tag + ".png");

    auto press = [&rig](std::initializer_list<int> codes, bool release) {
        for (int code : codes)
            rig.callRoot("detectKeyboard", {true, code});
        if (release)
            for (int code : codes)
                rig.callRoot("detectKeyboard", {false, code});
    };
    rig.call(dialog, "showCategory", {"fire"});
    rig.call(dialog, "startCapture", {"fire"});
    press({0x04}, true);
    rig.call(dialog, "setFire", {0x04, 10, 3});
    ok = grab(rig, folder + "/key-fire-" + tag + ".png") && ok;

    rig.call(dialog, "showCategory", {"combination"});
    rig.call(dialog, "startCapture", {"combination"});
    press({0xE0, 0xE1, 0x06}, false);
    ok = grab(rig, folder + "/key-combination-" + tag + ".png") && ok;
    rig.call(dialog, "stopCapture");

    // A code the key table does not hold.
    rig.call(dialog, "startCapture", {"combination"});
    press({0x74}, false);
    ok = grab(rig, folder + "/key-refused-" + tag + ".png") && ok;
    rig.call(dialog, "stopCapture");

    rig.call(dialog, "showCategory", {"macro"});
    rig.call(dialog, "chooseMacro", {"Reload", 1});
    ok = grab(rig, folder + "/key-macro-" + tag + ".png") && ok;
    rig.call(rig.find("keyDialog"), "close");
    QTest::qWait(50);
    return ok;
}

bool shootLanguage(const QString &language, const QString &tag, const QString &folder)
{
    SceneRig rig;
    rig.configure({{"common/language", language}});
    addMacros(rig);
    if (!rig.start(true))
        return false;
    QQuickItem *root = rig.root();
    auto closeLoader = [&rig](const char *name) {
        return [&rig, name] { rig.call(rig.find(name), "close"); };
    };
    auto dialog = [&](const QString &name, const char *loader, const char *which) {
        return shoot(rig, folder, name + '-' + tag,
                     [&rig, which] { rig.callRoot("openDialog", {QString::fromLatin1(which)}); },
                     closeLoader(loader));
    };

    bool ok = grab(rig, folder + "/main-" + tag + ".png");
    ok = shoot(rig, folder, "hover-" + tag, [root] { root->setProperty("hoveredKey", 2); },
               [root] { root->setProperty("hoveredKey", -1); }) && ok;
    ok = shootMacroEditor(rig, tag, folder) && ok;
    ok = dialog("gun-editor", "gunDialog", "gun") && ok;
    ok = dialog("system-setting", "systemDialog", "system") && ok;
    ok = dialog("profiles", "profileDialog", "profile") && ok;
    ok = dialog("factory-reset", "resetDialog", "reset") && ok;
    ok = shootKeyAssignment(rig, tag, folder) && ok;
    ok = shoot(rig, folder, "help-menu-" + tag, [&rig] { rig.call(rig.find("menuUp"), "openHelp"); },
               [&rig] { rig.call(rig.find("helpMenu"), "close"); }) && ok;
    ok = shoot(rig, folder, "profile-selector-" + tag, [&rig] { rig.call(rig.find("profileSelector"), "open"); },
               [&rig] { rig.call(rig.find("profileSelector"), "choose", {-1}); }) && ok;
    ok = shoot(rig, folder, "colour-picker-" + tag, [&rig] { rig.call(rig.find("lightPanel"), "editColour", {4}); },
               [&rig] { rig.call(rig.find("colourPicker"), "close"); }) && ok;
    // Unsaved edits on three pages, then the busy overlay of a lock.
    rig.call(rig.find("dpiPanel"), "setValue", {1, 2400});
    rig.call(rig.find("lightPanel"), "setEffect", {1});
    rig.call(rig.find("keyPanel"), "setKey", {3, QVariantList{1, 0x06, 10, 3}, QString()});
    ok = grab(rig, folder + "/unsaved-" + tag + ".png") && ok;
    ok = shoot(rig, folder, "quit-question-" + tag, [&rig] { rig.window().quitAsked(); },
               closeLoader("quitDialog")) && ok;
    // Save, and the notice that says it reached the mouse.
    rig.callRoot("saveChanges");
    ok = rig.waitUnlocked() && grab(rig, folder + "/notice-" + tag + ".png") && ok;
    rig.call(rig.find("notice"), "hide");
    ok = shoot(rig, folder, "busy-" + tag, [&rig] { rig.callRoot("setProtectUI", {60000}); },
               [&rig] { rig.callRoot("setProtectUI", {0}); }) && ok;
    // What the window shows while no mouse is connected.
    ok = shoot(rig, folder, "no-mouse-" + tag, [&rig] { rig.view().showConnectState(true); },
               [&rig] { rig.view().showConnectState(false); }) && ok;
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    int code = 0;
    if (scenetest::runStoredReader(argc, argv, code))
        return code;
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(R770_VERSION));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);
    bool ok = shootLanguage("English", "en", folder);
    ok = shootLanguage("ChineseSimplified", "zh", folder) && ok;
    return ok ? 0 : 1;
}
