// What each page reads from the profile in use and the global settings,
// what it stores and what it sends, in that order. Every function takes the
// controller ("ui_View" in the scene; the same operations under the same
// names for r770ctl) as its first argument. The pages keep only what they
// show and what the user edits; r770ctl runs these very functions, so the
// window and r770ctl store and send the same.
import * as Formulas from "formulas.mjs"

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
