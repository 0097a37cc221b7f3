#pragma once

#include <functional>

class Widget;

// The entry function's work: single instance, working directory, the host
// window, input hooks, first discovery, event loop and shutdown.
// beforeDiscovery runs once the window exists, before the input hooks are
// installed and the first discovery (the demo attaches its virtual mouse
// there). Returns the process's exit code.
int runApplication(int &argc, char **argv,
                   const std::function<void(Widget &)> &beforeDiscovery = {});

// Makes the executable's folder the current directory, so that the
// relative "./modules/..." paths resolve beside the program.
bool makeExecutableFolderCurrent();
