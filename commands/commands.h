#pragma once

#include "reply.h"

#include "deviceentry.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class ControllerCore;
class Hid_Thread;
class SceneRules;

namespace ctl {

// What a request needs besides reading the files.
enum class Access {
    ReadFiles,  // reads files only
    WriteFiles, // changes files: never while the tray program runs
    Mouse,      // talks to the mouse (and changes files)
    Status,     // talks to the mouse when it can, reports either way
    Library,    // changes files, and sends to the mouse when one is there
};

// The window's pages, as its scene names them: what a request changed and
// a window showing the files must read again.
namespace page {
inline constexpr char keys[] = "keys";
inline constexpr char liftOff[] = "liftOff";
inline constexpr char dpi[] = "dpi";
inline constexpr char lighting[] = "lighting";
inline constexpr char pointer[] = "pointer";
inline constexpr char profile[] = "profile"; // the profile in use
inline constexpr char macros[] = "macros";   // the macro library
} // namespace page

// Where a request is performed: a controller on the user's files and, for
// the requests that need it, the link to an accepted mouse. Whoever holds
// those can perform a request: r770ctl with its own, the tray program with
// the window's.
struct Context
{
    explicit Context(ControllerCore &controller) : core(controller) {}

    ControllerCore &core;
    Hid_Thread *link = nullptr; // set for Mouse requests and a found mouse
    DeviceEntry entry;          // the accepted mouse's device-table entry
    Reply unavailable;          // Status only: why the mouse could not be used
    // Status only: whether a mouse is present and could be opened; empty
    // when r770ctl could not look (the mouse was held elsewhere).
    std::optional<bool> found, openable;
    bool json = false;
    bool verbose = false; // --verbose: status names the keys too
    Reply reply;
    // What the request changed, once it is stored: the pages to read again
    // and the DPI stage made active (0: none).
    QStringList changedPages;
    int activeStage = 0;
};

using Action = std::function<void(Context &)>;

// A request checked against the files before anything is changed or sent:
// the action to perform, or the refusal.
struct Prepared
{
    Action action;
    Reply refusal;
};

struct Command
{
    QStringList words; // "dpi", "set"
    QString arguments; // "VALUE..."
    QString summary;
    QString details;
    Access access;
    bool takesJson; // prints JSON of its own; the others' --json output is made from their reply
    std::function<Prepared(const QStringList &args, ControllerCore &core, const SceneRules &rules)> prepare;
    // The argument that names a file of the caller's (-1: none); a relative
    // name is taken from the folder r770ctl was started in.
    int fileArgument = -1;

    QString usage() const;
};

// Every command, in the order --help lists them.
const std::vector<Command> &commands();

// The commands of each part.
void addFileCommands(std::vector<Command> &table);
void addMouseCommands(std::vector<Command> &table);
void addMacroCommands(std::vector<Command> &table);
void addApplyCommand(std::vector<Command> &table);
void addAutoCommands(std::vector<Command> &table);
void addReportCommand(std::vector<Command> &table);
void addKeyListCommand(std::vector<Command> &table);
void addMacroLibraryCommands(std::vector<Command> &table);
void addProfileShowCommand(std::vector<Command> &table);

} // namespace ctl
