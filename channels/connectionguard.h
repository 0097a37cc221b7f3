#pragma once

#include <QHash>
#include <QObject>

class QLocalSocket;
class QTimer;

// Keeps the connections of a local server in bounds: only peers of the
// current user, at most a few at once, and none that stays silent or slow.
// A peer whose request is not complete within the time limit is closed:
// the clock counts from the connection (or the end of its last served
// request), so that a peer sending a byte now and then cannot hold a slot.
class ConnectionGuard : public QObject
{
public:
    static constexpr int DefaultMaxConnections = 8;
    static constexpr int DefaultIdleTimeoutMs = 5000;

    explicit ConnectionGuard(int maxConnections = DefaultMaxConnections,
                             int idleTimeoutMs = DefaultIdleTimeoutMs, QObject *parent = nullptr);

    // Takes a connection just accepted. A refused one (another user's, or
    // one beyond the cap) is closed and deleted later; false then.
    bool admit(QLocalSocket *socket);
    // Holds a connection's clock while its request is being served; ending
    // the service starts it afresh.
    void setServing(QLocalSocket *socket, bool serving);
    int held() const { return int(clocks.size()); }

private:
    void release(QLocalSocket *socket);

    int maxConnections;
    int idleTimeoutMs;
    QHash<QLocalSocket *, QTimer *> clocks;
};
