#pragma once

// r770ctl's front end: the application object, the runtime folder, one
// request handled by the command library, its output and exit status.
namespace ctl {

int run(int argc, char **argv);

} // namespace ctl
