#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The program's own diagnostic log: every line of Qt's message output (the
// debug lines of the link and the files included) is also kept in a file in
// the per-user data folder, so that a diagnostic report can show what
// happened before it was made. The file is rotated once to "<file>.1", so
// the two together never hold more than the cap. No folder is made for it:
// the log is kept once the per-user folder exists (an installed copy makes
// it at its first start).
namespace diaglog {

inline constexpr qint64 defaultCap = 512 * 1024;

// userFolder()/r770.log.
QString path();

// Appends `line` and a newline to `file`; when the file would grow past
// half the cap it first becomes "<file>.1" (replacing the older one). A
// line longer than half the cap is cut. False when nothing was written (for
// instance when the folder does not exist).
bool append(const QString &file, const QString &line, qint64 cap = defaultCap);

// The last `count` lines of `file` (its rotated part first).
QStringList tail(const QString &file, int count);

// Installs a message handler that writes each message, with the time and
// `program`, to path() and then hands it to the handler installed before
// (Qt's own output on stderr when there was none).
void install(const QString &program);

} // namespace diaglog
