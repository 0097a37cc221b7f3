// The commands on the files alone: the profiles and the macros.
#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "fileops.h"
#include "fileproblems.h"
#include "macrolibrary.h"
#include "namelists.h"
#include "profilefiles.h"
#include "profiles.h"
#include "scenerules.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSettings>

namespace ctl {

namespace {

// Groups one of which every profile file has.
const char *const profileGroups[] = {"mouse", "mouseKeyMatrix"};

enum StepType { Delay = 0, KeyPress = 1, KeyRelease = 2, ButtonPress = 3, ButtonRelease = 4 };

QString fileName(int slot)
{
    return QStringLiteral("p%1.bin").arg(slot + 1);
}

QString named(const profiles::Entry &entry)
{
    return tr("Profile %1 (%2)").arg(entry.number).arg(entry.name);
}

// --- profile list ------------------------------------------------------------

void profileList(Context &ctx, const profiles::List &list)
{
    QJsonArray entries;
    QString text;
    for (const profiles::Entry &entry : list.entries) {
        const bool active = entry.slot == list.activeSlot;
        QJsonObject item{{QStringLiteral("number"), entry.number},
                         {QStringLiteral("name"), entry.name},
                         {QStringLiteral("active"), active}};
        if (profilefiles::isValidSlot(entry.slot))
            item.insert(QStringLiteral("file"), fileName(entry.slot));
        entries << item;
        text += QStringLiteral("%1 %2  %3\n").arg(active ? QLatin1Char('*') : QLatin1Char(' ')).arg(entry.number, 2).arg(entry.name);
    }
    const profiles::Entry *active = list.active();
    print(ctx,
          QJsonDocument(QJsonObject{{QStringLiteral("profiles"), entries},
                                    {QStringLiteral("active"), active ? QJsonValue(active->number) : QJsonValue()}}),
          text);
}

// --- profile export, import, reset -------------------------------------------

Prepared prepareExport(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() != 2)
        return usageError(tr("profile export takes a profile and a file name"));
    Prepared refusal;
    const auto entry = profileArgument(args.at(0), profiles::read(core, rules), refusal);
    if (!entry)
        return refusal;
    const QString source = profilefiles::slotPath(entry->slot);
    QString why = fileproblems::whyNotReadable(source, fileops::MaxIniFileBytes);
    if (!why.isEmpty())
        return refuse(FileError, fileproblems::describe(source, why));
    const QString target = args.at(1);
    why = fileproblems::whyNotWritable(target);
    if (!why.isEmpty())
        return refuse(FileError, fileproblems::describe(target, why));
    return {[entry = *entry, target](Context &ctx) {
                if (!ctx.core.exportProfile(entry.slot, target)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(target, tr("the copy could not be written")));
                    return;
                }
                ctx.reply.out += tr("%1 written to %2.\n").arg(named(entry), target);
            },
            {}};
}

// The note for a replaced profile that the mouse holds now.
QString activeNote(const profiles::Entry &entry, const profiles::List &list)
{
    if (entry.slot != list.activeSlot)
        return QString();
    return tr("It is the active profile: the mouse keeps its present settings until the profile\n"
              "is applied (r770ctl profile apply %1, or choosing it in r770).\n").arg(entry.number);
}

Prepared prepareImport(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() != 2)
        return usageError(tr("profile import takes a profile and a file name"));
    Prepared refusal;
    const profiles::List list = profiles::read(core, rules);
    const auto entry = profileArgument(args.at(0), list, refusal);
    if (!entry)
        return refusal;
    const QString source = args.at(1);
    const QString why = fileproblems::whyNotReadable(source, fileops::MaxIniFileBytes);
    if (!why.isEmpty())
        return refuse(FileError, fileproblems::describe(source, why));
    // The window takes any file; a file without a profile's groups is refused
    // here rather than turned into an empty profile.
    const QSettings file(source, QSettings::IniFormat);
    const QStringList groups = file.childGroups();
    bool isProfile = file.status() == QSettings::NoError;
    if (isProfile) {
        isProfile = false;
        for (const char *group : profileGroups)
            isProfile = isProfile || groups.contains(QLatin1String(group));
    }
    if (!isProfile)
        return refuse(FileError, fileproblems::describe(source, tr("not a profile (it has no [mouse] or "
                                                                   "[mouseKeyMatrix] section)")));
    return {[entry = *entry, source, note = activeNote(*entry, list)](Context &ctx) {
                if (!ctx.core.importProfile(entry.slot, source)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(
                                                              profilefiles::slotPath(entry.slot),
                                                              tr("could not be replaced; the profile is unchanged")));
                    return;
                }
                ctx.reply.out += tr("%1 replaced by %2.\n").arg(named(entry), source) + note;
                if (!note.isEmpty())
                    ctx.changedPages << QLatin1String(page::profile);
            },
            {}};
}

