// r770ctl beside a running r770: the real window and scene in this process
// against the virtual mouse, with the program's request channel; r770ctl's
// test build as a child process that has no mouse of its own, so whatever
// reaches the mouse came through the program.
#include "ctlprocess.h"
#include "hexbytes.h"
#include "handover.h"
#include "localchannel.h"
#include "myqquickview.h"
#include "requesthost.h"
#include "scenerig.h"
#include "virtualbus.h"
#include "widget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using scenetest::MouseSetup;
using scenetest::SceneRig;
using scenetest::ScriptedDialogs;

using Run = CtlResult;

class TestHandOver : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime; // the private folder of this process and its children
    std::unique_ptr<SceneRig> rig;
    std::unique_ptr<localchannel::InstanceLock> instance;
    std::unique_ptr<RequestHost> host;
    std::unique_ptr<handover::RequestServer> server;
    QString ctlProgram;

    QObject *page(const char *name) const { return rig->find(QString::fromLatin1(name)); }
    QVariant property(const char *object, const char *name) const { return page(object)->property(name); }

    // r770ctl beside the window, in its runtime folder.
    bool placeCtl()
    {
        ctlProgram = rig->modules.root() + "/r770ctl_virtual";
        const QString built = QCoreApplication::applicationDirPath() + "/r770ctl_virtual";
        return ::link(QFile::encodeName(built).constData(), QFile::encodeName(ctlProgram).constData()) == 0
               || QFile::copy(built, ctlProgram);
    }

    // The window running as r770 in its runtime folder, with r770ctl beside it.
    bool start(const MouseSetup &setup, const std::function<void(SceneRig &)> &configure = {})
    {
        rig = std::make_unique<SceneRig>(setup);
        if (configure)
            configure(*rig);
        const QString folder = rig->modules.root();
        if (!placeCtl())
            return false;
        instance = std::make_unique<localchannel::InstanceLock>(localchannel::instanceName(folder + "/r770"));
        if (instance->tryLock() != localchannel::InstanceLock::State::Acquired || !rig->start())
            return false;
        host = std::make_unique<RequestHost>(rig->window());
        server = std::make_unique<handover::RequestServer>(
            folder + "/r770", [this](const QStringList &args) { return host->take(args); });
        rig->mark();
        return server->isListening();
    }

    // r770ctl in a process of its own; with `bus`, it has virtual mice of
    // its own.
    QProcess *launch(const QStringList &args, const QString &bus = {}, const QString &log = {})
    {
        return startCtl(ctlProgram, args, runtime.path(), bus, log);
    }

    Run ctl(const QStringList &args) { return finishCtl(launch(args)); }

    QStringList framesSinceMark(size_t mark) const
    {
        QStringList list;
        const std::vector<vr770::Bytes> frames = rig->mouse.receivedFrames();
        for (size_t i = mark; i < frames.size(); ++i)
            list << hexBytes(frames[i]).mid(3, 5);
        return list;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        scenetest::collectSceneWarnings();
        // As on a desktop with a tray: the window stays hidden until asked for.
        Widget::systemTrayAvailable = [] { return true; };
    }

    void cleanup()
    {
        server.reset();
        host.reset();
        rig.reset();
        instance.reset();
        QCOMPARE(scenetest::takeSceneWarnings(), QStringList());
    }

