// r770ctl as a user runs it: the test build (linked with the virtual R770)
// started as a process beside its own copy of the runtime folder, with the
// virtual mice it is to find. Each case checks the exit status, the output,
// the frames the mouse received and its final state, and the files.
#include "ctlprocess.h"
#include "diaglog.h"
#include "handover.h"
#include "localchannel.h"
#include "testmodules.h"
#include "virtualbus.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

using Mice = QJsonArray;

QJsonObject mouse(const QString &set, const QJsonObject &extra = {})
{
    QJsonObject m = extra;
    m.insert("commandSet", set);
    return m;
}

// A hid553 mouse whose `nth` HID call of the kind `call` fails.
QJsonArray failing(const QString &call, int nth = 1)
{
    return {mouse("hid553", {{"failCalls", QJsonArray{QJsonObject{{"call", call}, {"nth", nth}}}}})};
}

QJsonArray refused() { return {mouse("hid553", {{"openRefused", true}})}; }
QJsonArray wrongCode() { return {mouse("hid553", {{"secrecyCode", "Zzzzzz"}})}; }

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One entry of an INI file as its text says, read without QSettings (whose
// cache in this process could hold an older content).
QString iniText(const QString &path, const QString &group, const QString &key)
{
    QString section;
    for (const QString &line : QString::fromUtf8(contents(path)).split('\n')) {
        if (line.startsWith('['))
            section = line.mid(1, line.indexOf(']') - 1);
        else if (section == group && line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    }
    return QString();
}

struct Run : CtlResult
{
    QJsonArray mice; // each: frames, transfers, state

    QJsonObject state(int n = 0) const { return mice.at(n).toObject().value("state").toObject(); }
    QStringList frames(int n = 0) const
    {
        QStringList list;
        for (const QJsonValue &f : mice.at(n).toObject().value("frames").toArray())
            list << f.toString();
        return list;
    }
    // Command code and first parameter of each frame after the handshake.
    QString commands(int n = 0) const
    {
        QStringList list;
        for (const QString &f : frames(n).mid(1))
            list << f.mid(3, 5);
        return list.join(" | ");
    }
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    int transfers(int n = 0) const { return mice.at(n).toObject().value("transfers").toInt(); }
};

} // namespace

class CtlTest : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime; // the processes' private folder, apart from other tests
    std::unique_ptr<TestModules> folder;
    QString program;

    QString setting(const QString &file) const { return folder->path("setting/" + file); }

    void setIni(const QString &file, const QString &key, const QVariant &value)
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(key, value);
        settings.sync();
    }

    void writeMacro(const QString &name, const QStringList &steps, int repeat)
    {
        QSettings file(folder->path("macro/" + name + ".bin"), QSettings::IniFormat);
        file.setValue("config/total", steps.size());
        file.setValue("config/repeat", repeat);
        for (int i = 0; i < steps.size(); ++i)
            file.setValue(QStringLiteral("macro/%1").arg(i), steps.at(i));
        file.sync();
    }

    // The folder for one hid553 or hid560 mouse as shipped.
    void configure(const QString &set)
    {
        setIni(setting("apConfig.bin"), "mouse/icType", set == "hid560" ? "560" : "553");
    }

    Run run(const QStringList &args, const Mice &mice)
    {
        const QString busFile = folder->root() + "/bus.json";
        const QString logFile = folder->root() + "/log.json";
        QFile bus(busFile);
        bus.open(QIODevice::WriteOnly);
        bus.write(QJsonDocument(QJsonObject{{"mice", mice}}).toJson());
        bus.close();
        QFile::remove(logFile);
        Run result{finishCtl(startCtl(program, args, runtime.path(), busFile, logFile))};
        result.mice = QJsonDocument::fromJson(contents(logFile)).object().value("mice").toArray();
        return result;
    }

    Run run(const QStringList &args, const QString &set = "hid553", const QJsonObject &extra = {})
    {
        return run(args, Mice{mouse(set, extra)});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }

    void init()
    {
        folder.reset(); // the old copy gives the current folder back first
        folder = std::make_unique<TestModules>();
        QVERIFY(folder->isValid());
        // The program works in its own folder: it gets a link (or a copy) there.
        const QString built = QCoreApplication::applicationDirPath() + "/r770ctl_virtual";
        program = folder->root() + "/r770ctl_virtual";
        if (::link(QFile::encodeName(built).constData(), QFile::encodeName(program).constData()) != 0)
            QVERIFY(QFile::copy(built, program));
    }

    void cleanupTestCase() { folder.reset(); }

    void helpDescribesEveryCommand()
    {
        const Run overall = run({"--help"}, Mice{});
        QCOMPARE(overall.code, 0);
        // A few of the table's commands, with their arguments.
        for (const char *command : {"status", "profile import N FILE", "light EFFECT SPEED BRIGHTNESS [COLOUR...]",
                                    "key K FUNCTION...", "macro set NAME [STEP...]"})
            QVERIFY2(overall.out.contains(QLatin1String(command)), command);
        for (int code : {2, 3, 4, 5, 6, 7})
            QVERIFY(overall.out.contains(QStringLiteral("\n  %1  ").arg(code)));

        QVERIFY(run({"key", "--help"}, Mice{}).out.startsWith("Usage: r770ctl [--json] key K FUNCTION...\n"));
        QCOMPARE(run({"help", "profile"}, Mice{}).out.count("Usage: r770ctl"), 12); // 6 of them profile auto
        QVERIFY(run({"--version"}, Mice{}).out.startsWith("r770ctl "));
    }

    // Bad usage, values out of range, macros the mouse cannot hold and files
    // that cannot be used: refused before anything is sent or written, with
    // the allowed range in the message. One row per rule (each rule is shared
    // by the commands that take the same kind of argument).
    void refusedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const auto row = [](const QString &args, const QString &message, int code = 2) {
            QTest::newRow(qPrintable(args)) << (args.isEmpty() ? QStringList() : args.split(' ')) << code << message;
        };
        row("", "no command given");
        row("frobnicate", "unknown command 'frobnicate'");
        row("--loud status", "unknown option --loud");
        row("dpi", "dpi takes one of: stage, set");
        row("--repeat 2 dpi stage 1", "--repeat applies to macro set only");
        row("dpi stage 7", "must be 1 to 6");
        row("dpi set 800 825", "multiples of 50 from 100 to 16000, not '825'");
        row("dpi set 100 200 300 400 500 600 700", "1 to 6 values");
        row("liftoff 2.1", "from 0.0 to 2.0 mm");
        row("light 12 0 1", "the effect must be one of: 1 Static, 2 Breath, 3 Neon, 4 Twinkling");
        row("light 1 5 1", "speed must be 0 to 4");
        row("key 9 button back", "key must be 1 to 8");
        row("key 1 button back", "only left button");
        row("key 7 shortcut copy", "key 7 keeps the mouse's own function (dpi down)");
        row("key 3 keys ctrl+blah", "unknown key 'blah'");
        row("key 3 fire a 0 3", "1 to 255 ms");
        row("key 3 macro Burst twice", "once, loop or hold");
        row("profile reset 7", "the profiles are: 1 Standard");
        row("macro show -- -x", "there is no macro named '-x'");
        row("macro show ../apConfig", "cannot be a macro name");
        row("key 3 macro Typo", "macro Typo cannot be sent: step 2 ('2,Blah') names the unknown key 'Blah'");
        row("macro send Long 3", "macro Long cannot be sent: it takes more than the mouse's 128 bytes");
        const QString elsewhere = QDir::tempPath() + "/r770-no-such-folder/x.pf";
        row("profile export 1 " + elsewhere, "x.pf: the folder " + QDir::tempPath() + "/r770-no-such-folder does not exist", 6);
        row("profile import 1 /nonexistent.pf", "/nonexistent.pf: no such file", 6);
        row("profile import 1 macro.mc", "macro.mc: not a profile", 6);
        // The profile cannot be written (a folder is in its place): nothing is sent.
        row("liftoff 1", "p1.bin: it is a folder; nothing was sent", 6);
        row("dpi set 800 1600", "p1.bin: it is a folder; nothing was sent", 6);
    }
    void refusedBeforeAnythingIsSent()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        writeMacro("Burst", {"1,A", "2,A"}, 1);
        writeMacro("Typo", {"1,A", "2,Blah"}, 1);
        writeMacro("Long", longMacroSteps(), 1);
        QFile macro(folder->root() + "/macro.mc");
        QVERIFY(macro.open(QIODevice::WriteOnly));
        macro.write("[config]\ntotal=0\nrepeat=1\n");
        macro.close();
        if (code == 6 && args.at(0) != "profile")
            QVERIFY(QFile::remove(setting("p1.bin")) && QDir().mkdir(setting("p1.bin")));
        // Relative names are the caller's: the program runs in the folder of the file.
        args.replaceInStrings(QRegularExpression("^macro.mc$"), macro.fileName());
        const QByteArray profile = contents(setting("p1.bin"));
        const Run r = run(args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.startsWith("r770ctl: ") && r.err.contains(message), qPrintable(r.err));
        if (code == 2)
            QCOMPARE(r.transfers(), 0);
        QCOMPARE(r.commands(), QString());
        QCOMPARE(contents(setting("p1.bin")), profile);
    }

    void status_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QJsonObject>("state");
        QTest::addColumn<QString>("options");
        QTest::newRow("hid553") << "hid553" << QJsonObject{{"currentDpi", 3}, {"keyboardOptions", "01020304"}}
                                << "[1,2,3,4]";
        QTest::newRow("hid560") << "hid560"
                                << QJsonObject{{"profileDpi", "0103000000"}, {"currentProfile", 2},
                                               {"keyboardOptions", "05060000"}}
                                << "[5,6]";
    }
    void status()
    {
        QFETCH(QString, set);
        QFETCH(QJsonObject, state);
        QFETCH(QString, options);
        configure(set);
        const Run r = run({"--json", "status"}, set, {{"state", state}});
        QCOMPARE(r.code, 0);
        const QJsonObject m = r.json().value("mouse").toObject();
        QCOMPARE(m.value("commandSet").toString(), set);
        QCOMPARE(m.value("scrambled").toBool(), true);
        QCOMPARE(m.value("vid").toString() + ":" + m.value("pid").toString(), QString("2e3c:c770"));
        QCOMPARE(m.value("dpiStage").toInt(), 3);
        QCOMPARE(QJsonDocument(m.value("keyboardOptions").toArray()).toJson(QJsonDocument::Compact), options.toUtf8());
        QCOMPARE(m.value("deviceProfile").toVariant(), set == "hid560" ? QVariant(2.0) : QVariant());

        const Run text = run({"status"}, set, {{"state", state}});
        QCOMPARE(text.code, 0);
        QVERIFY2(text.out.contains("DPI stage:         3\n"), qPrintable(text.out));
        QVERIFY(text.out.contains("Active profile:    1 (Standard)\n"));
    }

    // What dpi stage, dpi set, liftoff, light, key, profile apply, import
    // and reset send and store, byte for byte on both command sets, is in
    // tst_ctl_handover's recordings; here what else the commands say and do.
    void liftOff_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<int>("rate");
        QTest::newRow("lowest") << QStringList{"0"} << "3" << "true" << 125;
        QTest::newRow("middle, off") << QStringList{"1.0", "off"} << "46" << "false" << 108;
        QTest::newRow("highest, on") << QStringList{"2.0mm", "on"} << "89" << "true" << 90;
    }
    void liftOff()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, position);
        QFETCH(QString, enabled);
        QFETCH(int, rate);
        const Run r = run(QStringList{"liftoff"} + args);
        QCOMPARE(r.code, 0);
        QCOMPARE(iniText(setting("p1.bin"), "mouse", "reportRate"), position);
        QCOMPARE(iniText(setting("p1.bin"), "mouse", "reportRateEn"), enabled);
        QCOMPARE(r.state().value("liftOffStage").toInt(), rate);
        QCOMPARE(r.state().value("liftOffEnable").toInt(), enabled == "true" ? 1 : 0);
        QVERIFY(r.out.startsWith(QStringLiteral("Lift-off %1 mm").arg(args.at(0) == "0" ? "0.0" : args.at(0).left(3))));
    }

    // The effect by the name the window lists it under, or by its place;
    // what the lighting flow then stores and sends is in the recordings.
    void light()
    {
        // The colourful model lists "Vertical Flipping" eighth: the mouse's effect 8.
        const Run r = run({"light", "vertical flipping", "2", "4"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("Lighting Vertical Flipping (effect 8), speed 2, brightness 4. Stored in"),
                 qPrintable(r.out));
        QCOMPARE(iniText(setting("p1.bin"), "mouse", "lightValue"), QString("8, 2, 4"));
        // The window lists OFF last: it is the mouse's effect 3.
        QCOMPARE(run({"light", "11", "0", "1"}).code, 0);
        QCOMPARE(iniText(setting("p1.bin"), "mouse", "lightValue"), QString("3, 0, 1"));
    }

    // The words are checked in tst_ctl_rules, the device forms in
    // controller/tst_device.cpp: here one row per command set and the factory one.
    void key_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QStringList>("function");
        QTest::addColumn<QString>("stored");
        QTest::newRow("fire") << "hid560" << QStringList{"fire", "a", "10ms", "3"} << "1, 4, 10, 3";
        QTest::newRow("factory") << "hid553" << QStringList{"default"} << "0, 0, 242, 0";
    }
    void key()
    {
        QFETCH(QString, set);
        QFETCH(QStringList, function);
        QFETCH(QString, stored);
        configure(set);
        setIni(setting("p1.bin"), "mouseKeyMatrix/2", QStringList{"0", "0", "241", "0"}); // key 3: right button
        const Run r = run(QStringList{"key", "3"} + function, set);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("Key 3: ") && r.out.contains("(was button right)"), qPrintable(r.out));
        QCOMPARE(iniText(setting("p1.bin"), "mouseKeyMatrix", "2"), stored);
        QCOMPARE(iniText(setting("p1.bin"), "mouseKeyMatrix", "0"), QString("0, 0, 240, 0"));
        const bool hid560 = set == "hid560";
        QCOMPARE(r.commands(), hid560 ? QString("8C 00 | 8C 01 | 8C 02 | 8C 03 | 8C 04 | 0D 01") : QString("12 01"));
    }

    // A recoil-mode key sends matrices 2 to 4 too, with the periods of the
    // three active weapons read from the files (their device form:
    // controller/tst_device.cpp).
    void recoilKey()
    {
        setIni(folder->path("gun/gunData.bin"), "gunData/4", QStringList{"UNP9", "L-Click", "12", "0", "10", "0"});
        setIni(setting("apConfig.bin"), "mouse/selectGun", QStringList{"0", "4", "2"});
        const Run r = run({"key", "4", "recoil", "2"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.commands(), QString("12 01 | 12 02 | 12 03 | 12 04 | 02 01"));
        // Active weapon 2 is weapon 4, UNP9: 12 ms.
        QCOMPARE(r.state().value("keyMatrices").toArray().at(2).toString().left(11), QString("0B 01 0C 00"));
    }

    void profiles()
    {
        setIni(setting("name.bin"), "profile/profileName", QStringList{"Standard0", "Work3"});
        setIni(setting("apConfig.bin"), "mouse/profileNo", 3);
        Run r = run({"profile", "list"}, Mice{});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("   1  Standard\n*  2  Work\n"));
        const QJsonObject json = run({"--json", "profile", "list"}, Mice{}).json();
        const QJsonObject work = json.value("profiles").toArray().at(1).toObject();
        QCOMPARE(QVariantList({json.value("active").toInt(), work.value("name").toString(), work.value("file").toString(),
                               work.value("active").toBool()}),
                 QVariantList({2, "Work", "p4.bin", true}));

        // Settings go to the active profile.
        QCOMPARE(run({"liftoff", "1.0"}).code, 0);
        QCOMPARE(iniText(setting("p4.bin"), "mouse", "reportRate"), QString("46"));
        QCOMPARE(iniText(setting("p1.bin"), "mouse", "reportRate"), QString("3"));

        // A relative name is the caller's, not the runtime folder's.
        const QString exported = runtime.path() + "/work.pf";
        r = run({"profile", "export", "work", "work.pf"}, Mice{});
        QCOMPARE(r.code, 0);
        QCOMPARE(contents(exported), contents(setting("p4.bin")));

        r = run({"profile", "import", "1", exported}, Mice{});
        QCOMPARE(r.code, 0);
        QCOMPARE(contents(setting("p1.bin")), contents(exported));
        QVERIFY(r.out.contains("replaced by") && !r.out.contains("active profile"));

        r = run({"profile", "reset", "Work"}, Mice{});
        QCOMPARE(r.code, 0);
        QCOMPARE(contents(setting("p4.bin")), contents(setting("pD.bin")));
        QVERIFY(r.out.contains("It is the active profile"));
    }

    // The macro library from the command line, with the window's rules: a
    // change goes to the key that runs the macro, the profiles' references
    // follow a rename and a delete; refusals change nothing.
    void macroLibrary()
    {
        setIni(setting("name.bin"), "macro/macroName", QStringList{"Burst", "Other"});
        writeMacro("Burst", {"1,A", "2,A"}, 1);
        // Key 3 of profile 1 and key 6 of profile 2 run Burst.
        setIni(setting("p1.bin"), "mouseKeyMatrix/2", QVariantList{4, 1, 2, 0});
        setIni(setting("p1.bin"), "mouseMacroKey/2", "Burst");
        setIni(setting("p2.bin"), "mouseKeyMatrix/5", QVariantList{4, 1, 5, 0});
        setIni(setting("p2.bin"), "mouseMacroKey/5", "Burst");
        const auto names = [this] { return iniText(setting("name.bin"), "macro", "macroName"); };

        const QByteArray burst = contents(folder->path("macro/Burst.bin"));
        const QByteArray nameFile = contents(setting("name.bin"));
        for (const char *args : {"macro new Burst", "macro rename Burst Other", "macro set Burst 5,A"}) {
            const Run refusal = run(QString(args).split(' '));
            QVERIFY2(refusal.code == 2 && refusal.transfers() == 0, qPrintable(args + QString(": ") + refusal.err));
            QCOMPARE(contents(folder->path("macro/Burst.bin")) + contents(setting("name.bin")), burst + nameFile);
        }

        // The editor's step text, read as it reads typed steps ("a" is A).
        Run r = run({"--json", "macro", "set", "Burst", "1,a", "0,50", "2,A", "--repeat", "3"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.json().value("keys").toArray(), (QJsonArray{3}));
        QCOMPARE(r.commands().split(" | ").last(), QString("13 03"));
        QCOMPARE(r.state().value("macros").toArray().at(2).toString().left(23), QString("00 03 05 04 81 04 00 00"));
        QCOMPARE(run({"macro", "show", "Burst"}, Mice{}).out,
                 QString("Macro Burst, repeat 3\n  1  key press A\n  2  delay 50 ms\n  3  key release A\n"
                         "8 of 128 bytes; it can be sent.\n"));
        // macro send fills a slot without touching the key's function.
        r = run({"macro", "send", "Burst", "4"});
        QCOMPARE(r.commands().split(" | ").last(), QString("13 04"));
        QVERIFY(r.out.contains("Key 4 runs no macro; to make it run this one: r770ctl key 4 macro Burst"));

        QCOMPARE(run({"macro", "rename", "Burst", "Rapid"}, Mice{}).code, 0);
        QCOMPARE(names(), QString("Rapid, Other"));
        QCOMPARE(iniText(setting("p1.bin"), "mouseMacroKey", "2"), QString("Rapid"));
        QCOMPARE(iniText(setting("p2.bin"), "mouseMacroKey", "5"), QString("Rapid"));

        // A delete gives the keys that ran it their factory function, in
        // every profile, and sends the active profile's keys.
        r = run({"macro", "delete", "Rapid"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Key 3 of profile 1 (Standard) got the factory function back and the mouse has it."),
                 qPrintable(r.out));
        QCOMPARE(r.commands().split(" | ").last(), QString("12 01"));
        QCOMPARE(iniText(setting("p1.bin"), "mouseKeyMatrix", "2"), QString("0, 0, 242, 0"));
        QVERIFY(iniText(setting("p2.bin"), "mouseKeyMatrix", "5") != "4, 1, 5, 0");
        QCOMPARE(names(), QString("Other, loadertolvik")); // one name is stored padded as a list
    }

    // Every way the mouse can be missing, unusable or failing, with its own
    // exit status and a message that says what to do or what was applied;
    // status says the same, with null in JSON for what is unknown.
    void mouseErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Mice>("mice");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("stored"); // once the mouse passed the handshake
        const auto row = [](const char *name, const QString &args, const Mice &mice, int code, const QString &message,
                            bool stored = false) {
            QTest::newRow(name) << args.split(' ') << mice << code << message << stored;
        };
        row("no mouse", "dpi set 800 1600", {}, 3, "no mouse found (looked for USB id 2e3c:c770)");
        row("no permission", "dpi set 800 1600", refused(), 3,
            "cannot be opened, usually for lack of permission: install the udev rule");
        row("wrong secrecy code", "dpi set 800 1600", wrongCode(), 4,
            "did not pass the handshake: check the secrecy code (sCode)");
        // A HID call of the handshake fails: nothing was tested, so not a wrong code.
        row("handshake fails", "dpi set 800 1600", failing("sendFeatureReport"), 5,
            "the handshake with the mouse could not be completed (sending the command frame (/dev/");
        // The DPI block's output report fails after the frame went out.
        row("fails mid-command", "dpi set 800 1600", failing("write"), 5,
            "the mouse did not take the DPI stages. The stages are stored in profile 1 (Standard); run the command again",
            true);
        // Frames: the handshake, two colour frames, then the first effect fails.
        row("fails between steps", "light 1 0 4", failing("sendFeatureReport", 4), 5,
            "the mouse did not take the effect; the colours reached it", true);
        // Frames: the handshake, the key assignment, then the lift-off fails.
        row("profile apply fails midway", "profile apply 1", failing("sendFeatureReport", 3), 5,
            "the mouse did not take the lift-off, so the DPI stages and lighting were not sent; the key "
            "assignment reached it. Profile 1 (Standard) is in use; run the command again", true);
        row("status, no permission", "--json status", refused(), 3, "\"openable\": false");
        row("status, wrong code", "status", wrongCode(), 4, "Mouse:             found, refused the handshake (");
        row("status, handshake fails", "status", failing("getFeatureReport"), 5, "found, not answering (");
        row("status, other command set", "--json status", Mice{mouse("hid560")}, 0, "\"dpiStage\": null");
    }
    void mouseErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(Mice, mice);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(bool, stored);
        const QByteArray profile = contents(setting("p1.bin"));
        const Run r = run(args, mice);
        QCOMPARE(r.code, code);
        const QString said = args.contains("status") ? r.out : r.err;
        QVERIFY2(said.contains(message), qPrintable(said));
        QCOMPARE(contents(setting("p1.bin")) != profile, stored);
    }

    // Automatic profiles' rules, changed through the checked write; a
    // damaged file is refused and left as it is.
    void autoProfiles()
    {
        const QString path = setting("autoProfiles.bin");
        QCOMPARE(run({"profile", "auto", "add", "1", "Firefox"}, Mice{}).code, 0);
        QCOMPARE(iniText(path, "programs", "Firefox"), QString("1"));
        QCOMPARE(run({"profile", "auto", "add", "9", "x"}, Mice{}).code, 2);
        const QByteArray damaged("[programs]\nfirefox=42\n");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        QCOMPARE(run({"profile", "auto", "on"}, Mice{}).code, 6);
        QCOMPARE(run({"--json", "profile", "auto"}, Mice{}).json().value("file").toString(), QString("damaged"));
        QCOMPARE(contents(path), damaged);
        QCOMPARE(run({"profile", "auto", "add", "1", "steam"}, Mice{}).code, 0);
        QCOMPARE(iniText(path, "programs", "steam"), QString("1"));
    }

    // A second r770ctl waits until the first has finished with the mouse.
    void oneAtATime()
    {
        auto other = std::make_unique<localchannel::InstanceLock>(handover::mouseLockName(folder->root() + "/r770"));
        QCOMPARE(other->tryLock(), localchannel::InstanceLock::State::Acquired);
        // The first lets go while the second runs (this thread waits for it).
        std::unique_ptr<QThread> release(QThread::create([&other] {
            QThread::msleep(700);
            other.reset();
        }));
        release->start();
        const Run r = run({"dpi", "stage", "1"});
        release->wait();
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("waiting for another r770ctl to finish"), qPrintable(r.err));
        QCOMPARE(r.commands(), QString("0B 01"));
    }

    // The diagnostic report, on a made-up sysfs tree with the udev rule
    // installed: only queries reach the mouse, and the secrecy code stays
    // out of it.
    void report()
    {
        const QString root = folder->root();
        const auto write = [](const QString &path, const QByteArray &bytes) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        // The mouse's command interface: a vendor page, descriptor of 7 bytes.
        write(root + "/sys/class/hidraw/hidraw1/device/uevent",
              "DRIVER=hid-generic\nHID_ID=0003:00002E3C:0000C770\nHID_NAME=BRAXTEL R770\n"
              "HID_PHYS=usb-0000:00:14.0-2/input1\n");
        write(root + "/sys/class/hidraw/hidraw1/device/report_descriptor", QByteArray::fromHex("06ffff0901a101"));
        write(root + "/dev/hidraw1", "");
        write(root + "/rules/50-other.rules", "SUBSYSTEM==\"usb\", MODE=\"0666\"\n");
        write(root + "/rules/70-r770.rules",
              "KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"2e3c\", \\\n"
              "  ATTRS{idProduct}==\"c770\", TAG+=\"uaccess\"\n");
        qputenv("R770_SYSFS_ROOT", QFile::encodeName(root + "/sys"));
        qputenv("R770_DEV_ROOT", QFile::encodeName(root + "/dev"));
        qputenv("R770_UDEV_RULES_DIRS", QFile::encodeName(root + "/nothing:" + root + "/rules"));
        const Run r = run({"report", "out.txt"});
        qunsetenv("R770_SYSFS_ROOT");
        qunsetenv("R770_DEV_ROOT");
        qunsetenv("R770_UDEV_RULES_DIRS");

        QCOMPARE(r.code, 0);
        const QString file = runtime.path() + "/out.txt";
        QCOMPARE(r.out, "The report is in " + file + "\n");
        const QString text = QString::fromUtf8(contents(file));
        for (const QString &line : {QString("83H keyboard options"),
                                    // The frame as meant, not as scrambled on the way.
                                    QString("\n    sent  00 83 00 00 00 00 00 00 7c\n"),
                                    QString("outcome: accepted"), QString("hidapi 0."),
                                    QString("secrecy code ****** (6 characters)"),
                                    QString("hidraw1: 2e3c:c770 interface 1, usage page ffff usage 0001, report descriptor 7 bytes"),
                                    "udev rules that may grant access: " + root + "/rules/70-r770.rules:1\n",
                                    "== udev rule 70-r770.rules\ninstalled: " + root + "/rules/70-r770.rules\n"})
            QVERIFY2(text.contains(line), qPrintable(line));
        const QString code = iniText(setting("apConfig.bin"), "0", "sCode");
        QVERIFY(!code.isEmpty() && !text.contains(code));
        QVERIFY(!r.frames().isEmpty());
        for (const QString &frame : r.frames())
            QVERIFY2(QStringList({"00", "81", "82", "83", "84", "8B", "8C"}).contains(frame.mid(3, 2)), qPrintable(frame));
    }

    // key list: each key in the words `key K` takes, a macro key by its
    // macro, from the active or a named profile; nothing reaches the mouse.
    void keyList()
    {
        setIni(setting("p1.bin"), "mouseKeyMatrix/2", QStringList{"4", "1", "2", "0"});
        setIni(setting("p1.bin"), "mouseMacroKey/2", "Burst");
        Run r = run({"key", "list"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("Keys of profile 1 (Standard):\n   1  button left\n"), qPrintable(r.out));
        QVERIFY2(r.out.contains("\n   3  macro Burst loop\n"), qPrintable(r.out));
        QVERIFY2(r.out.contains("\n   7  dpi down  (the mouse's own)\n"), qPrintable(r.out));
        QCOMPARE(r.transfers(), 0);
        const QJsonObject json = run({"--json", "key", "list", "Standard"}).json();
        QCOMPARE(json.value("profile").toObject().value("file").toString(), QString("p1.bin"));
        QCOMPARE(json.value("keys").toArray().at(2).toObject().value("function").toString(), QString("macro Burst loop"));
        QCOMPARE(run({"key", "list", "7"}).code, 2);
    }

    // The bash completion script as the package installs it: it asks the
    // program, which answers from its tables and the user's macros.
    void bashCompletion()
    {
        setIni(setting("name.bin"), "macro/macroName", QStringList{"Burst", "Empty"});
        const QString script = QStringLiteral(
            "source '" R770_SOURCE_DIR "/packaging/completion/r770ctl.bash'\n"
            "ask() { COMP_CWORD=$1; shift; COMP_WORDS=(\"$@\"); _r770ctl; echo \"${COMPREPLY[*]}\"; }\n"
            "ask 3 %1 macro show B\n"
            "ask 2 %1 --json mac\n"
            "ask 4 %1 key 3 button f\n"
            "ask 2 %1 -- ma\n"
            "ask 2 %1 key l\n"
            "ask 3 %1 macro rename E\n"
            "ask 2 %1 macro n\n"
            "complete -p r770ctl\n").arg(program);
        const CtlResult r = finishCtl(startCtl("bash", {"-c", script}, runtime.path()));
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString("Burst\nmacro\nforward\nmacro\nlist\nEmpty\nnew\ncomplete -F _r770ctl r770ctl\n"));
    }

    // The diagnostic log rotates once and never holds more than its cap.
    void diagnosticLogStaysUnderItsCap()
    {
        const QString log = folder->root() + "/r770.log";
        QVERIFY(!diaglog::append(folder->root() + "/missing/r770.log", "no folder is made", 4096));
        constexpr qint64 cap = 4096;
        for (int n = 0; n < 500; ++n)
            QVERIFY(diaglog::append(log, QStringLiteral("line %1 of the diagnostic log").arg(n), cap));
        QVERIFY(QFileInfo(log).size() + QFileInfo(log + ".1").size() <= cap);
        QCOMPARE(diaglog::tail(log, 2), QStringList({"line 498 of the diagnostic log", "line 499 of the diagnostic log"}));
        QVERIFY(diaglog::append(log, QString(cap, 'x'), cap));
        QVERIFY(QFileInfo(log).size() + QFileInfo(log + ".1").size() <= cap);
    }

    // While the tray program runs, r770ctl hands it every command that needs
    // the mouse or changes files (file names made absolute, the words after
    // "--") and prints its reply as its own; reading the files needs no
    // hand-over, bad values are refused before the program is asked.
    void handedToTheTrayProgram()
    {
        const QString tray = folder->root() + "/r770";
        localchannel::InstanceLock instance(localchannel::instanceName(tray));
        QCOMPARE(instance.tryLock(), localchannel::InstanceLock::State::Acquired);
        QStringList received;
        handover::RequestServer server(tray, [&](const QStringList &args) -> std::optional<ctl::Reply> {
            received << args.join(' ');
            return ctl::Reply{5, "performed\n", "the mouse did not take it"};
        });
        QVERIFY(server.isListening());

        QVERIFY(QFile::copy(setting("p1.bin"), runtime.path() + "/mine.pf"));
        const Run r = run({"profile", "import", "1", "mine.pf"});
        QCOMPARE(r.code, 5);
        QCOMPARE(r.out, QString("performed\n"));
        QVERIFY2(r.err.contains("r770ctl: the mouse did not take it"), qPrintable(r.err));
        QCOMPARE(r.transfers(), 0);
        QCOMPARE(run({"profile", "list"}).code, 0);
        QCOMPARE(run({"dpi", "stage", "9"}).code, 2);
        QCOMPARE(received, QStringList({"-- profile import 1 " + runtime.path() + "/mine.pf"}));
    }
};

QTEST_GUILESS_MAIN(CtlTest)
#include "tst_ctl.moc"
