// The macro library as the macro editor keeps it: `macro new`, `delete`,
// `rename`, `import`, `export` and `set`. The names, the steps typed and the
// edits a macro takes follow the editor's rules (namelists.mjs,
// macroedit.mjs); the profiles' references follow as in the window: a
// rename in every profile's keys, a delete gives the keys that ran the macro
// their factory function, a change goes again to every key that runs it.
#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "coreview.h"
#include "fileops.h"
#include "fileproblems.h"
#include "inivalue.h"
#include "macrolibrary.h"
#include "namelists.h"
#include "scenerules.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSettings>

namespace ctl {

namespace {

const QString repeatOption = QStringLiteral("--repeat");

// The macro editor's list.
QStringList macroNames(ControllerCore &core, const SceneRules &rules)
{
    return rules.withoutPadding(core.getNameList(namelists::Macros));
}

bool namesWritten(Context &ctx, const QStringList &names)
{
    if (ctx.core.updataNameList(namelists::Macros, names))
        return true;
    ctx.reply = Reply::failure(FileError, tr("the macro list in name.bin could not be written"));
    return false;
}

// The macro names the active profile's macro slots hold.
QStringList slotNames(ControllerCore &core, const SceneRules &rules)
{
    QStringList names;
    for (int slot = 0; slot < rules.keyAssignmentCount(); ++slot)
        names << core.getData(QStringLiteral("mouseMacroKey/%1").arg(slot), false).toString();
    return names;
}

// The keys (indexes) of the active profile that run macro `name`.
QList<int> keysRunning(ControllerCore &core, const SceneRules &rules, const QString &name)
{
    return rules.keysRunningMacro(keyAssignment(core, rules), name, slotNames(core, rules));
}

QJsonArray numbered(const QList<int> &keys)
{
    QJsonArray list;
    for (int key : keys)
        list << key + 1;
    return list;
}

// Why the mouse was not used, as the end of a sentence.
QString whyNotSent(const Context &ctx)
{
    const QString why = ctx.unavailable.err.trimmed();
    return why.endsWith(QLatin1Char('?')) || why.endsWith(QLatin1Char('.')) ? why : why + QLatin1Char('.');
}

QString keyWords(const QList<int> &keys)
{
    QStringList words;
    for (int key : keys)
        words << QString::number(key + 1);
    return (keys.size() == 1 ? tr("key ") : tr("keys ")) + words.join(QStringLiteral(", "));
}

// Writes what every profile holds: a rename and a delete change them all.
bool profilesFlushed(Context &ctx)
{
    for (QSettings *profile : ctx.core.profileSettings)
        if (profile && !flushed(ctx, *profile))
            return false;
    return true;
}

// An existing macro named by `word`, or the refusal.
bool existing(const QString &word, Prepared &refusal)
{
    if (!macrolibrary::isValidName(word))
        refusal = usageError(tr("'%1' cannot be a macro name").arg(word));
    else if (!macrolibrary::exists(word))
        refusal = usageError(tr("there is no macro named '%1' (see r770ctl macro list)").arg(word));
    else
        return true;
    return false;
}

// A name for a new macro: the one given, or the editor's next free one.
bool newName(const QStringList &args, int at, const QStringList &names, const SceneRules &rules, QString &name,
             Prepared &refusal)
{
    if (names.size() >= rules.maxMacros()) {
        refusal = usageError(tr("the library holds %1 macros, the most it keeps").arg(rules.maxMacros()));
        return false;
    }
    name = args.size() > at ? args.at(at) : rules.newMacroName(names);
    if (!rules.isMacroName(name))
        refusal = usageError(tr("'%1' cannot be a macro name").arg(name));
    else if (names.contains(name) || macrolibrary::exists(name))
        refusal = usageError(tr("there is a macro named '%1' already").arg(name));
    else
        return true;
    return false;
}

void created(Context &ctx, const QString &name, const QString &how)
{
    print(ctx, QJsonDocument(QJsonObject{{QStringLiteral("macro"), name}, {QStringLiteral("created"), true}}),
          tr("Macro %1 %2.\n").arg(name, how));
}

Prepared prepareNew(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() > 1)
        return usageError(tr("macro new takes at most a name"));
    QStringList names = macroNames(core, rules);
    QString name;
    Prepared refusal;
    if (!newName(args, 0, names, rules, name, refusal))
        return refusal;
    return {[names, name](Context &ctx) {
                // As the editor's New: an empty macro at the end of the list.
                if (!ctx.core.createMacroIni(name, 0)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(macrolibrary::macroPath(name),
                                                                                 tr("it could not be written")));
                    return;
                }
                if (!namesWritten(ctx, names + QStringList{name}))
                    return;
                ctx.changedPages << QLatin1String(page::macros);
                created(ctx, name, tr("made, with no steps"));
            },
            {}};
}

