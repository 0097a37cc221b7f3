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

bool shootLanguage(const QString &language, const QString &tag, const QString &folder)
{
    SceneRig rig;
    rig.configure([&language](QSettings &s) { s.setValue("common/language", language); });
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
    ok = dialog("macro-editor", "macroDialog", "macro") && ok;
    ok = dialog("gun-editor", "gunDialog", "gun") && ok;
    ok = dialog("system-setting", "systemDialog", "system") && ok;
    ok = dialog("profiles", "profileDialog", "profile") && ok;
    ok = dialog("factory-reset", "resetDialog", "reset") && ok;
    ok = shoot(rig, folder, "key-assignment-" + tag, [&rig] { rig.callRoot("openKeyDialog", {2}); },
               closeLoader("keyDialog")) && ok;
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
    ok = shoot(rig, folder, "busy-" + tag, [&rig] { rig.callRoot("setProtectUI", {60000}); },
               [&rig] { rig.callRoot("setProtectUI", {0}); }) && ok;
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