Prepared prepareReset(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() != 1)
        return usageError(tr("profile reset takes a profile"));
    Prepared refusal;
    const profiles::List list = profiles::read(core, rules);
    const auto entry = profileArgument(args.at(0), list, refusal);
    if (!entry)
        return refusal;
    const QString factory = profilefiles::factoryPath();
    const QString why = fileproblems::whyNotReadable(factory, fileops::MaxIniFileBytes);
    if (!why.isEmpty())
        return refuse(FileError, fileproblems::describe(factory, why));
    return {[entry = *entry, note = activeNote(*entry, list)](Context &ctx) {
                if (!ctx.core.resetProfile(entry.slot)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(
                                                              profilefiles::slotPath(entry.slot),
                                                              tr("could not be replaced; the profile is unchanged")));
                    return;
                }
                ctx.reply.out += tr("%1 has the factory settings.\n").arg(named(entry)) + note;
                if (!note.isEmpty())
                    ctx.changedPages << QLatin1String(page::profile);
            },
            {}};
}

// --- macros ------------------------------------------------------------------

void macroList(Context &ctx, const QStringList &names)
{
    QJsonArray list;
    QString text;
    for (const QString &name : names) {
        const QStringList stored = ctx.core.loadMacroIni(name);
        QJsonObject item{{QStringLiteral("name"), name}};
        if (stored.isEmpty()) {
            text += tr("%1  (no macro file)\n").arg(name);
        } else {
            item.insert(QStringLiteral("steps"), int(stored.size()) - 1);
            item.insert(QStringLiteral("repeat"), stored.last().toInt());
            text += tr("%1  %2 steps, repeat %3\n").arg(name).arg(stored.size() - 1).arg(stored.last());
        }
        list << item;
    }
    print(ctx, QJsonDocument(QJsonObject{{QStringLiteral("macros"), list}}), text);
}

Prepared prepareMacroShow(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() != 1)
        return usageError(tr("macro show takes a macro name"));
    const QString name = args.at(0);
    if (!macrolibrary::isValidName(name))
        return usageError(tr("'%1' cannot be a macro name").arg(name));
    if (!macrolibrary::exists(name))
        return usageError(tr("there is no macro named '%1' (see r770ctl macro list)").arg(name));
    const QStringList stored = core.loadMacroIni(name);
    // Its length as the editor counts it, and whether the mouse can take it.
    const SceneRules::MacroEncoding encoding = rules.encodeMacro(stored, keyNameLists(core, rules));
    const QString problem = stored.isEmpty() ? tr("the macro file cannot be read") : whyNoDeviceForm(encoding, stored);
    const int length = rules.macroLength(stored.mid(0, stored.size() - 1));
    const int block = rules.macroBlockSize();
    return {[name, stored, problem, length, block](Context &ctx) {
                QJsonArray steps;
                QString text = tr("Macro %1, repeat %2\n").arg(name, stored.value(stored.size() - 1));
                for (int i = 0; i + 1 < stored.size(); ++i) {
                    // A step is its type, a comma, and its information.
                    const QString step = stored.at(i);
                    const int type = step.left(1).toInt();
                    const QString info = step.mid(2);
                    static const char *const actions[] = {"delay", "key press", "key release", "button press",
                                                          "button release"};
                    const char *action = type >= Delay && type <= ButtonRelease ? actions[type] : "unknown";
                    QJsonObject item{{QStringLiteral("action"), QLatin1String(action)}};
                    if (type == Delay) {
                        item.insert(QStringLiteral("ms"), info.toInt());
                        text += QStringLiteral("%1  %2 %3 ms\n").arg(i + 1, 3).arg(tr(action)).arg(info);
                    } else {
                        item.insert(QStringLiteral("key"), info);
                        text += QStringLiteral("%1  %2 %3\n").arg(i + 1, 3).arg(tr(action), info);
                    }
                    steps << item;
                }
                text += tr("%1 of %2 bytes; ").arg(length).arg(block)
                        + (problem.isEmpty() ? tr("it can be sent.\n") : tr("it cannot be sent: %1.\n").arg(problem));
                print(ctx,
                      QJsonDocument(QJsonObject{{QStringLiteral("name"), name},
                                                {QStringLiteral("repeat"), stored.value(stored.size() - 1).toInt()},
                                                {QStringLiteral("steps"), steps},
                                                {QStringLiteral("bytes"), length},
                                                {QStringLiteral("blockSize"), block},
                                                {QStringLiteral("sendable"), problem.isEmpty()},
                                                {QStringLiteral("problem"), problem.isEmpty() ? QJsonValue() : QJsonValue(problem)}}),
                      text);
            },
            {}};
}

