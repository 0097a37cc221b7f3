#include "scenerig.h"

#include "myqquickview.h"
#include "virtualdevicechange.h"
#include "widget.h"

#include <QCoreApplication>
#include <QJSValue>
#include <QMetaMethod>
#include <QMutex>
#include <QProcess>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QTest>
#include <QtQuickTest/quicktest.h>

#include <algorithm>

namespace scenetest {

namespace {
constexpr const char *readerFlag = "--stored-value";

QMutex warningMutex;
QStringList warnings;
QtMessageHandler defaultHandler = nullptr;

void collectWarning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg)
        defaultHandler(type, context, text);
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    const QString file = QString::fromUtf8(context.file ? context.file : "");
    const QString category = QString::fromUtf8(context.category ? context.category : "");
    const bool fromScene = file.startsWith("qrc:") || category.startsWith("qml") || category.startsWith("js")
                           || text.contains("qrc:/modules/");
    if (!fromScene)
        return;
#ifndef R770_HAS_IMAGES
    // Until the image pipeline lands, the pictures are missing.
    if (text.contains("Cannot open: qrc:/") && text.contains("/modules/img/"))
        return;
#endif
    QMutexLocker lock(&warningMutex);
    warnings << text;
}
} // namespace

void collectSceneWarnings()
{
    defaultHandler = qInstallMessageHandler(collectWarning);
}

QStringList takeSceneWarnings()
{
    QMutexLocker lock(&warningMutex);
    QStringList taken;
    taken.swap(warnings);
    return taken;
}

bool RecordingPointer::setMouseSpeed(unsigned speed)
{
    log << QStringLiteral("speed %1").arg(speed);
    return true;
}

bool RecordingPointer::setDoubleClickTime(unsigned milliseconds)
{
    log << QStringLiteral("double %1").arg(milliseconds);
    return true;
}

bool RecordingPointer::setWheelScrollLines(unsigned lines)
{
    log << QStringLiteral("lines %1").arg(lines);
    return true;
}

SceneRig::SceneRig(const MouseSetup &setup)
{
    vr770::resetBus();
    deviceConnected = false;
    vr770::MouseConfig config;
    config.commandSet = setup.hid560 ? vr770::CommandSet::Hid560 : vr770::CommandSet::Hid553;
    config.scrambling = setup.scrambling;
    mouse = vr770::addMouse(config);
    configure({{"mouse/icType", setup.hid560 ? "560" : "553"}, {"0/isEncode", setup.scrambling}});
}

SceneRig::~SceneRig()
{
    host.reset();
    vr770::resetBus();
}

void SceneRig::configure(const QVariantMap &entries, const QString &file)
{
    QSettings settings(modules.path("setting/" + file), QSettings::IniFormat);
    for (auto e = entries.cbegin(); e != entries.cend(); ++e)
        settings.setValue(e.key(), e.value());
    settings.sync();
}

bool SceneRig::start(bool show)
{
    host = std::make_unique<Widget>();
    host->setDeviceChangeSource(std::make_unique<VirtualDeviceChangeSource>());
    view().setPointerSettings(std::make_unique<RecordingPointer>(pointerLog, desktopWheelLines));
    if (show)
        host->show();
    host->checkDevice();
    // Discovery's own exchanges are done; what follows is the scene's.
    mark();
    return QTest::qWaitFor([this] {
        return root() && root()->property("isPownOn").toBool() && root()->property("started").toBool()
               && !root()->property("locked").toBool();
    }, 20000);
}

bool SceneRig::startActive()
{
    if (!start(true))
        return false;
    host->activateWindow();
    view().setFocus();
    if (!QTest::qWaitForWindowActive(host.get()))
        return false;
    QObject *panels = find("panels");
    return panels && QTest::qWaitFor([panels] { return panels->property("opacity").toDouble() == 1; });
}

QQuickItem *SceneRig::shown(const QString &objectName) const
{
    // A page the last click chose may show only once events are handled.
    QQuickItem *item = nullptr;
    if (!QTest::qWaitFor([&] {
            item = qobject_cast<QQuickItem *>(find(objectName));
            return item && item->isVisible();
        }, 2000))
        return nullptr;
    // A user clicks what the window shows: a dialog shown a moment ago is
    // laid out when the next frame is drawn.
    if (QQuickTest::qIsPolishScheduled(view().quickWindow()))
        view().grabFramebuffer();
    return item;
}

bool SceneRig::click(const QString &objectName) const
{
    QQuickItem *item = shown(objectName);
    if (!item)
        return false;
    QTest::mouseClick(&view(), Qt::LeftButton, {}, centreOf(item));
    return true;
}

