#include "commandline.h"

#include <cstdio>
#include <cstring>

namespace commandline {

Options parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            options.action = Action::Help;
            return options;
        }
        if (std::strcmp(argument, "--version") == 0) {
            options.action = Action::Version;
            return options;
        }
        if (std::strcmp(argument, atLoginOption) == 0) {
            options.atLogin = true;
            continue;
        }
        options.action = Action::Refuse;
        options.refused = QString::fromLocal8Bit(argument);
        return options;
    }
    return options;
}

QString usageLine()
{
    return QStringLiteral("Usage: r770 [--autostart] [--help] [--version]");
}

QString helpText()
{
    return usageLine()
           + QStringLiteral(
               "\n"
               "Settings of the BRAXTEL SOLVAR MOUSE R770: DPI stages, buttons, macros,\n"
               "lighting and profiles. The program runs once per user; starting it again\n"
               "brings its window forward.\n"
               "\n"
               "Options:\n"
               "  --autostart  started with the desktop session: where the desktop shows no\n"
               "               tray icons, the window stays hidden until the mouse is first\n"
               "               connected\n"
               "  -h, --help   show this help and exit\n"
               "  --version    show the version and exit\n");
}

QString versionText()
{
    return QStringLiteral("r770 " R770_VERSION "\n");
}

int answer(const Options &options)
{
    switch (options.action) {
    case Action::Run:
        return -1;
    case Action::Help:
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Version:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Refuse:
        std::fprintf(stderr, "r770: unknown option '%s'\n%s\n", options.refused.toLocal8Bit().constData(),
                     usageLine().toLocal8Bit().constData());
        return 2;
    }
    return -1;
}

} // namespace commandline
