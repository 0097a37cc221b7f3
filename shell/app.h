#pragma once

#include <functional>

class Widget;

// The entry function's work: single instance, working directory, the host
// window, input hooks, first discovery, event loop and shutdown.
// beforeDiscovery runs once the window exists, before the input hooks are
// installed and the first discovery (the demo attaches its virtual mouse
// there). Returns the process's exit code: 1 when another instance runs,
// cannotStartExitCode when the runtime folder cannot be prepared.
// atLogin: started by the session's autostart entry; the window is not
// shown at start (without a tray it appears when the mouse first arrives).
int runApplication(int &argc, char **argv,
                   const std::function<void(Widget &)> &beforeDiscovery = {},
                   bool atLogin = false);

inline constexpr int cannotStartExitCode = 2;
