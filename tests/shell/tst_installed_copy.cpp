#include "../persistence/filetestutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// An installed copy (the marker beside the executable) started by an
// ordinary user with a fresh home: the real start-up sequence must work in
// the user's own folder and never in the read-only shipped one. Tests run
// as root, who may write anywhere, so the program runs as "nobody" then.
namespace {

constexpr uid_t otherUser = 65534; // nobody:nogroup

bool runAsOtherUser()
{
    return ::geteuid() == 0;
}

// A folder the program's user owns (when the test is root).
bool makeUserFolder(const QString &path, mode_t mode = 0700)
{
    return QDir().mkpath(path) && ::chmod(QFile::encodeName(path), mode) == 0
           && (!runAsOtherUser() || ::chown(QFile::encodeName(path), otherUser, otherUser) == 0);
}

using filetest::contents;
using filetest::writeFile;

struct Run
{
    int exitCode = -1;
    QString out;
};

} // namespace

class TestInstalledCopy : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> scratch;
    QString programDir; // the installed copy: probe, marker, modules/
    QString home;
    QProcessEnvironment environment;

    QString shipped(const QString &relative) const { return programDir + "/modules/" + relative; }
    QString userFolder() const { return home + "/.local/share/r770"; }
    QString userFile(const QString &relative) const { return userFolder() + "/modules/" + relative; }

    Run start(const QStringList &arguments = {}, const QString &dataHome = QString())
    {
        QProcessEnvironment env = environment;
        if (!dataHome.isEmpty())
            env.insert("XDG_DATA_HOME", dataHome);

        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(scratch->path());
        const QString probe = programDir + "/r770_startup_probe";
        if (runAsOtherUser())
            program.start("setpriv", QStringList({"--reuid=65534", "--regid=65534", "--clear-groups",
                                                  "--", probe}) + arguments);
        else
            program.start(probe, arguments);
        Run run;
        if (!program.waitForFinished(30000)) {
            program.kill();
            program.waitForFinished();
        }
        run.out = QString::fromLocal8Bit(program.readAllStandardOutput() + program.readAllStandardError());
        if (program.exitStatus() == QProcess::NormalExit)
            run.exitCode = program.exitCode();
        return run;
    }

