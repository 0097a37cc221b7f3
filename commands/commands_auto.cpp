// Automatic profiles: `profile auto` lists which profile each application's
// window puts in use; add, remove, fallback, on and off change the rules.
#include "commands.h"

#include "autoprofiles.h"
#include "commandsupport.h"
#include "controllercore.h"
#include "fileproblems.h"
#include "profiles.h"

#include <QJsonArray>
#include <QJsonObject>

namespace ctl {

namespace {

QJsonValue profileJson(const profiles::List &list, int slot)
{
    if (slot < 0)
        return QJsonValue();
    for (const profiles::Entry &entry : list.entries)
        if (entry.slot == slot)
            return QJsonObject{{QStringLiteral("number"), entry.number}, {QStringLiteral("name"), entry.name},
                               {QStringLiteral("file"), slot + 1}};
    return QJsonObject{{QStringLiteral("number"), QJsonValue()}, {QStringLiteral("file"), slot + 1}};
}

void listRules(Context &ctx, const autoprofiles::Loaded &loaded, const profiles::List &list)
{
    const QString path = autoprofiles::defaultPath();
    const bool damaged = loaded.state == autoprofiles::State::Damaged;
    const autoprofiles::Rules &rules = loaded.rules;
    QJsonArray ties;
    QString text;
    if (damaged)
        text += tr("Automatic profiles are off: %1\nChanging a rule starts the file anew.\n")
                    .arg(fileproblems::describe(path, loaded.why));
    else
        text += rules.enabled ? tr("Automatic profiles: on\n") : tr("Automatic profiles: off\n");
    text += tr("Fallback: %1\n").arg(rules.fallback >= 0 ? list.label(rules.fallback) : tr("none (the profile stays)"));
    for (const autoprofiles::Rule &rule : rules.rules) {
        text += tr("  %1 -> %2\n").arg(rule.program, list.label(rule.slot));
        ties.append(QJsonObject{{QStringLiteral("program"), rule.program},
                                {QStringLiteral("profile"), profileJson(list, rule.slot)}});
    }
    if (rules.rules.isEmpty() && !damaged)
        text += tr("No application is tied to a profile.\n");
    QJsonObject json{{QStringLiteral("enabled"), !damaged && rules.enabled},
                     {QStringLiteral("file"), damaged ? QStringLiteral("damaged")
                                              : loaded.state == autoprofiles::State::Missing ? QStringLiteral("missing")
                                                                                             : QStringLiteral("ok")},
                     {QStringLiteral("fallback"), profileJson(list, rules.fallback)},
                     {QStringLiteral("rules"), ties}};
    if (damaged)
        json.insert(QStringLiteral("problem"), loaded.why);
    print(ctx, QJsonDocument(json), text);
}

// A change of the rules, checked first, stored through the checked write.
Prepared changeRules(const QString &done, int currentSlot,
                     const std::function<bool(autoprofiles::Rules &, QString *)> &edit)
{
    return {[done, currentSlot, edit](Context &ctx) {
                const QString path = autoprofiles::defaultPath();
                QString why;
                bool refused = false;
                const bool stored = autoprofiles::change(path, currentSlot, [&](autoprofiles::Rules &rules, QString *reason) {
                    refused = !edit(rules, reason);
                    return !refused;
                }, &why);
                if (refused)
                    ctx.reply = Reply::failure(UsageError, why);
                else if (!stored)
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(path, why));
                else
                    print(ctx, QJsonDocument(QJsonObject{{QStringLiteral("done"), done}}), done + QLatin1Char('\n'));
            },
            {}};
}

Prepared prepareAdd(const QStringList &args, ControllerCore &core, const SceneRules &rules, bool add)
{
    const QString name = add ? QStringLiteral("add") : QStringLiteral("remove");
    if (args.size() != 2)
        return usageError(tr("profile auto %1 takes a profile and a program name").arg(name));
    const profiles::List list = profiles::read(core, rules);
    Prepared refusal;
    const std::optional<profiles::Entry> entry = profileArgument(args.at(0), list, refusal);
    if (!entry)
        return refusal;
    const QString program = args.at(1);
    if (!autoprofiles::isValidProgram(program))
        return usageError(tr("'%1' cannot be a program name").arg(program));
    const int slot = entry->slot;
    const QString label = list.label(slot);
    if (add)
        return changeRules(tr("%1 puts %2 in use").arg(program, label), core.currentProfile,
                           [program, slot](autoprofiles::Rules &r, QString *why) { return r.add(program, slot, why); });
    return changeRules(tr("%1 no longer puts %2 in use").arg(program, label), core.currentProfile,
                       [program, slot, label](autoprofiles::Rules &r, QString *why) {
                           if (r.remove(program, slot))
                               return true;
                           if (why)
                               *why = tr("%1 is not tied to %2").arg(program, label);
                           return false;
                       });
}

} // namespace

