#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Profiles tied to applications: which profile goes in use while a given
// program's window is in front, and the fallback for every other window.
// Kept per user in "./modules/setting/autoProfiles.bin", an INI text file:
//
//   [autoProfiles]
//   enabled=true
//   fallback=1
//   [programs]
//   firefox=2
//   wine64-preloader=3
//
// Profiles are numbered as their files (1 = p1.bin). A program name matches
// a window whose program (the executable's name) or WM_CLASS instance or
// class equals it, ignoring case. Parsing and matching are pure; load() and
// save() touch the disk.
namespace autoprofiles {

constexpr int SlotCount = 10;
// A real file holds a few lines; anything larger is not ours.
constexpr qint64 MaxFileBytes = 64 * 1024;

struct Rule
{
    QString program;
    int slot = 0; // the profile file, 0 to 9
};

struct Rules
{
    bool enabled = true;
    int fallback = -1; // slot, -1 while none is chosen
    QList<Rule> rules;

    // The rule of `program` (ignoring case), or null.
    const Rule *find(const QString &program) const;
    // Ties `program` to `slot`, replacing its earlier tie. False, with the
    // reason, for a name that cannot be kept.
    bool add(const QString &program, int slot, QString *why = nullptr);
    // Removes the tie of `program` to `slot`; false when there is none.
    bool remove(const QString &program, int slot);
    bool operator==(const Rules &other) const;
};

// What the desktop tells about the window in front.
struct Window
{
    QString program;  // the executable's name, empty when unknown
    QString instance; // WM_CLASS instance
    QString wmClass;  // WM_CLASS class
    QString title;
    qint64 pid = 0;   // the process behind it, 0 when unknown
};

// Whether `name` can be a rule's program name: not empty, at most 255
// characters, no '=', '[', ']', ';' at the start, no control characters.
bool isValidProgram(const QString &name);

// The file's text as rules; nothing, with the reason, for a file that is
// not one of ours (unknown groups or keys, malformed lines, numbers out of
// range, a program tied twice).
std::optional<Rules> parse(const QByteArray &text, QString *why = nullptr);
QByteArray serialize(const Rules &rules);

// The slot the window's profile is in: its rule, else the fallback, else
// -1 (leave the profile as it is).
int slotFor(const Rules &rules, const Window &window);

enum class State { Missing, Loaded, Damaged };
struct Loaded
{
    State state = State::Missing;
    Rules rules;
    QString why; // for a damaged file
};

// Reads the file at `path`. A missing file is no rules (switching on, no
// fallback); an unreadable, damaged or oversized one is Damaged and must not
// be overwritten until the user changes a rule.
Loaded load(const QString &path);
// Writes the rules through the checked write path: true only when they
// reached the disk.
bool save(const QString &path, const Rules &rules, QString *why = nullptr);

QString defaultPath(); // "./modules/setting/autoProfiles.bin"

} // namespace autoprofiles

#include <functional>

namespace autoprofiles {

// A user's change to the rules in the file at `path`: `edit` changes them
// (false, with the reason, refuses). A damaged file is started over, since
// the user has now chosen the rules; a missing one starts with the fallback
// `currentSlot` (the profile in use). True only when the change reached
// the disk.
bool change(const QString &path, int currentSlot, const std::function<bool(Rules &, QString *)> &edit,
            QString *why = nullptr);

} // namespace autoprofiles
