// The controller's file operations with scripted file dialogs.

#include "filedialogs.h"
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
    QString openFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        calls << QStringList{"open", caption, dir, filter}.join('|');
        return answer;
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        calls << QStringList{"save", caption, dir, filter}.join('|');
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
        QVERIFY(f.modules.isValid());
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

        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QCOMPARE(f.dialogs->calls, (QStringList{"open|Open File|" + desktop + "|Profile(*.pf)",
                                                "save|Save File|" + desktop + "|Profile(*.pf)",
                                                "open|Open File|" + desktop + "|Macro(*.mc)",
                                                "save|Save File|" + desktop + "|Macro(*.mc)"}));
        QCOMPARE(f.file("setting/p2.bin"), p2);
        QCOMPARE(f.file("macro/Macro_1.bin"), macro);
    }

    void profileExportAndImport()
    {
        Fixture f;
        f.view.setCurrentProfile(1);
        f.view.setData("mouse/mouseRate", 42); // pending at the export
        f.dialogs->answer = f.outside("mine.pf");
        QVERIFY(writeFile(f.dialogs->answer, "[stale]\nkey=that is longer than nothing\n"));
        f.view.saveProfile(1);
        QCOMPARE(contents(f.dialogs->answer), f.file("setting/p2.bin"));
        QVERIFY(contents(f.dialogs->answer).contains("mouseRate=42"));

        // The imported profile is what the view reads, and a pending edit of
        // the replaced settings object never reaches the new file.
        QVERIFY(writeFile(f.dialogs->answer, "[mouse]\ndpiCount=4\n"));
        f.view.setData("mouse/dpiCount", 5);
        QVERIFY(f.view.loadProfile(1));
        drainEvents();
        QCOMPARE(f.view.getData("mouse/dpiCount", false).toInt(), 4);
        QCOMPARE(f.file("setting/p2.bin"), contents(f.dialogs->answer));
    }

    void macroExportAndImport()
    {
        Fixture f;
        f.dialogs->answer = f.outside("in.mc");
        QVERIFY(writeFile(f.dialogs->answer, "[config]\ntotal=1\nrepeat=2\n[macro]\n0=\"1,Q\"\n"));
        QVERIFY(f.view.loadMacroFile("Macro_1"));
        QCOMPARE(f.view.loadMacroIni("Macro_1"), (QStringList{"1,Q", "2"}));

        // An import onto an existing macro keeps it.
        QVERIFY(f.view.createMacroIni("Kept", 0).toBool());
        const QByteArray kept = f.file("macro/Kept.bin");
        QVERIFY(f.view.loadMacroFile("Kept"));
        QCOMPARE(f.file("macro/Kept.bin"), kept);
        f.dialogs->answer = f.outside("missing.mc");
        QVERIFY(!f.view.loadMacroFile("NoSource"));
        QVERIFY(f.view.loadMacroIni("NoSource").isEmpty());

        // An export replaces an existing file.
        f.dialogs->answer = f.outside("out.mc");
        QVERIFY(writeFile(f.dialogs->answer, "an older and longer export of something else\n"));
        f.view.saveMacroFile("Macro_1");
        QCOMPARE(contents(f.dialogs->answer), contents(f.outside("in.mc")));
    }
};

QTEST_MAIN(TestFileInvokables)
#include "tst_file_invokables.moc"
