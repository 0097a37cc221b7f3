#include "copydata.h"
#include "probeprocess.h"
#include "inputhook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
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
        program.setWorkingDirectory(elsewhere.path());
        probeprocess::startOffscreen(program, probe());
        QVERIFY(program.waitForFinished(20000));

        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("cwd:") + QCoreApplication::applicationDirPath()), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("quit:Quit (&Q)")), qPrintable(out));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // Without a mouse the window is hidden; a warning sent by another
    // program shows under the window's title, and closing it must not end
    // the program.
    void closingADialogInTheTrayKeepsItRunning()
    {
        QProcess program;
        program.setWorkingDirectory(runtime.path());
        probeprocess::startOffscreen(program, probe(), {QStringLiteral("--close-dialogs")});
        QByteArray out;
        QVERIFY2(probeprocess::waitForLine(program, out, "ready\n"), out.constData());

        const CopyData warning{copydata::warningKind, "Mouse in use"};
        QCOMPARE(InputHook::sendCopyData(QStringLiteral("BRAXTEL SOLVAR MOUSE R770"), warning, nullptr, 10000),
                 qintptr(1));
        QVERIFY(program.waitForFinished(20000));
        out += program.readAllStandardOutput();
        QVERIFY2(out.contains("dialog:BRAXTEL SOLVAR MOUSE R770|Mouse in use\nalive\nquit:Quit (&Q)\n"), out.constData());
        QCOMPARE(program.exitCode(), 0);
    }

    // On a desktop without a tray (a bare X server) the window shows what to
    // connect while there is no mouse, and the pages once it is plugged in.
    void withoutATrayTheWindowShowsWhatToConnect()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
        QProcess program;
        program.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        program.start(probe(), {QStringLiteral("--plug-later")});
        QByteArray out;
        QVERIFY2(probeprocess::waitForLine(program, out, "cwd:", 20000), out.constData());
        // From the scene's load to the window on screen.
        QVERIFY2(probeprocess::waitForLine(program, out, "connect\n", 2000), out.constData());
        QVERIFY2(probeprocess::waitForLine(program, out, "pages\n", 20000), out.constData());
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
    }

    // The program's own options: help and version print and end with 0,
    // anything else is refused with the usage line and 2.
    void commandLineOptions()
    {
        const QString r770 = QCoreApplication::applicationDirPath() + QStringLiteral("/r770");
        struct Case { QStringList arguments; int code; const char *out; const char *err; };
        const QList<Case> cases = {
            {{"--help"}, 0, "Usage: r770 [--autostart] [--help] [--version]\n", ""},
            {{"--version"}, 0, "r770 1.0\n", ""},
            {{"--autostart", "--verbose"}, 2, "", "r770: unknown option '--verbose'\nUsage: r770"},
            {{"file.pf"}, 2, "", "Usage: r770"},
        };
        for (const Case &c : cases) {
            QProcess program;
            // No display: these answer before any window is made.
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            program.setProcessEnvironment(env);
            program.start(r770, c.arguments);
            QVERIFY(program.waitForFinished(10000));
            QCOMPARE(program.exitCode(), c.code);
            const QByteArray out = program.readAllStandardOutput(), err = program.readAllStandardError();
            QVERIFY2(out.contains(c.out) && (c.code != 0 || !out.isEmpty()), out.constData());
            QVERIFY2(err.contains(c.err), err.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
