#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include "debugline.h"
#include "platformuser.h"

namespace {
// Messages are short texts; anything larger is not ours.
constexpr qint64 maxMessageBytes = 64 * 1024;
}

SingleInstanceApp::SingleInstanceApp(int &argc, char **argv)
    : QApplication(argc, argv)
    , key(instanceKey(QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath()))
{
}

SingleInstanceApp::~SingleInstanceApp()
{
    if (server)
        server->close();
}

QString SingleInstanceApp::instanceKey(const QString &executablePath)
{
    const QByteArray hash = QCryptographicHash::hash(executablePath.toUtf8(),
                                                     QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("%1/r770-%2-%3").arg(QDir::tempPath(), currentUserKey())
        .arg(QString::fromLatin1(hash));
}

bool SingleInstanceApp::isRunning()
{
    if (decided)
        return running;
    decided = true;
    lock = std::make_unique<QLockFile>(key + QStringLiteral(".lock"));
    // The claim lasts as long as the process: never let age make it stale.
    // A lock whose owner process is gone is still recognised and removed.
    lock->setStaleLockTime(0);
    running = !lock->tryLock(0);
    if (!running)
        startListening();
    return running;
}

void SingleInstanceApp::startListening()
{
    const QString name = key + QStringLiteral(".sock");
    QLocalServer::removeServer(name); // left over by a crashed instance
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        debugLine("single instance: cannot listen", server->errorString());
        return;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstanceApp::readConnection);
}

void SingleInstanceApp::readConnection()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
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
    QLocalSocket socket;
    socket.connectToServer(key + QStringLiteral(".sock"));
    if (!socket.waitForConnected(timeout))
        return false;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << message;
    socket.write(bytes);
    if (!socket.waitForBytesWritten(timeout))
        return false;
    // Wait until the receiver has read the message and hung up.
    if (socket.state() == QLocalSocket::ConnectedState)
        socket.waitForDisconnected(timeout);
    return true;
}
