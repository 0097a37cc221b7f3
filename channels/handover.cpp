#include "handover.h"

#include "localchannel.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QLocalSocket>

namespace handover {

namespace {

// A request: the mark, then the words. An answer: its kind, and for the
// reply the exit status and both texts.
constexpr quint32 requestMark = 0x52374331; // "R7C1"
constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;
// Taken comes before the program starts on a request: from then on a
// program that goes away may have done it in part.
enum AnswerKind : quint8 { Waiting = 1, Done = 2, Taken = 3 };

// Requests are a few words; anything larger is not ours.
constexpr qint64 maxRequestBytes = 64 * 1024;
constexpr int connectTimeoutMs = 2000;
// How often a request that must wait is tried again, and for how long.
constexpr int retryMs = 50;
constexpr qint64 longestWaitMs = 60000;

QByteArray frame(const std::function<void(QDataStream &)> &write)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    write(out);
    return bytes;
}

QString suffixed(const QString &programPath, const char *suffix)
{
    return localchannel::instanceName(programPath) + QLatin1String(suffix);
}

} // namespace

QStringList trayPrograms(const QString &folder)
{
    return {folder + QStringLiteral("/r770"), folder + QStringLiteral("/r770-demo")};
}

QString channelName(const QString &programPath)
{
    return suffixed(programPath, "-requests");
}

QString mouseLockName(const QString &programPath)
{
    return suffixed(programPath, "-mouse");
}

QByteArray requestFrame(const QStringList &arguments)
{
    return frame([&](QDataStream &out) { out << requestMark << arguments; });
}

Outcome send(const QString &programPath, const QStringList &arguments, ctl::Reply &reply,
             const std::function<void()> &waiting, int timeoutMs)
{
    const QString name = localchannel::serverName(channelName(programPath));
    if (name.isEmpty())
        return Outcome::Unreachable;
    QLocalSocket socket;
    socket.connectToServer(name);
    // Only a program of this user may see the request.
    if (!socket.waitForConnected(connectTimeoutMs) || !localchannel::peerIsCurrentUser(socket))
        return Outcome::Unreachable;
    socket.write(requestFrame(arguments));
    if (!socket.waitForBytesWritten(connectTimeoutMs))
        return Outcome::Unreachable;

    const QDeadlineTimer deadline(timeoutMs);
    QDataStream in(&socket);
    in.setVersion(streamVersion);
    bool heard = false;
    for (;;) {
        in.startTransaction();
        quint8 kind = 0;
        qint32 code = 0;
        QString out, err;
        in >> kind;
        if (kind == Done)
            in >> code >> out >> err;
        if (in.commitTransaction()) {
            if (kind == Done) {
                reply = {code, out, err};
                return Outcome::Answered;
            }
            if (kind == Taken) {
                heard = true;
                continue;
            }
            if (kind != Waiting)
                break;
            heard = true;
            if (waiting)
                waiting();
            continue;
        }
        if (socket.state() != QLocalSocket::ConnectedState
            || !socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    // A program that closes without a word refused the request before
    // taking it; one that had answered may have done part of it.
    return heard || deadline.hasExpired() ? Outcome::Lost : Outcome::Unreachable;
}

RequestServer::RequestServer(const QString &programPath, Perform perform, QObject *parent)
    : QObject(parent), perform(std::move(perform))
{
    server.setSocketOptions(QLocalServer::UserAccessOption);
    retry.setSingleShot(true);
    retry.setInterval(retryMs);
    connect(&retry, &QTimer::timeout, this, &RequestServer::serve);
    connect(&server, &QLocalServer::newConnection, this, &RequestServer::acceptConnections);
    const QString name = localchannel::serverName(channelName(programPath));
    if (name.isEmpty())
        return;
    // The program holds its single-instance lock: whatever is at the name is
    // a leftover.
    QLocalServer::removeServer(name);
    server.listen(name);
}

RequestServer::~RequestServer()
{
    server.close();
}

void RequestServer::acceptConnections()
{
    while (QLocalSocket *socket = server.nextPendingConnection()) {
        // Another user's request is closed unread.
        if (!guard.admit(socket))
            continue;
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        read(socket);
    }
}

void RequestServer::read(QLocalSocket *socket)
{
    if (socket->bytesAvailable() > maxRequestBytes) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.setVersion(streamVersion);
    in.startTransaction();
    quint32 mark = 0;
    QStringList arguments;
    in >> mark >> arguments;
    if (!in.commitTransaction()) {
        if (mark != 0 && mark != requestMark)
            socket->abort();
        return; // wait for the rest
    }
    if (mark != requestMark) {
        socket->abort();
        return;
    }
    // One request per connection: what else comes is not read.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    guard.setServing(socket, true);
    queue.append({socket, arguments, QDateTime::currentMSecsSinceEpoch(), false, false});
    serve();
}

void RequestServer::serve()
{
    // A request is performed on the GUI thread and lets events through while
    // it waits for the mouse; requests that arrive meanwhile queue up.
    if (serving)
        return;
    serving = true;
    while (!queue.isEmpty()) {
        if (!queue.first().socket || queue.first().socket->state() != QLocalSocket::ConnectedState) {
            queue.removeFirst();
            continue;
        }
        // The peer learns that the request is taken before anything is done:
        // if this program then goes away, r770ctl must not do it again.
        if (!queue.first().taken) {
            queue.first().socket->write(frame([](QDataStream &out) { out << quint8(Taken); }));
            queue.first().socket->flush();
            queue.first().taken = true;
        }
        // Requests may be added while this one is performed: the head is
        // looked up again afterwards.
        std::optional<ctl::Reply> reply = perform(queue.first().arguments);
        Pending &head = queue.first();
        if (!head.socket) { // the peer went away meanwhile
            queue.removeFirst();
            continue;
        }
        if (!reply) {
            if (QDateTime::currentMSecsSinceEpoch() - head.since < longestWaitMs) {
                if (!head.told) {
                    head.socket->write(frame([](QDataStream &out) { out << quint8(Waiting); }));
                    head.told = true;
                }
                retry.start();
                break;
            }
            reply = ctl::Reply::failure(
                ctl::MouseInUse, QCoreApplication::translate("r770ctl", "the r770 program has been busy with the "
                                                                        "mouse for a minute; try again later"));
        }
        head.socket->write(frame([&](QDataStream &out) {
            out << quint8(Done) << qint32(reply->code) << reply->out << reply->err;
        }));
        head.socket->flush();
        head.socket->disconnectFromServer();
        queue.removeFirst();
    }
    serving = false;
}

} // namespace handover
