#pragma once

#include <QList>
#include <QString>

class ControllerCore;
class SceneRules;

// The profiles as the window's profile selector lists them (the scene's
// rules for the profile name list): each entry a name and the number of the
// profile file it stands for; one of them is in use.
namespace profiles {

struct Entry
{
    int number = 0; // position in the list, from 1
    QString name;
    int slot = 0;   // the profile file: 0 to 9
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
    // How a profile is shown: "1 (Standard)", or its file when no entry
    // stands for it.
    QString shownAs(int slot) const;
    // The same in a message: "profile 1 (Standard)".
    QString label(int slot) const;
};

List read(ControllerCore &core, const SceneRules &rules);

} // namespace profiles
