// `profile show N`: every setting of a profile in the window's units, read by
// the pages' own read flows (flows.mjs) and the key page's reading.
#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "coreview.h"
#include "profiles.h"
#include "scenerules.h"

#include <QJsonArray>
#include <QJsonObject>

namespace ctl {

namespace {

QJsonArray intArray(const QJSValue &list)
{
    QJsonArray out;
    for (const QVariant &value : list.toVariant().toList())
        out << value.toInt();
    return out;
}

QString colourText(const QJsonArray &colours, int n)
{
    return QStringLiteral("#%1%2%3")
        .arg(colours.at(3 * n).toInt(), 2, 16, QLatin1Char('0'))
        .arg(colours.at(3 * n + 1).toInt(), 2, 16, QLatin1Char('0'))
        .arg(colours.at(3 * n + 2).toInt(), 2, 16, QLatin1Char('0'));
}

Prepared prepareShow(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    const profiles::List list = profiles::read(core, rules);
    Prepared refusal;
    const std::optional<int> named =
        optionalProfile(QStringLiteral("profile show"), args, list, core.currentProfile, refusal);
    if (!named)
        return refusal;
    const int slot = *named;
    const int active = core.currentProfile;
    core.setCurrentProfile(slot);
    CoreView view(core);
    QStringList lines{tr("Profile:           %1").arg(list.shownAs(slot))};

    const QJSValue liftOff = rules.flow("readLiftOff", &view);
    const int position = liftOff.property(QStringLiteral("position")).toInt();
    const bool liftOn = liftOff.property(QStringLiteral("isOn")).toBool();
    const QString millimetres = rules.liftOffMillimetres(position);
    lines << tr("Lift-off:          %1 mm, %2").arg(millimetres, liftOn ? tr("on") : tr("off"));

    const QJSValue dpi = rules.flow("readDpi", &view);
    const int offered = dpi.property(QStringLiteral("offered")).toInt();
    const int enabled = dpi.property(QStringLiteral("count")).toInt();
    const QJsonArray values = intArray(dpi.property(QStringLiteral("values")));
    QStringList stageText;
    QJsonArray stages;
    for (int n = 0; n < offered; ++n) {
        stages << values.at(n);
        stageText << QString::number(values.at(n).toInt()) + (n < enabled ? QString() : tr(" (off)"));
    }
    lines << tr("DPI stages:        %1 of %2 enabled: %3").arg(enabled).arg(offered).arg(stageText.join(QStringLiteral(", ")));

    const bool colourful = rules.toBool(core.getGlobalData(QStringLiteral("mouse/isColorful")));
    const QJSValue light = rules.flow("readLighting", &view, {QJSValue(colourful)});
    const int effect = light.property(QStringLiteral("effect")).toInt();
    const QList<SceneRules::Effect> effects = rules.lightEffects(colourful);
    const QList<QStringList> names = effectNames(core, rules, effects);
    QString effectName = QString::number(effect);
    for (int i = 0; i < effects.size(); ++i)
        if (effects.at(i).effect == effect)
            effectName = names.at(i).value(1).isEmpty() ? names.at(i).value(0) : names.at(i).value(1);
    const QJsonArray colourValues = intArray(light.property(QStringLiteral("colours")));
    QJsonArray colours;
    QStringList colourWords;
    for (int n = 0; 3 * n + 2 < colourValues.size(); ++n) {
        colours << colourText(colourValues, n);
        colourWords << colourText(colourValues, n);
    }
    const int speed = light.property(QStringLiteral("speed")).toInt();
    const int brightness = light.property(QStringLiteral("brightness")).toInt();
    lines << tr("Lighting:          %1, speed %2, brightness %3").arg(effectName).arg(speed).arg(brightness)
          << tr("Colours:           %1").arg(colourWords.join(QLatin1Char(' ')));

    const QJSValue pointer = rules.flow("readPointer", &view);
    const int pointerSpeed = rules.pointerStep(pointer.property(QStringLiteral("speedPosition")).toInt());
    const int doubleClick = rules.pointerStep(pointer.property(QStringLiteral("doublePosition")).toInt());
    const int scrollLines = pointer.property(QStringLiteral("scrollLines")).toInt();
    lines << tr("Pointer:           speed %1, double-click speed %2 (0 to 10), wheel %3")
                 .arg(pointerSpeed).arg(doubleClick)
                 .arg(scrollLines >= 1000 ? tr("one screen a notch") : tr("%1 lines a notch").arg(scrollLines));

    QJsonArray periods;
    QStringList periodText;
    for (const QVariant &period : rules.flow("readActivePeriods", &view).toVariant().toList()) {
        periods << period.toInt();
        periodText << tr("%1 ms").arg(period.toInt());
    }
    lines << tr("Weapon fire:       %1 (the three active weapons)").arg(periodText.join(QStringLiteral(", ")));
    core.setCurrentProfile(active);

    const KeyListing keys = listKeys(core, rules, slot);
    lines << tr("Keys:") << keys.text.chopped(1);

    QJsonObject profile{{QStringLiteral("file"), QStringLiteral("p%1.bin").arg(slot + 1)},
                        {QStringLiteral("active"), slot == list.activeSlot}};
    for (const profiles::Entry &entry : list.entries)
        if (entry.slot == slot) {
            profile.insert(QStringLiteral("number"), entry.number);
            profile.insert(QStringLiteral("name"), entry.name);
        }
    const QJsonObject json{
        {QStringLiteral("profile"), profile},
        {QStringLiteral("liftOff"), QJsonObject{{QStringLiteral("millimetres"), millimetres.toDouble()},
                                                {QStringLiteral("on"), liftOn}}},
        {QStringLiteral("dpi"), QJsonObject{{QStringLiteral("stages"), stages}, {QStringLiteral("enabled"), enabled}}},
        {QStringLiteral("lighting"), QJsonObject{{QStringLiteral("effect"), effectName},
                                                 {QStringLiteral("speed"), speed},
                                                 {QStringLiteral("brightness"), brightness},
                                                 {QStringLiteral("colours"), colours}}},
        {QStringLiteral("pointer"), QJsonObject{{QStringLiteral("speed"), pointerSpeed},
                                                {QStringLiteral("doubleClick"), doubleClick},
                                                {QStringLiteral("scrollLines"), scrollLines}}},
        {QStringLiteral("firePeriods"), periods},
        {QStringLiteral("keys"), keys.keys}};
    const QString text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return {[json, text](Context &ctx) { print(ctx, QJsonDocument(json), text); }, {}};
}

} // namespace

void addProfileShowCommand(std::vector<Command> &table)
{
    table.push_back({{QStringLiteral("profile"), QStringLiteral("show")}, QStringLiteral("[N]"),
                     tr("every setting of profile N"),
                     tr("Shows every setting of the active profile or profile N in the window's units:\n"
                        "lift-off, the DPI stages, the lighting, the pointer options, the fire periods of\n"
                        "the active weapons and what each key does (as key list).\n"),
                     Access::ReadFiles, true, prepareShow});
}

} // namespace ctl
