#include "cli.h"

#include "ctl.h"
#include "diaglog.h"

#include <QCoreApplication>
#include <cstdio>

namespace ctl {

namespace {

// The device link and the files write debug lines; a command-line user
// sees them only when asking for them.
void messages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg && !verbose())
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(messages);
    // Kept for diagnostic reports, whatever reaches stderr.
    diaglog::install(QStringLiteral("r770ctl"));
    const QStringList arguments = app.arguments().mid(1);

    const Reply reply = handle(arguments, true);
    if (!reply.out.isEmpty()) {
        std::fputs(reply.out.toUtf8().constData(), stdout);
        std::fflush(stdout);
    }
    if (!reply.err.isEmpty())
        std::fprintf(stderr, "r770ctl: %s\n", qPrintable(reply.err));
    return reply.code;
}

} // namespace ctl
