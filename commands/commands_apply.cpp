// `profile apply`: a profile put in use and sent whole, as the window's
// profile switch does.
#include "commands.h"

#include "commandset.h"
#include "commandsupport.h"
#include "controllercore.h"
#include "coreview.h"
#include "hid_thread.h"
#include "profiles.h"
#include "scenerules.h"

#include <QSettings>

namespace ctl {

namespace {

// What each page of the window reads from the profile in use and sends.
struct ProfilePages
{
    // keys, and the macros they run: slot and bytes; the names of those
    // with no device form, which are left out
    QVariantList keyCodes, gunPeriods;
    QList<QPair<int, QVariantList>> macros;
    QStringList macrosLeftOut;
    // the records of the lift-off, DPI, lighting and pointer flows
    QJSValue liftOff, dpi, light, pointer;
};

// The pages' own reads, from the files as the scene reads them.
ProfilePages readPages(ControllerCore &core, const SceneRules &rules)
{
    ProfilePages p;
    const std::vector<SceneRules::KeyCodes> assignment = keyAssignment(core, rules);
    p.keyCodes = flatCodes(assignment);
    p.gunPeriods = activeGunPeriods(core, rules);
    // The mouse's macro slots are not per profile: each slot a key runs gets
    // its macro again, as the macro store sends them.
    for (const int slot : rules.macroSlotsRun(assignment)) {
        const QString name = core.getData(QStringLiteral("mouseMacroKey/%1").arg(slot), false).toString();
        if (name.isEmpty())
            continue;
        Prepared unused;
        if (const std::optional<QVariantList> bytes = macroToSend(name, slot, core, rules, unused))
            p.macros.append({slot, *bytes});
        else
            p.macrosLeftOut << name;
    }

    CoreView view(core);
    p.liftOff = rules.flow("readLiftOff", &view);
    p.dpi = rules.flow("readDpi", &view);
    p.light = rules.flow("readLighting", &view,
                         {rules.toBool(core.getGlobalData(QStringLiteral("mouse/isColorful")))});
    p.pointer = rules.flow("readPointer", &view);
    return p;
}

Prepared prepareApply(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    if (args.size() != 1)
        return usageError(tr("profile apply takes a profile"));
    const profiles::List list = profiles::read(core, rules);
    QString why;
    const profiles::Entry *found = list.find(args.at(0), &why);
    if (!found)
        return usageError(why);
    const profiles::Entry entry = *found;
    // The rules outlive the action: both belong to the handling of one request.
    return {[entry, &rules](Context &ctx) {
                ControllerCore &core = ctx.core;
                // As the profile selector: the number stored, the profile in use.
                core.setGlobalData(QStringLiteral("mouse/profileNo"), entry.slot);
                core.setCurrentProfile(entry.slot);
                const ProfilePages p = readPages(core, rules);
                CoreView view(core);
                // What the pages store on the way, before anything is sent.
                core.mouseSetKeyMatrix(p.keyCodes, false, p.gunPeriods);
                rules.flow("storeDpi", &view, {p.dpi});
                rules.flow("storeLighting", &view, {p.light});
                if (!flushed(ctx, *core.globalSettings) || !storeProfile(ctx))
                    return;
                ctx.changedPages << QLatin1String(page::profile);

                // Sent as the window's switch sends it: page by page, as one
                // flow. On hid560 the DPI stages and the lighting only change
                // the profile images, which go once each when the flow ends;
                // they cannot fail before that.
                const bool imagesHeld = core.commandSet() == CommandSet::hid560;
                const auto dpi = [&] { return rules.flow("sendDpi", &view, {p.dpi}).toBool(); };
                const auto lighting = [&] { return rules.flow("sendLighting", &view, {p.light}).toBool(); };
                Delivery delivery;
                core.mouseBeginFlow();
                for (const auto &macro : p.macros)
                    delivery.step(tr("macro of key %1").arg(macro.first + 1),
                                  [&] { return core.mouseSendMacroData(macro.second, uint(macro.first)); });
                delivery.step(tr("key assignment"),
                              [&] { return core.mouseSetKeyMatrix(p.keyCodes, true, p.gunPeriods); });
                delivery.step(tr("lift-off"), [&] { return rules.flow("sendLiftOff", &view, {p.liftOff}).toBool(); });
                if (imagesHeld && delivery.complete()) {
                    dpi();
                    lighting();
                } else { // after a failure, only noted as not sent
                    delivery.step(tr("DPI stages"), dpi);
                    delivery.step(tr("lighting"), lighting);
                }
                // The pointer options are the desktop's, not the mouse's.
                rules.flow("sendPointer", &view, {p.pointer});
                if (imagesHeld && delivery.complete())
                    delivery.step(tr("profile images (DPI stages and lighting)"), [&] { return core.mouseEndFlow(); });
                else
                    core.mouseEndFlow();
                const QString name = tr("profile %1 (%2)").arg(entry.number).arg(entry.name);
                if (!delivery.complete()) {
                    delivery.fail(ctx, tr("%1 is in use").arg(name.left(1).toUpper() + name.mid(1)));
                    return;
                }
                ctx.reply.out += tr("Profile %1 (%2) is in use and was sent to the mouse whole.\n")
                                     .arg(entry.number).arg(entry.name);
                if (!p.macrosLeftOut.isEmpty())
                    ctx.reply.err += tr("r770ctl: not sent, missing or more than the mouse can hold: macro %1\n")
                                         .arg(p.macrosLeftOut.join(QStringLiteral(", ")));
            },
            {}};
}

} // namespace

void addApplyCommand(std::vector<Command> &table)
{
    table.push_back({{QStringLiteral("profile"), QStringLiteral("apply")}, QStringLiteral("N"),
                     tr("put profile N in use and send it whole"),
                     tr("Makes profile N the active one and sends all of it to the mouse (the macros\n"
                        "its keys run, key assignment, lift-off, DPI stages, lighting) and applies its pointer options to\n"
                        "the desktop, exactly as choosing it in the window's profile selector does. Run\n"
                        "it at login, or after profile import or profile reset of the active profile.\n"
                        "N is the profile's number in profile list, or its name.\n"),
                     Access::Mouse, false, prepareApply});
}

} // namespace ctl
