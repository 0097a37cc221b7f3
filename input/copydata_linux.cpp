// The copy-data channel over a local socket in the user's private folder.

#include "connectionguard.h"
#include "copydata.h"
#include "debugline.h"
#include "localchannel.h"
#include "platformhooks.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>

#include <memory>

namespace copydata {

QString channelName(const QString &windowTitle)
{
    const QByteArray hash = QCryptographicHash::hash(windowTitle.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("r770-copydata-") + QString::fromLatin1(hash.toHex().left(24));
}

QString serverName(const QString &windowTitle)
{
    return localchannel::serverName(channelName(windowTitle));
}

} // namespace copydata

namespace {

// How long a probe waits for a server that may own a leftover socket name.
constexpr int probeTimeoutMs = 500;

class LocalCopyDataReceiver : public QObject, public CopyDataReceiver
{
public:
    LocalCopyDataReceiver(InputHook &owner, const QString &windowTitle) : hook(owner)
    {
        server.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&server, &QLocalServer::newConnection, this,
                &LocalCopyDataReceiver::acceptConnections);
        listen(copydata::serverName(windowTitle));
    }

    bool isListening() const override { return server.isListening(); }

private:
    struct Connection
    {
        QByteArray buffer;
        bool dispatching = false;
    };

    void listen(const QString &name)
    {
        if (name.isEmpty()) {
            debugLine("copy-data channel not available: no private folder");
            return;
        }
        // Listening replaces the socket file, so a live channel of that name
        // must be left alone; a file nobody answers on is a leftover.
        if (serverAlive(name)) {
            debugLine("copy-data channel already in use:", name);
            return;
        }
        QLocalServer::removeServer(name);
        if (!server.listen(name))
            debugLine("copy-data channel not available:", server.errorString());
    }

    static bool serverAlive(const QString &name)
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        return probe.waitForConnected(probeTimeoutMs) && localchannel::peerIsCurrentUser(probe);
    }

    void acceptConnections()
    {
        while (QLocalSocket *socket = server.nextPendingConnection()) {
            if (!guard.admit(socket))
                continue;
            auto connection = std::make_shared<Connection>();
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket, connection] { serve(socket, connection); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            serve(socket, connection);
        }
    }

    // Hands every complete message of the connection to the hook and answers
    // it. The callback may run a modal dialog; data arriving meanwhile waits
    // in the socket until the current message is answered.
    void serve(QLocalSocket *socket, std::shared_ptr<Connection> connection)
    {
        if (connection->dispatching)
            return;
        QPointer<QLocalSocket> alive(socket);
        for (;;) {
            connection->buffer += socket->readAll();
            CopyData message;
            const copydata::FrameResult result = copydata::takeFrame(connection->buffer, message);
            if (result == copydata::FrameResult::NeedMore)
                return;
            if (result == copydata::FrameResult::Malformed) {
                connection->buffer.clear();
                socket->write(copydata::encodeResult(0));
                socket->disconnectFromServer();
                return;
            }
            connection->dispatching = true;
            guard.setServing(socket, true);
            const bool handled = hook.handleCopyData(message);
            connection->dispatching = false;
            if (!alive || socket->state() != QLocalSocket::ConnectedState)
                return;
            guard.setServing(socket, false);
            socket->write(copydata::encodeResult(handled ? 1 : 0));
        }
    }

    InputHook &hook;
    QLocalServer server;
    ConnectionGuard guard;
};

} // namespace

std::unique_ptr<CopyDataReceiver> createCopyDataReceiver(InputHook &hook, QCoreApplication *,
                                                         const QString &windowTitle)
{
    return std::make_unique<LocalCopyDataReceiver>(hook, windowTitle);
}

qintptr sendCopyDataMessage(const QString &windowTitle, const CopyData &data,
                            const void *skipWindow, int timeoutMs)
{
    // The window to skip is one of this process, known by its registration.
    if (skipWindow && InputHook::instance
        && InputHook::instance->ownsCopyDataWindow(windowTitle, skipWindow))
        return reinterpret_cast<qintptr>(skipWindow);
    if (data.bytes.size() > copydata::maxBytes)
        return 0;
    const QString name = copydata::serverName(windowTitle);
    if (name.isEmpty())
        return 0;
    QLocalSocket socket;
    socket.connectToServer(name);
    // Only a window of this user may read what we send.
    if (!socket.waitForConnected(timeoutMs) || !localchannel::peerIsCurrentUser(socket))
        return 0;
    socket.write(copydata::encodeFrame(data));
    if (!socket.waitForBytesWritten(timeoutMs))
        return 0;
    QByteArray answer;
    while (answer.size() < copydata::resultSize) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(timeoutMs))
            return 0;
        answer += socket.read(copydata::resultSize - answer.size());
    }
    return qintptr(copydata::decodeResult(answer));
}
