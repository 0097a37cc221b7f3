// The commands that talk to the mouse: each stores in the active profile
// and sends, as the window's pages do on save.
#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "coreview.h"
#include "hid_thread.h"
#include "keyfunctions.h"
#include "profiles.h"
#include "scenerules.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>

#include <cmath>

namespace ctl {

namespace {

constexpr int colourCount = 8;

QString hex(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString usbId(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

// --- status ------------------------------------------------------------------

// The "Mouse:" line of a mouse that could not be used, from the same state
// the JSON reports.
QString unavailableState(const Context &ctx)
{
    if (ctx.unavailable.code == MouseInUse)
        return tr("in use by the r770 program");
    if (ctx.found == false)
        return tr("not found");
    const QString found = ctx.found == true ? tr("found, ") : QString();
    if (ctx.openable == false)
        return found + tr("cannot be opened");
    switch (ctx.unavailable.code) {
    case HandshakeRefused:
        return found + tr("refused the handshake");
    case DeviceError:
        return found + tr("not answering");
    default:
        return found + tr("unusable");
    }
}

QJsonValue known(const std::optional<bool> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// What the mouse reports about itself.
struct Readings
{
    bool answered = false;
    int stage = 0;
    QList<int> options;    // the keyboard-option bytes of its command set
    int deviceProfile = 0; // hid560 only
};

Readings readMouse(ControllerCore &core, Hid_Thread &link)
{
    Readings r;
    // Every read is tried; a value the mouse did not give reads as zero.
    const std::optional<int> stage = core.readCurrentDPI();
    r.stage = stage.value_or(0);
    r.answered = stage.has_value();
    if (core.commandSet() == CommandSet::hid560) {
        uchar b1 = 0, b2 = 0;
        r.answered = link.reporting().hid560_81H_GetKeyboardoption(b1, b2) == Exchange::Completed && r.answered;
        r.options = {b1, b2};
        const std::optional<int> profile = core.readCurrentProfile();
        r.deviceProfile = profile.value_or(0);
        r.answered = profile.has_value() && r.answered;
    } else {
        const std::optional<QVariantList> options = core.readKeyboardOptions();
        for (const QVariant &b : options.value_or(QVariantList(4, QVariant(0))))
            r.options << b.toInt();
        r.answered = options.has_value() && r.answered;
    }
    return r;
}

void status(Context &ctx, const profiles::List &list, const SceneRules &rules)
{
    ControllerCore &core = ctx.core;
    const bool hid560 = core.commandSet() == CommandSet::hid560;
    const QString set = hid560 ? QStringLiteral("hid560") : QStringLiteral("hid553");
    // Unknown values are null in the JSON, as the text says "unknown".
    QJsonObject mouse{{QStringLiteral("commandSet"), set},
                      {QStringLiteral("found"), ctx.link ? QJsonValue(true) : known(ctx.found)},
                      {QStringLiteral("openable"), ctx.link ? QJsonValue(true) : known(ctx.openable)},
                      {QStringLiteral("dpiStage"), QJsonValue::Null},
                      {QStringLiteral("keyboardOptions"), QJsonValue::Null}};
    QStringList lines;
    if (!ctx.link) {
        mouse.insert(QStringLiteral("problem"), ctx.unavailable.err);
        lines << tr("Mouse:             %1 (%2 commands configured)").arg(unavailableState(ctx), set);
        ctx.reply = ctx.unavailable;
    } else {
        const DeviceEntry &entry = ctx.entry;
        const Readings r = readMouse(core, *ctx.link);
        mouse.insert(QStringLiteral("scrambled"), entry.isEncode);
        mouse.insert(QStringLiteral("vid"), usbId(entry.vid));
        mouse.insert(QStringLiteral("pid"), usbId(entry.pid));
        mouse.insert(QStringLiteral("path"), entry.commandPath);
        lines << tr("Mouse:             found, %1 commands, %2 frames")
                     .arg(set, entry.isEncode ? tr("scrambled") : tr("plain"))
              << tr("Device:            %1:%2 at %3").arg(usbId(entry.vid), usbId(entry.pid), entry.commandPath);
        if (r.answered) {
            QStringList optionText;
            QJsonArray optionJson;
            for (int b : r.options) {
                optionText << hex(b);
                optionJson << b;
            }
            mouse.insert(QStringLiteral("dpiStage"), r.stage ? QJsonValue(r.stage) : QJsonValue(QJsonValue::Null));
            mouse.insert(QStringLiteral("keyboardOptions"), optionJson);
            lines << tr("DPI stage:         %1").arg(r.stage ? QString::number(r.stage) : tr("unknown"));
            if (hid560) {
                mouse.insert(QStringLiteral("deviceProfile"), r.deviceProfile);
                lines << tr("Device profile:    %1").arg(r.deviceProfile);
            }
            lines << tr("Keyboard options:  %1").arg(optionText.join(QLatin1Char(' ')));
        } else {
            lines << tr("DPI stage:         the mouse did not answer");
            ctx.reply = Reply::failure(DeviceError, tr("the mouse did not answer every query"));
        }
    }

    QJsonObject profile{{QStringLiteral("file"), QStringLiteral("p%1.bin").arg(list.activeSlot + 1)}};
    if (const profiles::Entry *active = list.active()) {
        profile.insert(QStringLiteral("number"), active->number);
        profile.insert(QStringLiteral("name"), active->name);
    }
    lines << tr("Active profile:    %1").arg(list.shownAs(list.activeSlot));
    QJsonObject json{{QStringLiteral("mouse"), mouse}, {QStringLiteral("profile"), profile}};
    if (ctx.verbose) {
        const KeyListing keys = listKeys(core, rules, list.activeSlot);
        json.insert(QStringLiteral("keys"), keys.keys);
        lines << tr("Keys:") << keys.text.chopped(1);
    }
    print(ctx, QJsonDocument(json), lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

// --- DPI ---------------------------------------------------------------------

Prepared prepareDpiStage(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    const int enabled = enabledStages(core, rules);
    if (args.size() != 1)
        return usageError(tr("dpi stage takes one stage number, 1 to %1").arg(enabled));
    const auto stage = intIn(args.at(0), 1, enabled);
    if (!stage)
        return usageError(tr("the DPI stage must be 1 to %1, not '%2': %3 enables %1 stages")
                              .arg(enabled).arg(args.at(0), activeProfileLabel(core, rules)));
    return {[stage = *stage](Context &ctx) {
                Delivery delivery;
                if (!delivery.step(tr("DPI stage"), [&] { return ctx.core.mouseSetCurrentDPI(uchar(stage)); })) {
                    delivery.fail(ctx, QString());
                    return;
                }
                ctx.activeStage = stage;
                ctx.reply.out += tr("DPI stage %1 is active.\n").arg(stage);
            },
            {}};
}

Prepared prepareDpiSet(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    // The stages as the DPI page reads them; the values given replace the
    // first ones.
    CoreView view(core);
    QJSValue dpi = rules.flow("readDpi", &view);
    const int offered = dpi.property(QStringLiteral("offered")).toInt();
    const QJSValue range = dpi.property(QStringLiteral("bounds"));
    const SceneRules::DpiBounds bounds{range.property(QStringLiteral("min")).toInt(),
                                       range.property(QStringLiteral("max")).toInt(),
                                       range.property(QStringLiteral("base")).toInt()};
    if (args.isEmpty() || args.size() > offered)
        return usageError(tr("dpi set takes 1 to %1 values, one per stage").arg(offered));

    QVariantList values = dpi.property(QStringLiteral("values")).toVariant().toList();
    for (int i = 0; i < args.size(); ++i) {
        const auto value = intIn(args.at(i), bounds.min, bounds.max);
        if (!value || *value % bounds.base != 0)
            return usageError(tr("DPI values must be multiples of %1 from %2 to %3, not '%4'")
                                  .arg(bounds.base).arg(bounds.min).arg(bounds.max).arg(args.at(i)));
        values[i] = *value;
    }
    const int count = int(args.size());
    dpi.setProperty(QStringLiteral("values"), rules.scriptValue(values));
    dpi.setProperty(QStringLiteral("count"), count);
    // The rules outlive the action: both belong to the handling of one request.
    return {[dpi, count, shown = args.join(QStringLiteral(", ")), profile = activeProfileLabel(core, rules),
             &rules](Context &ctx) {
                // As the DPI page saves.
                CoreView view(ctx.core);
                rules.flow("storeDpi", &view, {dpi});
                if (!storeProfile(ctx))
                    return;
                ctx.changedPages << QLatin1String(page::dpi);
                Delivery delivery;
                if (!delivery.step(tr("DPI stages"), [&] { return rules.flow("sendDpi", &view, {dpi}).toBool(); })) {
                    delivery.fail(ctx, tr("The stages are stored in %1").arg(profile));
                    return;
                }
                succeeded(ctx, tr("DPI stages %1 (%2 enabled)").arg(shown).arg(count), profile);
            },
            {}};
}

// --- lift-off ----------------------------------------------------------------

// The slider position that shows `millimetres` (rounded to the one decimal
// the window shows), the one nearest to its proportional place; -1 when no
// position shows it.
int liftOffPosition(double millimetres, const SceneRules &rules)
{
    const SceneRules::Range range = rules.liftOff();
    const double highest = rules.liftOffMillimetres(range.max).toDouble();
    const QString shown = QString::number(millimetres, 'f', 1);
    const double wanted = range.min + (range.max - range.min) * millimetres / highest;
    int best = -1;
    for (int p = range.min; p <= range.max; ++p)
        if (rules.liftOffMillimetres(p) == shown && (best < 0 || std::abs(p - wanted) < std::abs(best - wanted)))
            best = p;
    return best;
}

Prepared prepareLiftOff(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    const SceneRules::Range range = rules.liftOff();
    const QString lowest = rules.liftOffMillimetres(range.min), highest = rules.liftOffMillimetres(range.max);
    const QString allowed = tr("lift-off takes a distance from %1 to %2 mm and optionally on or off").arg(lowest, highest);
    if (args.isEmpty() || args.size() > 2)
        return usageError(allowed);
    QString word = args.at(0);
    if (word.endsWith(QLatin1String("mm"), Qt::CaseInsensitive))
        word.chop(2);
    bool ok = false;
    const double millimetres = word.toDouble(&ok);
    const int position = ok && std::isfinite(millimetres) && millimetres >= lowest.toDouble()
                                 && millimetres <= highest.toDouble()
                             ? liftOffPosition(millimetres, rules)
                             : -1;
    if (position < 0)
        return usageError(allowed + tr(", not '%1'").arg(args.at(0)));
    // As the lift-off card: an enable flag that is not given stays as stored.
    CoreView view(core);
    QJSValue liftOff = rules.flow("readLiftOff", &view);
    bool enabled = liftOff.property(QStringLiteral("isOn")).toBool();
    if (args.size() == 2) {
        const QString state = args.at(1).toLower();
        if (state != QLatin1String("on") && state != QLatin1String("off"))
            return usageError(allowed + tr(", not '%1'").arg(args.at(1)));
        enabled = state == QLatin1String("on");
    }
    liftOff.setProperty(QStringLiteral("position"), position);
    liftOff.setProperty(QStringLiteral("isOn"), enabled);
    return {[liftOff, enabled, shown = rules.liftOffMillimetres(position), profile = activeProfileLabel(core, rules),
             &rules](Context &ctx) {
                CoreView view(ctx.core);
                rules.flow("storeLiftOff", &view, {liftOff});
                if (!storeProfile(ctx))
                    return;
                ctx.changedPages << QLatin1String(page::liftOff);
                Delivery delivery;
                if (!delivery.step(tr("lift-off"), [&] { return rules.flow("sendLiftOff", &view, {liftOff}).toBool(); })) {
                    delivery.fail(ctx, tr("It is stored in %1").arg(profile));
                    return;
                }
                succeeded(ctx, tr("Lift-off %1 mm, %2").arg(shown, enabled ? tr("on") : tr("off")), profile);
            },
            {}};
}

// --- lighting ----------------------------------------------------------------

std::optional<std::array<int, 3>> colour(const QString &word)
{
    static const QRegularExpression rgb(QStringLiteral("^#?([0-9a-fA-F]{6})$"));
    const QRegularExpressionMatch match = rgb.match(word);
    if (!match.hasMatch())
        return std::nullopt;
    const uint value = match.captured(1).toUInt(nullptr, 16);
    return std::array<int, 3>{int(value >> 16), int((value >> 8) & 0xFF), int(value & 0xFF)};
}

} // namespace

// The names of the window's effects, in the language it shows and in English.
QList<QStringList> effectNames(ControllerCore &core, const SceneRules &rules,
                               const QList<SceneRules::Effect> &effects)
{
    const QString language = rules.language(core.getGlobalData(QStringLiteral("common/language")));
    const QStringList shown = core.getLangStrings(QStringLiteral("lightControl"), language);
    const QStringList english = core.getLangStrings(QStringLiteral("lightControl"), QStringLiteral("English"));
    QList<QStringList> names;
    for (const SceneRules::Effect &e : effects)
        names << QStringList{shown.value(e.text), english.value(e.text)};
    return names;
}

namespace {

Prepared prepareLight(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    const QList<SceneRules::Effect> effects = rules.lightEffects(core.isColorful);
    const SceneRules::Range speed = rules.lightSpeed(), brightness = rules.lightBrightness(core.isColorful);
    const QList<QStringList> names = effectNames(core, rules, effects);
    if (args.size() < 3 || args.size() > 3 + colourCount)
        return usageError(tr("light takes EFFECT (1 to %1, or its name), SPEED (%2 to %3), BRIGHTNESS (%4 to %5) "
                             "and up to %6 colours")
                              .arg(effects.size()).arg(speed.min).arg(speed.max).arg(brightness.min)
                              .arg(brightness.max).arg(colourCount));
    int chosen = -1;
    if (const auto number = intIn(args.at(0), 1, int(effects.size())))
        chosen = *number - 1;
    for (int i = 0; i < names.size() && chosen < 0; ++i)
        for (const QString &name : names.at(i))
            if (!name.isEmpty() && name.compare(args.at(0), Qt::CaseInsensitive) == 0)
                chosen = i;
    if (chosen < 0) {
        QStringList listed;
        for (int i = 0; i < names.size(); ++i)
            listed << QStringLiteral("%1 %2").arg(i + 1).arg(names.at(i).value(0));
        return usageError(tr("the effect must be one of: %1; not '%2'").arg(listed.join(QStringLiteral(", ")), args.at(0)));
    }
    const auto speedLevel = intIn(args.at(1), speed.min, speed.max);
    if (!speedLevel)
        return usageError(tr("the speed must be %1 to %2, not '%3'").arg(speed.min).arg(speed.max).arg(args.at(1)));
    const auto brightnessLevel = intIn(args.at(2), brightness.min, brightness.max);
    if (!brightnessLevel)
        return usageError(tr("the brightness must be %1 to %2, not '%3'")
                              .arg(brightness.min).arg(brightness.max).arg(args.at(2)));

    // The lighting as the lighting card reads it; colours given replace the
    // first ones.
    CoreView view(core);
    QJSValue light = rules.flow("readLighting", &view, {core.isColorful});
    QVariantList colours = light.property(QStringLiteral("colours")).toVariant().toList();
    for (int i = 3; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("-"))
            continue; // keeps that colour
        const auto rgb = colour(args.at(i));
        if (!rgb)
            return usageError(tr("colours are given as RRGGBB or #RRGGBB (or - to keep one), not '%1'").arg(args.at(i)));
        for (int c = 0; c < 3; ++c)
            colours[(i - 3) * 3 + c] = (*rgb)[size_t(c)];
    }
    const int effect = effects.at(chosen).effect;
    light.setProperty(QStringLiteral("effect"), effect);
    light.setProperty(QStringLiteral("speed"), *speedLevel);
    light.setProperty(QStringLiteral("brightness"), *brightnessLevel);
    light.setProperty(QStringLiteral("colours"), rules.scriptValue(colours));
    const QString shown = tr("Lighting %1 (effect %2), speed %3, brightness %4")
                              .arg(names.at(chosen).value(0)).arg(chosen + 1).arg(*speedLevel).arg(*brightnessLevel);
    return {[light, shown, profile = activeProfileLabel(core, rules), &rules](Context &ctx) {
                ControllerCore &core = ctx.core;
                // As the lighting card saves: stored, then the colours and the effect.
                CoreView view(core);
                rules.flow("storeLighting", &view, {light});
                if (!storeProfile(ctx))
                    return;
                ctx.changedPages << QLatin1String(page::lighting);
                const auto colours = [&] { return rules.flow("sendColours", &view, {light}).toBool(); };
                const auto effect = [&] { return rules.flow("sendEffect", &view, {light}).toBool(); };
                Delivery delivery;
                if (core.commandSet() == CommandSet::hid560) {
                    // Colours and effect travel in the same profile images,
                    // as one flow: each image goes once.
                    delivery.step(tr("lighting"), [&] {
                        core.mouseBeginFlow();
                        bool sent = colours();
                        sent = effect() && sent;
                        return core.mouseEndFlow() && sent;
                    });
                } else {
                    delivery.step(tr("colours"), colours);
                    delivery.step(tr("effect"), effect);
                }
                if (!delivery.complete()) {
                    delivery.fail(ctx, tr("The lighting is stored in %1").arg(profile));
                    return;
                }
                succeeded(ctx, shown, profile);
            },
            {}};
}

// --- keys --------------------------------------------------------------------

// A macro key in the words that assign it: "macro Burst", "macro Burst loop".
QString macroWords(const QString &name, int mode, const SceneRules &rules)
{
    const QString word = keyfunctions::macroModeWord(mode, rules);
    return word.isEmpty() || mode == rules.macroModes().value(0) ? QStringLiteral("macro %1").arg(name)
                                                                 : QStringLiteral("macro %1 %2").arg(name, word);
}

} // namespace

// A key's function in words; a macro key by the name of its macro.
QString describeKey(ControllerCore &core, const SceneRules &rules, const keyfunctions::Codes &codes)
{
    if (codes[0] != rules.keyType("macro"))
        return keyfunctions::describe(codes, rules);
    const QString name = core.getData(QStringLiteral("mouseMacroKey/%1").arg(codes[2]), false).toString();
    if (name.isEmpty())
        return keyfunctions::describe(codes, rules);
    return macroWords(name, codes[1], rules);
}

namespace {

Prepared prepareKey(const QStringList &args, ControllerCore &core, const SceneRules &rules)
{
    const int keys = shownKeys(core, rules);
    if (args.size() < 2)
        return usageError(tr("key takes a key number (1 to %1) and a function; see r770ctl key --help").arg(keys));
    const auto key = intIn(args.at(0), 1, keys);
    if (!key)
        return usageError(tr("the key must be 1 to %1, not '%2'").arg(keys).arg(args.at(0)));
    const int index = *key - 1;
    // The key page's rule (flows.mjs) says which keys take which function.
    CoreView view(core);
    const QJSValue codes = rules.flow("readKeys", &view).property(QStringLiteral("codes"));
    const auto refusal = [&](const QJSValue &chosen) {
        return rules.flowRule("keyRefusal", {codes, keys, index, chosen}).toString();
    };
    // A key whose entry the firmware fixes keeps the mouse's own function,
    // which the key matrix always sends there.
    if (refusal(codes.property(quint32(index))) == QLatin1String("firmware")) {
        const SceneRules::KeyCodes factory = rules.keyCodes(core.mouseGetKeydefine(QString::number(index), true), {});
        const SceneRules::KeyCodes kept = rules.firmwareCodes(factory);
        return usageError(tr("key %1 keeps the mouse's own function (%2); the mouse takes no other there")
                              .arg(*key)
                              .arg(kept[0] == rules.keyType("fixed") ? tr("a fixed one")
                                                                     : keyfunctions::describe(kept, rules)));
    }

    keyfunctions::Parsed parsed = keyfunctions::parse(args.mid(1), rules);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    // A macro plays from the key's own macro slot, where it is sent first.
    if (!parsed.macro.isEmpty())
        (*parsed.codes)[2] = index;
    std::vector<keyfunctions::Codes> factory;
    std::vector<keyfunctions::Codes> assignment = keyAssignment(core, rules, &factory);
    const keyfunctions::Codes chosen = parsed.codes ? *parsed.codes : factory[size_t(index)];
    const QString refused = refusal(rules.scriptValue(QVariantList{chosen[0], chosen[1], chosen[2], chosen[3]}));
    if (refused == QLatin1String("left"))
        return usageError(tr("key %1 is the only left button; the mouse must keep one").arg(*key));
    if (refused == QLatin1String("slot"))
        return usageError(tr("key %1 has no macro slot on the mouse (keys 1 to %2 have one)")
                              .arg(*key).arg(rules.macroSlotCount()));
    std::optional<QVariantList> macro;
    if (!parsed.macro.isEmpty()) {
        Prepared why;
        macro = macroToSend(parsed.macro, index, core, rules, why);
        if (!macro)
            return why;
    }
    const QString previous = describeKey(core, rules, assignment[size_t(index)]);
    assignment[size_t(index)] = chosen;

    QVariantList held;
    for (const keyfunctions::Codes &entry : assignment)
        held << QVariant(QVariantList{entry[0], entry[1], entry[2], entry[3]});
    const QString shown = macro ? macroWords(parsed.macro, chosen[1], rules) : keyfunctions::describe(chosen, rules);
    return {[held, index, macro, name = parsed.macro, &rules,
             shown = tr("Key %1: %2 (was %3)").arg(*key).arg(shown, previous),
             profile = activeProfileLabel(core, rules)](Context &ctx) {
                ControllerCore &core = ctx.core;
                CoreView view(core);
                const QJSValue codes = rules.scriptValue(held);
                const QJSValue periods = rules.flow("readActivePeriods", &view);
                // As the key dialog and Save: the macro's name for the key's
                // slot, the assignment; then the macro and the assignment go.
                if (macro)
                    core.setData(QStringLiteral("mouseMacroKey/%1").arg(index), name);
                rules.flow("storeKeys", &view, {codes, periods});
                if (!storeProfile(ctx))
                    return;
                ctx.changedPages << QLatin1String(page::keys);
                Delivery delivery;
                if (macro)
                    delivery.step(tr("macro"), [&] { return core.mouseSendMacroData(*macro, uint(index)); });
                delivery.step(tr("key assignment"),
                              [&] { return rules.flow("sendKeys", &view, {codes, periods}).toBool(); });
                if (!delivery.complete()) {
                    delivery.fail(ctx, tr("It is stored in %1").arg(profile));
                    return;
                }
                succeeded(ctx, shown, profile);
            },
            {}};
}

} // namespace

void addMouseCommands(std::vector<Command> &table)
{
    table.push_back(
        {{QStringLiteral("status")}, QString(), tr("the mouse, its DPI stage and the active profile"),
         tr("Looks for the mouse as r770 does and reports whether it was found, its command set,\n"
            "whether its frames are scrambled, the active DPI stage, the keyboard options and,\n"
            "on an hid560 mouse, the active device profile; then the active profile of the\n"
            "files, with --verbose also what each key does (as key list). The exit status\n"
            "says why the mouse could not be read, if it could not.\n"),
         Access::Status, true, [](const QStringList &args, ControllerCore &core, const SceneRules &rules) -> Prepared {
             if (!args.isEmpty())
                 return usageError(tr("status takes no arguments"));
             // The rules outlive the action: both belong to the handling of one request.
             return {[list = profiles::read(core, rules), &rules](Context &ctx) { status(ctx, list, rules); }, {}};
         }});
    table.push_back({{QStringLiteral("dpi"), QStringLiteral("stage")}, QStringLiteral("N"),
                     tr("make DPI stage N active"),
                     tr("Makes stage N (from 1) the mouse's active DPI stage, as the mouse's DPI button\n"
                        "does. N goes up to the number of stages enabled in the active profile.\n"),
                     Access::Mouse, false, prepareDpiStage});
    table.push_back(
        {{QStringLiteral("dpi"), QStringLiteral("set")}, QStringLiteral("VALUE..."),
         tr("set the DPI of stages 1, 2, ... and enable that many"),
         tr("Sets the DPI of stage 1, 2, ... to the values given, enables that many stages,\n"
            "stores them in the active profile and sends them, as the DPI page's Save does.\n"
            "Stages after the last value keep their stored values. Each value must be a\n"
            "multiple of mouse/dpiBase between mouse/minDPI and mouse/maxDPI of apConfig.bin\n"
            "(shipped: 50, 100 and 16000); at most mouse/dpiCount values (shipped: 6).\n"),
         Access::Mouse, false, prepareDpiSet});
    table.push_back(
        {{QStringLiteral("liftoff")}, QStringLiteral("MM [on|off]"), tr("set the lift-off distance"),
         tr("Sets the lift-off distance to MM millimetres (0.0 to 2.0, as the window's LOD\n"
            "slider shows it; the slider position showing it is taken) and, if given, switches\n"
            "it on or off; stores it in the active profile and sends it.\n"),
         Access::Mouse, false, prepareLiftOff});
    table.push_back(
        {{QStringLiteral("light")}, QStringLiteral("EFFECT SPEED BRIGHTNESS [COLOUR...]"), tr("set the lighting"),
         tr("Sets the lighting. EFFECT is the effect's name as the window lists it (Static,\n"
            "Breath, ..., OFF) or its place in that list, from 1. SPEED (0 to 4) and\n"
            "BRIGHTNESS (1 to 4, or 0 to 4 with the simple lighting model) are the steps of\n"
            "the window's sliders. Up to 8 colours follow, as RRGGBB or #RRGGBB, for colours\n"
            "1, 2, ...; - keeps a colour. Stores them in the active profile and sends them,\n"
            "as the lighting card's Save does.\n"),
         Access::Mouse, false, prepareLight});
    table.push_back(
        {{QStringLiteral("key")}, QStringLiteral("K FUNCTION..."), tr("assign a function to key K"),
         tr("Gives key K (from 1, as the window's key panel numbers them) a new function,\n"
            "stores the assignment in the active profile and sends it, as the key dialog\n"
            "and Save do. The only left button cannot be given another function, nor can\n"
            "the keys whose function the mouse's firmware keeps (7 and 8; 9, 10 and 13 where\n"
            "shown).\n"
            "FUNCTION is one of:\n")
             + keyfunctions::reference()
             + tr("KEY names are those of the window (a, f5, enter, esc, tab, space, kp1, ...) or\n"
                  "aliases such as escape, backspace, pageup, delete, up, left.\n"
                  "Examples: key 3 button back; key 4 keys ctrl+c; key 5 fire a 10 3;\n"
                  "key 6 macro Burst loop\n"),
         Access::Mouse, false, prepareKey});
}

} // namespace ctl
