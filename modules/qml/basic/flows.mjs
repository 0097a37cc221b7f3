// What each page reads from the profile in use and the global settings,
// what it stores and what it sends, in that order. Every function takes the
// controller ("ui_View" in the scene; the same operations under the same
// names for r770ctl) as its first argument. The pages keep only what they
// show and what the user edits; r770ctl runs these very functions, so the
// window and r770ctl store and send the same.
import * as Formulas from "formulas.mjs"
import * as KeyFunctions from "keyfunctions.mjs"
import * as Codec from "macrocodec.mjs"

// Whether every operation of a send reached the mouse. The window's
// operations return nothing (the scene learns nothing of the link), which
// counts as sent; r770ctl's return whether they completed.
function allSent(results) {
    return results.every(result => result !== false);
}

// --- Lift-off -------------------------------------------------------------------

// The slider position and the enable flag.
export function readLiftOff(view) {
    return {
        position: Formulas.boundedInt(view.getData("mouse/reportRate", false),
                                      Formulas.liftOff.min, Formulas.liftOff.max),
        isOn: Formulas.toBool(view.getData("mouse/reportRateEn", false))
    };
}

// The card writes each change at once; storing both is what a caller that
// sets them together does.
export function storeLiftOff(view, liftOff) {
    view.setData("mouse/reportRate", liftOff.position);
    view.setData("mouse/reportRateEn", liftOff.isOn);
}

export function sendLiftOff(view, liftOff) {
    return allSent([view.mouseSetReportRate(Formulas.liftOffValue(liftOff.position), liftOff.isOn ? 1 : 0)]);
}

// --- DPI --------------------------------------------------------------------------

// The bounds, the sensor, the stages offered and enabled, and the values of
// every stage.
export function readDpi(view) {
    const bounds = Formulas.dpiBounds(view.getGlobalData("mouse/minDPI"), view.getGlobalData("mouse/maxDPI"),
                                      view.getGlobalData("mouse/dpiBase"));
    const sensor = view.getGlobalData("mouse/sensorType");
    const offered = Formulas.boundedInt(view.getData("mouse/dpiCount", false), 1, Formulas.maxDpiStages,
                                        Formulas.maxDpiStages);
    return {
        bounds: bounds,
        sensorType: sensor === undefined || sensor === null ? "" : String(sensor),
        offered: offered,
        count: Formulas.boundedInt(view.getData("mouse/currentDpiCount", false), 1, offered, offered),
        values: Formulas.boundedInts(view.getDataList("mouse/dpiValueArray", false), Formulas.maxDpiStages,
                                     bounds.min, bounds.max, view.getDataList("mouse/dpiValueArray", true))
    };
}

// The values, then the number of stages enabled.
export function storeDpi(view, dpi) {
    view.setDataList("mouse/dpiValueArray", dpi.values);
    view.setData("mouse/currentDpiCount", dpi.count);
}

export function sendDpi(view, dpi) {
    return allSent([view.mouseSetDpi(dpi.count, dpi.sensorType, dpi.values)]);
}

// --- Lighting -----------------------------------------------------------------------

// Effect, speed, brightness and the eight colours (three values each).
export function readLighting(view, colourful) {
    const light = Formulas.lightValues(view.getDataList("mouse/lightValue", false), colourful);
    return {
        colourful: colourful,
        is55328: Formulas.toBool(view.getGlobalData("mouse/is55328")),
        effect: light.effect,
        speed: light.speed,
        brightness: light.brightness,
        colours: Formulas.colourValues(view.getDataList("mouse/colorValue", false),
                                       view.getDataList("mouse/colorValue", true))
    };
}

export function storeLighting(view, light) {
    view.setDataList("mouse/lightValue", [light.effect, light.speed, light.brightness]);
    view.setDataList("mouse/colorValue", light.colours);
}

// The colours, then the effect.
export function sendLighting(view, light) {
    return allSent([sendColours(view, light), sendEffect(view, light)]);
}

export function sendColours(view, light) {
    return allSent([view.mouseSetRGBColor(light.colourful ? 0 : 1,
                                          Formulas.sentColours(light.colours, light.is55328, light.effect))]);
}

// The effect goes twice, as the mouse expects; the second whatever became
// of the first.
export function sendEffect(view, light) {
    return allSent([view.mouseSetRGBEffect(light.effect, light.speed, light.brightness),
                    view.mouseSetRGBEffect(light.effect, light.speed, light.brightness)]);
}

// --- Pointer options ------------------------------------------------------------------

