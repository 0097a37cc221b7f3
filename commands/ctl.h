#pragma once

#include "reply.h"

#include <QStringList>

// r770ctl: the mouse from the command line, with the window's files, device
// table, discovery and controller operations.
namespace ctl {

class Host;

// Handles one request given as the words after the program's name, in the
// current process: parses it, enters the runtime folder (unless the caller
// is in it already), checks the values against the files, claims the mouse
// when it needs it and performs it.
Reply handle(const QStringList &arguments, bool enterRuntimeFolder);

// Performs a request that r770ctl handed to a running program, on that
// program's controller, link and files (see handover.h).
Reply perform(const QStringList &arguments, Host &host);

// Whether the request last handled asked for the link's and the files'
// debug lines (--verbose).
bool verbose();

} // namespace ctl