QPoint SceneRig::centreOf(const QQuickItem *item)
{
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

QVariantList SceneRig::keyCodes(int index) const
{
    QVariant codes = find("keyPanel")->property("codes");
    if (codes.canConvert<QJSValue>())
        codes = codes.value<QJSValue>().toVariant();
    return ints(codes.toList().value(index));
}

void SceneRig::writeMacro(const QString &name, const QStringList &steps, int repeat)
{
    QSettings s(modules.path("macro/" + name + ".bin"), QSettings::IniFormat);
    s.setValue("config/index", 0);
    s.setValue("config/total", steps.size());
    s.setValue("config/repeat", repeat);
    s.setValue("config/did", -1);
    for (int i = 0; i < steps.size(); ++i)
        s.setValue(QStringLiteral("macro/%1").arg(i), steps.at(i));
}

void SceneRig::listMacros(const QStringList &names)
{
    configure({{"macro/macroName", names}}, "name.bin");
}

QVariantList ints(QVariant value)
{
    if (value.canConvert<QJSValue>())
        value = value.value<QJSValue>().toVariant();
    QVariantList out;
    for (const QVariant &v : value.toList())
        out << v.toInt();
    return out;
}

QString englishText(const QString &group, int position)
{
    static const QSettings english(TestModules::sourceModules() + "/i18n/English.ini", QSettings::IniFormat);
    return english.value(QStringLiteral("%1/%2").arg(group).arg(position)).toString();
}

myQQuickView &SceneRig::view() const
{
    return *host->view();
}

QQuickItem *SceneRig::root() const
{
    return host ? host->view()->rootObject() : nullptr;
}

namespace {
// Searches the object tree and the item tree (delegates of views and
// repeaters are only in the latter).
QObject *findIn(QObject *object, const QString &name)
{
    if (!object)
        return nullptr;
    if (object->objectName() == name)
        return object;
    for (QObject *child : object->children())
        if (QObject *found = findIn(child, name))
            return found;
    if (auto *item = qobject_cast<QQuickItem *>(object))
        for (QQuickItem *child : item->childItems())
            if (child->parent() != object)
                if (QObject *found = findIn(child, name))
                    return found;
    return nullptr;
}
} // namespace

QObject *SceneRig::find(const QString &objectName) const
{
    // Popups sit in the window's top layer, beside the scene.
    return findIn(view().quickWindow()->contentItem(), objectName);
}

QVariant SceneRig::call(QObject *object, const char *function, const QVariantList &args) const
{
    // Scene functions with typed parameters have typed signatures: convert
    // each argument to its parameter's type.
    const QMetaObject *meta = object ? object->metaObject() : nullptr;
    for (int m = meta ? meta->methodCount() - 1 : -1; m >= 0; --m) {
        const QMetaMethod method = meta->method(m);
        if (method.name() != function || method.parameterCount() != args.size())
            continue;
        QVariant values[4];
        QGenericArgument a[4];
        for (int i = 0; i < args.size() && i < 4; ++i) {
            const QMetaType type = method.parameterMetaType(i);
            if (type.id() == QMetaType::QVariant) {
                values[i] = args.at(i);
                a[i] = QGenericArgument("QVariant", &values[i]);
            } else {
                values[i] = args.at(i);
                values[i].convert(type);
                a[i] = QGenericArgument(type.name(), values[i].data());
            }
        }
        QVariant result;
        QGenericReturnArgument r;
        const QMetaType returnType = method.returnMetaType();
        if (returnType.id() == QMetaType::QVariant)
            r = QGenericReturnArgument("QVariant", &result);
        else if (returnType.id() != QMetaType::Void && returnType.isValid()) {
            result = QVariant(returnType);
            r = QGenericReturnArgument(returnType.name(), result.data());
        }
        if (method.invoke(object, Qt::DirectConnection, r, a[0], a[1], a[2], a[3]))
            return result;
        break;
    }
    qWarning("scene call %s failed", function);
    return {};
}

QVariant SceneRig::callRoot(const char *function, const QVariantList &args) const
{
    return call(root(), function, args);
}

bool SceneRig::waitUnlocked(int timeoutMs) const
{
    return QTest::qWaitFor([this] { return !root()->property("locked").toBool(); }, timeoutMs);
}

void SceneRig::mark()
{
    frameMark = mouse.receivedFrames().size();
}

std::vector<vr770::Bytes> SceneRig::framesSinceMark() const
{
    const std::vector<vr770::Bytes> frames = mouse.receivedFrames();
    return {frames.begin() + std::ptrdiff_t(std::min(frameMark, frames.size())), frames.end()};
}

QList<int> SceneRig::commandsSinceMark() const
{
    QList<int> codes;
    for (const vr770::Bytes &frame : framesSinceMark())
        codes << frame[1];
    return codes;
}

QString SceneRig::stored(const QString &file, const QString &key) const
{
    myQQuickView &v = view();
    v.globalSettings->sync();
    v.factorySettings->sync();
    for (QSettings *s : v.profileSettings)
        s->sync();
    QProcess reader;
    reader.start(QCoreApplication::applicationFilePath(),
                 {readerFlag, modules.path("setting/" + file), key});
    reader.waitForFinished(20000);
    return QString::fromUtf8(reader.readAllStandardOutput()).trimmed();
}

bool runStoredReader(int argc, char **argv, int &exitCode)
{
    if (argc != 4 || qstrcmp(argv[1], readerFlag) != 0)
        return false;
    QCoreApplication app(argc, argv);
    const QVariant v = QSettings(QString::fromLocal8Bit(argv[2]), QSettings::IniFormat)
                           .value(QString::fromLocal8Bit(argv[3]));
    const QString text = v.typeId() == QMetaType::QStringList ? v.toStringList().join(", ") : v.toString();
    printf("%s\n", qPrintable(text));
    exitCode = 0;
    return true;
}


SceneRig &SceneTestCase::make(const MouseSetup &setup)
{
    rig.reset();
    rig = std::make_unique<SceneRig>(setup);
    return *rig;
}

void SceneTestCase::save()
{
    rig->mark();
    rig->callRoot("saveChanges");
    QVERIFY(rig->waitUnlocked());
}

void SceneTestCase::initTestCase()
{
    qputenv("GSETTINGS_BACKEND", "memory");
    collectSceneWarnings();
    QCoreApplication::setApplicationVersion(QStringLiteral("9.9.1"));
}

void SceneTestCase::init()
{
    takeSceneWarnings();
}

void SceneTestCase::cleanup()
{
    rig.reset();
    const QStringList warnings = takeSceneWarnings();
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
}

} // namespace scenetest
