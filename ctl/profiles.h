#pragma once

#include <QList>
#include <QString>

class ControllerCore;

// The profiles as the window's profile selector lists them: the entries of
// the profile name list, each a name followed by the one digit of the
// profile file it stands for; the active one is "mouse/profileNo".
namespace profiles {

struct Entry
{
    int number = 0; // position in the list, from 1
    QString name;
    int slot = -1;  // 0 to 9, or -1 for an entry without a digit
};

struct List
{
    QList<Entry> entries;
    int activeSlot = 0;

    const Entry *active() const;
    // The entry a user means by `word`: its number in the list, or its name
    // (exact, then ignoring case). Null, with the reason, when none.
    const Entry *find(const QString &word, QString *why) const;
    // "1 Standard, 2 Work" for messages.
    QString summary() const;
};

List read(ControllerCore &core);

// How a profile is named in messages: "1 (Standard)", or its file when the
// list does not show it.
QString label(const List &list, int slot);

} // namespace profiles
