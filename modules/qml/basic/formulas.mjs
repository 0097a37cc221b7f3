// The conversions the scene makes between what its controls show, what the
// profile files hold and what goes to the mouse, and the ranges every value
// read from a file is brought into before it is shown or sent. Loaded by the
// scene and, headless, by QJSEngine::importModule.

// --- Values read from files --------------------------------------------------
// The settings layer hands values over as texts ("12", "true"), lists of
// texts, or undefined for a missing key.

// The language the window shows its texts in: the one stored
// ("common/language"), or the default when none is.
export const defaultLanguage = "ChineseSimplified";

export function languageOf(stored) {
    return toText(stored) || defaultLanguage;
}

// A list setting as a JavaScript array: lists from the program may arrive
// as arrays or as array-like sequences; anything else is the empty list.
export function asList(value) {
    if (Array.isArray(value))
        return value;
    if (value !== null && typeof value === "object" && typeof value.length === "number")
        return Array.from(value);
    return [];
}

// A setting as a truth value, by the settings layer's rule: "false", "0" and
// the empty text are false, any other text is true.
export function toBool(value) {
    if (typeof value === "string")
        return value !== "" && value !== "0" && value.toLowerCase() !== "false";
    return Boolean(value);
}

// A setting as text; the empty text for a missing one.
export function toText(value) {
    return value === undefined || value === null ? "" : String(value);
}

// A setting as an integer; fallback when it holds no number.
export function toInt(value, fallback = 0) {
    if (typeof value === "string" && value.trim() === "")
        return fallback;
    const n = Number(value);
    return Number.isFinite(n) ? Math.trunc(n) : fallback;
}

export function clamp(value, low, high) {
    return Math.min(Math.max(value, low), high);
}

// A setting as an integer within low..high; fallback when it holds no number.
export function boundedInt(value, low, high, fallback = low) {
    return clamp(toInt(value, fallback), low, high);
}

// A list setting as `count` integers within low..high. A missing or
// non-numeric entry takes the entry of `fallbacks` at its position (the
// factory value, say), or low.
export function boundedInts(list, count, low, high, fallbacks = []) {
    const values = asList(list);
    const result = [];
    for (let i = 0; i < count; ++i) {
        const fallback = boundedInt(fallbacks[i], low, high, low);
        result.push(boundedInt(values[i], low, high, fallback));
    }
    return result;
}

// --- Lift-off distance -------------------------------------------------------
// The slider position (stored as "mouse/reportRate") runs from 3 to 89.

export const liftOff = Object.freeze({ min: 3, max: 89 });

// The distance shown for a position, in millimetres with one decimal.
export function liftOffMillimetres(position) {
    return ((position - liftOff.min) * 2 / 86).toFixed(1);
}

// The value sent to the mouse: 125 at the lowest position down to 90 at the
// highest.
export function liftOffValue(position) {
    return 125 - Math.trunc((position - liftOff.min) * 35 / 86);
}

// --- DPI stages --------------------------------------------------------------
// A stage's slider runs over the positions 3 to 161; its value is a multiple
// of the sensor's step (dpiBase) between the sensor's bounds.

export const maxDpiStages = 8;
export const dpiSlider = Object.freeze({ first: 3, last: 161 });

// The sensor's bounds from the global settings, made usable when missing or
// inconsistent (a step of at least 1, a maximum above the minimum).
export function dpiBounds(minValue, maxValue, baseValue) {
    const min = Math.max(1, toInt(minValue, 100));
    const max = Math.max(min + 1, toInt(maxValue, 16000));
    const base = Math.max(1, toInt(baseValue, 50));
    return { min, max, base };
}

// The stage value of a slider position.
export function dpiFromPosition(position, bounds) {
    const span = dpiSlider.last - dpiSlider.first;
    const p = clamp(position, dpiSlider.first, dpiSlider.last);
    const raw = (p - dpiSlider.first) * (bounds.max - bounds.min) / span + bounds.min;
    // The tolerance keeps a value that lands on a step, short by a rounding
    // error, on that step.
    return Math.trunc(raw / bounds.base + 1e-9) * bounds.base;
}

// Where a stored value sits on its slider, 0 to 1.
export function dpiRatio(value, bounds) {
    return clamp((value - bounds.min) / (bounds.max - bounds.min), 0, 1);
}

// The stage value at a ratio 0 to 1 of the slider's length.
export function dpiFromRatio(ratio, bounds) {
    const span = dpiSlider.last - dpiSlider.first;
    return dpiFromPosition(dpiSlider.first + clamp(ratio, 0, 1) * span, bounds);
}

// A stage value typed by the user: { value } when it is a whole number
// within the bounds and a multiple of their step, otherwise { value: null }.
export function dpiTyped(text, bounds) {
    const t = String(text).trim();
    if (!/^[0-9]+$/.test(t))
        return { value: null };
    const v = Number(t);
    return { value: v >= bounds.min && v <= bounds.max && v % bounds.base === 0 ? v : null };
}

