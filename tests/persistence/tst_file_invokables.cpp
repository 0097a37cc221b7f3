// The controller's file operations with scripted file dialogs.

#include "filedialogs.h"
#include "fileops.h"
#include "filetestutil.h"
#include "myqquickview.h"
#include "testmodules.h"

#include <QStandardPaths>
#include <QtTest>
#include <memory>

using namespace filetest;

namespace {

// Answers every dialog with `answer` and records how it was asked.
struct ScriptedDialogs : FileDialogs
{
    QString answer;
    QStringList calls;
    QString ask(const char *kind, const QString &caption, const QString &dir, const QString &filter)
    {
        calls << QStringList{kind, caption, dir, filter}.join('|');
        return answer;
    }
    QString openFileName(QWidget *, const QString &c, const QString &d, const QString &f) override
    {
        return ask("open", c, d, f);
    }
    QString saveFileName(QWidget *, const QString &c, const QString &d, const QString &f) override
    {
        return ask("save", c, d, f);
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
    QString outside(const QString &name) { return modules.root() + '/' + name; }
};

} // namespace

class TestFileInvokables : public QObject
{
    Q_OBJECT

private slots:
    void cancelledDialogsChangeNothing()
    {
        Fixture f;
        QVERIFY(f.view.createMacroIni("Macro_1", 0).toBool());
        const QByteArray p2 = f.file("setting/p2.bin"), macro = f.file("macro/Macro_1.bin");
        QVERIFY(!f.view.loadProfile(1));
        f.view.saveProfile(1);
        QVERIFY(!f.view.loadMacroFile("Macro_1"));
        f.view.saveMacroFile("Macro_1");
        // Refused before any dialog.
        f.view.saveProfile(10);
        QVERIFY(!f.view.loadProfile(-1));
        QVERIFY(!f.view.loadMacroFile("a/b"));

        // They start in the documents folder, or home where there is none.
        QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(start).isDir())
            start = QDir::homePath();
        QCOMPARE(f.dialogs->calls, (QStringList{"open|Open File|" + start + "|Profile(*.pf)",
                                                "save|Save File|" + start + "|Profile(*.pf)",
                                                "open|Open File|" + start + "|Macro(*.mc)",
                                                "save|Save File|" + start + "|Macro(*.mc)"}));
        QCOMPARE(f.file("setting/p2.bin"), p2);
        QCOMPARE(f.file("macro/Macro_1.bin"), macro);
    }

    // An export replaces an older file and holds the pending edit; a name
    // without an extension gets the file type's; an import onto an existing
    // macro keeps it.
    void exportsReplaceAndImportsKeep()
    {
        Fixture f;
        const QString in = f.outside("in.mc");
        QVERIFY(writeFile(f.outside("bare.pf"), "an older and longer export of something else\n"));
        QVERIFY(writeFile(in, "[config]\ntotal=1\nrepeat=2\n[macro]\n0=\"1,Q\"\n"));
        f.view.setCurrentProfile(1);
        f.view.setData("mouse/mouseRate", 42);
        f.dialogs->answer = f.outside("bare");
        f.view.saveProfile(1);
        QCOMPARE(contents(f.outside("bare.pf")), f.file("setting/p2.bin"));
        QVERIFY(contents(f.outside("bare.pf")).contains("mouseRate=42"));
        f.dialogs->answer = in;
        QVERIFY(f.view.loadMacroFile("Macro_1"));
        QCOMPARE(f.view.loadMacroIni("Macro_1"), (QStringList{"1,Q", "2"}));
        QVERIFY(f.view.createMacroIni("Kept", 0).toBool());
        const QByteArray kept = f.file("macro/Kept.bin");
        QVERIFY(f.view.loadMacroFile("Kept"));
        QCOMPARE(f.file("macro/Kept.bin"), kept);
        f.dialogs->answer = f.outside("bare");
        f.view.saveMacroFile("Macro_1");
        QCOMPARE(contents(f.outside("bare.mc")), contents(in));
        QVERIFY(!QFileInfo::exists(f.outside("bare")));
    }

    // Files far larger than any real one read as empty and are never
    // rewritten, whichever object opens them.
    void oversizedFilesReadAsEmptyAndStay()
    {
        TestModules modules;
        const QByteArray big = "[common]\nname=Big\n[mouse]\nkeyCount=6\n[gun]\ngunName=a, b\n"
                               "[gunData]\n0=a, b, 1, 2, 3, 4\n"
                               + QByteArray(fileops::MaxIniFileBytes, ';');
        const QStringList files{"setting/apConfig.bin", "setting/p1.bin", "setting/name.bin", "gun/gunData.bin"};
        for (const QString &file : files)
            QVERIFY(writeFile(modules.path(file), big));
        {
            myQQuickView view;
            QVERIFY(!view.getGlobalData("common/name").isValid());
            QVERIFY(!view.getData("mouse/keyCount", false).isValid());
            QVERIFY(view.getNameList(1).isEmpty());
            QVERIFY(view.getGunData(0).isEmpty() && view.getGunDataKey().isEmpty());
            view.setGlobalData("common/name", "x");
            view.setData("mouse/keyCount", 3);
            QVERIFY(!view.updataNameList(1, {"c", "d"}).toBool());
            view.mouseSaveGundata(0, {"c", "d", 1, 2, 3, 4});
        }
        for (const QString &file : files)
            QVERIFY2(contents(modules.path(file)) == big, qPrintable(file));
    }
};

QTEST_MAIN(TestFileInvokables)
#include "tst_file_invokables.moc"
