// The controller as the scene sees it: a real myQQuickView published as
// "ui_View", its operations called by name from QML. What the scene stores
// is read back by a fresh process ("stored"), because settings objects on
// one file share a cache within a process.
#include "testmodules.h"
#include "viewrig.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QtQuickTest>

// QQuickWidget needs a widget application; the test runner reuses the one
// that exists when it starts.
static int appArgc = 1;
static char appName[] = "test_controller_qml";
static char *appArgv[] = {appName, nullptr};

static constexpr const char *childFlag = "--stored-line";

// Child side: the key's raw line in the file and the value a fresh
// QSettings reads, as "<line> => <type>:<value>".
static int printStored(const QString &file, const QString &key)
{
    QFile f(file);
    QString line;
    if (f.open(QIODevice::ReadOnly)) {
        const QString entry = key.section('/', 1) + QLatin1Char('=');
        for (const QByteArray &l : f.readAll().split('\n'))
            if (l.startsWith(entry.toUtf8()))
                line = QString::fromUtf8(l);
    }
    const QVariant v = QSettings(file, QSettings::IniFormat).value(key);
    const QString value = v.typeId() == QMetaType::QStringList
        ? v.toStringList().join('|') : v.toString();
    printf("%s => %s:%s\n", qPrintable(line), v.isValid() ? v.typeName() : "invalid",
           qPrintable(value));
    return 0;
}

class Probe : public QObject
{
    Q_OBJECT

public:
    explicit Probe(myQQuickView &v) : view(v) {}

    // Flushes the controller's settings and reads key of the file (relative
    // to ./modules/setting) in a fresh process.
    Q_INVOKABLE QString stored(const QString &file, const QString &key)
    {
        view.globalSettings->sync();
        for (QSettings *s : view.profileSettings)
            s->sync();
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(),
                {childFlag, QStringLiteral("modules/setting/") + file, key});
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

private:
    myQQuickView &view;
};

class Setup : public QObject
{
    Q_OBJECT

public:
    Setup()
    {
        vr770::resetBus();
        view.icType = QStringLiteral("553");
        connectView(view, link, owner, vr770::addMouse());
    }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), &view);
        engine->rootContext()->setContextProperty(QStringLiteral("probe"), &probe);
    }

private:
    QApplication app{appArgc, appArgv};
    TestModules modules;
    ViewOwner owner;
    Hid_Thread link;
    myQQuickView view;
    Probe probe{view};
};

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], childFlag) == 0) {
        QCoreApplication app(argc, argv);
        return printStored(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QTEST_SET_MAIN_SOURCE_PATH
    Setup setup;
    return quick_test_main_with_setup(argc, argv, "controller_qml", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "tst_qml.moc"
