#include "copydata.h"
#include "inputhook.h"
#include "localchannel.h"
#include "singleinstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

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

// Sets environment variables for the test's lifetime.
struct Environment
{
    QList<QPair<QByteArray, std::optional<QByteArray>>> saved;
    void set(const char *name, const QString &value)
    {
        save(name);
        qputenv(name, QFile::encodeName(value));
    }
    void unset(const char *name)
    {
        save(name);
        qunsetenv(name);
    }
    void save(const char *name)
    {
        saved.prepend({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
    }
    ~Environment()
    {
        for (const auto &[name, value] : saved)
            value ? qputenv(name.constData(), *value) : qunsetenv(name.constData());
    }
};

// Reads the process's output until a line holding `text` came, or 10 s passed.
bool waitForLine(QProcess &process, QByteArray &out, const QByteArray &text)
{
    while (!out.contains(text) && process.waitForReadyRead(10000))
        out += process.readAllStandardOutput();
    return out.contains(text);
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
        QVERIFY2(waitForLine(first, out, "first\n"), out.constData());
    }

    static QMap<QString, QString> paths(const QString &program = probe())
    {
        QProcess lister;
        lister.start(program, {QStringLiteral("--paths")});
        lister.waitForFinished(10000);
        QMap<QString, QString> found;
        for (const QByteArray &line : lister.readAllStandardOutput().split('\n')) {
            const int colon = line.indexOf(':');
            if (colon > 0)
                found.insert(QString::fromUtf8(line.left(colon)), QFile::decodeName(line.mid(colon + 1)));
        }
        return found;
    }

    static bool isPrivateFolder(const QString &path)
    {
        struct stat st;
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
               && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }

    void secondStartHandsOverAndExitsWithOne()
    {
        QProcess first;
        startFirst(first);

        QProcess second;
        second.start(probe(), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 1);

        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.readAll().trimmed(), QByteArray("received:[]"));
        QCOMPARE(first.exitCode(), 0);
    }

    // Whatever a killed instance or a damaged file left at the lock never
    // blocks a start.
    void leftoversDoNotBlock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("killed instance") << QByteArray();
        QTest::newRow("empty lock") << QByteArray("");
        QTest::newRow("dead process of another host") << QByteArray("4194303\nr770\nelsewhere\n");
    }
    void leftoversDoNotBlock()
    {
        QFETCH(QByteArray, content);
        if (content.isNull()) {
            QProcess crashed;
            startFirst(crashed);
            crashed.kill(); // no chance to release anything
            QVERIFY(crashed.waitForFinished(5000));
        } else {
            QFile lock(paths().value("lock"));
            QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
            lock.write(content);
        }
        QProcess next;
        startFirst(next);
        next.kill();
        next.waitForFinished(5000);
    }

    // A lock held by a process that does not take our connection is no
    // running instance.
    void lockHolderThatDoesNotAnswerIsNoInstance()
    {
        localchannel::InstanceLock held(SingleInstanceApp::channelName(probe()));
        QCOMPARE(held.tryLock(), localchannel::InstanceLock::State::Acquired);
        QProcess unguarded;
        startFirst(unguarded);
        unguarded.kill();
        unguarded.waitForFinished(5000);
    }

    // The private folder: the session's runtime folder only when nobody else
    // may enter it, otherwise our own folder in the temporary folder, which
    // is never "/" even when TMPDIR names a missing folder.
    void privateFolderAndLock()
    {
        Environment env;
        QTemporaryDir session, temp;
        env.set("XDG_RUNTIME_DIR", session.path());
        env.set("TMPDIR", temp.path());
        QCOMPARE(localchannel::privateFolder(), session.path());
        QVERIFY(QFile::setPermissions(session.path(), QFile::permissions(session.path()) | QFile::ReadOther | QFile::ExeOther));
        const QString own = temp.path() + QStringLiteral("/r770-") + QString::number(::geteuid());
        QCOMPARE(localchannel::privateFolder(), own);
        QVERIFY(isPrivateFolder(own));

        env.unset("XDG_RUNTIME_DIR");
        env.set("TMPDIR", QStringLiteral("/no/such/folder"));
        QVERIFY(!localchannel::folderCandidates().isEmpty());
        for (const QString &folder : localchannel::folderCandidates())
            QVERIFY2(!folder.startsWith(QStringLiteral("/r770")), qPrintable(folder));
        const QMap<QString, QString> used = paths();
        for (const QString &path : used)
            QVERIFY2(isPrivateFolder(QFileInfo(path).path()), qPrintable(path));

        // One holder at a time, also within one process; released with it.
        auto a = std::make_unique<localchannel::InstanceLock>(QStringLiteral("test"));
        localchannel::InstanceLock b(QStringLiteral("test"));
        QCOMPARE(a->tryLock(), localchannel::InstanceLock::State::Acquired);
        QCOMPARE(b.tryLock(), localchannel::InstanceLock::State::HeldElsewhere);
        a.reset();
        QCOMPARE(b.tryLock(), localchannel::InstanceLock::State::Acquired);
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
        Environment env;
        env.unset("XDG_RUNTIME_DIR");
        env.set("TMPDIR", shared.path());
        env.set("XDG_CACHE_HOME", cache.path());

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
        QVERIFY2(waitForLine(squatter, squatted, "squatting\n"), squatted.constData());
        QVERIFY2(!squatted.contains("cannot"), squatted.constData());

        QProcess first;
        startFirst(first, program);
        const CopyData message{copydata::warningKind, "for the owner only"};
        QCOMPARE(InputHook::sendCopyData(probeTitle, message, nullptr, 5000), qintptr(1));
        QProcess second;
        second.start(program, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.readAll(), QByteArray("copydata:for the owner only\nreceived:[]\n"));

        squatter.kill();
        squatter.waitForFinished(5000);
        squatted += squatter.readAllStandardOutput();
        QVERIFY2(!squatted.contains("intruder"), squatted.constData());
        if (created)
            QProcess::execute(QStringLiteral("userdel"), {neighbourName});
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