Prepared prepareImport(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.isEmpty() || args.size() > 2)
        return usageError(tr("macro import takes a file and, if you like, the macro's name"));
    const QString source = args.at(0);
    const QString why = fileproblems::whyNotReadable(source, fileops::MaxIniFileBytes);
    if (!why.isEmpty())
        return refuse(FileError, fileproblems::describe(source, why));
    // The window takes any file; one that is no macro file is refused here
    // rather than listed as a macro without steps.
    const QSettings file(source, QSettings::IniFormat);
    if (file.status() != QSettings::NoError || !file.contains(QStringLiteral("config/total")))
        return refuse(FileError, fileproblems::describe(source, tr("not a macro (it has no [config] total)")));
    QStringList names = macroNames(core, rules);
    QString name;
    Prepared refusal;
    if (!newName(args, 1, names, rules, name, refusal))
        return refusal;
    return {[names, name, source](Context &ctx) {
                if (!ctx.core.importMacroFile(name, source)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(macrolibrary::macroPath(name),
                                                                                 tr("the copy could not be written")));
                    return;
                }
                if (!namesWritten(ctx, names + QStringList{name}))
                    return;
                ctx.changedPages << QLatin1String(page::macros);
                created(ctx, name, tr("imported from %1").arg(source));
            },
            {}};
}

Prepared prepareExport(const QStringList &args, ControllerCore &, const SceneRules &)
{
    if (args.size() != 2)
        return usageError(tr("macro export takes a macro name and a file name"));
    Prepared refusal;
    if (!existing(args.at(0), refusal))
        return refusal;
    const QString target = args.at(1);
    const QString why = fileproblems::whyNotWritable(target);
    if (!why.isEmpty())
        return refuse(FileError, fileproblems::describe(target, why));
    return {[name = args.at(0), target](Context &ctx) {
                if (!ctx.core.exportMacroFile(name, target)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(target, tr("the copy could not be written")));
                    return;
                }
                print(ctx, QJsonDocument(QJsonObject{{QStringLiteral("macro"), name}, {QStringLiteral("file"), target}}),
                      tr("Macro %1 written to %2.\n").arg(name, target));
            },
            {}};
}

