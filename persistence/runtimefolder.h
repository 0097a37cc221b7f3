#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its "./modules/..." files, and making that folder
// the current directory.
//
// A build tree or a portable copy works in the executable's own folder. An
// installed copy (marked by installedMarker beside the executable) is
// read-only for its users, so each user works in a folder of their own,
// userFolder(): the first start copies the shipped "modules" folder there,
// later starts add shipped files that are missing and never touch the
// user's own.
namespace runtimefolder {

// The file whose presence beside the executable marks an installed copy.
inline constexpr char installedMarker[] = "r770.installed";

struct Outcome
{
    bool ok = false;
    QString folder; // the folder made current (holds "modules")
    QString error;  // why it failed, for the user
    QString notes;  // what could not be added, when ok anyway
};

bool isInstalledCopy(const QString &executableFolder);

// $XDG_DATA_HOME/r770, by default ~/.local/share/r770.
QString userFolder();

// Makes sure userFolder/modules holds the shipped files. The first copy is
// made in a staging folder and renamed into place only when complete, so
// "modules" never exists half-copied. Later calls add each shipped file
// that is missing; files that exist are left as they are.
Outcome prepareUserFolder(const QString &shippedModules, const QString &userFolder);

// What stands in the way of the files the program keeps in the current
// folder's "modules" (a folder where a file or its lock should be, a file
// that cannot be read or written), one "path: why" line each. The program
// starts regardless; saves of those files fail and say so.
QStringList damagedFiles();

// The whole rule for the running executable: picks the folder, prepares it
// for an installed copy, and makes it the current directory.
Outcome enter();

} // namespace runtimefolder
