#pragma once

// The real program's window and scene against one virtual mouse, on a
// private copy of the runtime folder.

#include "filedialogs.h"
#include "pointersettings.h"
#include "testmodules.h"
#include "virtual_r770.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <memory>

class QQuickItem;
class QSettings;
class Widget;
class myQQuickView;

namespace scenetest {

// Stands in for the desktop's pointer settings and notes what it was given,
// as "speed 6", "double 600", "lines 3".
class RecordingPointer : public PointerSettings
{
public:
    RecordingPointer(QStringList &log, bool wheelLines) : log(log), wheelLines(wheelLines) {}
    bool has(Setting setting) const override { return wheelLines || setting != Setting::WheelScrollLines; }
    bool setMouseSpeed(unsigned speed) override;
    bool setDoubleClickTime(unsigned milliseconds) override;
    bool setWheelScrollLines(unsigned lines) override;

private:
    QStringList &log;
    bool wheelLines;
};

// Answers the file dialogs with prepared paths ("" cancels).
class ScriptedDialogs : public FileDialogs
{
public:
    QString open, save;
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return open; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return save; }
};

// Which mouse the rig plugs in, and how the device table describes it.
struct MouseSetup
{
    bool hid560 = false;
    bool scrambling = true;
};

class SceneRig
{
public:
    explicit SceneRig(const MouseSetup &setup = {});
    ~SceneRig();

    // Sets entries of apConfig.bin (or, with a profile file name such as
    // "p2.bin", of that file) before start() reads it.
    void configure(const QVariantMap &entries, const QString &file = "apConfig.bin");

    // Builds the window and runs discovery; true once the scene has run its
    // first initialisation and its start-up lock has ended. The frame mark
    // is set after discovery, before the scene's first initialisation.
    bool start(bool show = false);
    // start(true), then the window active with the view focused and the
    // pages faded in, so that clicks and keys reach the scene.
    bool startActive();

    Widget &window() const { return *host; }
    myQQuickView &view() const;
    QQuickItem *root() const;
    // An item of the scene (or of its popup layer) by object name.
    QObject *find(const QString &objectName) const;
    // Calls a function of a scene object and returns its result.
    QVariant call(QObject *object, const char *function, const QVariantList &args = {}) const;
    QVariant callRoot(const char *function, const QVariantList &args = {}) const;
    // An item once it is visible and laid out as drawn (up to 2 s), else null.
    QQuickItem *shown(const QString &objectName) const;
    // A real click at the middle of a visible item; false when there is none.
    bool click(const QString &objectName) const;
    static QPoint centreOf(const QQuickItem *item);
    // The key page's codes of key `index`, as plain ints.
    QVariantList keyCodes(int index) const;
    // Waits until the scene is unlocked again.
    bool waitUnlocked(int timeoutMs = 60000) const;

    // Command codes of the frames the mouse received since the last mark.
    QList<int> commandsSinceMark() const;
    // The plain frames themselves.
    std::vector<vr770::Bytes> framesSinceMark() const;
    void mark();

    // A macro file as the library writes it, and the macro list.
    void writeMacro(const QString &name, const QStringList &steps, int repeat = 1);
    void listMacros(const QStringList &names);

    // A key of a file under modules/setting, read by a fresh process.
    QString stored(const QString &file, const QString &key) const;

    TestModules modules;
    vr770::VirtualR770 mouse;
    QStringList pointerLog;
    // Whether the stand-in desktop has wheel scroll lines (set before start).
    bool desktopWheelLines = true;

private:
    std::unique_ptr<Widget> host;
    size_t frameMark = 0;
};

// A list from the scene (a JavaScript array arrives as QJSValue) as ints.
QVariantList ints(QVariant value);
// A text of the shipped English language file.
QString englishText(const QString &group, int position);

// Collects the warnings of the scene (QML and JavaScript) from now on;
// takeSceneWarnings() hands over those collected since the last call.
void collectSceneWarnings();
QStringList takeSceneWarnings();

// The fixture of the scene suites: one rig at a time, and a test fails on
// any warning of the scene.
class SceneTestCase : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<SceneRig> rig;

    // A new rig (the old one goes first: it resets the bus and the folder).
    SceneRig &make(const MouseSetup &setup = {});
    // Saves as Ctrl+S does and waits for the scene's lock to end.
    void save();

private slots:
    void initTestCase();
    void init();
    void cleanup();
};

// For the fresh-process reads: call first thing in main(); returns true
// (and prints) when this process was started as such a reader.
bool runStoredReader(int argc, char **argv, int &exitCode);

} // namespace scenetest

// main() of a scene test: the fresh-process reader when started as one,
// otherwise the test case under a QApplication.
#define SCENE_TEST_MAIN(TestClass)                                                                  \
    int main(int argc, char **argv)                                                                 \
    {                                                                                               \
        int code = 0;                                                                               \
        if (scenetest::runStoredReader(argc, argv, code))                                           \
            return code;                                                                            \
        QApplication app(argc, argv);                                                               \
        TestClass test;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                  \
        return QTest::qExec(&test, argc, argv);                                                     \
    }
