#include "profiles.h"

#include "controllercore.h"
#include "namelists.h"
#include "profilefiles.h"

#include <QCoreApplication>

namespace profiles {

namespace {
QString text(const char *source)
{
    return QCoreApplication::translate("r770ctl", source);
}
} // namespace

List read(ControllerCore &core)
{
    List list;
    bool ok = false;
    const int profileNo = core.getGlobalData(QStringLiteral("mouse/profileNo")).toInt(&ok);
    // As the window does: a number that names no profile file leaves slot 0.
    list.activeSlot = ok && profilefiles::isValidSlot(profileNo) ? profileNo : 0;

    QVariantList names = core.getNameList(namelists::Profiles);
    if (names.size() == 2 && names.at(1).toString() == QLatin1String(namelists::Padding))
        names.removeLast();
    for (const QVariant &value : names) {
        const QString stored = value.toString();
        Entry entry;
        entry.number = list.entries.size() + 1;
        entry.name = stored;
        if (!stored.isEmpty() && stored.back().isDigit()) {
            entry.name.chop(1);
            entry.slot = stored.back().digitValue();
        }
        list.entries.append(entry);
    }
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
    const Entry *found = nullptr;
    bool isNumber = false;
    const int number = word.toInt(&isNumber);
    if (isNumber) {
        if (number >= 1 && number <= entries.size())
            found = &entries.at(number - 1);
    } else {
        for (const Entry &entry : entries)
            if (entry.name == word && !found)
                found = &entry;
        if (!found) {
            const Entry *alike = nullptr;
            int matches = 0;
            for (const Entry &entry : entries)
                if (entry.name.compare(word, Qt::CaseInsensitive) == 0) {
                    alike = &entry;
                    ++matches;
                }
            if (matches == 1)
                found = alike;
        }
    }
    if (!found) {
        *why = entries.isEmpty() ? text("there is no profile %1: the profile list is empty").arg(word)
                                 : text("there is no profile %1; the profiles are: %2").arg(word, summary());
        return nullptr;
    }
    if (!profilefiles::isValidSlot(found->slot)) {
        *why = text("profile %1 (%2) names no profile file").arg(found->number).arg(found->name);
        return nullptr;
    }
    return found;
}

QString List::summary() const
{
    QStringList parts;
    for (const Entry &entry : entries)
        parts << QStringLiteral("%1 %2").arg(entry.number).arg(entry.name);
    return parts.join(QStringLiteral(", "));
}

QString label(const List &list, int slot)
{
    for (const Entry &entry : list.entries)
        if (entry.slot == slot)
            return QStringLiteral("%1 (%2)").arg(entry.number).arg(entry.name);
    return text("file p%1.bin").arg(slot + 1);
}

} // namespace profiles