void addAutoCommands(std::vector<Command> &table)
{
    const QString profile = QStringLiteral("profile"), autoWord = QStringLiteral("auto");
    table.push_back({{profile, autoWord, QStringLiteral("add")}, QStringLiteral("N PROGRAM"),
                     tr("put profile N in use while PROGRAM's window is in front"),
                     tr("Ties PROGRAM to profile N: while a window of it is in front, the running r770\n"
                        "puts profile N in use. PROGRAM matches the program's name or the window's\n"
                        "WM_CLASS instance or class, ignoring case. A program tied before moves to N.\n"),
                     Access::WriteFiles, true,
                     [](const QStringList &args, ControllerCore &core, const SceneRules &rules) {
                         return prepareAdd(args, core, rules, true);
                     }});
    table.push_back({{profile, autoWord, QStringLiteral("remove")}, QStringLiteral("N PROGRAM"),
                     tr("untie PROGRAM from profile N"), QString(), Access::WriteFiles, true,
                     [](const QStringList &args, ControllerCore &core, const SceneRules &rules) {
                         return prepareAdd(args, core, rules, false);
                     }});
    table.push_back({{profile, autoWord, QStringLiteral("fallback")}, QStringLiteral("N"),
                     tr("the profile used while no tied program is in front"), QString(), Access::WriteFiles, true,
                     [](const QStringList &args, ControllerCore &core, const SceneRules &rules) {
                         if (args.size() != 1)
                             return usageError(tr("profile auto fallback takes one profile"));
                         const profiles::List list = profiles::read(core, rules);
                         Prepared refusal;
                         const std::optional<profiles::Entry> entry = profileArgument(args.at(0), list, refusal);
                         if (!entry)
                             return refusal;
                         const int slot = entry->slot;
                         return changeRules(tr("Fallback: %1").arg(list.label(slot)), core.currentProfile,
                                            [slot](autoprofiles::Rules &r, QString *) {
                                                r.fallback = slot;
                                                return true;
                                            });
                     }});
    for (const bool on : {true, false}) {
        table.push_back({{profile, autoWord, on ? QStringLiteral("on") : QStringLiteral("off")}, QString(),
                         on ? tr("switch automatic profiles on") : tr("switch automatic profiles off"), QString(),
                         Access::WriteFiles, true,
                         [on](const QStringList &args, ControllerCore &core, const SceneRules &) {
                             if (!args.isEmpty())
                                 return usageError(tr("profile auto on and off take no arguments"));
                             if (autoprofiles::load(autoprofiles::defaultPath()).state == autoprofiles::State::Damaged)
                                 return refuse(FileError, fileproblems::describe(autoprofiles::defaultPath(),
                                                   tr("damaged; change a rule to start it anew")));
                             return changeRules(on ? tr("Automatic profiles: on") : tr("Automatic profiles: off"),
                                                core.currentProfile, [on](autoprofiles::Rules &r, QString *) {
                                                    r.enabled = on;
                                                    return true;
                                                });
                         }});
    }
    table.push_back({{profile, autoWord}, QString(), tr("the applications tied to profiles"),
                     tr("Lists which profile each application's window puts in use while it is in front,\n"
                        "the fallback for every other window, and whether automatic profiles are on.\n"
                        "The rules are kept in setting/autoProfiles.bin.\n"),
                     Access::ReadFiles, true, [](const QStringList &args, ControllerCore &core, const SceneRules &rules) {
                         if (!args.isEmpty())
                             return usageError(tr("profile auto takes add, remove, fallback, on or off"));
                         return Prepared{[loaded = autoprofiles::load(autoprofiles::defaultPath()),
                                          list = profiles::read(core, rules)](Context &ctx) { listRules(ctx, loaded, list); },
                                         {}};
                     }});
}

} // namespace ctl
