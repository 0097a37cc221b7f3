#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The whole start-up and shutdown, run from somewhere else than the
// program's folder.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void findsItsFilesFromAnyFolderAndQuitsWithZero()
    {
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        QProcess program;
        program.setWorkingDirectory(elsewhere.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/r770_startup_probe"), {});
        QVERIFY(program.waitForFinished(20000));

        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("cwd:") + QCoreApplication::applicationDirPath()), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("title:BRAXTEL SOLVAR MOUSE R770")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("quit:Quit (&Q)")), qPrintable(out));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
