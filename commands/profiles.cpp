#include "profiles.h"

#include "controllercore.h"
#include "namelists.h"
#include "scenerules.h"

#include <QCoreApplication>

namespace profiles {

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("r770ctl", source);
}

// The window's name of the standard profile (entry 0 of the list).
constexpr int standardProfileText = 5;

} // namespace

List read(ControllerCore &core, const SceneRules &rules)
{
    const QString language = rules.language(core.getGlobalData(QStringLiteral("common/language")));
    const QString standard = core.getLangStrings(QStringLiteral("profile"), language).value(standardProfileText);

    const QList<SceneRules::ProfileEntry> stored = rules.selectorEntries(core.getNameList(namelists::Profiles), standard);
    List list;
    for (const SceneRules::ProfileEntry &entry : stored)
        list.entries.append({int(list.entries.size()) + 1, entry.name, entry.number});
    list.activeSlot = rules.activeProfile(stored, core.getGlobalData(QStringLiteral("mouse/profileNo")));
    return list;
}

const Entry *List::active() const
{
    for (const Entry &entry : entries)
        if (entry.slot == activeSlot)
            return &entry;
    return nullptr;
}

const Entry *List::find(const QString &word, QString *why) const
{
    bool isNumber = false;
    const int number = word.toInt(&isNumber);
    if (isNumber && number >= 1 && number <= entries.size())
        return &entries.at(number - 1);
    if (!isNumber) {
        for (const Entry &entry : entries)
            if (entry.name == word)
                return &entry;
        const Entry *alike = nullptr;
        int matches = 0;
        for (const Entry &entry : entries)
            if (entry.name.compare(word, Qt::CaseInsensitive) == 0) {
                alike = &entry;
                ++matches;
            }
        if (matches == 1)
            return alike;
    }
    *why = text("there is no profile %1; the profiles are: %2").arg(word, summary());
    return nullptr;
}

QString List::summary() const
{
    QStringList parts;
    for (const Entry &entry : entries)
        parts << QStringLiteral("%1 %2").arg(entry.number).arg(entry.name);
    return parts.join(QStringLiteral(", "));
}

QString List::shownAs(int slot) const
{
    for (const Entry &entry : entries)
        if (entry.slot == slot)
            return QStringLiteral("%1 (%2)").arg(entry.number).arg(entry.name);
    return text("file p%1.bin").arg(slot + 1);
}

QString List::label(int slot) const
{
    return text("profile %1").arg(shownAs(slot));
}

} // namespace profiles
