#pragma once

#include <QString>

// Whether the user's desktop session starts the program: on Linux the
// user's XDG autostart entry, on Windows the user's Run key. The entry
// starts the program as its menu entry does, with no arguments.
namespace autostart {

bool isEnabled();

// Writes or removes the entry; on failure, error says why.
bool setEnabled(bool enabled, QString *error);

} // namespace autostart
