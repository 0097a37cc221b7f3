#pragma once

// The program as it ships (runApplication), with a virtual R770 plugged in
// when asked, and a probe that reports to the benchmark on stdout:
//   mark initUI <ns>             the scene's first initUI has returned
//   key <code> <ns>              the scene's detectKeyboard saw a key go down
//   op <name> <wall ns> <pauses> <pause ms>
//   flow <save|switch> <wall ns> <pauses> <pause ms>
//   done <command>
// and takes commands on stdin, one a line: ops <repeats>, save, switch,
// hide, quit.
// Times are on the monotonic clock.
enum class VirtualMouse { None, Hid553, Hid560 };

int runProgramRole(int &argc, char **argv, VirtualMouse mouse);