Prepared prepareRename(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() != 2)
        return usageError(tr("macro rename takes the macro's name and its new name"));
    Prepared refusal;
    if (!existing(args.at(0), refusal))
        return refusal;
    const QString old = args.at(0);
    // As the editor: the new name without surrounding blanks.
    const QString name = args.at(1).trimmed();
    const QStringList names = macroNames(core, rules);
    if (name == old)
        return usageError(tr("macro %1 has that name already").arg(old));
    if (names.contains(name) || macrolibrary::exists(name))
        return usageError(tr("there is a macro named '%1' already").arg(name));
    if (!rules.isMacroName(name))
        return usageError(tr("'%1' cannot be a macro name").arg(name));
    return {[names, old, name](Context &ctx) {
                // The file, then the macro slots of every profile that name it.
                if (!ctx.core.modifyMacroNameUpdateProfile(old, name)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(macrolibrary::macroPath(old),
                                                                                 tr("it could not be renamed")));
                    return;
                }
                if (!profilesFlushed(ctx))
                    return;
                QStringList renamed = names;
                if (renamed.contains(old))
                    renamed.replace(renamed.indexOf(old), name);
                else
                    renamed << name;
                if (!namesWritten(ctx, renamed))
                    return;
                ctx.changedPages << QLatin1String(page::macros) << QLatin1String(page::keys);
                print(ctx, QJsonDocument(QJsonObject{{QStringLiteral("macro"), name}, {QStringLiteral("was"), old}}),
                      tr("Macro %1 is now %2; the keys that run it follow.\n").arg(old, name));
            },
            {}};
}

Prepared prepareDelete(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() != 1)
        return usageError(tr("macro delete takes a macro name"));
    const QString name = args.at(0);
    const QStringList names = macroNames(core, rules);
    if (!names.contains(name)) {
        Prepared refusal;
        if (!existing(name, refusal))
            return refusal;
    }
    const QList<int> keys = keysRunning(core, rules, name);
    return {[names, name, keys, profile = activeProfileLabel(core, rules), &rules](Context &ctx) {
                ControllerCore &core = ctx.core;
                if (!core.deleteMacroIni(name) && !core.loadMacroIni(name).isEmpty()) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(macrolibrary::macroPath(name),
                                                                                 tr("it could not be deleted")));
                    return;
                }
                // Keys of every profile that ran it get their factory function.
                core.deleteMacroUpdateProfile(name);
                if (!profilesFlushed(ctx))
                    return;
                QStringList rest = names;
                rest.removeAll(name);
                if (!namesWritten(ctx, rest))
                    return;
                ctx.changedPages << QLatin1String(page::macros) << QLatin1String(page::keys);
                QJsonObject json{{QStringLiteral("macro"), name},
                                 {QStringLiteral("deleted"), true},
                                 {QStringLiteral("keysReset"), numbered(keys)}};
                QString text = tr("Macro %1 deleted.\n").arg(name);
                bool sent = false;
                if (!keys.isEmpty()) {
                    const QString which = keyWords(keys);
                    text += tr("%1 of %2 got the factory function back").arg(which.left(1).toUpper() + which.mid(1), profile);
                    if (ctx.link) {
                        // The active profile's assignment, as stored now.
                        CoreView view(core);
                        const QJSValue codes = rules.flow("readKeys", &view).property(QStringLiteral("codes"));
                        const QJSValue periods = rules.flow("readActivePeriods", &view);
                        Delivery delivery;
                        delivery.step(tr("key assignment"),
                                      [&] { return rules.flow("sendKeys", &view, {codes, periods}).toBool(); });
                        if (!delivery.complete()) {
                            delivery.fail(ctx, tr("The macro is deleted and the keys are reset in the files"));
                            return;
                        }
                        sent = true;
                        text += tr(" and the mouse has it.\n");
                    } else {
                        text += tr("; the mouse was not told: %1\n").arg(whyNotSent(ctx));
                    }
                }
                json.insert(QStringLiteral("sent"), sent);
                print(ctx, QJsonDocument(json), text);
            },
            {}};
}

