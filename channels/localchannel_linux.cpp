// The private folder is a directory of the user that nobody else may enter;
// the lock is an flock on a file in it, which the kernel drops with the
// process; peers are known by the credentials of their socket.

#include "localchannel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace localchannel {

namespace {

constexpr mode_t PrivateMode = 0700;
constexpr mode_t LockFileMode = 0600;

bool isPrivate(const struct stat &st)
{
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Whether `path` is a private folder of ours, creating it if missing. A
// folder of ours that others may enter is closed up; one of another owner,
// or a link, is never used.
bool makePrivate(const QString &path, bool mayRepair)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), PrivateMode) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (::lstat(native.constData(), &st) != 0)
        return false;
    if (mayRepair && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) != 0) {
        if (::chmod(native.constData(), PrivateMode) != 0 || ::lstat(native.constData(), &st) != 0)
            return false;
    }
    return isPrivate(st);
}

QString temporaryFolder()
{
    // QDir::tempPath() is empty when TMPDIR names a missing folder.
    const QString temp = QDir::tempPath();
    return QFileInfo(temp).isDir() ? QDir::cleanPath(temp) : QStringLiteral("/tmp");
}

} // namespace

QStringList folderCandidates()
{
    QStringList candidates;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime))
        candidates << QDir::cleanPath(runtime);
    const QString temp = temporaryFolder();
    if (temp != QLatin1String("/"))
        candidates << temp + QStringLiteral("/r770-") + QString::number(::geteuid());
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (QDir::isAbsolutePath(cache))
        candidates << QDir::cleanPath(cache) + QStringLiteral("/r770-runtime");
    return candidates;
}

QString privateFolder()
{
    const QStringList candidates = folderCandidates();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    for (const QString &folder : candidates) {
        // The session's runtime folder is the system's to set up; ours we mend.
        const bool ours = folder != QDir::cleanPath(runtime);
        if (ours)
            QDir().mkpath(QFileInfo(folder).path());
        if (makePrivate(folder, ours))
            return folder;
    }
    return QString();
}

QString serverName(const QString &name)
{
    const QString folder = privateFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name + QStringLiteral(".sock");
}

bool peerIsCurrentUser(const QLocalSocket &socket)
{
    const qintptr fd = socket.socketDescriptor();
    if (fd < 0)
        return false;
    struct ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer
           && peer.uid == ::geteuid();
}

InstanceLock::InstanceLock(const QString &lockName) : name(lockName) {}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it could let two processes lock two files.
    if (handle >= 0)
        ::close(int(handle));
}

InstanceLock::State InstanceLock::tryLock()
{
    if (handle >= 0)
        return State::Acquired;
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return State::Unavailable;
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
    // The folder is ours, so only an administrator can have put something
    // else at the path: that is replaced once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, LockFileMode);
        struct stat st;
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                handle = fd;
                return State::Acquired;
            }
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
        }
        if (fd >= 0)
            ::close(fd);
        ::unlink(path.constData());
    }
    return State::Unavailable;
}

} // namespace localchannel
