// The two ends of r770ctl's request channel in processes of their own:
//   handover_probe serve PROGRAM  takes requests for PROGRAM and ends
//                                 abruptly while performing the first
//   handover_probe send PROGRAM WORDS...  hands WORDS over, prints the reply
#include "handover.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args.at(0) == "serve") {
        handover::RequestServer server(args.at(1), [](const QStringList &) -> std::optional<ctl::Reply> {
            std::_Exit(9);
        });
        std::printf(server.isListening() ? "listening\n" : "cannot listen\n");
        std::fflush(stdout);
        return app.exec();
    }
    if (args.size() >= 3 && args.at(0) == "send") {
        ctl::Reply reply;
        const handover::Outcome outcome = handover::send(args.at(1), args.mid(2), reply, {}, 10000);
        const char *said = outcome == handover::Outcome::Answered ? "answered"
                           : outcome == handover::Outcome::Lost   ? "lost"
                                                                  : "unanswered";
        std::printf("%s %d %s\n", said, reply.code, qPrintable(reply.out));
        return 0;
    }
    return 2;
}
