#pragma once

#include <QStringList>
#include <QVariantList>

// The name lists of "./modules/setting/name.bin": macros, weapons, profiles
// and the unused weapon selection, each one list-valued entry.
namespace namelists {

enum Type : uint { Macros = 0, Guns = 1, Profiles = 2, SelectedGuns = 3 };

// Appended to a one-element list so that it stays a list in the file.
// Readers drop it when it is the second of exactly two elements.
extern const char *const Padding;

// The entry of a list type; empty for an unknown type.
QString keyFor(uint type);

// Replaces list `type`; an empty list removes the entry. An unknown type
// writes nothing. False only when the file could not be written.
bool update(uint type, QStringList names);

// List `type` as stored, padding included; empty for a missing entry, an
// entry that is not a list, or an unknown type.
QVariantList read(uint type);

} // namespace namelists