// `macro set NAME STEP... [--repeat N]`: the steps as the editor takes them
// typed, checked as an edit of the macro's steps.
Prepared prepareSet(const QStringList &given, ControllerCore &core, const SceneRules &rules)
{
    QStringList args = given;
    QString repeatText;
    if (args.size() >= 2 && args.at(args.size() - 2) == repeatOption) {
        repeatText = args.takeLast();
        args.removeLast();
    }
    if (args.isEmpty() || (args.size() == 1 && repeatText.isNull()))
        return usageError(tr("macro set takes a macro name and its steps (0,MS 1,KEY 2,KEY 3,BUTTON 4,BUTTON), "
                             "or --repeat N"));
    const QString name = args.takeFirst();
    Prepared refusal;
    if (!existing(name, refusal))
        return refusal;
    const QStringList stored = core.loadMacroIni(name);
    if (stored.isEmpty())
        return refuse(FileError, fileproblems::describe(macrolibrary::macroPath(name), tr("it cannot be read")));
    const QStringList before = stored.mid(0, stored.size() - 1);
    QString repeat = stored.last();
    if (!repeatText.isNull()) {
        const SceneRules::Range times = rules.macroTimes();
        if (!intIn(repeatText, times.min, times.max))
            return usageError(tr("the repeat count must be %1 to %2, not '%3'").arg(times.min).arg(times.max).arg(repeatText));
        repeat = QString::number(repeatText.toInt());
    }
    // Without steps, only the repeat count changes.
    QStringList after = args.isEmpty() ? before : QStringList();
    const QList<QStringList> nameLists = keyNameLists(core, rules);
    for (int i = 0; i < args.size(); ++i) {
        const SceneRules::TypedStep step = rules.readTypedStep(args.at(i), nameLists);
        const QString at = tr("step %1 ('%2')").arg(i + 1).arg(args.at(i));
        if (step.problem == QLatin1String("format"))
            return usageError(tr("%1 is not a step: write 0,MS for a delay, 1 or 2,KEY to press or release a key, "
                                 "3 or 4,BUTTON for a mouse button").arg(at));
        if (step.problem == QLatin1String("delay"))
            return usageError(tr("%1: delays stay below 100 minutes").arg(at));
        if (step.problem == QLatin1String("key"))
            return usageError(tr("%1: no key is named '%2'").arg(at, args.at(i).section(QLatin1Char(','), 1).trimmed()));
        if (!step.problem.isEmpty())
            return usageError(tr("%1: %2").arg(at, step.problem));
        after << step.text;
    }
    const QString problem = rules.checkMacroEdit(before, after, false);
    if (problem == QLatin1String("length"))
        return usageError(tr("the steps take %1 bytes; the mouse keeps %2")
                              .arg(rules.macroLength(after)).arg(rules.macroBlockSize()));
    if (problem == QLatin1String("delay"))
        return usageError(tr("a delay between two keys would be 100 minutes or longer"));
    if (problem == QLatin1String("steps"))
        return usageError(tr("more steps than the macro library keeps"));
    if (!problem.isEmpty())
        return usageError(problem);
    const QList<int> keys = keysRunning(core, rules, name);
    const SceneRules::MacroEncoding encoding = rules.encodeMacro(after + QStringList{repeat}, nameLists);
    return {[name, after, repeat, keys, encoding, length = rules.macroLength(after),
             block = rules.macroBlockSize()](Context &ctx) {
                if (!ctx.core.saveMacroIni(name, after, repeat)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(macrolibrary::macroPath(name),
                                                                                 tr("it could not be written")));
                    return;
                }
                ctx.changedPages << QLatin1String(page::macros);
                QJsonObject json{{QStringLiteral("macro"), name},
                                 {QStringLiteral("steps"), QJsonArray::fromStringList(after)},
                                 {QStringLiteral("repeat"), repeat.toInt()},
                                 {QStringLiteral("bytes"), length},
                                 {QStringLiteral("keys"), numbered(keys)}};
                QString text = tr("Macro %1: %2 steps, repeat %3, %4 of %5 bytes. Stored.\n")
                                   .arg(name).arg(after.size()).arg(repeat).arg(length).arg(block);
                bool sent = false;
                if (!keys.isEmpty()) {
                    // As the editor: the changed macro goes to every key that runs it.
                    if (!encoding.problem.isEmpty()) {
                        text += tr("Not sent to %1: %2.\n").arg(keyWords(keys), whyNoDeviceForm(encoding, after + QStringList{repeat}));
                    } else if (ctx.link) {
                        Delivery delivery;
                        for (int key : keys)
                            delivery.step(tr("macro of key %1").arg(key + 1),
                                          [&] { return ctx.core.mouseSendMacroData(encoding.bytes, uint(key)); });
                        if (!delivery.complete()) {
                            delivery.fail(ctx, tr("The macro is stored"));
                            return;
                        }
                        sent = true;
                        text += tr("Sent to %1, which %2 it.\n").arg(keyWords(keys), keys.size() == 1 ? tr("runs") : tr("run"));
                    } else {
                        text += tr("Not sent to %1, which %2 it: %3\n")
                                    .arg(keyWords(keys), keys.size() == 1 ? tr("runs") : tr("run"), whyNotSent(ctx));
                    }
                }
                json.insert(QStringLiteral("sent"), sent);
                print(ctx, QJsonDocument(json), text);
            },
            {}};
}

} // namespace

