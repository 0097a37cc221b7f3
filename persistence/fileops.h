#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// Replaces `target` by a copy of `source` through writeChecked, so a
// failure leaves the target as it was. Copying a file onto itself is a
// successful no-op. `locked` as for writeChecked.
bool replaceWithCopy(const QString &source, const QString &target, bool locked = false, QString *why = nullptr);

// Writes `bytes` as the whole content of `path`: into a temporary file
// beside it ("<name>.XXXXXX"), flushed and synced to disk, read back and
// compared, and only then renamed over `path`. On failure `path` is as it
// was, no temporary file stays, and `why` (when given) says what went wrong.
// With `locked`, the write holds "<path>.lock" as QSettings does.
bool writeChecked(const QString &path, const QByteArray &bytes, bool locked, QString *why = nullptr);

// Makes sure "<path>.lock" can be taken: a lock left by a process that is
// gone (or an empty one left by a crash) is removed at once; a lock held by
// a live process is waited for a few seconds at most; anything else in its
// place (a folder) fails at once. False with `why` when the lock cannot be
// had.
bool clearLock(const QString &path, QString *why = nullptr);

// A new name beside `path` of the form temporary copies use,
// "<path>.XXXXXX"; nothing is created.
QString siblingName(const QString &path);

// Removes the temporary copies "<name>.bin.XXXXXX" that an interrupted save
// left in `folder` (older than a few seconds, so that another process's
// save in progress is left alone). Returns the names removed.
QStringList removeLeftovers(const QString &folder);

} // namespace fileops
