// Macros sent to the mouse: `macro send`, and the macro of `key K macro`.
#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "fileproblems.h"
#include "hid_thread.h"
#include "macrolibrary.h"
#include "scenerules.h"

namespace ctl {

// The key-name lists the macro store finds a step's key in, in its order:
// the language in use, the built-in names, then every language's.
QList<QStringList> keyNameLists(ControllerCore &core, const SceneRules &rules)
{
    const QString keyCodeTexts = QStringLiteral("keyCode");
    const QString language = rules.language(core.getGlobalData(QStringLiteral("common/language")));
    QList<QStringList> lists{rules.keyNamesWith(core.getLangStrings(keyCodeTexts, language)),
                             rules.keyNamesWith({})};
    for (const QString &other : core.getLanguageList())
        lists << rules.keyNamesWith(core.getLangStrings(keyCodeTexts, other));
    return lists;
}

QString whyNoDeviceForm(const SceneRules::MacroEncoding &encoding, const QStringList &stored)
{
    const int step = encoding.step + 1; // as macro show numbers them
    if (encoding.problem == QLatin1String("step"))
        return tr("step %1 ('%2') is not a step").arg(step).arg(stored.value(encoding.step));
    if (encoding.problem == QLatin1String("key"))
        return tr("step %1 ('%2') names the unknown key '%3'")
            .arg(step).arg(stored.value(encoding.step), stored.value(encoding.step).mid(2));
    if (encoding.problem == QLatin1String("delay"))
        return tr("the delay after step %1 is 100 minutes or more").arg(step);
    if (encoding.problem == QLatin1String("length"))
        return tr("it takes more than the mouse's 128 bytes; shorten it in the macro editor");
    if (encoding.problem == QLatin1String("repeat"))
        return tr("its repeat count is not 0 to 65535");
    return encoding.problem;
}

namespace {

Prepared prepareMacroSend(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    const int keys = shownKeys(core, rules);
    if (args.size() != 2)
        return usageError(tr("macro send takes a macro name and a key number (1 to %1)").arg(keys));
    const auto key = intIn(args.at(1), 1, keys);
    if (!key)
        return usageError(tr("the key must be 1 to %1, not '%2'").arg(keys).arg(args.at(1)));
    Prepared refusal;
    const QString name = args.at(0);
    const auto bytes = macroToSend(name, *key - 1, core, rules, refusal);
    if (!bytes)
        return refusal;
    const int slot = *key - 1;
    // Whether the key runs the macro of its slot, as the key page reads it.
    const bool runsSlot = keyAssignment(core, rules)[size_t(slot)][0] == rules.keyType("macro");
    return {[bytes = *bytes, slot, name, key = *key, runsSlot, profile = activeProfileLabel(core, rules)](Context &ctx) {
                // As the key dialog: the slot's macro name, and the macro at once.
                ctx.core.setData(QStringLiteral("mouseMacroKey/%1").arg(slot), name);
                if (!storeProfile(ctx))
                    return;
                ctx.changedPages << QLatin1String(page::keys);
                Delivery delivery;
                if (!delivery.step(tr("macro"), [&] { return ctx.core.mouseSendMacroData(bytes, uint(slot)); })) {
                    delivery.fail(ctx, tr("The macro's name is stored for key %1 in %2").arg(key).arg(profile));
                    return;
                }
                succeeded(ctx, tr("Macro %1 in the macro slot of key %2").arg(name).arg(key), profile);
                if (!runsSlot)
                    ctx.reply.out += tr("Key %1 runs no macro; to make it run this one: r770ctl key %1 macro %2\n")
                                         .arg(key).arg(name);
            },
            {}};
}

} // namespace

std::optional<QVariantList> macroToSend(const QString &name, int keyIndex, ControllerCore &core,
                                        const SceneRules &rules, Prepared &refusal)
{
    if (!macrolibrary::isValidName(name)) {
        refusal = usageError(tr("'%1' cannot be a macro name").arg(name));
        return std::nullopt;
    }
    // The window's key dialog refuses the same keys (keyfunctions.mjs).
    if (!rules.hasMacroSlot(keyIndex)) {
        refusal = usageError(tr("key %1 has no macro slot on the mouse (keys 1 to %2 have one)")
                                 .arg(keyIndex + 1).arg(rules.macroSlotCount()));
        return std::nullopt;
    }
    if (!macrolibrary::exists(name)) {
        refusal = usageError(tr("there is no macro named '%1' (see r770ctl macro list)").arg(name));
        return std::nullopt;
    }
    const QStringList stored = core.loadMacroIni(name);
    if (stored.isEmpty()) {
        refusal = refuse(FileError, fileproblems::describe(macrolibrary::macroPath(name), tr("it cannot be read")));
        return std::nullopt;
    }
    const SceneRules::MacroEncoding encoding = rules.encodeMacro(stored, keyNameLists(core, rules));
    if (!encoding.problem.isEmpty()) {
        refusal = usageError(tr("macro %1 cannot be sent: %2").arg(name, whyNoDeviceForm(encoding, stored)));
        return std::nullopt;
    }
    return encoding.bytes;
}

void addMacroCommands(std::vector<Command> &table)
{
    table.push_back({{QStringLiteral("macro"), QStringLiteral("send")}, QStringLiteral("NAME K"),
                     tr("send macro NAME to the macro slot of key K"),
                     tr("Sends macro NAME to the macro slot of key K (from 1; each key has a slot of\n"
                        "its own) and stores the name for that slot in the active profile, as the key\n"
                        "dialog does for a key that runs a macro. The key's function is not changed:\n"
                        "a key runs the macro of its slot once it is given one with\n"
                        "r770ctl key K macro NAME. A macro that the mouse cannot hold (a step that is\n"
                        "not one, a delay of 100 minutes or more, more than 128 bytes) is refused.\n"),
                     Access::Mouse, false, prepareMacroSend});
}

} // namespace ctl
