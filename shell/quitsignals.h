#pragma once

#include <functional>

class QObject;

// Ends the program cleanly when the system asks it to stop: the session
// ending (SIGTERM), Ctrl+C in a terminal (SIGINT) or the terminal closing
// (SIGHUP). quit runs on the GUI thread from the event loop, so the usual
// shutdown follows. Installed once; context owns the listener.
void quitOnTerminationSignals(QObject *context, std::function<void()> quit);
