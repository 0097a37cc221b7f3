#include "programrole.h"

#include "app.h"
#include "hid_thread.h"
#include "myqquickview.h"
#include "procfs.h"
#include "virtual_r770.h"
#include "virtualdevicechange.h"
#include "widget.h"

#include <QCoreApplication>
#include <QJSValue>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

void report(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray number(std::int64_t n)
{
    return QByteArray::number(qlonglong(n));
}

// Watches the scene and performs the benchmark's commands.
class Probe : public QObject
{
    Q_OBJECT

public:
    explicit Probe(Widget &window) : QObject(&window), window(window)
    {
        QQuickItem *root = window.view()->rootObject();
        connect(root, SIGNAL(isPownOnChanged()), this, SLOT(firstInitDone()));
        connect(root, SIGNAL(msg_KB(bool,int)), this, SLOT(keySeen(bool,int)));
        auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(input, &QSocketNotifier::activated, this, &Probe::readCommands);
    }

private slots:
    void firstInitDone()
    {
        // Runs inside initUI; the queued call runs once it has returned.
        QMetaObject::invokeMethod(this, [] { report("mark initUI " + number(procfs::nowNs())); },
                                  Qt::QueuedConnection);
    }

    void keySeen(bool isDown, int usbCode)
    {
        if (isDown)
            report("key " + QByteArray::number(usbCode) + ' ' + number(procfs::nowNs()));
    }

    void readCommands()
    {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) { // the benchmark has gone
            window.exitSYS();
            return;
        }
        pending.append(buffer, int(n));
        for (int end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QByteArray command = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            perform(command);
        }
    }

private:
    void perform(const QByteArray &command)
    {
        if (command.startsWith("ops"))
            runOperations(std::max(1, command.mid(3).trimmed().toInt()));
        else if (command == "save")
            runFlow("save", [this] { editEveryPage(); call(root(), "saveChanges"); });
        else if (command == "switch")
            runFlow("switch", [this] { call(root(), "switchProfile", {nextProfile()}); });
        else if (command == "hide")
            window.hide(); // what the close button does where there is a tray
        else if (command == "quit")
            window.exitSYS();
        report("done " + command);
    }

    QQuickItem *root() const { return window.view()->rootObject(); }
    QObject *view() const { return window.view(); }
    Hid_Thread &link() const { return window.hidThread; }

    QObject *scene(const char *objectName) const
    {
        return root()->findChild<QObject *>(QString::fromLatin1(objectName));
    }

    // Called the way the scene calls it: through the engine, which converts
    // the arguments to the parameters' types.
    QJSValue call(QObject *object, const char *function, const QVariantList &args = {})
    {
        QQmlEngine *engine = window.view()->engine();
        QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
        QJSValue self = engine->newQObject(object);
        QJSValueList values;
        for (const QVariant &arg : args)
            values << engine->toScriptValue(arg);
        return self.property(QString::fromLatin1(function)).callWithInstance(self, values);
    }

    // Edits on the key, DPI, lighting and lift-off pages, different from
    // the last save's, so that a save sends every page.
    void editEveryPage()
    {
        const bool odd = (saves++ % 2) != 0;
        call(scene("keyPanel"), "setKey", {3, QVariantList{2, 0x01, odd ? 0x07 : 0x06, 0}, QString()});
        call(scene("dpiPanel"), "setValue", {1, odd ? 2400 : 3000});
        call(scene("lightPanel"), "setEffect", {odd ? 2 : 1});
        call(scene("liftOffPanel"), "setPosition", {odd ? 60 : 89});
    }

    // Profiles 0 and 2 in turn (the benchmark's name list holds both).
    int nextProfile() const
    {
        return window.view()->currentProfile == 0 ? 2 : 0;
    }

    void measure(const QByteArray &kind, const QByteArray &name, const std::function<void()> &work)
    {
        const PauseTally before = link().pauses();
        const std::int64_t start = procfs::nowNs();
        work();
        const std::int64_t wall = procfs::nowNs() - start;
        const PauseTally after = link().pauses();
        report(kind + ' ' + name + ' ' + number(wall) + ' ' + number(after.count - before.count) + ' '
               + number(std::int64_t(after.milliseconds - before.milliseconds)));
    }

    void runFlow(const char *name, const std::function<void()> &flow)
    {
        measure("flow", name, flow);
    }

    void runOperations(int repeats);

    Widget &window;
    QByteArray pending;
    int saves = 0;
};

// Each device operation of the controller once, with values like the
// scene's own.
void Probe::runOperations(int repeats)
{
    // The profile's own key assignment.
    QVariantList codes;
    constexpr int keys = 16, entrySize = 4;
    for (int k = 0; k < keys; ++k) {
        const QVariantList entry = call(view(), "mouseGetKeydefine", {k, false}).toVariant().toList();
        for (int i = 0; i < entrySize; ++i)
            codes << entry.value(i, 0);
    }
    QVariantList stages{400, 800, 1600, 3200, 6400, 12000, 14000, 16000};
    QVariantList colours;
    for (int i = 0; i < 24; ++i)
        colours << (i * 37) % 256;
    QVariantList macro;
    for (int i = 0; i < 8; ++i)
        macro << 0x80 + i % 2 << 0x04 + i << 0 << 20;
    const bool hid560 = window.view()->icType == QLatin1String("560");

    struct Operation
    {
        const char *name;
        QVariantList args;
        bool hid560Only = false;
    };
    const Operation operations[] = {
        {"mouseSetKeyMatrix", {codes, true, QVariantList{10, 20, 30}}},
        {"mouseResetKeyMatrix", {}},
        {"mouseSwitchKeyMatrix", {1}},
        {"mouseSetDpi", {6, QStringLiteral("3389"), stages}},
        {"mouseSetCurrentDPI", {2}},
        {"mouseGetCurrentDPI", {}},
        {"mouseSetReportRate", {100, 1}},
        {"mouseSetRGBEffect", {1, 2, 4}},
        {"mouseSetRGBColor", {0, colours}},
        {"mouseSetKeyboardoption", {0, 0, 0, 0}},
        {"GetKeyboardoption", {}},
        {"mouseSendMacroData", {macro, 11}},
        {"mouseSendGundata", {1, QVariantList{10, 2, 5}}},
        {"mouseSetProfile", {1}, true},
        {"mouseReadProfile", {1}, true},
        {"mouseReadCurrentProfile", {}, true},
    };
    for (const Operation &op : operations) {
        if (op.hid560Only && !hid560)
            continue;
        for (int i = 0; i < repeats; ++i)
            measure("op", op.name, [&] { call(view(), op.name, op.args); });
    }
}

} // namespace

int runProgramRole(int &argc, char **argv, VirtualMouse mouse)
{
    return runApplication(argc, argv, [mouse](Widget &window) {
        // Stands in for a desktop with a tray: closing the window hides it
        // there instead of ending the program.
        Widget::systemTrayAvailable = [] { return true; };
        if (mouse != VirtualMouse::None) {
            vr770::MouseConfig config;
            config.commandSet = mouse == VirtualMouse::Hid560 ? vr770::CommandSet::Hid560
                                                              : vr770::CommandSet::Hid553;
            vr770::addMouse(config);
            window.setDeviceChangeSource(std::make_unique<VirtualDeviceChangeSource>());
        }
        new Probe(window);
    });
}

#include "programrole.moc"
