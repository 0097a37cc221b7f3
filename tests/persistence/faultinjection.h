#pragma once

#include <QString>

// Fails the file calls (write, fsync, fdatasync, rename, link, linkat) that
// touch files below a folder, counted from arm(): the call numbered `at`
// fails (a write with ENOSPC, a sync with EIO). Sticky keeps failing every
// later call, as a full disk does, and lets half of the first write land.
// at = 0 only counts. Given `only`, just the calls of that name count, and
// "read" (never counted otherwise) can be failed too, with EIO.
namespace faultinjection {

enum Mode { Once, Sticky };

void arm(const QString &folder, long at, Mode how = Once, const char *only = nullptr);
void disarm();
long calls();

} // namespace faultinjection
