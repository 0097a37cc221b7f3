#include "completion.h"

#include "commands.h"
#include "commandsupport.h"
#include "controllercore.h"
#include "keyfunctions.h"
#include "namelists.h"
#include "profiles.h"

namespace ctl {

namespace {

// The words `key K` takes first, and after each of them, as --help lists
// them: "  button left|middle|..." or "  fire KEY RATE TIMES ...".
QStringList functionWords(const QString &head)
{
    QStringList words;
    for (const QString &line : keyfunctions::reference().split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("  ")) || line.at(2).isSpace())
            continue;
        const QStringList parts = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (head.isEmpty())
            words << parts.first();
        else if (parts.first() == head && parts.value(1).contains(QLatin1Char('|')))
            words = parts.value(1).split(QLatin1Char('|'));
    }
    return words;
}

QStringList valuesOf(const QString &argument, const QStringList &before, ControllerCore &core, const SceneRules &rules)
{
    if (argument == QLatin1String("N")) {
        QStringList values;
        for (const profiles::Entry &entry : profiles::read(core, rules).entries)
            values << QString::number(entry.number) << entry.name;
        return values;
    }
    if (argument == QLatin1String("NAME"))
        return rules.withoutPadding(core.getNameList(namelists::Macros));
    if (argument == QLatin1String("K")) {
        QStringList keys;
        for (int k = 1; k <= shownKeys(core, rules); ++k)
            keys << QString::number(k);
        return keys;
    }
    if (argument == QLatin1String("FUNCTION")) {
        if (before.isEmpty())
            return functionWords(QString());
        if (before.first() == QLatin1String("macro") && before.size() == 1)
            return rules.withoutPadding(core.getNameList(namelists::Macros));
        return before.size() == 1 ? functionWords(before.first()) : QStringList();
    }
    if (argument == QLatin1String("FILE"))
        return {argument};
    return {};
}

} // namespace

QStringList completions(const QStringList &typed, ControllerCore &core, const SceneRules &rules)
{
    if (typed.isEmpty()) {
        QStringList words{QStringLiteral("help")};
        for (const Command &command : commands())
            if (!words.contains(command.words.first()))
                words << command.words.first();
        return words;
    }
    QStringList seconds;
    const Command *best = nullptr; // the longest match, as the parser takes it
    for (const Command &command : commands()) {
        const int length = int(command.words.size());
        if (typed.size() < length) {
            if (typed.size() == 1 && command.words.first() == typed.first())
                seconds << command.words.value(1);
        } else if (typed.mid(0, length) == command.words && (!best || length > best->words.size())) {
            best = &command;
        }
    }
    if (!best)
        return seconds;
    // The argument names of the usage, "[FILE]" and "VALUE..." as FILE and VALUE.
    QStringList arguments = best->arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString &argument : arguments)
        argument.remove(QLatin1Char('[')).remove(QLatin1Char(']')).remove(QStringLiteral("..."));
    const QStringList given = typed.mid(best->words.size());
    const int at = int(given.size());
    if (at < arguments.size())
        return seconds + valuesOf(arguments.at(at), {}, core, rules);
    // The last argument takes more words (FUNCTION...).
    if (!arguments.isEmpty() && best->arguments.endsWith(QLatin1String("...")))
        return seconds + valuesOf(arguments.last(), given.mid(arguments.size() - 1), core, rules);
    return seconds;
}

} // namespace ctl
