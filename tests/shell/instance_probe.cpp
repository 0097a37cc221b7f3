// Starts like the program does: the first instance reports "first" and waits
// for one start-up message; a later one sends an empty message and exits
// with 1.
//   --paths   prints where this executable's lock and channels are.
#include "copydata.h"
#include "localchannel.h"
#include "singleinstance.h"

#include <QTimer>
#include <cstdio>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    SingleInstanceApp app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--paths")) {
        const QString name = SingleInstanceApp::channelName(QCoreApplication::applicationFilePath());
        const QString folder = localchannel::privateFolder();
        say(QStringLiteral("lock:") + folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
        say(QStringLiteral("instance:") + localchannel::serverName(name));
        say(QStringLiteral("copydata:") + copydata::serverName(QStringLiteral("r770 instance probe")));
        return 0;
    }
    if (app.isRunning()) {
        app.sendMessage(QString(), 5000);
        return 1;
    }
    say(QStringLiteral("first"));
    QObject::connect(&app, &SingleInstanceApp::messageReceived, &app, [](const QString &m) {
        say(QStringLiteral("received:[") + m + QLatin1Char(']'));
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(2); });
    return app.exec();
}