// A value moved by whole steps (the keyboard's arrows), kept in bounds.
export function dpiStep(value, steps, bounds) {
    return clamp(value + steps * bounds.base, bounds.min, bounds.max);
}

// --- Pointer options ---------------------------------------------------------
// The speed and double-click sliders store the slider's x position; the step
// sent (0 to 10) is the index of the first threshold above it.

export const pointerThresholds = Object.freeze([4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338]);
export const pointerSteps = pointerThresholds.length;

export function pointerIndex(position) {
    const i = pointerThresholds.findIndex(threshold => threshold > position);
    return i < 0 ? pointerSteps - 1 : i;
}

// The x position stored for a step: the first position that gives it.
export function pointerPosition(index) {
    const i = clamp(Math.trunc(index), 0, pointerSteps - 1);
    return i === 0 ? 0 : pointerThresholds[i - 1];
}

// Wheel lines: 1 to 100 typed, or 1000 for one screen per notch.
export const scrollLines = Object.freeze({ min: 1, max: 100, screen: 1000 });

export function scrollValue(value) {
    const lines = toInt(value, 3);
    return lines === scrollLines.screen ? lines : clamp(lines, scrollLines.min, scrollLines.max);
}

// --- Lighting ----------------------------------------------------------------
// An effect is the index the mouse's lighting table knows; `text` is the
// position of its name in the "lightControl" texts; `speed` and `brightness`
// say which of the two levels the effect uses.

const colourfulEffects = Object.freeze([
    { effect: 0, text: 1, speed: false, brightness: true },
    { effect: 1, text: 2, speed: true, brightness: false },
    { effect: 2, text: 3, speed: true, brightness: false },
    { effect: 4, text: 8, speed: false, brightness: true },
    { effect: 5, text: 9, speed: true, brightness: true },
    { effect: 6, text: 10, speed: false, brightness: false },
    { effect: 7, text: 11, speed: false, brightness: true },
    { effect: 8, text: 12, speed: true, brightness: true },
    { effect: 9, text: 13, speed: true, brightness: true },
    { effect: 10, text: 14, speed: true, brightness: true },
    { effect: 3, text: 4, speed: false, brightness: false },
]);

const simpleEffects = Object.freeze([
    { effect: 0, text: 1, speed: false, brightness: true },
    { effect: 1, text: 2, speed: true, brightness: false },
    { effect: 2, text: 3, speed: true, brightness: false },
    { effect: 4, text: 15, speed: true, brightness: false },
    { effect: 3, text: 4, speed: false, brightness: false },
]);

export function lightEffects(colourful) {
    return colourful ? colourfulEffects : simpleEffects;
}

// The effect that runs through all eight colours; with the other effects a
// mouse of the 55328 kind shows the first colour only.
export const allColoursEffect = 4;
export const colourCount = 8;

export const lightSpeed = Object.freeze({ min: 0, max: 4 });

export function lightBrightness(colourful) {
    return colourful ? { min: 1, max: 4 } : { min: 0, max: 4 };
}

// "mouse/lightValue" (effect, speed, brightness) within the ranges of the
// lighting model; an effect the model does not have becomes its first.
export function lightValues(list, colourful) {
    const values = asList(list);
    const effects = lightEffects(colourful);
    const effect = toInt(values[0], -1);
    const brightness = lightBrightness(colourful);
    return {
        effect: effects.some(e => e.effect === effect) ? effect : effects[0].effect,
        speed: boundedInt(values[1], lightSpeed.min, lightSpeed.max, 2),
        brightness: boundedInt(values[2], brightness.min, brightness.max, brightness.max),
    };
}

// "mouse/colorValue" as 24 values 0 to 255 (red, green, blue of colours 1 to 8).
export function colourValues(list, fallbacks = []) {
    return boundedInts(list, colourCount * 3, 0, 255, fallbacks);
}

// The colours as sent: a mouse of the 55328 kind gets the eighth colour
// black unless the effect uses all eight.
export function sentColours(colours, is55328, effect) {
    const sent = colours.slice(0, colourCount * 3);
    if (is55328 && effect !== allColoursEffect)
        sent.fill(0, (colourCount - 1) * 3, colourCount * 3);
    return sent;
}

// --- Key assignments ---------------------------------------------------------

export const keyAssignmentCount = 16;

// A stored assignment as its four codes 0 to 255; a missing or malformed one
// takes the fallback (the factory assignment).
export function keyCodes(list, fallback = [0, 0, 0, 0]) {
    const values = asList(list);
    const usable = values.length >= 4 && values.slice(0, 4).every(v => toInt(v, -1) >= 0);
    return usable ? boundedInts(values, 4, 0, 255) : boundedInts(fallback, 4, 0, 255);
}

// --- Recoil data -------------------------------------------------------------

export const gunRanges = Object.freeze({
    period: { min: 1, max: 255 },
    x: { min: -127, max: 127 },
    y: { min: -127, max: 127 },
    times: { min: 0, max: 255 },
});