Prepared noArguments(const QStringList &args, const QString &command, const Action &action)
{
    if (!args.isEmpty())
        return usageError(tr("%1 takes no arguments").arg(command));
    return {action, {}};
}

} // namespace

void addFileCommands(std::vector<Command> &table)
{
    table.push_back({{QStringLiteral("profile"), QStringLiteral("list")}, QString(),
                     tr("the profiles, as the window's profile selector lists them"),
                     tr("Lists the profiles in the order of the window's profile selector, numbered\n"
                        "from 1; * marks the active one. Commands take a profile by this number or by\n"
                        "its name.\n"),
                     Access::ReadFiles, true, [](const QStringList &args, ControllerCore &core, const SceneRules &rules) {
                         return noArguments(args, QStringLiteral("profile list"),
                                            [list = profiles::read(core, rules)](Context &ctx) { profileList(ctx, list); });
                     }});
    addApplyCommand(table);
    table.push_back({{QStringLiteral("profile"), QStringLiteral("export")}, QStringLiteral("N FILE"),
                     tr("write profile N to FILE"),
                     tr("Writes profile N, with every setting it holds, to FILE (a .pf file as the\n"
                        "window's Export writes). An existing FILE is replaced once the copy is complete.\n"),
                     Access::ReadFiles, false, prepareExport, 1});
    table.push_back({{QStringLiteral("profile"), QStringLiteral("import")}, QStringLiteral("N FILE"),
                     tr("replace profile N by FILE"),
                     tr("Replaces profile N by the profile in FILE (as written by export or by the\n"
                        "window's Export). A file that holds no profile is refused and the profile is\n"
                        "left as it was. The mouse is not changed: profile apply N sends it.\n"),
                     Access::WriteFiles, false, prepareImport, 1});
    table.push_back({{QStringLiteral("profile"), QStringLiteral("reset")}, QStringLiteral("N"),
                     tr("give profile N the factory settings"),
                     tr("Replaces profile N by the factory profile (pD.bin). The mouse is not changed:\n"
                        "profile apply N sends it.\n"),
                     Access::WriteFiles, false, prepareReset});
    table.push_back({{QStringLiteral("macro"), QStringLiteral("list")}, QString(), tr("the macros"),
                     tr("Lists the macros of the window's macro editor, with their number of steps and\n"
                        "repeat count.\n"),
                     Access::ReadFiles, true, [](const QStringList &args, ControllerCore &core, const SceneRules &rules) {
                         // The macro editor's list.
                         const QStringList names = rules.withoutPadding(core.getNameList(namelists::Macros));
                         return noArguments(args, QStringLiteral("macro list"),
                                            [names](Context &ctx) { macroList(ctx, names); });
                     }});
    table.push_back({{QStringLiteral("macro"), QStringLiteral("show")}, QStringLiteral("NAME"),
                     tr("the steps of macro NAME"),
                     tr("Shows the steps of macro NAME (key and button presses and releases with the\n"
                        "names the macro file holds, and delays) and its repeat count.\n"),
                     Access::ReadFiles, true, prepareMacroShow});
}

} // namespace ctl