// The slider positions stored for the pointer and double-click speeds, and
// the wheel lines.
export function readPointer(view) {
    const last = Formulas.pointerThresholds[Formulas.pointerSteps - 1];
    return {
        speedPosition: Formulas.boundedInt(view.getData("mouse/mouseRate", false), 0, last,
                                           Formulas.pointerPosition(5)),
        doublePosition: Formulas.boundedInt(view.getData("mouse/doubleRate", false), 0, last,
                                            Formulas.pointerPosition(5)),
        scrollLines: Formulas.scrollValue(view.getData("mouse/scrollRate", false))
    };
}

// Applied to the desktop, not sent to the mouse.
export function sendPointer(view, pointer) {
    view.mouseSetCursorSpeed(Formulas.pointerIndex(pointer.speedPosition));
    view.mouseSetDoubleClickSpeed(Formulas.pointerIndex(pointer.doublePosition));
    view.mouseSetVerticalScrollLines(pointer.scrollLines);
}

// --- Recoil weapons ----------------------------------------------------------------

// The six built-in weapons of the recoil store, of which three are active:
// the key assignment carries the active weapons' fire periods to the mouse.
export const weapons = Object.freeze({
    defaultNames: Object.freeze(["M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"]),
    activeCount: 3,
    defaultKey: "L-Click",
    defaultPeriod: 10,
});

// A weapon from its stored fields (name, key, period, x, y, times); a
// missing or malformed field takes its default.
export function readWeapon(values, index) {
    const v = Formulas.asList(values);
    const r = Formulas.gunRanges;
    return {
        name: v.length > 0 && String(v[0]).length > 0 ? String(v[0]) : weapons.defaultNames[index],
        key: v.length > 1 && String(v[1]).length > 0 ? String(v[1]) : weapons.defaultKey,
        period: Formulas.boundedInt(v[2], r.period.min, r.period.max, weapons.defaultPeriod),
        x: Formulas.boundedInt(v[3], r.x.min, r.x.max, 0),
        y: Formulas.boundedInt(v[4], r.y.min, r.y.max, 10),
        times: Formulas.boundedInt(v[5], r.times.min, r.times.max, 0),
    };
}

// Every weapon, and the positions of active weapons 1, 2 and 3.
export function readWeapons(view) {
    const guns = weapons.defaultNames.map((name, i) => readWeapon(view.getGunData(i), i));
    const active = Formulas.boundedInts(view.getGlobalData("mouse/selectGun"), weapons.activeCount, 0,
                                        guns.length - 1, [0, 1, 2]);
    return { guns: guns, active: active };
}

// The fire periods of the active weapons, which go with every key assignment.
export function activePeriods(recoil) {
    return recoil.active.map(i => recoil.guns[i] ? recoil.guns[i].period : weapons.defaultPeriod);
}

export function readActivePeriods(view) {
    return activePeriods(readWeapons(view));
}

// --- Keys ------------------------------------------------------------------------------

// How many keys the key panel shows: keys 1 to that.
export function readShownKeys(view) {
    return Formulas.boundedInt(view.getGlobalData("mouse/keyCount"), 1, Formulas.keyAssignmentCount, 8);
}

// The four codes of every key (a missing or malformed entry is the factory
// one), the factory codes, and the macro name of each slot a key runs.
export function readKeys(view) {
    const codes = [], factory = [], macroNames = [];
    for (let k = 0; k < Formulas.keyAssignmentCount; ++k) {
        factory.push(Formulas.keyCodes(view.mouseGetKeydefine(k, true)));
        codes.push(Formulas.keyCodes(view.mouseGetKeydefine(k, false), factory[k]));
    }
    for (const entry of codes)
        if (entry[0] === KeyFunctions.type.macro)
            macroNames[entry[2]] = Formulas.toText(view.getData("mouseMacroKey/" + entry[2], false));
    return { codes: codes, factory: factory, macroNames: macroNames };
}

// The 64 codes the key matrix takes, key 0 first.
export function flatCodes(codes) {
    const flat = [];
    for (const entry of codes)
        flat.push(entry[0], entry[1], entry[2], entry[3]);
    return flat;
}

export function storeKeys(view, codes, periods) {
    view.mouseSetKeyMatrix(flatCodes(codes), false, periods);
}

// Stores the assignment and sends it with the active weapons' fire periods.
export function sendKeys(view, codes, periods) {
    return allSent([view.mouseSetKeyMatrix(flatCodes(codes), true, periods)]);
}

