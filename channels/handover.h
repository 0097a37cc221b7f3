#pragma once

#include "reply.h"

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

#include "connectionguard.h"

class QLocalSocket;

// r770ctl's requests handed to a running tray program, which performs them
// on its own controller and link, so that only one process ever talks to
// the mouse. The channel is a local socket in the user's private folder;
// the program takes requests from processes of its own user only. A
// request is not a start of the program: it never shows the window.
namespace handover {

// The tray programs r770ctl hands requests to: r770 and the demo, in the
// folder of r770ctl.
QStringList trayPrograms(const QString &folder);

// The request channel of a tray program, and the lock held by whoever
// talks to the mouse: the program from its first look for the mouse until
// it ends, or one r770ctl while it performs a request itself. Both are named
// after the program's executable.
QString channelName(const QString &programPath);
QString mouseLockName(const QString &programPath);

// The bytes of a request, as send() writes them.
QByteArray requestFrame(const QStringList &arguments);

enum class Outcome {
    Answered,    // the reply is the program's
    Unreachable, // no program of this user took the request; nothing was done
    Lost,        // the program stopped answering once it had the request
};

// Hands `arguments` (the words after "r770ctl") to the program and waits for
// its reply. `waiting` is called once if the program must finish something
// first.
Outcome send(const QString &programPath, const QStringList &arguments, ctl::Reply &reply,
             const std::function<void()> &waiting, int timeoutMs);

// The program's side: takes requests one at a time, in the order they came.
// `perform` gives the reply, or nothing while the program cannot take the
// request yet; it is then asked again a little later, and the request is
// refused once it has waited for a minute.
class RequestServer : public QObject
{
public:
    using Perform = std::function<std::optional<ctl::Reply>(const QStringList &arguments)>;

    RequestServer(const QString &programPath, Perform perform, QObject *parent = nullptr);
    ~RequestServer() override;

    bool isListening() const { return server.isListening(); }

private:
    struct Pending
    {
        QPointer<QLocalSocket> socket;
        QStringList arguments;
        qint64 since = 0;
        bool told = false;  // the peer knows it waits
        bool taken = false; // the peer knows the request is taken
    };

    void acceptConnections();
    void read(QLocalSocket *socket);
    void serve();

    Perform perform;
    QLocalServer server;
    ConnectionGuard guard;
    QList<Pending> queue;
    QTimer retry;
    bool serving = false;
};

} // namespace handover
