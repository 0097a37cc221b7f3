#include "connectionguard.h"

#include "localchannel.h"

#include <QLocalSocket>
#include <QTimer>

ConnectionGuard::ConnectionGuard(int maxConnections, int idleTimeoutMs, QObject *parent)
    : QObject(parent), maxConnections(maxConnections), idleTimeoutMs(idleTimeoutMs)
{
}

bool ConnectionGuard::admit(QLocalSocket *socket)
{
    if (held() >= maxConnections || !localchannel::peerIsCurrentUser(*socket)) {
        socket->abort();
        socket->deleteLater();
        return false;
    }
    auto *clock = new QTimer(socket);
    clock->setSingleShot(true);
    clock->setInterval(idleTimeoutMs);
    connect(clock, &QTimer::timeout, socket, &QLocalSocket::abort);
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { release(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { release(socket); });
    clocks.insert(socket, clock);
    clock->start();
    return true;
}

void ConnectionGuard::setServing(QLocalSocket *socket, bool serving)
{
    QTimer *clock = clocks.value(socket);
    if (!clock)
        return;
    if (serving)
        clock->stop();
    else
        clock->start();
}

void ConnectionGuard::release(QLocalSocket *socket)
{
    clocks.remove(socket);
}
