// Starts like the program does: the first instance reports "first" and waits
// for one message; a later one sends an empty message and exits with 1.
#include "singleinstance.h"

#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    SingleInstanceApp app(argc, argv);
    if (app.isRunning()) {
        app.sendMessage(QString(), 5000);
        return 1;
    }
    std::printf("first\n");
    std::fflush(stdout);
    QObject::connect(&app, &SingleInstanceApp::messageReceived, &app, [](const QString &m) {
        std::printf("received:[%s]\n", qPrintable(m));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(2); });
    return app.exec();
}
