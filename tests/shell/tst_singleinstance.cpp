#include "copydata.h"
#include "inputhook.h"
#include "localchannel.h"
#include "probeprocess.h"
#include "singleinstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Starts of the same executable: the second hands over and leaves. The lock
// and the channels are the user's own: neither a damaged lock nor another
// user's files and sockets stand in the way.
namespace {

const QString probeTitle = QStringLiteral("r770 instance probe");
const char *const neighbourName = "r770-neighbour";

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

    static void startFirst(QProcess &first, const QString &program = probe())
    {
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        QByteArray out;
        QVERIFY2(probeprocess::waitForLine(first, out, "first\n"), out.constData());
    }

    // A second start exits with 1 and the first gets its message and ends;
    // what the first printed after "first".
    static QByteArray handOver(QProcess &first, const QString &program = probe())
    {
        QProcess second;
        second.start(program, {});
        if (!second.waitForFinished(10000) || second.exitCode() != 1 || !first.waitForFinished(10000))
            return "no hand-over";
        return first.readAll();
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
        qunsetenv("XDG_CACHE_HOME");
    }

    // Whatever a killed instance or a damaged file left at the lock never
    // blocks a start, nor does a lock holder that does not take our
    // connection: that is no running instance of ours. Where the start
    // after them holds the lock, a second start hands over to it.
    void leftoversDoNotBlock_data()
    {
        QTest::addColumn<QByteArray>("leftover");
        QTest::newRow("killed instance") << QByteArray("killed");
        QTest::newRow("empty lock") << QByteArray("");
        QTest::newRow("dead process of another host") << QByteArray("4194303\nr770\nelsewhere\n");
        QTest::newRow("silent holder") << QByteArray("held");
    }
    void leftoversDoNotBlock()
    {
        QFETCH(QByteArray, leftover);
        localchannel::InstanceLock held(SingleInstanceApp::channelName(probe()));
        if (leftover == "killed") {
            QProcess crashed;
            startFirst(crashed);
            crashed.kill(); // no chance to release anything
            QVERIFY(crashed.waitForFinished(5000));
        } else if (leftover == "held") {
            QCOMPARE(held.tryLock(), localchannel::InstanceLock::State::Acquired);
        } else {
            QFile lock(paths().value(0).section(':', 1));
            QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
            lock.write(leftover);
        }
        QProcess next;
        startFirst(next);
        if (leftover == "held") { // the holder, not this start, owns the lock
            next.kill();
            QVERIFY(next.waitForFinished(5000));
            return;
        }
        QCOMPARE(handOver(next), QByteArray("received:[]\n"));
        QCOMPARE(next.exitCode(), 0);
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

    // Another local user who got to every name first: junk at the lock,
    // sockets on the channels, in a folder open to all. The program does not
    // use that folder, still finds its running instance, and nothing of its
    // messages reaches the other user.
    void anotherUserCannotSquatTheChannels()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to act as a second local user");
        bool created = false;
        if (!::getpwnam(neighbourName)) {
            const int made = QProcess::execute(QStringLiteral("useradd"),
                {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", neighbourName});
            if (made != 0 || !::getpwnam(neighbourName))
                QSKIP("cannot create a second local user with useradd");
            created = true;
        }
        const auto removeUser = qScopeGuard([created] {
            if (created)
                QProcess::execute(QStringLiteral("userdel"), {neighbourName});
        });
        const struct passwd *neighbour = ::getpwnam(neighbourName);
        const uid_t uid = neighbour->pw_uid;
        const gid_t gid = neighbour->pw_gid;

        // A shared temporary folder like /tmp, holding the program, and the
        // user's own cache folder.
        QTemporaryDir shared, cache;
        QVERIFY(shared.isValid() && cache.isValid());
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
        const QString program = shared.path() + QStringLiteral("/bin/r770_instance_probe");
        QVERIFY(QDir().mkpath(QFileInfo(program).path()) && QFile::copy(probe(), program));
        QVERIFY(::chmod(QFile::encodeName(QFileInfo(program).path()).constData(), 0755) == 0);
        qunsetenv("XDG_RUNTIME_DIR");
        setEnv("TMPDIR", shared.path());
        setEnv("XDG_CACHE_HOME", cache.path());

        const QString folder = localchannel::folderCandidates().value(0);
        QVERIFY(folder.startsWith(shared.path()));
        const QString name = SingleInstanceApp::channelName(program);
        QProcess squatter;
        squatter.setChildProcessModifier([uid, gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(111);
        });
        squatter.start(program, {"--squat", folder, folder + '/' + name + ".lock", folder + '/' + name + ".sock",
                                 folder + '/' + copydata::channelName(probeTitle) + ".sock"});
        QByteArray squatted;
        QVERIFY2(probeprocess::waitForLine(squatter, squatted, "squatting\n"), squatted.constData());
        QVERIFY2(!squatted.contains("cannot"), squatted.constData());

        QProcess first;
        startFirst(first, program);
        const CopyData message{copydata::warningKind, "for the owner only"};
        QCOMPARE(InputHook::sendCopyData(probeTitle, message, nullptr, 5000), qintptr(1));
        QCOMPARE(handOver(first, program), QByteArray("copydata:for the owner only\nreceived:[]\n"));

        squatter.kill();
        squatter.waitForFinished(5000);
        squatted += squatter.readAllStandardOutput();
        QVERIFY2(!squatted.contains("intruder"), squatted.constData());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
