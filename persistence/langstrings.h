#pragma once

#include <QString>
#include <QStringList>

// The language files "./modules/i18n/<language>.ini" (UTF-8): each group of
// texts holds "total" and the entries 0 to total - 1.
namespace langstrings {

// Texts read from one group at most.
constexpr int MaxTexts = 10000;
// The group whose first texts become the device-event notices.
extern const char *const EventGroup;

// The path of a language file; empty for a language name that is not a
// plain file name.
QString languagePath(const QString &langCode);

// The languages there are files for (their base names), sorted.
QStringList available();

// The texts of `group`; a missing entry gives an empty text, a missing file
// or group an empty list. Reading EventGroup also updates deviceEventTexts
// (entries beyond the group's texts keep theirs).
QStringList read(const QString &group, const QString &langCode);

} // namespace langstrings
