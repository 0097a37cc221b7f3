// The commands that talk to the mouse: each stores in the active profile
// and sends, as the window's pages do on save.
#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "hid_thread.h"
#include "inivalue.h"
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

constexpr int maxDpiStages = 8;
constexpr int keyEntries = 16;
constexpr int colourCount = 8;
constexpr int colourValues = colourCount * 3;
constexpr int colourfulEffects = 11;
constexpr int simpleEffects = 5;
constexpr int speedLevels = 4;      // 0 to 4
constexpr int brightnessLevels = 4; // 1 to 4
constexpr int leftButton = 0xF0;
constexpr int recoilWeapons = 3;
constexpr int gunPeriodField = 2;

QString hex(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString usbId(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

// A stored list as whole numbers, padded with `fill` to `size` entries.
QVariantList numbers(const QVariantList &stored, int size, const std::function<int(int)> &fill)
{
    QVariantList out;
    for (int i = 0; i < size; ++i) {
        bool ok = false;
        const int value = stored.value(i).toInt(&ok);
        out << (ok ? value : fill(i));
    }
    return out;
}

// "mouse/dpiCount" stages are offered, "mouse/currentDpiCount" of them are
// enabled; values out of range (a hand-edited profile) are held to 1 to 8.
int offeredStages(ControllerCore &core)
{
    bool ok = false;
    const int count = core.getData(QStringLiteral("mouse/dpiCount"), false).toInt(&ok);
    return ok ? qBound(1, count, maxDpiStages) : maxDpiStages;
}

int enabledStages(ControllerCore &core)
{
    bool ok = false;
    const int count = core.getData(QStringLiteral("mouse/currentDpiCount"), false).toInt(&ok);
    const int offered = offeredStages(core);
    return ok ? qBound(1, count, offered) : offered;
}

QString activeProfileLabel(ControllerCore &core)
{
    return tr("profile %1").arg(profiles::label(profiles::read(core), core.currentProfile));
}

// Stores the active profile's pending changes and reports a file error.
bool storeProfile(Context &ctx)
{
    return flushed(ctx, *ctx.core.currentProfileSettings());
}

void succeeded(Context &ctx, const QString &what)
{
    ctx.reply.out += tr("%1. Stored in %2 and sent to the mouse.\n").arg(what, activeProfileLabel(ctx.core));
}

// --- status ------------------------------------------------------------------

QString unavailableState(int code)
{
    switch (code) {
    case MouseInUse:
        return tr("in use by the r770 program");
    case HandshakeRefused:
        return tr("refused the handshake");
    case DeviceError:
        return tr("not answering");
    default:
        return tr("not found");
    }
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
    const unsigned failedBefore = link.tally().failed;
    r.stage = core.mouseGetCurrentDPI();
    if (core.commandSet() == CommandSet::hid560) {
        uchar b1 = 0, b2 = 0;
        link.hid560_81H_GetKeyboardoption(b1, b2);
        r.options = {b1, b2};
        r.deviceProfile = core.mouseReadCurrentProfile();
    } else {
        for (const QVariant &b : core.GetKeyboardoption())
            r.options << b.toInt();
    }
    r.answered = link.tally().failed == failedBefore;
    return r;
}

void status(Context &ctx)
{
    ControllerCore &core = ctx.core;
    const bool hid560 = core.commandSet() == CommandSet::hid560;
    const QString set = hid560 ? QStringLiteral("hid560") : QStringLiteral("hid553");
    QJsonObject mouse{{QStringLiteral("commandSet"), set}, {QStringLiteral("found"), ctx.link != nullptr}};
    QStringList lines;
    if (!ctx.link) {
        mouse.insert(QStringLiteral("problem"), ctx.unavailable.err);
        lines << tr("Mouse:             %1 (%2 commands configured)").arg(unavailableState(ctx.unavailable.code), set);
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
            mouse.insert(QStringLiteral("dpiStage"), r.stage);
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

    const profiles::List list = profiles::read(core);
    QJsonObject profile{{QStringLiteral("file"), QStringLiteral("p%1.bin").arg(list.activeSlot + 1)}};
    if (const profiles::Entry *active = list.active()) {
        profile.insert(QStringLiteral("number"), active->number);
        profile.insert(QStringLiteral("name"), active->name);
    }
    lines << tr("Active profile:    %1").arg(profiles::label(list, list.activeSlot));
    print(ctx, QJsonDocument(QJsonObject{{QStringLiteral("mouse"), mouse}, {QStringLiteral("profile"), profile}}),
          lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

// --- DPI ---------------------------------------------------------------------

Prepared prepareDpiStage(const QStringList &args, ControllerCore &core)
{
    const int enabled = enabledStages(core);
    if (args.size() != 1)
        return usageError(tr("dpi stage takes one stage number, 1 to %1").arg(enabled));
    const auto stage = intIn(args.at(0), 1, enabled);
    if (!stage)
        return usageError(tr("the DPI stage must be 1 to %1, not '%2': %3 enables %1 stages")
                              .arg(enabled).arg(args.at(0), activeProfileLabel(core)));
    return {[stage = *stage](Context &ctx) {
                Delivery delivery(*ctx.link);
                if (!delivery.step(tr("DPI stage"), [&] { ctx.core.mouseSetCurrentDPI(uchar(stage)); })) {
                    delivery.fail(ctx, QString());
                    return;
                }
                ctx.reply.out += tr("DPI stage %1 is active.\n").arg(stage);
            },
            {}};
}

Prepared prepareDpiSet(const QStringList &args, ControllerCore &core)
{
    const int offered = offeredStages(core);
    bool okMin = false, okMax = false, okBase = false;
    const int minDpi = core.getGlobalData(QStringLiteral("mouse/minDPI")).toInt(&okMin);
    const int maxDpi = core.getGlobalData(QStringLiteral("mouse/maxDPI")).toInt(&okMax);
    const int base = core.getGlobalData(QStringLiteral("mouse/dpiBase")).toInt(&okBase);
    if (!okMin || !okMax || !okBase || base <= 0 || minDpi > maxDpi)
        return refuse(FileError, tr("%1: mouse/minDPI, mouse/maxDPI and mouse/dpiBase must be numbers")
                                     .arg(core.globalSettings->fileName()));
    if (args.isEmpty() || args.size() > offered)
        return usageError(tr("dpi set takes 1 to %1 values, one per stage").arg(offered));

    const QVariantList stored = core.getDataList(QStringLiteral("mouse/dpiValueArray"), false);
    QVariantList values = numbers(stored, maxDpiStages, [minDpi](int) { return minDpi; });
    for (int i = 0; i < args.size(); ++i) {
        const auto value = intIn(args.at(i), minDpi, maxDpi);
        if (!value || *value % base != 0)
            return usageError(tr("DPI values must be multiples of %1 from %2 to %3, not '%4'")
                                  .arg(base).arg(minDpi).arg(maxDpi).arg(args.at(i)));
        values[i] = *value;
    }
    const QString sensor = core.getGlobalData(QStringLiteral("mouse/sensorType")).toString();
    const int count = int(args.size());
    return {[values, count, sensor, shown = args.join(QStringLiteral(", "))](Context &ctx) {
                // As the DPI page saves: the values, the stage count, then the mouse.
                ctx.core.setDataList(QStringLiteral("mouse/dpiValueArray"), values);
                ctx.core.setData(QStringLiteral("mouse/currentDpiCount"), count);
                if (!storeProfile(ctx))
                    return;
                Delivery delivery(*ctx.link);
                if (!delivery.step(tr("DPI stages"), [&] { ctx.core.mouseSetDpi(count, sensor, values); })) {
                    delivery.fail(ctx, tr("The stages are stored in %1").arg(activeProfileLabel(ctx.core)));
                    return;
                }
                succeeded(ctx, tr("DPI stages %1 (%2 enabled)").arg(shown).arg(count));
            },
            {}};
}

// --- lift-off ----------------------------------------------------------------

Prepared prepareLiftOff(const QStringList &args, ControllerCore &core)
{
    const double highest = scenerules::liftOffMillimetres(scenerules::liftOffLastPosition);
    const QString range = tr("lift-off takes a distance from %1 to %2 mm and optionally on or off")
                              .arg(scenerules::liftOffMillimetres(scenerules::liftOffFirstPosition), 0, 'f', 1)
                              .arg(highest, 0, 'f', 1);
    if (args.isEmpty() || args.size() > 2)
        return usageError(range);
    QString word = args.at(0);
    if (word.endsWith(QLatin1String("mm"), Qt::CaseInsensitive))
        word.chop(2);
    bool ok = false;
    const double millimetres = word.toDouble(&ok);
    if (!ok || !std::isfinite(millimetres) || millimetres < 0 || millimetres > highest)
        return usageError(range + tr(", not '%1'").arg(args.at(0)));
    bool enabled = core.getData(QStringLiteral("mouse/reportRateEn"), false).toBool();
    if (args.size() == 2) {
        const QString state = args.at(1).toLower();
        if (state != QLatin1String("on") && state != QLatin1String("off"))
            return usageError(range + tr(", not '%1'").arg(args.at(1)));
        enabled = state == QLatin1String("on");
    }
    const int position = scenerules::liftOffPosition(millimetres);
    return {[position, enabled](Context &ctx) {
                ctx.core.setData(QStringLiteral("mouse/reportRate"), position);
                ctx.core.setData(QStringLiteral("mouse/reportRateEn"), enabled);
                if (!storeProfile(ctx))
                    return;
                Delivery delivery(*ctx.link);
                if (!delivery.step(tr("lift-off"), [&] {
                        ctx.core.mouseSetReportRate(scenerules::liftOffRate(position), uchar(enabled ? 1 : 0));
                    })) {
                    delivery.fail(ctx, tr("It is stored in %1").arg(activeProfileLabel(ctx.core)));
                    return;
                }
                succeeded(ctx, tr("Lift-off %1 mm, %2")
                                   .arg(scenerules::liftOffMillimetres(position), 0, 'f', 1)
                                   .arg(enabled ? tr("on") : tr("off")));
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

Prepared prepareLight(const QStringList &args, ControllerCore &core)
{
    const int effects = core.isColorful ? colourfulEffects : simpleEffects;
    if (args.size() < 3 || args.size() > 3 + colourCount)
        return usageError(tr("light takes EFFECT (1 to %1), SPEED (0 to %2), BRIGHTNESS (1 to %3) "
                             "and up to %4 colours")
                              .arg(effects).arg(speedLevels).arg(brightnessLevels).arg(colourCount));
    const auto effect = intIn(args.at(0), 1, effects);
    if (!effect)
        return usageError(tr("the effect must be 1 to %1, not '%2'").arg(effects).arg(args.at(0)));
    const auto speed = intIn(args.at(1), 0, speedLevels);
    if (!speed)
        return usageError(tr("the speed must be 0 to %1, not '%2'").arg(speedLevels).arg(args.at(1)));
    const auto brightness = intIn(args.at(2), 1, brightnessLevels);
    if (!brightness)
        return usageError(tr("the brightness must be 1 to %1, not '%2'").arg(brightnessLevels).arg(args.at(2)));

    QVariantList colours =
        numbers(core.getDataList(QStringLiteral("mouse/colorValue"), false), colourValues, [](int) { return 0; });
    for (int i = 3; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("-"))
            continue; // keeps that colour
        const auto rgb = colour(args.at(i));
        if (!rgb)
            return usageError(tr("colours are given as RRGGBB or #RRGGBB (or - to keep one), not '%1'").arg(args.at(i)));
        for (int c = 0; c < 3; ++c)
            colours[(i - 3) * 3 + c] = (*rgb)[size_t(c)];
    }
    const int index = *effect - 1; // the window's list starts at effect 0
    const QVariantList lightValue{index, *speed, *brightness};
    return {[lightValue, colours, index](Context &ctx) {
                ControllerCore &core = ctx.core;
                // As the lighting page saves: both lists, the colours, then the effect twice.
                core.setDataList(QStringLiteral("mouse/lightValue"), lightValue);
                core.setDataList(QStringLiteral("mouse/colorValue"), colours);
                if (!storeProfile(ctx))
                    return;
                Delivery delivery(*ctx.link);
                const uchar model = core.isColorful ? 0 : 1;
                delivery.step(tr("colours"), [&] {
                    core.mouseSetRGBColor(model, scenerules::coloursToSend(colours, index, core.is55328));
                });
                delivery.step(tr("effect"), [&] {
                    for (int i = 0; i < 2; ++i)
                        core.mouseSetRGBEffect(uchar(index), uchar(lightValue.at(1).toInt()),
                                               uchar(lightValue.at(2).toInt()));
                });
                if (!delivery.complete()) {
                    delivery.fail(ctx, tr("The lighting is stored in %1").arg(activeProfileLabel(core)));
                    return;
                }
                succeeded(ctx, tr("Lighting effect %1, speed %2, brightness %3")
                                   .arg(index + 1).arg(lightValue.at(1).toInt()).arg(lightValue.at(2).toInt()));
            },
            {}};
}

// --- keys --------------------------------------------------------------------

keyfunctions::Codes codesOf(const QVariantList &list)
{
    keyfunctions::Codes codes{};
    for (int i = 0; i < 4; ++i)
        codes[size_t(i)] = list.value(i).toInt();
    return codes;
}

// A key's function in words; a macro key by the name of its macro.
QString describeKey(ControllerCore &core, const keyfunctions::Codes &codes)
{
    if (codes[0] != keyfunctions::macroType)
        return keyfunctions::describe(codes);
    const QString name = core.getData(QStringLiteral("mouseMacroKey/%1").arg(codes[2]), false).toString();
    return name.isEmpty() ? keyfunctions::describe(codes) : tr("macro %1").arg(name);
}

bool isLeftButton(const keyfunctions::Codes &codes)
{
    return codes[0] == 0 && codes[2] == leftButton;
}

Prepared prepareKey(const QStringList &args, ControllerCore &core)
{
    bool ok = false;
    const int keyCount = qBound(1, core.getGlobalData(QStringLiteral("mouse/keyCount")).toInt(&ok), keyEntries);
    const int keys = ok ? keyCount : keyEntries;
    if (args.size() < 2)
        return usageError(tr("key takes a key number (1 to %1) and a function; see r770ctl key --help").arg(keys));
    const auto key = intIn(args.at(0), 1, keys);
    if (!key)
        return usageError(tr("the key must be 1 to %1, not '%2'").arg(keys).arg(args.at(0)));
    const int entry = *key - 1;

    const keyfunctions::Parsed parsed = keyfunctions::parse(args.mid(1));
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    // The assignment as the key page holds it: a missing entry shows the factory one.
    std::vector<keyfunctions::Codes> assignment;
    for (int n = 0; n < keyEntries; ++n) {
        QVariantList stored = core.mouseGetKeydefine(QString::number(n), false);
        if (stored.size() < 4)
            stored = core.mouseGetKeydefine(QString::number(n), true);
        assignment.push_back(codesOf(stored));
    }
    keyfunctions::Codes chosen{};
    if (parsed.codes) {
        chosen = *parsed.codes;
    } else {
        const QVariantList factory = core.mouseGetKeydefine(QString::number(entry), true);
        if (factory.size() < 4)
            return refuse(FileError, tr("%1 holds no factory function for key %2")
                                         .arg(core.factorySettings->fileName()).arg(*key));
        chosen = codesOf(factory);
    }
    // The window never lets the last left button go.
    if (isLeftButton(assignment[size_t(entry)]) && !isLeftButton(chosen)) {
        int lefts = 0;
        for (int n = 0; n < keys; ++n)
            lefts += isLeftButton(assignment[size_t(n)]) ? 1 : 0;
        if (lefts == 1)
            return usageError(tr("key %1 is the only left button; the mouse must keep one").arg(*key));
    }
    const QString previous = describeKey(core, assignment[size_t(entry)]);
    assignment[size_t(entry)] = chosen;

    QVariantList src64;
    for (const keyfunctions::Codes &codes : assignment)
        for (int code : codes)
            src64 << code;
    // The periods of the three active weapons go with every key save.
    const QVariantList selected = ini::toList(core.getGlobalData(QStringLiteral("mouse/selectGun")));
    QVariantList periods;
    for (int w = 0; w < recoilWeapons; ++w) {
        const QVariantList weapon = core.getGunData(selected.value(w).toString());
        periods << weapon.value(gunPeriodField).toUInt();
    }
    return {[src64, periods, key = *key, chosen, previous](Context &ctx) {
                ControllerCore &core = ctx.core;
                core.mouseSetKeyMatrix(src64, false, periods);
                if (!storeProfile(ctx))
                    return;
                Delivery delivery(*ctx.link);
                if (!delivery.step(tr("key assignment"), [&] { core.mouseSetKeyMatrix(src64, true, periods); })) {
                    delivery.fail(ctx, tr("It is stored in %1").arg(activeProfileLabel(core)));
                    return;
                }
                succeeded(ctx, tr("Key %1: %2 (was %3)").arg(key).arg(keyfunctions::describe(chosen), previous));
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
            "files. The exit status says why the mouse could not be read, if it could not.\n"),
         Access::Status, true, [](const QStringList &args, ControllerCore &) -> Prepared {
             if (!args.isEmpty())
                 return usageError(tr("status takes no arguments"));
             return {status, {}};
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
            "(shipped: 50, 100 and 16000); at most mouse/dpiCount values.\n"),
         Access::Mouse, false, prepareDpiSet});
    table.push_back(
        {{QStringLiteral("liftoff")}, QStringLiteral("MM [on|off]"), tr("set the lift-off distance"),
         tr("Sets the lift-off distance to MM millimetres (0.0 to 2.0, the window's LOD\n"
            "slider; the nearest slider position is taken) and, if given, switches it on or\n"
            "off; stores it in the active profile and sends it.\n"),
         Access::Mouse, false, prepareLiftOff});
    table.push_back(
        {{QStringLiteral("light")}, QStringLiteral("EFFECT SPEED BRIGHTNESS [COLOUR...]"), tr("set the lighting"),
         tr("Sets the lighting: EFFECT is the effect's place in the window's effect list,\n"
            "from 1 (1 to 11, or 1 to 5 on a mouse with the simple lighting model); SPEED\n"
            "is 0 to 4 and BRIGHTNESS 1 to 4, the levels of the window's controls. Up to 8\n"
            "colours follow, as RRGGBB or #RRGGBB, for colours 1, 2, ...; - keeps a colour.\n"
            "Stores them in the active profile and sends them, as the lighting page's Save.\n"),
         Access::Mouse, false, prepareLight});
    table.push_back(
        {{QStringLiteral("key")}, QStringLiteral("K FUNCTION..."), tr("assign a function to key K"),
         tr("Gives key K (from 1, as the window's key panel numbers them) a new function,\n"
            "stores the assignment in the active profile and sends it, as the key dialog\n"
            "and Save do. The only left button cannot be given another function.\n"
            "FUNCTION is one of:\n")
             + keyfunctions::reference()
             + tr("KEY names are those of the window (a, f5, enter, esc, tab, space, kp1, ...) or\n"
                  "aliases such as escape, backspace, pageup, delete, up, left.\n"
                  "Examples: key 3 button back; key 4 keys ctrl+c; key 5 fire a 10 3\n"),
         Access::Mouse, false, prepareKey});
}

} // namespace ctl
