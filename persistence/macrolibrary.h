#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSettings;

// The macro files "./modules/macro/<name>.bin" and the profile entries that
// name them. A macro name is a file name: every operation on files refuses
// (false, empty result, nothing written) a name that could not be one or that
// would reach outside the macro folder.
namespace macrolibrary {

// Steps read or written at most. A macro file is read whole, also when it
// holds far more than the mouse's 128-byte block takes (62 actions): such a
// macro is refused for sending, never cut. The bound only keeps a damaged
// step count from filling memory; a file within the size cap holds fewer
// steps than this unless its steps are a few characters each.
constexpr int MaxSteps = 65536;
// Profile slots whose macro references are kept in step with the library.
constexpr int ProfileSlotsWalked = 6;
// First code of a key assignment that runs a macro.
constexpr int MacroKeyType = 4;

bool isValidName(const QString &name);
// The macro's file path; empty for an invalid name.
QString macroPath(const QString &name);
bool exists(const QString &name);

// Creates the file or re-initialises its "config" group (steps are kept).
bool create(const QString &name, uint macroIndex);
// Replaces the steps and the repeat count of an existing macro.
bool save(const QString &name, const QStringList &steps, const QVariant &repeat);
// The steps followed by the repeat count; empty when there is no such macro.
// Steps run to "config/total" or to the last step the file holds, whichever
// comes first; a missing step within them reads as "0".
QStringList load(const QString &name);
bool remove(const QString &name);

// Renames the macro file and then the "mouseMacroKey" entries of profile
// slots 0 to 5 that name it. Nothing changes when the new name is taken.
bool rename(const QList<QSettings *> &profiles, const QString &oldName, const QString &newName);

// Gives every key of profile slots 0 to 5 that runs the macro `name` the
// factory profile's assignment of that key. Touches no macro file, so it
// takes any name but the empty one.
bool unbindFromProfiles(const QList<QSettings *> &profiles, QSettings *factory, const QString &name);

// Brings the library, its name list and the profiles back in step after an
// operation on several files was cut short: a listed name without a file is
// dropped, a file not listed is listed again, and a key of profile slots 0
// to 5 running a macro without a file gets its factory assignment, as a
// delete gives it. Returns what was repaired, one line each.
QStringList repair();

// Copies `source` in as the macro `name` unless a macro of that name exists.
// True when the macro exists afterwards.
bool importFrom(const QString &name, const QString &source);
// Writes the macro's file to `target`, replacing it only once complete.
bool exportTo(const QString &name, const QString &target);

} // namespace macrolibrary
