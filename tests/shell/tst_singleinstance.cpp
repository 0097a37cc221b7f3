#include "localchannel.h"
#include "probeprocess.h"
#include "singleinstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// Starts of the same executable: the second hands over and leaves. The lock
// and the channels are the user's own: neither leftovers nor another user's
// folders stand in the way.
namespace {

void setEnv(const char *name, const QString &value)
{
    qputenv(name, QFile::encodeName(value));
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    // The runtime folder of this test's processes, apart from other tests.
    QTemporaryDir runtime;

    static QString probe() { return QCoreApplication::applicationDirPath() + QStringLiteral("/r770_instance_probe"); }

    static void startFirst(QProcess &first)
    {
        first.start(probe(), {});
        QVERIFY(first.waitForStarted());
        QByteArray out;
        QVERIFY2(probeprocess::waitForLine(first, out, "first\n"), out.constData());
    }

    // What the probe prints with --paths: "lock:...", "instance:...", "copydata:...".
    static QStringList paths()
    {
        QProcess lister;
        lister.start(probe(), {QStringLiteral("--paths")});
        lister.waitForFinished(10000);
        return QString::fromLocal8Bit(lister.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    static bool isPrivateFolder(const QString &path)
    {
        struct stat st;
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
               && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
    }

private slots:
    void init()
    {
        QVERIFY(runtime.isValid());
        setEnv("XDG_RUNTIME_DIR", runtime.path());
        qunsetenv("TMPDIR");
    }

    // A killed instance leaves its lock and socket behind, and a lock
    // holder may not take our connection (no instance of ours): neither
    // blocks a start, and a second start hands over to the one after them.
    void leftoversDoNotBlock()
    {
        QProcess crashed, next, another;
        startFirst(crashed);
        crashed.kill(); // no chance to release anything
        QVERIFY(crashed.waitForFinished(5000));
        startFirst(next);
        QProcess second;
        second.start(probe(), {});
        QVERIFY(second.waitForFinished(10000) && next.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 1);
        QCOMPARE(next.readAll(), QByteArray("received:[]\n"));
        QCOMPARE(next.exitCode(), 0);

        localchannel::InstanceLock held(SingleInstanceApp::channelName(probe()));
        QCOMPARE(held.tryLock(), localchannel::InstanceLock::State::Acquired);
        startFirst(another);
        another.kill();
        QVERIFY(another.waitForFinished(5000));
    }

    // The private folder: the session's runtime folder only when nobody else
    // may enter it, otherwise our own folder in the temporary folder, which
    // is never "/" even when TMPDIR names a missing folder.
    void privateFolderAndLock()
    {
        QTemporaryDir session, temp;
        setEnv("XDG_RUNTIME_DIR", session.path());
        setEnv("TMPDIR", temp.path());
        QCOMPARE(localchannel::privateFolder(), session.path());
        QVERIFY(QFile::setPermissions(session.path(), QFile::permissions(session.path()) | QFile::ReadOther | QFile::ExeOther));
        const QString own = temp.path() + QStringLiteral("/r770-") + QString::number(::geteuid());
        QCOMPARE(localchannel::privateFolder(), own);
        QVERIFY(isPrivateFolder(own));

        qunsetenv("XDG_RUNTIME_DIR");
        setEnv("TMPDIR", QStringLiteral("/no/such/folder"));
        const QStringList used = paths();
        QCOMPARE(used.size(), 3);
        for (const QString &path : used)
            QVERIFY2(isPrivateFolder(QFileInfo(path.section(':', 1)).path()), qPrintable(path));

        // Folders of another owner are neither used nor closed up (needs
        // root to give them away).
        if (::geteuid() != 0)
            return;
        QTemporaryDir theirSession, theirTemp;
        const QString theirs = theirTemp.path() + QStringLiteral("/r770-0");
        QVERIFY(::mkdir(QFile::encodeName(theirs).constData(), 0755) == 0);
        for (const QString &folder : {theirSession.path(), theirs})
            QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        setEnv("XDG_RUNTIME_DIR", theirSession.path());
        setEnv("TMPDIR", theirTemp.path());
        const QString chosen = localchannel::privateFolder();
        QVERIFY2(chosen != theirSession.path() && chosen != theirs, qPrintable(chosen));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(theirs).constData(), &st) == 0 && (st.st_mode & 0777) == 0755);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