// The only one of the first `shown` keys that is a left button (-1 when
// there are several or none): it keeps its function, so that the mouse
// always keeps a left button.
export function onlyLeftButton(codes, shown) {
    let found = -1;
    for (let k = 0; k < Math.min(shown, codes.length); ++k) {
        if (KeyFunctions.isLeftButton(codes[k])) {
            if (found >= 0)
                return -1;
            found = k;
        }
    }
    return found;
}

// Why key `index` of the first `shown` keys of `codes` cannot take
// `chosen`: "firmware" (the mouse keeps its own function there), "left"
// (the only left button), "slot" (a macro on a key with no macro slot);
// "" when it can.
export function keyRefusal(codes, shown, index, chosen) {
    if (KeyFunctions.keptByFirmware(index))
        return "firmware";
    if (index === onlyLeftButton(codes, shown) && !KeyFunctions.isLeftButton(chosen))
        return "left";
    if (chosen[0] === KeyFunctions.type.macro && !KeyFunctions.hasMacroSlot(index))
        return "slot";
    return "";
}

// The stored macro `name` as the mouse receives it, its keys found by name
// in `nameLists` in turn; null when it is missing or has no device form
// (a key no list knows included).
export function macroBytes(view, name, nameLists) {
    const stored = Formulas.asList(view.loadMacroIni(name)).map(String);
    if (stored.length === 0)
        return null;
    const codeOf = Codec.lookupIn(nameLists);
    const steps = stored.slice(0, -1);
    const result = Codec.encode(steps, Codec.repeatOf(stored[stored.length - 1]), codeOf);
    return result.problem.length > 0 || Codec.unknownKey(steps, codeOf) >= 0 ? null : result.bytes;
}

// The mouse's macro slots are not per profile: a profile put in use sends
// the macro of each slot its keys run, { slot, name, bytes } in key order;
// `leftOut` names those missing or with no device form.
export function keyMacros(view, codes, nameLists) {
    const macros = [], leftOut = [];
    for (const slot of KeyFunctions.macroSlotsRun(codes)) {
        const name = Formulas.toText(view.getData("mouseMacroKey/" + slot, false));
        if (name.length === 0)
            continue;
        const bytes = macroBytes(view, name, nameLists);
        if (bytes === null)
            leftOut.push(name);
        else
            macros.push({ slot: slot, name: name, bytes: bytes });
    }
    return { macros: macros, leftOut: leftOut };
}

// --- The profile in use, whole -------------------------------------------------------

// The profile selector's choice: the number stored, the profile in use.
export function useProfile(view, number) {
    view.setGlobalData("mouse/profileNo", number);
    view.setCurrentProfile(number);
}

// What every page reads from the profile in use.
export function readProfile(view, colourful) {
    return {
        keys: readKeys(view),
        periods: readActivePeriods(view),
        liftOff: readLiftOff(view),
        dpi: readDpi(view),
        light: readLighting(view, colourful),
        pointer: readPointer(view),
    };
}

// What the pages store on the way, before anything is sent.
export function storeProfile(view, profile) {
    storeKeys(view, profile.keys.codes, profile.periods);
    storeDpi(view, profile.dpi);
    storeLighting(view, profile.light);
}

// Sends the profile whole, page by page: the macros its keys run, the key
// assignment, lift-off, DPI stages, lighting; the pointer options go to the
// desktop. A step the mouse did not take stops the steps after it. Returns
// the steps sent ("macro", "keys", "liftOff", "dpi", "lighting"; a macro's
// step also has its slot), the one that failed (null: none), those skipped,
// and the names of the macros left out.
export function sendProfile(view, profile, nameLists) {
    const run = { sent: [], failed: null, skipped: [], leftOut: [] };
    const step = (what, operation) => {
        if (run.failed !== null)
            run.skipped.push(what);
        else if (operation())
            run.sent.push(what);
        else
            run.failed = what;
    };
    const found = keyMacros(view, profile.keys.codes, nameLists);
    run.leftOut = found.leftOut;
    for (const macro of found.macros)
        step({ step: "macro", slot: macro.slot },
             () => allSent([view.mouseSendMacroData(macro.bytes, macro.slot)]));
    step({ step: "keys" }, () => sendKeys(view, profile.keys.codes, profile.periods));
    step({ step: "liftOff" }, () => sendLiftOff(view, profile.liftOff));
    step({ step: "dpi" }, () => sendDpi(view, profile.dpi));
    step({ step: "lighting" }, () => sendLighting(view, profile.light));
    sendPointer(view, profile.pointer);
    return run;
}
