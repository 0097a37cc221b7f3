#pragma once

#include <QString>

// File-level helpers shared by the persistence operations. Every function
// reports failure by returning false and leaves the files as they were.
namespace fileops {

// Largest file we open as INI from outside (imported profiles and macros,
// macro and language files). A real one is a few kilobytes; anything far
// larger is not ours.
constexpr qint64 MaxIniFileBytes = 4 * 1024 * 1024;

// Whether `name` can be used as the base name of a file in one of our
// folders: not empty, not "." or "..", no path separator of any system, no
// control character, and short enough (with `suffix`) for the file system.
bool isSafeBaseName(const QString &name, const QString &suffix);

// Whether two paths name the same existing file.
bool isSameFile(const QString &a, const QString &b);

// Whether `path` is an existing regular file of at most `maxBytes`.
bool isReadableFile(const QString &path, qint64 maxBytes);

// Replaces `target` by a copy of `source`. The copy is written to a
// temporary file beside the target and swapped in only once complete, so a
// failure leaves the target as it was. Copying a file onto itself is a
// successful no-op.
bool replaceWithCopy(const QString &source, const QString &target);

} // namespace fileops
