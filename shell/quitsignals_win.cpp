#include "quitsignals.h"

// A Windows GUI program gets no such signals: the end of a session reaches
// it as window messages, which the framework handles.
void quitOnTerminationSignals(QObject *, std::function<void()>) {}