private:
    // What a flow left: the frames the mouse received, its state, and the
    // files of the setting folder it wrote (name and bytes).
    struct Outcome
    {
        QStringList frames;
        QJsonObject state;
        QMap<QString, QByteArray> files;
        bool ran = false;

        QString text() const
        {
            QString t = "frames\n" + frames.join('\n') + "\nstate "
                        + QString::fromUtf8(QJsonDocument(state).toJson(QJsonDocument::Compact)) + '\n';
            for (auto f = files.cbegin(); f != files.cend(); ++f)
                t += "file " + f.key() + '\n' + QString::fromUtf8(f.value()) + '\n';
            return t;
        }
    };

    static QMap<QString, QByteArray> filesIn(const QString &folder)
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(folder).entryList(QDir::Files)) {
            QFile f(folder + "/" + name);
            if (f.open(QIODevice::ReadOnly))
                files.insert(name, f.readAll());
        }
        return files;
    }
    static QMap<QString, QByteArray> written(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after)
    {
        QMap<QString, QByteArray> changed;
        for (auto f = after.cbegin(); f != after.cend(); ++f)
            if (before.value(f.key()) != f.value())
                changed.insert(f.key(), f.value());
        return changed;
    }

    // The window on files that give every page something to send: profile 2
    // ("Far") with its own lift-off, DPI stages, lighting, keys (two of them
    // running a macro) and pointer speed.
    void startFlowWindow(bool hid560)
    {
        rig = std::make_unique<SceneRig>(MouseSetup{hid560, true});
        rig->configure({{"profile/profileName", QStringList{"Standard0", "Far2"}}}, "name.bin");
        rig->configure({{"mouse/reportRate", 60}, {"mouse/dpiValueArray", QStringList{"400", "900", "1800"}},
                        {"mouse/currentDpiCount", 3}, {"mouse/lightValue", QStringList{"5", "1", "3"}},
                        {"mouseKeyMatrix/3", QStringList{"2", "1", "6", "0"}},
                        {"mouseKeyMatrix/4", QStringList{"4", "0", "4", "0"}}, {"mouseMacroKey/4", "Burst"},
                        {"mouseKeyMatrix/7", QStringList{"4", "0", "7", "0"}}, {"mouseMacroKey/7", "Burst"},
                        {"mouse/mouseRate", 0}}, "p3.bin");
        rig->writeMacro("Burst", {"1,A", "2,A"});
        QVERIFY(placeCtl());
        QVERIFY(rig->start());
        rig->stored("apConfig.bin", "mouse/profileNo"); // the window's own writes done
    }

    // The edits each window flow makes before it saves (or what it does
    // instead of saving), by name.
    void windowEdits(const QString &flow)
    {
        if (flow == "switch") {
            rig->callRoot("switchProfile", {2});
            return;
        }
        if (flow == "reset") {
            rig->callRoot("resetFactory");
            return;
        }
        if (flow == "import") {
            auto dialogs = std::make_unique<ScriptedDialogs>();
            dialogs->open = rig->modules.path("setting") + "/p3.bin";
            rig->view().setFileDialogs(std::move(dialogs));
            rig->callRoot("openDialog", {"profile"});
            rig->call(rig->find("profileImport"), "clicked");
            rig->call(rig->find("profileDialog"), "close");
            return;
        }
        const bool all = flow == "all";
        if (all || flow == "keys")
            rig->call(page("keyPanel"), "setKey", {2, QVariantList{0, 0, 243, 0}, QString()});
        if (all || flow == "dpi") {
            rig->call(page("dpiPanel"), "setCount", {3});
            for (int stage = 0; stage < 3; ++stage)
                rig->call(page("dpiPanel"), "setValue", {stage, 800 << stage});
        }
        if (all || flow == "lighting") {
            const QVariantList effects = property("lightPanel", "effects").toList();
            rig->call(page("lightPanel"), "setEffect", {effects.value(1).toMap().value("effect")});
            rig->call(page("lightPanel"), "setSpeed", {2});
            rig->call(page("lightPanel"), "setBrightness", {4});
            rig->call(page("lightPanel"), "setColour", {0, 255, 0, 0});
            rig->call(page("lightPanel"), "setColour", {2, 0, 255, 0});
        }
        if (all || flow == "liftOff") {
            rig->call(page("liftOffPanel"), "setPosition", {89});
            rig->call(page("liftOffPanel"), "setOn", {false});
        }
        rig->callRoot("saveChanges");
    }

    // What r770ctl on its own leaves after `args`, from the files `files`
    // and the mouse state `state`.
    Outcome ctlFlow(const QStringList &args, const QMap<QString, QByteArray> &files, const QJsonObject &state,
                    bool hid560)
    {
        const QString setting = rig->modules.path("setting");
        for (const QString &name : QDir(setting).entryList(QDir::Files))
            QFile::remove(setting + "/" + name);
        for (auto f = files.cbegin(); f != files.cend(); ++f) {
            QFile out(setting + "/" + f.key());
            if (!out.open(QIODevice::WriteOnly) || out.write(f.value()) != f.value().size())
                return {};
        }
        QTemporaryDir dir;
        const QString bus = dir.path() + "/bus.json", log = dir.path() + "/log.json";
        QFile busFile(bus);
        if (!busFile.open(QIODevice::WriteOnly))
            return {};
        busFile.write(QJsonDocument(QJsonObject{{"mice", QJsonArray{QJsonObject{
            {"commandSet", hid560 ? "hid560" : "hid553"}, {"scrambling", true}, {"state", state}}}}}).toJson());
        busFile.close();
        const Run r = finishCtl(launch(args, bus, log));
        if (r.code != 0) {
            qWarning() << r.err;
            return {};
        }
        Outcome o;
        o.ran = true;
        QFile logFile(log);
        if (logFile.open(QIODevice::ReadOnly)) // not written by commands that leave the mouse alone
            o.state = QJsonDocument::fromJson(logFile.readAll()).object().value("mice").toArray().at(0).toObject();
        const QJsonObject mouse = o.state;
        for (const QJsonValue &f : mouse.value("frames").toArray())
            o.frames << f.toString();
        // r770ctl's own look at the mouse comes first: the handshake, and
        // the device profiles of an hid560 mouse.
        while (!o.frames.isEmpty() && (o.frames.first().mid(3, 2) == "00" || o.frames.first().mid(3, 2) == "8C"))
            o.frames.removeFirst();
        o.state = mouse.value("state").toObject();
        o.files = written(files, filesIn(setting));
        return o;
    }

