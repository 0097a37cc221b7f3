// `key list`: what each key does, in the words `key K` takes.
#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "profiles.h"
#include "scenerules.h"

#include <QJsonArray>
#include <QJsonObject>

namespace ctl {

namespace {

Prepared prepareKeyList(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    const profiles::List list = profiles::read(core, rules);
    Prepared refusal;
    const std::optional<int> named =
        optionalProfile(QStringLiteral("key list"), args, list, core.currentProfile, refusal);
    if (!named)
        return refusal;
    const int slot = *named;
    const KeyListing listing = listKeys(core, rules, slot);
    const QJsonArray keys = listing.keys;
    const QString text = tr("Keys of %1:\n").arg(list.label(slot)) + listing.text;
    const profiles::Entry *shown = nullptr;
    for (const profiles::Entry &entry : list.entries)
        if (entry.slot == slot)
            shown = &entry;
    const QJsonObject profile{{QStringLiteral("number"), shown ? QJsonValue(shown->number) : QJsonValue()},
                              {QStringLiteral("name"), shown ? QJsonValue(shown->name) : QJsonValue()},
                              {QStringLiteral("file"), QStringLiteral("p%1.bin").arg(slot + 1)}};
    const QJsonDocument json(QJsonObject{{QStringLiteral("profile"), profile}, {QStringLiteral("keys"), keys}});
    return {[json, text](Context &ctx) { print(ctx, json, text); }, {}};
}

} // namespace

KeyListing listKeys(ControllerCore &core, const SceneRules &rules, int slot)
{
    // The key page of that profile, read as the window reads it.
    const int active = core.currentProfile;
    core.setCurrentProfile(slot);
    const std::vector<SceneRules::KeyCodes> assignment = keyAssignment(core, rules);
    KeyListing listing;
    for (int n = 0; n < shownKeys(core, rules); ++n) {
        const bool kept = rules.keptByFirmware(n);
        const SceneRules::KeyCodes codes =
            kept ? rules.firmwareCodes(rules.keyCodes(core.mouseGetKeydefine(QString::number(n), true), {}))
                 : assignment[size_t(n)];
        const QString function = codes[0] == rules.keyType("fixed") ? tr("(fixed by the mouse)")
                                                                     : describeKey(core, rules, codes);
        listing.keys << QJsonObject{{QStringLiteral("key"), n + 1}, {QStringLiteral("function"), function},
                                    {QStringLiteral("keptByMouse"), kept}};
        listing.text += tr("  %1  %2%3\n").arg(n + 1, 2).arg(function, kept ? tr("  (the mouse's own)") : QString());
    }
    core.setCurrentProfile(active);
    return listing;
}

void addKeyListCommand(std::vector<Command> &table)
{
    table.push_back({{QStringLiteral("key"), QStringLiteral("list")}, QStringLiteral("[N]"),
                     tr("what each key does"),
                     tr("Lists each key's function in the words key K takes (a macro key by its macro),\n"
                        "from the active profile or profile N. Keys the mouse keeps to itself are\n"
                        "marked.\n"),
                     Access::ReadFiles, true, prepareKeyList});
}

} // namespace ctl
