// The two ends of r770ctl's request channel in a process of their own, for
// the test that runs them as another local user.
//   handover_probe serve PROGRAM     takes requests for PROGRAM, prints each
//                                    one it performs ("performed: WORDS")
//   handover_probe send PROGRAM WORDS...  hands WORDS over, prints the reply
#include "handover.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args.at(0) == "serve") {
        handover::RequestServer server(args.at(1), [](const QStringList &words) {
            std::printf("performed: %s\n", qPrintable(words.join(' ')));
            std::fflush(stdout);
            return std::optional<ctl::Reply>(ctl::Reply{0, "done", QString()});
        });
        std::printf(server.isListening() ? "listening\n" : "cannot listen\n");
        std::fflush(stdout);
        return app.exec();
    }
    if (args.size() >= 3 && args.at(0) == "send") {
        ctl::Reply reply;
        const handover::Outcome outcome = handover::send(args.at(1), args.mid(2), reply, {}, 10000);
        std::printf("%s %d %s\n", outcome == handover::Outcome::Answered ? "answered" : "unanswered", reply.code,
                    qPrintable(reply.out));
        return 0;
    }
    return 2;
}
