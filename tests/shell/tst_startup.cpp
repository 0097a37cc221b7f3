#include "copydata.h"
#include "inputhook.h"
#include "testmodules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The whole start-up and shutdown of the real program (the probe quits
// through the tray menu as soon as the event loop runs).
class TestStartup : public QObject
{
    Q_OBJECT

    // The programs started here keep their lock and channels in folders of
    // their own, apart from any other test's.
    QTemporaryDir runtime;

    static QString probe() { return QCoreApplication::applicationDirPath() + QStringLiteral("/r770_startup_probe"); }

    static void run(QProcess &program, const QString &executable, const QString &workingDirectory,
                    const QStringList &arguments = {})
    {
        program.setWorkingDirectory(workingDirectory);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(executable, arguments);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    }

    void findsItsFilesFromAnyFolderAndQuitsWithZero()
    {
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        QProcess program;
        run(program, probe(), elsewhere.path());
        QVERIFY(program.waitForFinished(20000));

        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("cwd:") + QCoreApplication::applicationDirPath()), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("title:BRAXTEL SOLVAR MOUSE R770")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("quit:Quit (&Q)")), qPrintable(out));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // A device table claiming more groups than any mouse family has: the
    // first discovery reads a bounded number and the program carries on.
    void hugeDeviceCountDoesNotHoldUpStartUp()
    {
        TestModules modules; // the program beside its own copy of the files
        QVERIFY(modules.isValid());
        const QString copy = modules.root() + QStringLiteral("/r770_startup_probe");
        QVERIFY(QFile::copy(probe(), copy));
        QSettings(modules.path("setting/apConfig.bin"), QSettings::IniFormat)
            .setValue("common/deviceCount", 2147483647);

        QProcess program;
        run(program, copy, modules.root());
        const bool finished = program.waitForFinished(60000);
        if (!finished)
            program.kill();
        QVERIFY(finished);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardError().contains("deviceCount capped at 256 \n"));
    }

    // Without a mouse the window is hidden; a warning box that opens and is
    // closed then must not end the program.
    void closingADialogInTheTrayKeepsItRunning()
    {
        QProcess program;
        run(program, probe(), runtime.path(), {QStringLiteral("--close-dialogs")});
        QByteArray out;
        while (!out.contains("ready\n") && program.waitForReadyRead(10000))
            out += program.readAllStandardOutput();
        QVERIFY2(out.contains("ready\n"), out.constData());

        const CopyData warning{copydata::warningKind, "Mouse in use"};
        QCOMPARE(InputHook::sendCopyData(QStringLiteral("BRAXTEL SOLVAR MOUSE R770"), warning, nullptr, 10000),
                 qintptr(1));
        QVERIFY(program.waitForFinished(20000));
        out += program.readAllStandardOutput();
        QVERIFY2(out.contains("dialog:Mouse in use\nalive\nquit:Quit (&Q)\n"), out.constData());
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
