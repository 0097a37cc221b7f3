// Windows: local sockets are named pipes, named after the user's security
// id; the lock is a mutex of the session, which the system drops with the
// process; peers are known by the user of their process.

#include "localchannel.h"

#include <QLocalSocket>

#include <memory>
#include <windows.h>
#include <sddl.h>

namespace localchannel {

namespace {

// The security id of the user a process runs as, as text; empty on failure.
QString userOfProcess(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return QString();
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<char[]>(size);
    QString result;
    LPWSTR text = nullptr;
    if (size && GetTokenInformation(token, TokenUser, buffer.get(), size, &size)
        && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.get())->User.Sid, &text)) {
        result = QString::fromWCharArray(text);
        LocalFree(text);
    }
    CloseHandle(token);
    return result;
}

QString currentUser()
{
    static const QString user = userOfProcess(GetCurrentProcess());
    return user;
}

} // namespace

QStringList folderCandidates()
{
    return {};
}

QString privateFolder()
{
    return QString();
}

QString serverName(const QString &name)
{
    const QString user = currentUser();
    return user.isEmpty() ? QString() : name + QLatin1Char('-') + user;
}

bool peerIsCurrentUser(const QLocalSocket &socket)
{
    const HANDLE pipe = reinterpret_cast<HANDLE>(socket.socketDescriptor());
    ULONG client = 0, server = 0;
    if (!GetNamedPipeClientProcessId(pipe, &client) || !GetNamedPipeServerProcessId(pipe, &server))
        return false;
    const DWORD peer = client == GetCurrentProcessId() ? server : client;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, peer);
    if (!process)
        return false;
    const QString user = userOfProcess(process);
    CloseHandle(process);
    return !user.isEmpty() && user == currentUser();
}

InstanceLock::InstanceLock(const QString &lockName) : name(lockName) {}

InstanceLock::~InstanceLock()
{
    if (handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}

InstanceLock::State InstanceLock::tryLock()
{
    if (handle != -1)
        return State::Acquired;
    const QString user = currentUser();
    if (user.isEmpty())
        return State::Unavailable;
    const QString mutexName = QStringLiteral("Local\\") + name + QLatin1Char('-') + user;
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(mutexName.utf16()));
    if (!mutex)
        return State::Unavailable;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return State::HeldElsewhere;
    }
    handle = reinterpret_cast<qintptr>(mutex);
    return State::Acquired;
}

} // namespace localchannel
