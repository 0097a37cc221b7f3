#pragma once

#include <QApplication>
#include <memory>

class ConnectionGuard;
class QLocalServer;
class QLocalSocket;
namespace localchannel {
class InstanceLock;
}

// A QApplication that knows whether another instance of the same executable
// already runs for this user, and passes messages to it. The lock and the
// message channel sit in the user's private folder, named after the
// executable's absolute path; the lock is released by the system when its
// holder ends, so a crash never blocks the next start.
class SingleInstanceApp : public QApplication
{
    Q_OBJECT

public:
    SingleInstanceApp(int &argc, char **argv);
    ~SingleInstanceApp() override;

    // True when another instance of ours runs: it holds the lock and its
    // channel accepts us. The first call decides; the instance that wins
    // starts listening for messages.
    bool isRunning();
    // Delivers a message to the running instance, waiting at most timeout ms
    // in all.
    bool sendMessage(const QString &message, int timeout);

    // Name of the lock and the channel of an executable.
    static QString channelName(const QString &executablePath);

signals:
    void messageReceived(const QString &message);

private:
    void startListening();
    void readConnections();
    bool connectToRunning(int timeout);

    QString name;
    std::unique_ptr<localchannel::InstanceLock> lock;
    QLocalServer *server = nullptr;
    ConnectionGuard *guard = nullptr;
    // The connection to the running instance, found by isRunning.
    std::unique_ptr<QLocalSocket> peer;
    bool decided = false;
    bool running = false;
};
