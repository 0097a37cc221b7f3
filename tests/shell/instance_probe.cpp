// Starts like the program does: the first instance reports "first", shows
// the copy-data messages it gets and waits for one start-up message; a later
// one sends an empty message and exits with 1.
//   --paths   prints where this executable's lock and channels are.
//   --squat FOLDER FILE SOCKET...   plays another user who got there first:
//             makes FOLDER open to all, puts junk at FILE and listens on
//             every SOCKET, reporting anything that reaches it.
#include "copydata.h"
#include "inputhook.h"
#include "localchannel.h"
#include "platformhooks.h"
#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

const QString title = QStringLiteral("r770 instance probe");

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct NoHooks : HookBackend
{
    bool install() override { return false; }
    void remove() override {}
};

int squat(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    if (args.size() < 2)
        return 2;
    QDir().mkpath(args.at(0));
    ::chmod(QFile::encodeName(args.at(0)).constData(), 0777);
    QFile junk(args.at(1));
    if (junk.open(QIODevice::WriteOnly))
        junk.write("4194303\nsomeone\nelsewhere\n");
    for (const QString &socketPath : args.mid(2)) {
        auto *server = new QLocalServer(&app);
        server->setSocketOptions(QLocalServer::WorldAccessOption);
        if (!server->listen(socketPath))
            say(QStringLiteral("cannot squat ") + socketPath);
        QObject::connect(server, &QLocalServer::newConnection, server, [server] {
            while (QLocalSocket *socket = server->nextPendingConnection()) {
                say(QStringLiteral("intruder got a connection"));
                QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                    say(QStringLiteral("intruder read ") + QString::fromLatin1(socket->readAll().toHex()));
                });
            }
        });
    }
    say(QStringLiteral("squatting"));
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--squat") == 0)
        return squat(argc, argv);

    SingleInstanceApp app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--paths")) {
        const QString name = SingleInstanceApp::channelName(QCoreApplication::applicationFilePath());
        const QString folder = localchannel::privateFolder();
        say(QStringLiteral("lock:") + folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
        say(QStringLiteral("instance:") + localchannel::serverName(name));
        say(QStringLiteral("copydata:") + copydata::serverName(title));
        return 0;
    }
    if (app.isRunning()) {
        app.sendMessage(QString(), 5000);
        return 1;
    }
    InputHook hook(false, std::make_unique<NoHooks>());
    hook.setCopyDataCallback([](const CopyData &data, void *) { say(QStringLiteral("copydata:") + QString::fromUtf8(data.bytes)); },
                             &app, &app, title);
    say(QStringLiteral("first"));
    QObject::connect(&app, &SingleInstanceApp::messageReceived, &app, [](const QString &m) {
        say(QStringLiteral("received:[") + m + QLatin1Char(']'));
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(2); });
    return app.exec();
}