private slots:
    void init()
    {
        scratch = std::make_unique<QTemporaryDir>();
        QVERIFY(scratch->isValid());
        QVERIFY(::chmod(QFile::encodeName(scratch->path()), 0755) == 0);
        programDir = scratch->path() + "/lib/r770";
        home = scratch->path() + "/home";
        QVERIFY(QDir().mkpath(programDir));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/r770_startup_probe",
                            programDir + "/r770_startup_probe"));
        QVERIFY(QFile::copy(R770_SOURCE_DIR "/packaging/r770.installed", programDir + "/r770.installed"));
        QVERIFY(QDir().mkpath(shipped("img")));
        for (const char *sub : {"setting", "macro", "gun", "i18n"})
            QCOMPARE(QProcess::execute("cp", {"-r", R770_SOURCE_DIR "/modules/" + QString::fromLatin1(sub), shipped(sub)}), 0);
        QVERIFY(QFile::copy(R770_SOURCE_DIR "/modules/img/logo.ico", shipped("img/logo.ico")));
        QVERIFY(makeUserFolder(home));
        QVERIFY(makeUserFolder(scratch->path() + "/run"));

        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        environment.insert("XDG_RUNTIME_DIR", scratch->path() + "/run");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.remove("XDG_CONFIG_HOME");
        environment.remove("XDG_DATA_HOME");
        // A ThreadSanitizer build: the other user must be able to read the
        // suppressions, wherever the sources are.
        QString tsan = environment.value("TSAN_OPTIONS");
        const QRegularExpressionMatch suppressions = QRegularExpression("suppressions=(\\S+)").match(tsan);
        if (suppressions.hasMatch()) {
            const QString copy = scratch->path() + "/tsan.supp";
            QVERIFY(QFile::copy(suppressions.captured(1), copy));
            environment.insert("TSAN_OPTIONS", tsan.replace(suppressions.captured(1), copy));
        }
    }

    void cleanup() { scratch.reset(); }

    void worksInTheUsersOwnFolderAndKeepsTheirFiles()
    {
        const QByteArray shippedConfig = contents(shipped("setting/apConfig.bin"));

        // First start: the shipped files are copied and a save lands there.
        Run run = start({"--save"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("cwd:" + userFolder() + "\n"), qPrintable(run.out));
        const auto saved = [this] {
            return QSettings(userFile("setting/apConfig.bin"), QSettings::IniFormat).value("common/probe");
        };
        QCOMPARE(saved(), QVariant("saved"));
        QCOMPARE(contents(shipped("setting/apConfig.bin")), shippedConfig);
        QVERIFY(QFileInfo(userFile("macro")).isDir());
        QVERIFY(QFileInfo(userFile("img/logo.ico")).isFile());
        QVERIFY(QDir(userFolder()).entryList({".modules-*"}, QDir::AllEntries | QDir::Hidden).isEmpty());

        // A newer version ships a new language and changes a shipped file;
        // the user has changed a file of theirs and lost another.
        QVERIFY(writeFile(shipped("i18n/Deutsch.ini"), "[common]\nname=Maus\n"));
        QVERIFY(writeFile(shipped("i18n/English.ini"), contents(shipped("i18n/English.ini")) + "\n[shipped]\nnewer=1\n"));
        const QString chinese = userFile("i18n/ChineseSimplified.ini");
        QVERIFY(writeFile(chinese, contents(chinese) + "\n[mine]\nchanged=1\n"));
        const QByteArray myChinese = contents(chinese);
        const QByteArray myEnglish = contents(userFile("i18n/English.ini"));
        QVERIFY(QFile::remove(userFile("setting/p7.bin")));

        run = start();
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("cwd:" + userFolder() + "\n"), qPrintable(run.out));
        QCOMPARE(contents(userFile("i18n/Deutsch.ini")), QByteArray("[common]\nname=Maus\n"));
        QCOMPARE(contents(userFile("setting/p7.bin")), contents(shipped("setting/p7.bin")));
        QCOMPARE(contents(chinese), myChinese);
        QCOMPARE(contents(userFile("i18n/English.ini")), myEnglish);
        QCOMPARE(saved(), QVariant("saved"));
        // What the user may change is theirs.
        if (runAsOtherUser())
            QCOMPARE(QFileInfo(userFile("i18n/Deutsch.ini")).ownerId(), otherUser);
    }

    void anUnwritableHomeIsRefusedWithAReason()
    {
        // The home belongs to someone else.
        QVERIFY(::chown(QFile::encodeName(home), 0, 0) == 0 || !runAsOtherUser());
        QVERIFY(::chmod(QFile::encodeName(home), 0555) == 0);

        const Run run = start();
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.out.contains("warning:BRAXTEL SOLVAR MOUSE R770|Cannot create your settings folder "
                                  + userFolder() + ": no permission to write in " + home),
                 qPrintable(run.out));
        QVERIFY(!run.out.contains("cwd:"));
        QVERIFY(!QFileInfo::exists(home + "/.local"));
    }

    void aFailedFirstCopyIsNotTakenForComplete()
    {
        // A shipped file the user cannot read makes the first copy fail
        // halfway. XDG_DATA_HOME chooses where the folder goes.
        const QString dataHome = home + "/data";
        QVERIFY(makeUserFolder(dataHome));
        const QString folder = dataHome + "/r770";
        const QByteArray unreadable = QFile::encodeName(shipped("setting/p5.bin"));
        QVERIFY(::chmod(unreadable, 0) == 0);

        Run run = start({}, dataHome);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.out.contains("Cannot copy the program's files into your settings folder "
                                  + folder + ": setting/p5.bin"),
                 qPrintable(run.out));
        QVERIFY(!QFileInfo::exists(folder + "/modules"));
        QVERIFY(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

        // Once the file can be read, the next start makes a complete copy.
        QVERIFY(::chmod(unreadable, 0644) == 0);
        run = start({}, dataHome);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("cwd:" + folder + "\n"), qPrintable(run.out));
        QCOMPARE(contents(folder + "/modules/setting/p5.bin"), contents(shipped("setting/p5.bin")));
        QCOMPARE(QDir(folder + "/modules/setting").entryList(QDir::Files),
                 QDir(shipped("setting")).entryList(QDir::Files));
    }
};

QTEST_GUILESS_MAIN(TestInstalledCopy)
#include "tst_installed_copy.moc"