private slots:
    // Each flow that changes the mouse or the profiles, on both command sets:
    // the window's and r770ctl's (where r770ctl has the same command) each
    // leave the frames, mouse state and files the recording made before the
    // flows were shared says, byte for byte.
    void flowsLeaveTheRecordedBytes_data()
    {
        QTest::addColumn<bool>("hid560");
        QTest::addColumn<QString>("flow");
        QTest::addColumn<bool>("window");     // false: r770ctl only
        QTest::addColumn<QStringList>("ctl"); // empty: the window only
        const struct { const char *flow; QStringList ctl; bool window; } flows[] = {
            {"switch", {"profile", "apply", "Far"}, true},
            {"keys", {"key", "3", "button", "back"}, true},
            {"dpi", {"dpi", "set", "800", "1600", "3200"}, true},
            {"lighting", {"light", "2", "2", "4", "#ff0000", "-", "00FF00"}, true},
            {"liftOff", {"liftoff", "2.0", "off"}, true},
            {"all", {}, true},
            {"reset", {}, true},
            {"import", {}, true},
            {"ctl import", {"profile", "import", "1", "p3.bin"}, false},
            {"ctl reset", {"profile", "reset", "2"}, false},
            {"ctl macro key", {"key", "4", "macro", "Burst", "hold"}, false},
        };
        for (const bool hid560 : {false, true})
            for (const auto &f : flows)
                QTest::addRow("%s %s", hid560 ? "hid560" : "hid553", f.flow)
                    << hid560 << QString(f.flow) << f.window << f.ctl;
    }
    void flowsLeaveTheRecordedBytes()
    {
        QFETCH(bool, hid560);
        QFETCH(QString, flow);
        QFETCH(bool, window);
        QFETCH(QStringList, ctl);
        startFlowWindow(hid560);
        if (QTest::currentTestFailed())
            return;
        const QString setting = rig->modules.path("setting");
        const QMap<QString, QByteArray> files = filesIn(setting);
        const QJsonObject before = virtualbus::stateToJson(rig->mouse.state());

        QList<Outcome> outcomes;
        if (window) {
            const size_t mark = rig->mouse.receivedFrames().size();
            windowEdits(flow);
            QVERIFY(rig->waitUnlocked());
            rig->stored("apConfig.bin", "mouse/profileNo");
            Outcome own;
            const std::vector<vr770::Bytes> frames = rig->mouse.receivedFrames();
            for (size_t i = mark; i < frames.size(); ++i)
                own.frames << hexBytes(frames[i]);
            own.state = virtualbus::stateToJson(rig->mouse.state());
            own.files = written(files, filesIn(setting));
            QVERIFY(!own.frames.isEmpty() || flow == "import");
            outcomes << own;
        }
        if (!ctl.isEmpty()) {
            // r770ctl with no r770 running, on the files and the mouse the
            // window started from.
            if (ctl.last() == "p3.bin")
                ctl.last() = setting + "/p3.bin";
            outcomes << ctlFlow(ctl, files, before, hid560);
            QVERIFY(outcomes.last().ran);
        }

        // Each leaves the recording: R770_RECORD_FLOWS=1 writes it anew.
        const QString path = QStringLiteral(R770_FLOW_RECORDINGS "/%1-%2.txt")
                                 .arg(hid560 ? "hid560" : "hid553", QString(flow).replace(' ', '-'));
        QFile file(path);
        if (qEnvironmentVariableIntValue("R770_RECORD_FLOWS") == 1) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(outcomes.first().text().toUtf8());
            return;
        }
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QStringList want = QString::fromUtf8(file.readAll()).split('\n');
        for (const Outcome &outcome : outcomes)
            QCOMPARE(outcome.text().split('\n'), want);
    }

    // A request that comes while a flow sends waits for the flow's end: the
    // flow's frames stay together and the request's follow.
    void waitsForAFlowToEnd()
    {
        QVERIFY(start({true, true}, [](SceneRig &r) {
            r.configure({{"profile/profileName", QStringList{"Standard0", "Far2"}}}, "name.bin");
        }));
        const size_t mark = rig->mouse.receivedFrames().size();
        QProcess *process = launch({"dpi", "stage", "2"});
        QVERIFY(process->waitForStarted());
        // The profile switch sends for seconds; the request arrives meanwhile.
        rig->callRoot("switchProfile", {2});
        const QStringList flow = framesSinceMark(mark);
        const Run r = finishCtl(process);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("waiting for the r770 program to finish with the mouse"), qPrintable(r.err));
        // The stage goes with device profile 1.
        QVERIFY(!flow.contains("04 01"));
        QCOMPARE(framesSinceMark(mark), flow + QStringList{"04 01"});
        QCOMPARE(rig->view().currentProfile, 2);
    }

    // While a dialog holds a choice (here a key's function) or the window
    // holds unsaved edits, a change is refused and nothing is stored or
    // sent; reading still works, and the refusal ends with its cause.
    void refusedWhileTheWindowHoldsAChoice()
    {
        QVERIFY(start({false, true}));
        rig->callRoot("openKeyDialog", {2});
        QVERIFY(rig->find("keyDialog")->property("opened").toBool());
        size_t mark = rig->mouse.receivedFrames().size();
        Run r = ctl({"liftoff", "1.0"});
        QCOMPARE(r.code, 7);
        QVERIFY2(r.err.contains("the r770 window has a dialog open"), qPrintable(r.err));
        QCOMPARE(framesSinceMark(mark), QStringList());
        // Once it is closed, the change reaches the mouse through the program
        // and the page shows it; the window stays hidden.
        rig->call(rig->find("keyDialog"), "close");
        QCOMPARE(ctl({"liftoff", "1.0"}).code, 0);
        QVERIFY(!framesSinceMark(mark).isEmpty());
        QCOMPARE(property("liftOffPanel", "position").toInt(), 46);
        QVERIFY(!rig->root()->property("unsaved").toBool() && !rig->window().isVisible());

        // Words without the request mark are not ours: closed unanswered.
        mark = rig->mouse.receivedFrames().size();
        QLocalSocket stranger;
        stranger.connectToServer(localchannel::serverName(handover::channelName(rig->modules.root() + "/r770")));
        QVERIFY(stranger.waitForConnected(5000));
        QByteArray unmarked;
        QDataStream(&unmarked, QIODevice::WriteOnly) << quint32(0x52374332) << QStringList{"liftoff", "2.0"};
        stranger.write(unmarked);
        QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState); // the server is in this process
        QCOMPARE(stranger.readAll(), QByteArray());
        QCOMPARE(framesSinceMark(mark), QStringList());

        rig->call(page("dpiPanel"), "setValue", {0, 800});
        QVERIFY(rig->root()->property("unsaved").toBool());
        mark = rig->mouse.receivedFrames().size();
        const QString before = rig->stored("p1.bin", "mouse/reportRate");
        r = ctl({"liftoff", "2.0"});
        QCOMPARE(r.code, 7);
        QVERIFY2(r.err.contains("the r770 window has unsaved changes; save them there"), qPrintable(r.err));
        QCOMPARE(framesSinceMark(mark), QStringList());
        QCOMPARE(rig->stored("p1.bin", "mouse/reportRate"), before);
        QCOMPARE(property("dpiPanel", "values").toList().value(0).toInt(), 800);
        r = ctl({"status"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("Mouse:             found, hid553 commands"));
    }

    // Started while r770ctl holds the mouse, the program looks for it only
    // once r770ctl lets go.
    void programWaitsForR770ctl()
    {
        auto held = std::make_unique<localchannel::InstanceLock>(
            handover::mouseLockName(QCoreApplication::applicationFilePath()));
        QCOMPARE(held->tryLock(), localchannel::InstanceLock::State::Acquired);
        rig = std::make_unique<SceneRig>(MouseSetup{});
        size_t transfersWhileHeld = 1;
        std::unique_ptr<QThread> release(QThread::create([&] {
            QThread::msleep(1500);
            transfersWhileHeld = rig->mouse.transfers().size();
            held.reset();
        }));
        release->start();
        QVERIFY(rig->start());
        release->wait();
        QCOMPARE(transfersWhileHeld, size_t(0));
        QVERIFY(deviceConnected);
    }

    // A program that goes away once it took a request is not mistaken for
    // one that never took it: r770ctl must not do the command again.
    void programDyingWithTheRequestIsTold()
    {
        const QString probe = QCoreApplication::applicationDirPath() + "/r770_handover_probe";
        const QString program = runtime.path() + "/dying/r770";
        QProcess serving;
        serving.start(probe, {"serve", program});
        QVERIFY(serving.waitForReadyRead(10000));
        QCOMPARE(serving.readAllStandardOutput(), QByteArray("listening\n"));
        QProcess sending;
        sending.start(probe, {"send", program, "dpi", "stage", "1"});
        QVERIFY(sending.waitForFinished(20000));
        QCOMPARE(sending.readAllStandardOutput(), QByteArray("lost 0 \n"));
        QVERIFY(serving.waitForFinished(5000));
    }
};

SCENE_TEST_MAIN(TestHandOver)

#include "tst_ctl_handover.moc"
