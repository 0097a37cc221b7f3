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

#include <QJSValue>
#include <QSettings>

namespace ctl {

namespace {

// The names the keys of a stored macro are found by, in turn: the language
// the window shows, the built-in names, then every language's.
QJSValue nameLists(ControllerCore &core, const SceneRules &rules)
{
    QVariantList lists;
    for (const QStringList &names : keyNameLists(core, rules))
        lists.append(QVariant(QVariant(names).toList())); // one element per list
    return rules.scriptValue(lists);
}

// What a step of the profile flow is called in messages.
QString stepName(const QJSValue &step)
{
    const QString what = step.property(QStringLiteral("step")).toString();
    if (what == QLatin1String("macro"))
        return tr("macro of key %1").arg(step.property(QStringLiteral("slot")).toInt() + 1);
    if (what == QLatin1String("keys"))
        return tr("key assignment");
    if (what == QLatin1String("liftOff"))
        return tr("lift-off");
    if (what == QLatin1String("dpi"))
        return tr("DPI stages");
    return tr("lighting");
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
                CoreView view(core);
                // The window's profile switch (flows.mjs): the profile put in
                // use, what the pages store, then all of it sent.
                rules.flow("useProfile", &view, {entry.slot});
                const QJSValue profile = rules.flow(
                    "readProfile", &view, {rules.toBool(core.getGlobalData(QStringLiteral("mouse/isColorful")))});
                rules.flow("storeProfile", &view, {profile});
                if (!flushed(ctx, *core.globalSettings) || !storeProfile(ctx))
                    return;
                ctx.changedPages << QLatin1String(page::profile);

                core.mouseBeginFlow();
                const QJSValue run = rules.flow("sendProfile", &view, {profile, nameLists(core, rules)});
                // On hid560 the DPI stages and the lighting only change the
                // profile images, which go once each when the flow ends.
                const bool imagesHeld = core.commandSet() == CommandSet::hid560;
                Delivery delivery;
                const QJSValue sent = run.property(QStringLiteral("sent"));
                for (quint32 i = 0, n = sent.property(QStringLiteral("length")).toUInt(); i < n; ++i) {
                    const QString what = sent.property(i).property(QStringLiteral("step")).toString();
                    if (!imagesHeld || (what != QLatin1String("dpi") && what != QLatin1String("lighting")))
                        delivery.step(stepName(sent.property(i)), [] { return true; });
                }
                const QJSValue failed = run.property(QStringLiteral("failed"));
                if (!failed.isNull())
                    delivery.step(stepName(failed), [] { return false; });
                const QJSValue skipped = run.property(QStringLiteral("skipped"));
                for (quint32 i = 0, n = skipped.property(QStringLiteral("length")).toUInt(); i < n; ++i)
                    delivery.step(stepName(skipped.property(i)), [] { return false; });
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
                const QStringList leftOut = run.property(QStringLiteral("leftOut")).toVariant().toStringList();
                if (!leftOut.isEmpty())
                    ctx.reply.err += tr("r770ctl: not sent, missing or more than the mouse can hold: macro %1\n")
                                         .arg(leftOut.join(QStringLiteral(", ")));
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