void addMacroLibraryCommands(std::vector<Command> &table)
{
    const QString macro = QStringLiteral("macro");
    table.push_back({{macro, QStringLiteral("new")}, QStringLiteral("[NEW]"), tr("make an empty macro"),
                     tr("Makes a macro with no steps, repeat 1, at the end of the macro list, named NEW\n"
                        "or, as the editor's New, Macro_ and the first free number. The library keeps\n"
                        "100 macros.\n"),
                     Access::WriteFiles, true, prepareNew});
    table.push_back({{macro, QStringLiteral("delete")}, QStringLiteral("NAME"), tr("delete macro NAME"),
                     tr("Deletes macro NAME. Keys that ran it, in every profile, get their factory\n"
                        "function back; the active profile's keys are sent to the mouse when it is there.\n"),
                     Access::Library, true, prepareDelete});
    table.push_back({{macro, QStringLiteral("rename")}, QStringLiteral("NAME NEW"), tr("rename macro NAME to NEW"),
                     tr("Renames macro NAME to NEW; the keys that run it, in every profile, follow.\n"
                        "Refused when another macro has the name or it cannot be a file name.\n"),
                     Access::WriteFiles, true, prepareRename});
    table.push_back({{macro, QStringLiteral("import")}, QStringLiteral("FILE [NEW]"), tr("add the macro in FILE"),
                     tr("Adds the macro file FILE (as macro export or the window's Export writes it) to\n"
                        "the library as NEW or, as the window's Import, Macro_ and the first free\n"
                        "number. A file that holds no macro is refused.\n"),
                     Access::WriteFiles, true, prepareImport, 0});
    table.push_back({{macro, QStringLiteral("export")}, QStringLiteral("NAME FILE"), tr("write macro NAME to FILE"),
                     tr("Writes macro NAME's file to FILE. An existing FILE is replaced once the copy is\n"
                        "complete.\n"),
                     Access::ReadFiles, true, prepareExport, 1});
    table.push_back({{macro, QStringLiteral("set")}, QStringLiteral("NAME [STEP...]"),
                     tr("give macro NAME these steps"),
                     tr("Replaces the steps of macro NAME by STEP..., written as the macro editor shows\n"
                        "them: 0,MS a delay in milliseconds, 1,KEY and 2,KEY a key press and release,\n"
                        "3,BUTTON and 4,BUTTON a mouse button's (e.g. 1,A 0,50 2,A). --repeat N sets\n"
                        "the repeat count (1 to 65535); without steps only that changes. Refused, with\n"
                        "nothing changed, as the editor refuses: an unknown key, a delay of 100 minutes\n"
                        "or more, more than the mouse's 128 bytes. The changed macro is sent to every\n"
                        "key of the active profile that runs it, when the mouse is there.\n"),
                     Access::Library, true, prepareSet});
}

} // namespace ctl
