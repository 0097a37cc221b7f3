#pragma once

#include <QString>
#include <QStringList>

class QLocalSocket;

// Where the program keeps its per-user lock and local sockets, and who is at
// the other end of a connection. Nothing of ours sits under a predictable
// name in a folder other users can write to: they could take the name first,
// block our start or read our messages.
namespace localchannel {

// The folders tried for the private folder, in order, without creating or
// checking anything: $XDG_RUNTIME_DIR, then "r770-<uid>" in the temporary
// folder (never "/"), then "r770-runtime" in the user's cache folder.
QStringList folderCandidates();

// The first candidate that is a folder owned by the current user that
// nobody else may enter, created (mode 0700) when missing; empty when none
// can be had.
QString privateFolder();

// The name of the single-instance lock and channel of an executable, from
// its absolute path: each installed copy is an instance of its own.
QString instanceName(const QString &executablePath);

// Full server name of the local channel `name` in the private folder;
// empty when there is no private folder.
QString serverName(const QString &name);

// Whether the process at the other end of a connected local socket runs as
// the current user.
bool peerIsCurrentUser(const QLocalSocket &socket);

// A lock that one process of the current user holds at a time. The system
// releases it when the holder ends, however it ends, so no stale or damaged
// lock file can block a later start.
class InstanceLock
{
public:
    enum class State { Acquired, HeldElsewhere, Unavailable };

    explicit InstanceLock(const QString &name);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Unavailable: there is no private place for the lock.
    State tryLock();

private:
    QString name;
    qintptr handle = -1;
};

} // namespace localchannel
