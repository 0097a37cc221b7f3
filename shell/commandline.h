#pragma once

#include <QString>

// The program's own options, read before anything else starts (no display
// is needed for --help and --version).
namespace commandline {

enum class Action { Run, Help, Version, Refuse };

struct Options
{
    Action action = Action::Run;
    // Started by the session's autostart entry: where there is no tray the
    // window waits hidden until the mouse first arrives.
    bool atLogin = false;
    // The argument that was refused.
    QString refused;
};

// The option the autostart entry passes.
inline constexpr const char *atLoginOption = "--autostart";

Options parse(int argc, char **argv);
QString helpText();
QString versionText();
QString usageLine();

// Prints the help or the version, or refuses, and returns the exit code;
// returns -1 when the program is to run.
int answer(const Options &options);

} // namespace commandline
