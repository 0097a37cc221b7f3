#include "singleinstance.h"

#include "connectionguard.h"
#include "debugline.h"
#include "localchannel.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {
// Messages are short texts; anything larger is not ours.
constexpr qint64 maxMessageBytes = 64 * 1024;
// How long a start waits for the lock holder's channel to accept it; the
// holder may just be between taking the lock and listening.
constexpr int answerTimeoutMs = 1000;
constexpr unsigned long retryPauseMs = 20;
} // namespace

SingleInstanceApp::SingleInstanceApp(int &argc, char **argv)
    : QApplication(argc, argv)
    , name(channelName(QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath()))
{
}

SingleInstanceApp::~SingleInstanceApp()
{
    if (server)
        server->close();
}

QString SingleInstanceApp::channelName(const QString &executablePath)
{
    return localchannel::instanceName(executablePath);
}

bool SingleInstanceApp::isRunning()
{
    if (decided)
        return running;
    decided = true;
    lock = std::make_unique<localchannel::InstanceLock>(name);
    switch (lock->tryLock()) {
    case localchannel::InstanceLock::State::Acquired:
        startListening();
        break;
    case localchannel::InstanceLock::State::HeldElsewhere:
        // A holder that does not take our connection is no instance of ours
        // (or a hung one): start anyway rather than never.
        running = connectToRunning(answerTimeoutMs);
        if (!running)
            debugLine("single instance: the running instance does not answer");
        break;
    case localchannel::InstanceLock::State::Unavailable:
        debugLine("single instance: no private folder for the lock");
        break;
    }
    return running;
}

bool SingleInstanceApp::connectToRunning(int timeout)
{
    const QString serverName = localchannel::serverName(name);
    if (serverName.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeout);
    do {
        peer = std::make_unique<QLocalSocket>();
        peer->connectToServer(serverName);
        if (peer->waitForConnected(int(deadline.remainingTime()))) {
            if (localchannel::peerIsCurrentUser(*peer))
                return true;
            break;
        }
        QThread::msleep(retryPauseMs);
    } while (!deadline.hasExpired());
    peer.reset();
    return false;
}

void SingleInstanceApp::startListening()
{
    const QString serverName = localchannel::serverName(name);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    guard = new ConnectionGuard(ConnectionGuard::DefaultMaxConnections,
                                ConnectionGuard::DefaultIdleTimeoutMs, this);
    if (serverName.isEmpty())
        return;
    // Holding the lock, no instance of ours can be listening: whatever is
    // at the name is a leftover.
    QLocalServer::removeServer(serverName);
    if (!server->listen(serverName)) {
        debugLine("single instance: cannot listen", server->errorString());
        return;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstanceApp::readConnections);
}

void SingleInstanceApp::readConnections()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        if (!guard->admit(socket))
            continue;
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (socket->bytesAvailable() > maxMessageBytes) {
                socket->abort();
                return;
            }
            QDataStream in(socket);
            in.startTransaction();
            QString message;
            in >> message;
            if (!in.commitTransaction())
                return; // wait for the rest
            socket->disconnectFromServer();
            emit messageReceived(message);
        });
    }
}

bool SingleInstanceApp::sendMessage(const QString &message, int timeout)
{
    const QDeadlineTimer deadline(timeout);
    if (!peer && !connectToRunning(timeout))
        return false;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << message;
    peer->write(bytes);
    if (!peer->waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    // Wait until the receiver has read the message and hung up.
    if (peer->state() == QLocalSocket::ConnectedState)
        peer->waitForDisconnected(int(deadline.remainingTime()));
    return true;
}
