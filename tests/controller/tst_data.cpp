// The controller's data access, its scene contract and the desktop pointer
// settings. Stored results are read back by a fresh process (this test run
// with --child), because settings objects on one file share a cache within a
// process.
// GIO first: its headers use "signals" as a name, which Qt defines as a macro.
#include <gio/gio.h>

#include "myqquickview.h"
#include "pointersettings.h"
#include "testmodules.h"

#include <QApplication>
#include <QFile>
#include <QMetaMethod>
#include <QProcess>
#include <QQuickItem>
#include <QThread>
#include <QSettings>
#include <QtTest>


namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QByteArray readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The child's answer: "<valid> <type> <value>" for one value, "<count>:a|b"
// for a list.
QString describe(const QVariant &v)
{
    return QStringLiteral("%1 %2 %3")
        .arg(v.isValid() ? "valid" : "invalid", v.isValid() ? v.typeName() : "-",
             v.toStringList().isEmpty() ? v.toString() : v.toStringList().join('|'));
}
QString describe(const QVariantList &list)
{
    QStringList parts;
    for (const QVariant &v : list)
        parts << v.toString();
    return QStringLiteral("%1:%2").arg(list.size()).arg(parts.join('|'));
}

// Runs in the child: one read through a fresh controller.
int runChild(const QStringList &args)
{
    myQQuickView view;
    const QString op = args.value(0);
    const QString key = args.value(1);
    view.setCurrentProfile(args.value(2).toInt());
    const bool recovery = args.value(3) == QLatin1String("recovery");
    QString answer;
    if (op == QLatin1String("getData"))
        answer = describe(view.getData(key, recovery));
    else if (op == QLatin1String("getDataList"))
        answer = describe(view.getDataList(key, recovery));
    else if (op == QLatin1String("getGlobalData"))
        answer = describe(view.getGlobalData(key));
    else if (op == QLatin1String("pointer")) {
        view.mouseSetCursorSpeed(5);
        view.mouseSetDoubleClickSpeed(5);
        answer = QStringLiteral("pointer done");
    }
    printf("%s\n", qPrintable(answer));
    return 0;
}

QString fresh(const QString &op, const QString &key, int profile = 0, bool recovery = false)
{
    QProcess p;
    p.setWorkingDirectory(QDir::currentPath());
    p.start(QCoreApplication::applicationFilePath(),
            {"--child", op, key, QString::number(profile), recovery ? "recovery" : "current"});
    if (!p.waitForFinished(20000))
        return QStringLiteral("child did not finish");
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Pointer settings that record what they were asked and may refuse.
struct RecordingPointer : PointerSettings
{
    bool accept = true;
    QStringList *calls;
    explicit RecordingPointer(QStringList *log) : calls(log) {}
    bool setMouseSpeed(unsigned s) override { return record("speed", s); }
    bool setDoubleClickTime(unsigned ms) override { return record("double", ms); }
    bool setWheelScrollLines(unsigned l) override { return record("lines", l); }
    bool record(const char *what, unsigned v)
    {
        *calls << QStringLiteral("%1 %2").arg(what).arg(v);
        return accept;
    }
};

const char *const invokableOrder[] = {
    "clearHidBusy", "initUI", "runUI", "resetApconfig", "loadMacroFile", "saveMacroFile",
    "loadProfile", "saveProfile", "resetProfile", "copyProfile", "getLangStrings",
    "createMacroIni", "updataNameList", "modifyMacroNameUpdateProfile",
    "deleteMacroUpdateProfile", "deleteMacroIni", "getNameList", "saveMacroIni",
    "mouseSendMacroData", "loadMacroIni", "mouseSaveGundata", "mouseSendGundata",
    "modifyGundata", "getGunData", "getGunDataKey", "getXYSensitive", "getselectGun",
    "setXYSensitive", "setSelectGun", "setCurrentProfile", "mouseSetKeyboardoption",
    "mouseSetReportRate", "mouseSetCurrentDPI", "mouseResetKeyMatrix", "mouseGetCurrentDPI",
    "mouseSetKeyMatrix", "mouseSetDpi", "mouseSetRGBEffect", "mouseSetRGBColor",
    "mouseSetProfile", "mouseReadProfile", "mouseReadCurrentProfile", "mouseSwitchKeyMatrix",
    "GetKeyboardoption", "mouseSetCursorSpeed", "mouseSetVerticalScrollLines",
    "mouseSetDoubleClickSpeed", "mouseGetKeydefine", "openUpdateExe", "getData",
    "getGlobalData", "getDataList", "setData", "setGlobalData", "setDataList", "setBusy",
    "setCurrentDPI"};

} // namespace

class DataTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestModules> modules;

private slots:
    void init()
    {
        modules = std::make_unique<TestModules>();
        QVERIFY(modules->isValid());
        writeText(modules->path("setting/apConfig.bin"),
                  "[mouse]\nisColorful=true\nisGun=true\nicType=553\nis55328=false\n"
                  "profileNo=0\n[common]\nlanguage=English\n");
        writeText(modules->path("setting/apConfigD.bin"),
                  "[mouse]\nisColorful=false\nisGun=false\nicType=560\nis55328=true\n"
                  "profileNo=0\n[common]\nlanguage=Chinese\n");
        writeText(modules->path("setting/pD.bin"), "[mouse]\ndpiCount=6\nname=factory\n");
        writeText(modules->path("setting/p3.bin"), "[mouse]\nname=third\n");
    }
    void cleanup() { modules.reset(); }

    void missingKeysAndPlainStrings()
    {
        {
            myQQuickView view;
            view.setData("mouse/title", "abc");
            view.setDataList("mouse/one", {5});
            view.setDataList("mouse/three", {1, 2, 3});
            view.setDataList("mouse/none", {});
            QVERIFY(!view.getData("mouse/missing", false).isValid());
            QCOMPARE(view.getDataList("mouse/missing", false), QVariantList());
        }
        QCOMPARE(fresh("getData", "mouse/missing"), QStringLiteral("invalid -"));
        QCOMPARE(fresh("getDataList", "mouse/missing"), QStringLiteral("0:"));
        // A plain string is not a list (not its characters).
        QCOMPARE(fresh("getData", "mouse/title"), QStringLiteral("valid QString abc"));
        QCOMPARE(fresh("getDataList", "mouse/title"), QStringLiteral("0:"));
        // A one-element list comes back as a plain string.
        QCOMPARE(fresh("getData", "mouse/one"), QStringLiteral("valid QString 5"));
        QCOMPARE(fresh("getDataList", "mouse/one"), QStringLiteral("0:"));
        QCOMPARE(fresh("getDataList", "mouse/three"), QStringLiteral("3:1|2|3"));
        QCOMPARE(fresh("getDataList", "mouse/none"), QStringLiteral("0:"));
        QVERIFY(readText(modules->path("setting/p1.bin")).contains("three=1, 2, 3"));
    }

    void profileSelection()
    {
        {
            myQQuickView view;
            view.setCurrentProfile(2);
            QCOMPARE(view.getData("mouse/name", false).toString(), QStringLiteral("third"));
            QCOMPARE(view.getData("mouse/name", true).toString(), QStringLiteral("factory"));
            view.setCurrentProfile(3);
            view.setData("mouse/written", 42);
            // Out-of-range slots are refused and keep the current one.
            view.setCurrentProfile(10);
            QCOMPARE(view.currentProfile, 3);
            view.setCurrentProfile(-1);
            QCOMPARE(view.currentProfile, 3);
            view.setData("mouse/second", 7);
        }
        QVERIFY(readText(modules->path("setting/p4.bin")).contains("written=42"));
        QVERIFY(readText(modules->path("setting/p4.bin")).contains("second=7"));
        QVERIFY(!readText(modules->path("setting/p1.bin")).contains("written"));
        QVERIFY(!readText(modules->path("setting/pD.bin")).contains("written"));
        QCOMPARE(fresh("getData", "mouse/name", 5, true), QStringLiteral("valid QString factory"));
        QCOMPARE(fresh("getData", "mouse/written", 3), QStringLiteral("valid QString 42"));
    }

    void resetApconfigRestoresFactoryFile()
    {
        {
            myQQuickView view;
            QCOMPARE(view.icType, QStringLiteral("553"));
            view.setGlobalData("common/language", "German");
            view.setGlobalData("common/extra", "pending");
            view.resetApconfig();
            QCOMPARE(view.getGlobalData("common/language").toString(), QStringLiteral("Chinese"));
            QCOMPARE(view.getGlobalData("mouse/icType").toString(), QStringLiteral("560"));
            QVERIFY(!view.getGlobalData("common/extra").isValid());
            // The cached flags keep what was read at start.
            QCOMPARE(view.icType, QStringLiteral("553"));
            QVERIFY(view.isColorful);
            QVERIFY(view.isGun);
            QVERIFY(!view.is55328);
            view.setGlobalData("common/after", "kept");
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(fresh("getGlobalData", "common/language"), QStringLiteral("valid QString Chinese"));
        QCOMPARE(fresh("getGlobalData", "common/extra"), QStringLiteral("invalid -"));
        QCOMPARE(fresh("getGlobalData", "common/after"), QStringLiteral("valid QString kept"));
        QVERIFY(readText(modules->path("setting/apConfigD.bin")).contains("Chinese"));
    }

    void resetApconfigWithoutFactoryCopy()
    {
        QVERIFY(QFile::remove(modules->path("setting/apConfigD.bin")));
        {
            myQQuickView view;
            view.resetApconfig();
            QCOMPARE(view.getGlobalData("common/language").toString(), QStringLiteral("English"));
        }
        QCOMPARE(fresh("getGlobalData", "mouse/icType"), QStringLiteral("valid QString 553"));
    }

    void keyAssignmentsStoredWithoutSending()
    {
        QVariantList src64;
        for (int i = 0; i < 64; ++i)
            src64 << (i % 4 == 2 ? 0xF0 : 0);
        src64[4] = 4;
        src64[6] = 2;
        {
            myQQuickView view;
            view.setCurrentProfile(1);
            view.mouseSetKeyMatrix(src64, false, {});
            // A short list stores zeros for the missing values.
            view.setCurrentProfile(2);
            view.mouseSetKeyMatrix({1, 4, 10}, false, {});
        }
        QCOMPARE(fresh("getDataList", "mouseKeyMatrix/1", 1), QStringLiteral("4:4|0|2|0"));
        QCOMPARE(fresh("getDataList", "mouseKeyMatrix/15", 1), QStringLiteral("4:0|0|240|0"));
        QCOMPARE(fresh("getDataList", "mouseKeyMatrix/0", 2), QStringLiteral("4:1|4|10|0"));
        QCOMPARE(fresh("getDataList", "mouseKeyMatrix/1", 2), QStringLiteral("4:0|0|0|0"));

        myQQuickView view;
        view.setCurrentProfile(1);
        const QVariantList stored = view.mouseGetKeydefine(1, false);
        QCOMPARE(stored, QVariantList({4, 0, 2, 0}));
        QCOMPARE(stored.first().typeId(), QMetaType::Int);
        QCOMPARE(view.mouseGetKeydefine(1, true), QVariantList());
        QCOMPARE(view.mouseGetKeydefine(99, false), QVariantList());
    }

    void sceneCallsAndTheirConnections()
    {
        const QString scene = modules->root() + "/scene.qml";
        writeText(scene,
                  "import QtQuick\n"
                  "Item {\n"
                  "  property var calls: []\n"
                  "  function note(t) { calls = calls.concat([t]) }\n"
                  "  function initUI() { note('initUI') }\n"
                  "  function run() { note('run') }\n"
                  "  function setProtectUI(ms) { note('protect ' + ms) }\n"
                  "  function setCurrentDPI(v) { note('dpi ' + v) }\n"
                  "  function detectKeyboard(d, c) { note('key ' + d + ' ' + c) }\n"
                  "  function detectMouse(d, b, x, y) { note('mouse ' + d + ' ' + b + ' ' + x + ' ' + y) }\n"
                  "}\n");
        myQQuickView view;
        view.setSource(QUrl::fromLocalFile(scene));
        QVERIFY(view.rootObject());
        auto calls = [&] { return view.rootObject()->property("calls").toStringList(); };

        view.initUI();
        view.runUI();
        view.keyboardNotify(true, 0x04);
        view.mouseNotify(false, 0xF1, 10, 20);
        view.setBusy(500);
        view.setCurrentDPI(2);
        // Direct calls arrive at once, queued ones from the event loop.
        QCOMPARE(calls(), QStringList({"protect 500", "dpi 2"}));
        QTRY_COMPARE(calls().size(), 6);
        QCOMPARE(calls().mid(2), QStringList({"initUI", "run", "key true 4", "mouse false 241 10 20"}));

        // From the device watch's thread the stage reaches the scene queued.
        std::unique_ptr<QThread> watch(QThread::create([&] { view.setCurrentDPI(3); }));
        watch->start();
        QVERIFY(watch->wait(5000));
        QCOMPARE(calls().size(), 6);
        QTRY_COMPARE(calls().value(6), QStringLiteral("dpi 3"));
    }

    void invokablesInContractOrder()
    {
        const QMetaObject &mo = myQQuickView::staticMetaObject;
        QStringList names;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
            const QMetaMethod m = mo.method(i);
            if (m.methodType() == QMetaMethod::Method)
                names << QString::fromLatin1(m.name());
        }
        QStringList expected;
        for (const char *name : invokableOrder)
            expected << QString::fromLatin1(name);
        QCOMPARE(expected.size(), 57);
        QCOMPARE(names, expected);
    }

    void pointerOperationsMakeOneCallEach()
    {
        myQQuickView view;
        QStringList calls;
        auto pointer = std::make_unique<RecordingPointer>(&calls);
        RecordingPointer *p = pointer.get();
        view.setPointerSettings(std::move(pointer));
        view.mouseSetCursorSpeed(0);
        view.mouseSetCursorSpeed(10);
        view.mouseSetDoubleClickSpeed(0);
        view.mouseSetDoubleClickSpeed(10);
        view.mouseSetVerticalScrollLines(3);
        view.mouseSetVerticalScrollLines(1000);
        QCOMPARE(calls, QStringList({"speed 1", "speed 20", "double 900", "double 200",
                                     "lines 3", "lines 1000"}));

        calls.clear();
        p->accept = false;
        QTest::ignoreMessage(QtDebugMsg, "setCursorSpeed Failed");
        view.mouseSetCursorSpeed(4);
        QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
        view.mouseSetDoubleClickSpeed(4);
        QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
        view.mouseSetVerticalScrollLines(4);
        QCOMPARE(calls.size(), 3);

        // A step that would wrap the time is refused without a call.
        calls.clear();
        p->accept = true;
        QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
        view.mouseSetDoubleClickSpeed(13);
        QVERIFY(calls.isEmpty());
    }

    void desktopPointerSettings()
    {
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema =
            source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.peripherals.mouse", TRUE)
                   : nullptr;
        if (!schema)
            QSKIP("the desktop's mouse schema is not installed");
        const bool hasDoubleClick = g_settings_schema_has_key(schema, "double-click");
        g_settings_schema_unref(schema);

        myQQuickView view; // the desktop implementation from the factory
        GSettings *mouse = g_settings_new("org.gnome.desktop.peripherals.mouse");
        view.mouseSetCursorSpeed(10);
        QCOMPARE(g_settings_get_double(mouse, "speed"), 1.0);
        view.mouseSetCursorSpeed(0);
        QCOMPARE(g_settings_get_double(mouse, "speed"), -1.0);
        view.mouseSetCursorSpeed(5);
        QCOMPARE(g_settings_get_double(mouse, "speed"), 0.0);
        if (hasDoubleClick) {
            view.mouseSetDoubleClickSpeed(10);
            QCOMPARE(g_settings_get_int(mouse, "double-click"), 200);
            view.mouseSetDoubleClickSpeed(0);
            QCOMPARE(g_settings_get_int(mouse, "double-click"), 900);
            QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
            view.mouseSetDoubleClickSpeed(20);
            QCOMPARE(g_settings_get_int(mouse, "double-click"), 900);
        }
        // The desktop keeps no wheel scroll lines.
        QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
        view.mouseSetVerticalScrollLines(3);
        g_object_unref(mouse);
    }

    void desktopWithoutSchemas()
    {
        // No installed schema: the calls fail with their lines, nothing aborts.
        QTemporaryDir empty;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_DIRS", empty.path());
        env.remove("GSETTINGS_SCHEMA_DIR");
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {"--child", "pointer"});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed(),
                 QStringLiteral("pointer done"));
        const QString lines = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(lines.contains("setCursorSpeed Failed"), qPrintable(lines));
        QVERIFY2(lines.contains("setDoubleClickSpeed Failed"), qPrintable(lines));
    }
};

int main(int argc, char **argv)
{
    // Desktop settings go to memory, never to the user's real ones.
    qputenv("GSETTINGS_BACKEND", "memory");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--child"))
        return runChild(args.mid(2));
    DataTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_data.moc"
