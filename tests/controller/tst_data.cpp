// The controller's data access and its scene contract. Stored results are
// read back by a fresh process (this test run with --child), because
// settings objects on one file share a cache within a process.
#include <gio/gio.h>

#include "../persistence/filetestutil.h"
#include "myqquickview.h"
#include "testmodules.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QQmlContext>
#include <QQuickItem>
#include <QtTest>

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QVERIFY(filetest::writeFile(path, text));
}

// The child's answer: "invalid", "valid <type> <value>", or "<count>:a|b"
// for a list.
QString describe(const QVariant &v)
{
    if (v.typeId() == QMetaType::QVariantList)
        return QStringLiteral("%1:%2").arg(v.toList().size()).arg(v.toStringList().join('|'));
    return v.isValid() ? QStringLiteral("valid %1 %2").arg(v.typeName(), v.toString())
                       : QStringLiteral("invalid");
}

// Runs in the child: one read through a fresh controller, in the given
// profile, from the current or the factory file.
int runChild(const QStringList &args)
{
    myQQuickView view;
    const QString op = args.value(0), key = args.value(1);
    view.setCurrentProfile(args.value(2).toInt());
    const bool recovery = args.value(3) == QLatin1String("recovery");
    const QVariant v = op == QLatin1String("getData") ? view.getData(key, recovery)
        : op == QLatin1String("getDataList") ? QVariant(view.getDataList(key, recovery))
                                             : view.getGlobalData(key);
    printf("%s\n", qPrintable(describe(v)));
    return 0;
}

QString fresh(const QString &op, const QString &key, int profile = 0, bool recovery = false)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {"--child", op, key, QString::number(profile), recovery ? "recovery" : "current"});
    p.waitForFinished(20000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

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
        }
        QCOMPARE(fresh("getData", "mouse/missing"), QStringLiteral("invalid"));
        QCOMPARE(fresh("getDataList", "mouse/missing"), QStringLiteral("0:"));
        // A plain string is not a list (not its characters); a one-element
        // list comes back as a plain string.
        QCOMPARE(fresh("getData", "mouse/title"), QStringLiteral("valid QString abc"));
        QCOMPARE(fresh("getDataList", "mouse/title"), QStringLiteral("0:"));
        QCOMPARE(fresh("getData", "mouse/one"), QStringLiteral("valid QString 5"));
        QCOMPARE(fresh("getDataList", "mouse/one"), QStringLiteral("0:"));
        QCOMPARE(fresh("getDataList", "mouse/three"), QStringLiteral("3:1|2|3"));
        QCOMPARE(fresh("getDataList", "mouse/none"), QStringLiteral("0:"));
    }

    void profileSelection()
    {
        {
            myQQuickView view;
            view.setCurrentProfile(2);
            QCOMPARE(view.getData("mouse/name", false).toString(), QStringLiteral("third"));
            QCOMPARE(view.getData("mouse/name", true).toString(), QStringLiteral("factory"));
            view.setCurrentProfile(3);
            // Out-of-range slots are refused and keep the current one.
            view.setCurrentProfile(10);
            view.setCurrentProfile(-1);
            view.setData("mouse/written", 42);
        }
        QVERIFY(filetest::contents(modules->path("setting/p4.bin")).contains("written=42"));
        QCOMPARE(fresh("getData", "mouse/written", 0), QStringLiteral("invalid"));
        QCOMPARE(fresh("getData", "mouse/written", 3, true), QStringLiteral("invalid"));
        QCOMPARE(fresh("getData", "mouse/name", 5, true), QStringLiteral("valid QString factory"));
    }

    void resetApconfigRestoresFactoryFile()
    {
        {
            myQQuickView view;
            view.setGlobalData("common/language", "German");
            view.setGlobalData("common/extra", "pending");
            view.resetApconfig();
            QCOMPARE(view.getGlobalData("mouse/icType").toString(), QStringLiteral("560"));
            view.setGlobalData("common/after", "kept");
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(fresh("getGlobalData", "common/language"), QStringLiteral("valid QString Chinese"));
        QCOMPARE(fresh("getGlobalData", "common/extra"), QStringLiteral("invalid"));
        QCOMPARE(fresh("getGlobalData", "common/after"), QStringLiteral("valid QString kept"));

        // Without the factory copy the current file stays.
        QVERIFY(QFile::remove(modules->path("setting/apConfigD.bin")));
        myQQuickView().resetApconfig();
        QCOMPARE(fresh("getGlobalData", "common/after"), QStringLiteral("valid QString kept"));
    }

    // The scene is torn down before the controller's state: what it does
    // on the way out still reaches the files.
    void sceneTornDownFirst()
    {
        const QString scene = modules->root() + "/bye.qml";
        writeText(scene, "import QtQuick\nItem {\n"
                         "  Component.onDestruction: ui_View.setData(\"mouse/bye\", 7)\n}\n");
        {
            myQQuickView view;
            view.rootContext()->setContextProperty("ui_View", &view);
            view.setSource(QUrl::fromLocalFile(scene));
            QVERIFY(view.rootObject());
        }
        QCOMPARE(fresh("getData", "mouse/bye"), QStringLiteral("valid QString 7"));
    }

    void languagesOfTheShippedFiles()
    {
        QCOMPARE(myQQuickView().getLanguageList(), QStringList({"ChineseSimplified", "English"}));
    }

    // The desktop pointer settings, as GNOME keeps them (in memory here).
    void desktopPointerSettings()
    {
        // The schema comes with the desktop schemas package the setup installs.
        myQQuickView view; // the desktop implementation from the factory
        GSettings *mouse = g_settings_new("org.gnome.desktop.peripherals.mouse");
        for (auto [step, speed] : {std::pair{10u, 1.0}, {0u, -1.0}, {5u, 0.0}}) {
            view.mouseSetCursorSpeed(step);
            QCOMPARE(g_settings_get_double(mouse, "speed"), speed);
        }
        view.mouseSetDoubleClickSpeed(10);
        QCOMPARE(g_settings_get_int(mouse, "double-click"), 200);
        // A step that would wrap the time is refused.
        QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed ");
        view.mouseSetDoubleClickSpeed(13);
        QCOMPARE(g_settings_get_int(mouse, "double-click"), 200);
        g_object_unref(mouse);

        // The desktop keeps no wheel scroll lines: the scene learns so, and
        // setting them is not attempted, so nothing fails.
        QVERIFY(view.pointerSettingAvailable("cursorSpeed"));
        QVERIFY(view.pointerSettingAvailable("doubleClickSpeed"));
        QVERIFY(!view.pointerSettingAvailable("verticalScrollLines"));
        static QStringList lines;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &message) { lines << message; });
        view.mouseSetVerticalScrollLines(3);
        qInstallMessageHandler(previous);
        QCOMPARE(lines, QStringList());
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
