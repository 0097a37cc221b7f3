// The controller's file operations with scripted file dialogs.

#include "deviceeventtexts.h"
#include "filedialogs.h"
#include "filetestutil.h"
#include "myqquickview.h"
#include "testmodules.h"

#include <QFile>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

using namespace filetest;

namespace {

struct DialogCall
{
    QString kind, caption, dir, filter;
};

// Answers every dialog with `answer` and records how it was asked.
class ScriptedDialogs : public FileDialogs
{
public:
    QString answer;
    QList<DialogCall> calls;

    QString openFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        calls.append({"open", caption, dir, filter});
        return answer;
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        calls.append({"save", caption, dir, filter});
        return answer;
    }
};

// A view on a private copy of the runtime folder, with scripted dialogs.
struct Fixture
{
    TestModules modules;
    myQQuickView view;
    ScriptedDialogs *dialogs = new ScriptedDialogs;

    Fixture() { view.setFileDialogs(std::unique_ptr<FileDialogs>(dialogs)); }
    QByteArray file(const QString &relative) { return contents(modules.path(relative)); }
};

void compareCall(const DialogCall &call, const char *kind, const char *caption, const char *filter)
{
    QCOMPARE(call.kind, QString::fromLatin1(kind));
    QCOMPARE(call.caption, QString::fromLatin1(caption));
    QCOMPARE(call.filter, QString::fromLatin1(filter));
    QCOMPARE(call.dir, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

} // namespace

class TestFileInvokables : public QObject
{
    Q_OBJECT

private slots:
    void profileDialogs();
    void profileImportResetAndCopy();
    void macroDialogs();
    void perProfileAndLanguageOperations();
};

void TestFileInvokables::profileDialogs()
{
    Fixture f;
    QVERIFY(f.modules.isValid());
    const QByteArray p2 = f.file("setting/p2.bin");
    QVERIFY(!f.view.loadProfile(1));
    f.view.saveProfile(1);
    QCOMPARE(f.dialogs->calls.size(), 2);
    compareCall(f.dialogs->calls.at(0), "open", "Open File", "Profile(*.pf)");
    compareCall(f.dialogs->calls.at(1), "save", "Save File", "Profile(*.pf)");
    QCOMPARE(f.file("setting/p2.bin"), p2);

    const QString target = f.modules.root() + "/mine.pf";
    QVERIFY(writeFile(target, "[stale]\nkey=1\n"));
    f.dialogs->answer = target;
    f.view.saveProfile(1);
    QCOMPARE(contents(target), p2);

    // A slot outside 0 to 9 asks nothing and deletes nothing.
    QVERIFY(writeFile(target, "[stale]\nkey=1\n"));
    f.view.saveProfile(10);
    QVERIFY(!f.view.loadProfile(-1));
    QCOMPARE(f.dialogs->calls.size(), 3);
    QCOMPARE(contents(target), QByteArray("[stale]\nkey=1\n"));
}

void TestFileInvokables::profileImportResetAndCopy()
{
    Fixture f;
    const QString imported = f.modules.root() + "/import.pf";
    QVERIFY(writeFile(imported, "[mouse]\ndpiCount=4\n"));
    f.dialogs->answer = imported;
    QVERIFY(f.view.loadProfile(0));
    QCOMPARE(f.view.getData("mouse/dpiCount", false).toInt(), 4);

    f.dialogs->answer = f.modules.path("setting/p1.bin");
    QVERIFY(f.view.loadProfile(0));
    QCOMPARE(f.file("setting/p1.bin"), contents(imported));

    // A pending edit of the replaced settings object never reaches the new file.
    f.view.setData("mouse/dpiCount", 5);
    f.view.resetProfile(0);
    drainEvents();
    QCOMPARE(f.view.getData("mouse/dpiCount", false).toInt(), 6);
    QCOMPARE(f.file("setting/p1.bin"), f.file("setting/pD.bin"));

    f.view.setCurrentProfile(3);
    f.view.setData("mouse/mouseRate", 33);
    f.view.copyProfile(0, 3);
    f.view.setCurrentProfile(0);
    QCOMPARE(f.view.getData("mouse/mouseRate", false).toInt(), 33);
    QCOMPARE(f.file("setting/p1.bin"), f.file("setting/p4.bin"));
}

void TestFileInvokables::macroDialogs()
{
    Fixture f;
    QVERIFY(!f.view.loadMacroFile("Macro_1"));
    compareCall(f.dialogs->calls.at(0), "open", "Open File", "Macro(*.mc)");
    QVERIFY(!f.view.loadMacroFile("a/b")); // refused before any dialog
    QCOMPARE(f.dialogs->calls.size(), 1);

    const QString source = f.modules.root() + "/in.mc";
    QVERIFY(writeFile(source, "[config]\ntotal=1\nrepeat=2\n[macro]\n0=\"1,Q\"\n"));
    f.dialogs->answer = source;
    QVERIFY(f.view.loadMacroFile("Macro_1"));
    QCOMPARE(f.view.loadMacroIni("Macro_1"), (QStringList{"1,Q", "2"}));

    f.dialogs->answer = f.modules.root() + "/out.mc";
    f.view.saveMacroFile("Macro_1");
    compareCall(f.dialogs->calls.last(), "save", "Save File", "Macro(*.mc)");
    QCOMPARE(contents(f.dialogs->answer), contents(source));
}

void TestFileInvokables::perProfileAndLanguageOperations()
{
    Fixture f;
    f.view.setCurrentProfile(2);
    f.view.setXYSensitive(1, 7);
    QCOMPARE(f.view.getXYSensitive(1).toInt(), 7);
    f.view.setCurrentProfile(0);
    QCOMPARE(f.view.getXYSensitive(1).toInt(), 4);
    QCOMPARE(f.view.getselectGun(0), QVariant(QString()));

    QCOMPARE(f.view.updataNameList(0, {"Macro_0"}), QVariant(true));
    QCOMPARE(f.view.getNameList(0), (QVariantList{"Macro_0", "loadertolvik"}));
    f.view.mouseSaveGundata(0, {"M416", "L-Click", 9, 0, 5, 0});
    QCOMPARE(f.view.getGunData(0).value(4).toString(), QStringLiteral("5"));

    deviceEventTexts().reset();
    const QStringList other = f.view.getLangStrings("other", "ChineseSimplified");
    QCOMPARE(other.size(), 8);
    QCOMPARE(deviceEventTexts().at(7), other.at(7));
    deviceEventTexts().reset();
}

QTEST_MAIN(TestFileInvokables)
#include "tst_file_invokables.moc"
