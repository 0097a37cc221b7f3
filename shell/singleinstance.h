#pragma once

#include <QApplication>
#include <QLockFile>
#include <memory>

class QLocalServer;

// A QApplication that knows whether another instance of the same executable
// already runs for this user, and passes messages to it. The identity is
// derived from the executable's absolute path; the lock file keeps the
// claim, a local server of the current user receives the messages. A lock
// left by a crashed instance is detected as stale and taken over.
class SingleInstanceApp : public QApplication
{
    Q_OBJECT

public:
    SingleInstanceApp(int &argc, char **argv);
    ~SingleInstanceApp() override;

    // True when another instance holds the claim. The first call decides;
    // the instance that wins starts listening for messages.
    bool isRunning();
    // Delivers a message to the running instance, waiting at most timeout ms.
    bool sendMessage(const QString &message, int timeout);

    // Name shared by the lock file and the server of this executable.
    static QString instanceKey(const QString &executablePath);

signals:
    void messageReceived(const QString &message);

private:
    void startListening();
    void readConnection();

    QString key;
    std::unique_ptr<QLockFile> lock;
    QLocalServer *server = nullptr;
    bool decided = false;
    bool running = false;
};
