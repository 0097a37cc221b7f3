#pragma once

#include <QHash>
#include <QObject>

class QLocalSocket;
class QTimer;

// Keeps the connections of a local server in bounds: only peers of the
// current user, at most a few at once, and none that stays silent. A peer
// that sends nothing for the idle time is closed; data restarts its clock.
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
    // Holds a connection's idle clock while its request is being served.
    void setServing(QLocalSocket *socket, bool serving);
    int held() const { return int(clocks.size()); }

private:
    void release(QLocalSocket *socket);

    int maxConnections;
    int idleTimeoutMs;
    QHash<QLocalSocket *, QTimer *> clocks;
};
