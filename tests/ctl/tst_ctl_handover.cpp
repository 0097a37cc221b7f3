// r770ctl beside a running r770: the real window and scene in this process
// against the virtual mouse, with the program's request channel; r770ctl's
// test build as a child process that has no mouse of its own, so whatever
// reaches the mouse came through the program.
#include "ctlprocess.h"
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
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using scenetest::MouseSetup;
using scenetest::SceneRig;

namespace {

using Run = CtlResult;

QString hex(const vr770::Bytes &frame)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(frame.data()), int(frame.size())).toHex(' ').toUpper());
}

const char *const neighbourName = "r770-neighbour";

} // namespace

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
    static Run finish(QProcess *process) { return finishCtl(process); }

    Run ctl(const QStringList &args) { return finish(launch(args)); }

    QStringList framesSinceMark(size_t mark) const
    {
        QStringList list;
        const std::vector<vr770::Bytes> frames = rig->mouse.receivedFrames();
        for (size_t i = mark; i < frames.size(); ++i)
            list << hex(frames[i]).mid(3, 5);
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

    // Each command reaches the mouse through the program; its pages show
    // the change without sending anything more, and the window stays hidden.
    // The hand-over is the same for both command sets; what each set's
    // pages send is the scene tests' business.
    void changesShowInTheWindow()
    {
        QVERIFY(start({false, true}, [](SceneRig &r) {
            r.configure([](QSettings &s) {
                s.setValue("config/total", 2);
                s.setValue("config/repeat", 1);
                s.setValue("macro/0", "1,A");
                s.setValue("macro/1", "2,A");
            }, "../macro/Burst.bin");
            r.configure([](QSettings &s) { s.setValue("profile/profileName", QStringList{"Standard0", "Far2"}); },
                        "name.bin");
            r.configure([](QSettings &s) { s.setValue("mouse/reportRate", 60); }, "p3.bin");
        }));
        size_t mark = rig->mouse.receivedFrames().size();

        Run r = ctl({"dpi", "set", "800", "1600", "3200"});
        QCOMPARE(r.code, 0);
        QCOMPARE(framesSinceMark(mark), QStringList({"11 03"}));
        QCOMPARE(property("dpiPanel", "count").toInt(), 3);
        QCOMPARE(property("dpiPanel", "values").toList().mid(0, 3), (QVariantList{800, 1600, 3200}));
        QCOMPARE(rig->stored("p1.bin", "mouse/currentDpiCount"), QString("3"));

        mark = rig->mouse.receivedFrames().size();
        r = ctl({"key", "3", "macro", "Burst", "hold"});
        QCOMPARE(r.code, 0);
        QCOMPARE(framesSinceMark(mark), QStringList({"13 03", "12 01"}));
        QCOMPARE(property("keyPanel", "codes").toList().at(2).toList(), (QVariantList{4, 2, 2, 0}));
        QCOMPARE(property("keyPanel", "macroNames").toList().value(2).toString(), QString("Burst"));
        QCOMPARE(rig->stored("p1.bin", "mouseMacroKey/2"), QString("Burst"));

        r = ctl({"dpi", "stage", "2"});
        QCOMPARE(r.code, 0);
        QCOMPARE(property("dpiPanel", "activeStage").toInt(), 1);

        r = ctl({"liftoff", "2.0", "off"});
        QCOMPARE(r.code, 0);
        QCOMPARE(property("liftOffPanel", "position").toInt(), 89);
        QCOMPARE(property("liftOffPanel", "isOn").toBool(), false);

        // Another profile in use: the selector and every page follow.
        mark = rig->mouse.receivedFrames().size();
        r = ctl({"profile", "apply", "2"});
        QCOMPARE(r.code, 0);
        QVERIFY(framesSinceMark(mark).size() >= 5);
        QCOMPARE(rig->view().currentProfile, 2);
        QCOMPARE(property("menuUp", "profileIndex").toInt(), 1);
        QCOMPARE(property("liftOffPanel", "position").toInt(), 60);
        QCOMPARE(rig->stored("apConfig.bin", "mouse/profileNo"), QString("2"));

        QVERIFY(!rig->root()->property("unsaved").toBool());
        QVERIFY(!rig->window().isVisible());
    }

    // The diagnostic report while the program runs: the program makes it
    // with its own link, and only the handshake and queries reach the mouse.
    void reportMadeByTheProgram()
    {
        QVERIFY(start({false, true}));
        const size_t mark = rig->mouse.receivedFrames().size();
        const Run r = ctl({"report", "report.txt"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, "The report is in " + runtime.path() + "/report.txt\n");
        QFile file(runtime.path() + "/report.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains("00H handshake") && text.contains("outcome: accepted"), qPrintable(text));
        const QStringList frames = framesSinceMark(mark);
        QVERIFY(!frames.isEmpty());
        for (const QString &frame : frames)
            QVERIFY2(QStringList({"00", "81", "82", "83", "84", "8B", "8C"}).contains(frame.left(2)), qPrintable(frame));
    }

    // r770ctl on its own sends exactly what the window's profile switch
    // sends, frame by frame, and leaves the mouse in the same state: both
    // start from the same files and the same mouse. The mouse's macro slots
    // are shared by the profiles: the macro a key of the new profile runs
    // goes with it (not that of a key whose entry the firmware fixes).
    void applySendsWhatTheSwitchSends_data()
    {
        QTest::addColumn<bool>("hid560");
        QTest::newRow("hid553") << false;
        QTest::newRow("hid560") << true;
    }
    void applySendsWhatTheSwitchSends()
    {
        QFETCH(bool, hid560);
        rig = std::make_unique<SceneRig>(MouseSetup{hid560, true});
        rig->configure([](QSettings &s) { s.setValue("profile/profileName", QStringList{"Standard0", "Far2"}); },
                       "name.bin");
        rig->configure([](QSettings &s) {
            s.setValue("mouse/reportRate", 60);
            s.setValue("mouse/dpiValueArray", QStringList{"400", "900", "1800"});
            s.setValue("mouse/currentDpiCount", 3);
            s.setValue("mouse/lightValue", QStringList{"5", "1", "3"});
            s.setValue("mouseKeyMatrix/3", QStringList{"2", "1", "6", "0"});
            s.setValue("mouseKeyMatrix/4", QStringList{"4", "0", "4", "0"});
            s.setValue("mouseMacroKey/4", "Burst");
            s.setValue("mouseKeyMatrix/7", QStringList{"4", "0", "7", "0"});
            s.setValue("mouseMacroKey/7", "Burst");
            s.setValue("mouse/mouseRate", 0);
        }, "p3.bin");
        rig->writeMacro("Burst", {"1,A", "2,A"});
        QVERIFY(placeCtl());
        QVERIFY(rig->start());
        const QJsonObject before = virtualbus::stateToJson(rig->mouse.state());
        rig->stored("apConfig.bin", "mouse/profileNo"); // the window's files written out
        QTemporaryDir files;
        const QString setting = rig->modules.path("setting");
        for (const QString &name : QDir(setting).entryList(QDir::Files))
            QVERIFY(QFile::copy(setting + "/" + name, files.path() + "/" + name));

        const size_t mark = rig->mouse.receivedFrames().size();
        rig->callRoot("switchProfile", {2});
        QStringList window;
        const std::vector<vr770::Bytes> frames = rig->mouse.receivedFrames();
        for (size_t i = mark; i < frames.size(); ++i)
            window << hex(frames[i]);
        const QJsonObject after = virtualbus::stateToJson(rig->mouse.state());
        QVERIFY(window.size() >= 5);
        QStringList macroFrames;
        for (const QString &frame : window)
            if (frame.mid(3, 2) == (hid560 ? "0F" : "13"))
                macroFrames << frame.mid(3, 5);
        QCOMPARE(macroFrames, QStringList{hid560 ? "0F 05" : "13 05"});
        QCOMPARE(int(rig->mouse.state().macros[4][3]), 0x04);
        // The window's files go back to before the switch (its own writes
        // done first), and r770ctl, with no r770 running, takes over.
        rig->stored("apConfig.bin", "mouse/profileNo");
        for (const QString &name : QDir(files.path()).entryList(QDir::Files)) {
            QFile::remove(setting + "/" + name);
            QVERIFY(QFile::copy(files.path() + "/" + name, setting + "/" + name));
        }

        const QString bus = files.path() + "/bus.json", log = files.path() + "/log.json";
        QFile busFile(bus);
        QVERIFY(busFile.open(QIODevice::WriteOnly));
        busFile.write(QJsonDocument(QJsonObject{{"mice", QJsonArray{QJsonObject{
            {"commandSet", hid560 ? "hid560" : "hid553"}, {"scrambling", true}, {"state", before}}}}}).toJson());
        busFile.close();
        const Run r = finish(launch({"profile", "apply", "Far"}, bus, log));
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("Profile 2 (Far) is in use and was sent to the mouse whole.\n"));
        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QJsonObject mouse = QJsonDocument::fromJson(logFile.readAll()).object().value("mice").toArray().at(0).toObject();
        QStringList ctl;
        for (const QJsonValue &f : mouse.value("frames").toArray())
            ctl << f.toString();
        // r770ctl's own look at the mouse comes first: the handshake, and
        // the device profiles of an hid560 mouse.
        while (!ctl.isEmpty() && (ctl.first().mid(3, 2) == "00" || ctl.first().mid(3, 2) == "8C"))
            ctl.removeFirst();
        QCOMPARE(ctl, window);
        QCOMPARE(mouse.value("state").toObject(), after);
        QCOMPARE(QSettings(setting + "/apConfig.bin", QSettings::IniFormat).value("mouse/profileNo").toInt(), 2);
    }

    // A request that comes while a flow sends waits for the flow's end: the
    // flow's frames stay together and the request's follow.
    void waitsForAFlowToEnd()
    {
        QVERIFY(start({true, true}, [](SceneRig &r) {
            r.configure([](QSettings &s) { s.setValue("profile/profileName", QStringList{"Standard0", "Far2"}); },
                        "name.bin");
        }));
        const size_t mark = rig->mouse.receivedFrames().size();
        QProcess *process = launch({"dpi", "stage", "2"});
        QVERIFY(process->waitForStarted());
        // The profile switch sends for seconds; the request arrives meanwhile.
        rig->callRoot("switchProfile", {2});
        const QStringList flow = framesSinceMark(mark);
        const Run r = finish(process);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("waiting for the r770 program to finish with the mouse"), qPrintable(r.err));
        // The stage goes with device profile 1.
        QVERIFY(!flow.contains("04 01"));
        QCOMPARE(framesSinceMark(mark), flow + QStringList{"04 01"});
        QCOMPARE(rig->view().currentProfile, 2);
    }

    // While the window holds unsaved edits, a change is refused and nothing
    // is stored or sent; reading still works.
    void refusedWhileEditsAreUnsaved()
    {
        QVERIFY(start({false, true}));
        rig->call(page("dpiPanel"), "setValue", {0, 800});
        QVERIFY(rig->root()->property("unsaved").toBool());
        const size_t mark = rig->mouse.receivedFrames().size();
        const QString before = rig->stored("p1.bin", "mouse/reportRate");

        Run r = ctl({"liftoff", "1.0"});
        QCOMPARE(r.code, 7);
        QVERIFY2(r.err.contains("the r770 window has unsaved changes; save them there"), qPrintable(r.err));
        QCOMPARE(framesSinceMark(mark), QStringList());
        QCOMPARE(rig->stored("p1.bin", "mouse/reportRate"), before);
        QCOMPARE(property("dpiPanel", "values").toList().value(0).toInt(), 800);

        r = ctl({"status"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("Mouse:             found, hid553 commands"));
    }

    // While a dialog holds a choice (here a key's function), a change is
    // refused; once it is closed, the same request goes through.
    void refusedWhileADialogIsOpen()
    {
        QVERIFY(start({false, true}));
        rig->callRoot("openKeyDialog", {2});
        QVERIFY(rig->find("keyDialog")->property("opened").toBool());
        const size_t mark = rig->mouse.receivedFrames().size();

        Run r = ctl({"liftoff", "1.0"});
        QCOMPARE(r.code, 7);
        QVERIFY2(r.err.contains("the r770 window has a dialog open"), qPrintable(r.err));
        QCOMPARE(framesSinceMark(mark), QStringList());

        rig->call(rig->find("keyDialog"), "close");
        QCOMPARE(ctl({"liftoff", "1.0"}).code, 0);
        QVERIFY(!framesSinceMark(mark).isEmpty());
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
        serving.start(probe, {"serve", program, "die"});
        QVERIFY(serving.waitForReadyRead(10000));
        QCOMPARE(serving.readAllStandardOutput(), QByteArray("listening\n"));
        QProcess sending;
        sending.start(probe, {"send", program, "dpi", "stage", "1"});
        QVERIFY(sending.waitForFinished(20000));
        QCOMPARE(sending.readAllStandardOutput(), QByteArray("lost 0 \n"));
        QVERIFY(serving.waitForFinished(5000));
    }

    // A process of another user never gets a request performed: the program
    // closes its connection unread. The user's own request goes through.
    void anotherUsersRequestIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to act as a second local user");
        bool created = false;
        if (!::getpwnam(neighbourName)) {
            const int made = QProcess::execute("useradd", {"--system", "--no-create-home", "--shell",
                                                           "/usr/sbin/nologin", neighbourName});
            if (made != 0 || !::getpwnam(neighbourName))
                QSKIP("cannot create a second local user with useradd");
            created = true;
        }
        const auto removeUser = qScopeGuard([created] {
            if (created)
                QProcess::execute("userdel", {neighbourName});
        });
        const struct passwd *neighbour = ::getpwnam(neighbourName);
        const uid_t uid = neighbour->pw_uid;
        const gid_t gid = neighbour->pw_gid;

        // The neighbour's program, with its private folder in a shared
        // temporary folder.
        QTemporaryDir shared;
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
        const QString probe = shared.path() + "/bin/r770_handover_probe";
        QVERIFY(QDir().mkpath(shared.path() + "/bin"));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/r770_handover_probe", probe));
        QVERIFY(::chmod(QFile::encodeName(shared.path() + "/bin").constData(), 0755) == 0);
        const QString program = shared.path() + "/bin/r770";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        env.insert("TMPDIR", shared.path());
        const auto asNeighbour = [&](QProcess &p) {
            p.setProcessEnvironment(env);
            p.setChildProcessModifier([uid, gid] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                    ::_exit(111);
            });
        };
        QProcess serving;
        asNeighbour(serving);
        serving.start(probe, {"serve", program});
        QVERIFY(serving.waitForReadyRead(10000));
        QByteArray served = serving.readAllStandardOutput();
        QCOMPARE(served, QByteArray("listening\n"));

        // This process (root) reaches the neighbour's socket, but is refused.
        const QString socketName = shared.path() + QStringLiteral("/r770-%1/").arg(uid)
                                   + handover::channelName(program) + ".sock";
        QLocalSocket intruder;
        intruder.connectToServer(socketName);
        QVERIFY2(intruder.waitForConnected(5000), qPrintable(intruder.errorString()));
        intruder.write(handover::requestFrame({"profile", "reset", "1"}));
        intruder.waitForBytesWritten(5000);
        QVERIFY(intruder.state() == QLocalSocket::UnconnectedState || intruder.waitForDisconnected(5000));
        QCOMPARE(intruder.readAll(), QByteArray());

        QProcess sending;
        asNeighbour(sending);
        sending.start(probe, {"send", program, "dpi", "stage", "1"});
        QVERIFY(sending.waitForFinished(20000));
        QCOMPARE(sending.readAllStandardOutput(), QByteArray("answered 0 done\n"));

        serving.kill();
        serving.waitForFinished(5000);
        served += serving.readAllStandardOutput();
        QCOMPARE(served, QByteArray("listening\nperformed: dpi stage 1\n"));
    }
};

SCENE_TEST_MAIN(TestHandOver)

#include "tst_ctl_handover.moc"
