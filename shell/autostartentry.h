#pragma once

#include <QByteArray>
#include <QString>

// The XDG autostart entry of the program, as text.
namespace autostartentry {

// The same id as the installed menu entry, so desktops see one program.
inline constexpr char desktopFileId[] = "com.braxtel.r770.desktop";

// The entry that starts the program at programPath with no arguments.
QByteArray text(const QString &programPath);

// False when a desktop has switched the entry off in place (Hidden=true,
// X-GNOME-Autostart-enabled=false).
bool isActive(const QByteArray &entry);

// programPath as the single argument of an Exec key, quoted and escaped
// as desktop entries require.
QString execArgument(const QString &programPath);

} // namespace autostartentry
