// What a mouse key does, as the four codes the key page stores and sends
// (keyCode0 to keyCode3), and the text that describes it. `text` fields are
// positions in the "keyAssigment" texts; `word` fields are r770ctl's words. Loaded by the scene and, headless,
// by QJSEngine::importModule.

import { codes as tableCodes, firstButtonCode } from "./keycodes.mjs";

export const type = Object.freeze({
    mouse: 0x00, fire: 0x01, combination: 0x02, media: 0x03, macro: 0x04,
    dpi: 0x05, windows: 0x06, shortcut: 0x07, gun: 0x08, fixed: 0xFF,
});

// Mouse buttons: keyCode2 is the button's code.
export const buttons = Object.freeze([
    { codes: [0, 0, 0xF0, 0], text: 2, word: "left" },
    { codes: [0, 0, 0xF2, 0], text: 3, word: "middle" },
    { codes: [0, 0, 0xF1, 0], text: 4, word: "right" },
    { codes: [0, 0, 0xF4, 0], text: 5, word: "forward" },
    { codes: [0, 0, 0xF3, 0], text: 6, word: "back" },
]);

export const doubleFire = Object.freeze({ codes: [0, 0xF0, 0x1E, 0x02], text: 7 });

// Consumer-page usages, low byte in keyCode2 and high byte in keyCode3.
export const media = Object.freeze([
    { codes: [3, 0, 0x83, 0x01], text: 27, word: "player" },
    { codes: [3, 0, 0xB5, 0], text: 28, word: "next" },
    { codes: [3, 0, 0xB6, 0], text: 29, word: "previous" },
    { codes: [3, 0, 0xB7, 0], text: 30, word: "stop" },
    { codes: [3, 0, 0xE2, 0], text: 31, word: "mute" },
    { codes: [3, 0, 0xCD, 0], text: 32, word: "play-pause" },
    { codes: [3, 0, 0xE9, 0], text: 33, word: "volume-up" },
    { codes: [3, 0, 0xEA, 0], text: 34, word: "volume-down" },
]);

export const dpi = Object.freeze([
    { codes: [5, 0, 1, 0], text: 22, word: "up" },
    { codes: [5, 0, 2, 0], text: 23, word: "down" },
    { codes: [5, 0, 3, 0], text: 24, word: "loop" },
    { codes: [5, 0, 4, 0], text: 56, word: "sniper" },
]);

export const windows = Object.freeze([
    { codes: [6, 0, 0x94, 0x01], text: 35, word: "my-computer" },
    { codes: [6, 0, 0x23, 0x02], text: 36, word: "home" },
    { codes: [6, 0, 0x21, 0x02], text: 37, word: "search" },
    { codes: [6, 0x04, 0x2C, 0x1B], text: 38, word: "maximise" },
    { codes: [6, 0x04, 0x2C, 0x11], text: 39, word: "minimise" },
    { codes: [6, 0, 0xE3, 0x07], text: 40, word: "show-desktop" },
    { codes: [6, 0, 0xE3, 0x15], text: 41, word: "run" },
]);

// Ctrl + a key.
export const shortcuts = Object.freeze([
    { codes: [7, 0, 0xE0, 0x11], text: 42, word: "new" },
    { codes: [7, 0, 0xE0, 0x1B], text: 43, word: "cut" },
    { codes: [7, 0, 0xE0, 0x06], text: 44, word: "copy" },
    { codes: [7, 0, 0xE0, 0x19], text: 45, word: "paste" },
    { codes: [7, 0, 0xE0, 0x16], text: 46, word: "save" },
    { codes: [7, 0, 0xE0, 0x13], text: 47, word: "print" },
    { codes: [7, 0, 0xE0, 0x09], text: 48, word: "find" },
    { codes: [7, 0, 0xE0, 0x1C], text: 49, word: "redo" },
    { codes: [7, 0, 0xE0, 0x1D], text: 50, word: "undo" },
    { codes: [7, 0, 0xE0, 0x04], text: 51, word: "select-all" },
]);

// The three active recoil weapons.
export const guns = Object.freeze([
    { codes: [8, 0, 1, 0], text: 53, word: "1" },
    { codes: [8, 0, 2, 0], text: 54, word: "2" },
    { codes: [8, 0, 3, 0], text: 55, word: "3" },
]);

// Macro play modes (keyCode1) and the texts that explain them.
// `word` is r770ctl's: played once, looped until any button is pressed,
// looped while held.
export const macroModes = Object.freeze([
    { mode: 0, text: 18, word: "once" }, { mode: 1, text: 19, word: "loop" }, { mode: 2, text: 20, word: "hold" },
]);

// r770ctl's words for the lists of fixed functions ("button back"): the
// word, then the list whose entries' `word` follows it.
export const commandWords = Object.freeze([
    { word: "button", list: "buttons" },
    { word: "media", list: "media" },
    { word: "dpi", list: "dpi" },
    { word: "desktop", list: "windows" },
    { word: "shortcut", list: "shortcuts" },
    { word: "recoil", list: "guns" },
]);

// Combination modifiers: bit i of keyCode1 is the key 0xE0 + i.
export const firstModifier = 0xE0;
export const modifierCount = 8;

const fixedFunctions = [].concat(buttons, [doubleFire], media, dpi, windows, shortcuts, guns);

export function sameCodes(a, b) {
    return a.length >= 4 && b.length >= 4
        && a[0] === b[0] && a[1] === b[1] && a[2] === b[2] && a[3] === b[3];
}

// Whether the codes assign the left mouse button.
export function isLeftButton(codes) {
    return codes[0] === type.mouse && codes[2] === 0xF0;
}

// Keys (from 0) whose device entry the key-matrix translation fixes,
// whatever the profile holds: the mouse keeps its own function there, so no
// other is offered. Key 5's own entry is sent at position 7.
export const firmwareKeys = Object.freeze([6, 7, 8, 9, 12]);

export function keptByFirmware(index) {
    return firmwareKeys.includes(index);
}

// The function such a key has on the mouse: its factory function where the
// factory profile names one the key page knows, otherwise the fixed one.
export function firmwareCodes(factoryCodes) {
    return categoryOf(factoryCodes) !== "" ? factoryCodes.slice(0, 4) : [type.fixed, 0, 0, 0];
}

// The mouse has twelve macro slots, one for each of keys 0 to 11; a key
// runs the macro of its own slot.
export const macroSlotCount = 12;

export function hasMacroSlot(index) {
    return index >= 0 && index < macroSlotCount;
}

// The macro slots an assignment of the keys runs (`entries`: the four codes
// of each key, key 0 first), each once, in key order: those of keys with a
// slot whose entry reaches the mouse.
export function macroSlotsRun(entries) {
    const slots = [];
    entries.forEach((codes, index) => {
        if (codes.length >= 4 && codes[0] === type.macro && !keptByFirmware(index)
                && hasMacroSlot(codes[2]) && !slots.includes(codes[2]))
            slots.push(codes[2]);
    });
    return slots;
}

// The modifier codes set in a combination's keyCode1, in bit order.
export function modifierCodes(bits) {
    const result = [];
    for (let i = 0; i < modifierCount; ++i)
        if (bits & (1 << i))
            result.push(firstModifier + i);
    return result;
}

// The text of an assignment.
//   texts      the "keyAssigment" texts
//   keyName    code -> the key's display name
//   macroName  macro slot -> the name of the macro held there ("" if none)
//   units      { ms: text after a fire interval, endless: text for 0 repeats }
export function describe(codes, texts, keyName, macroName, units) {
    const [c0, c1, c2, c3] = codes;
    const known = fixedFunctions.find(f => sameCodes(f.codes, codes));
    if (known)
        return texts[known.text] || "";
    switch (c0) {
    case type.fire: {
        const times = c3 === 0 ? units.endless : "\u00D7" + c3;
        return keyName(c1) + "  " + times + "  " + c2 + " " + units.ms;
    }
    case type.combination: {
        const keys = modifierCodes(c1).concat([c2, c3].filter(c => c !== 0));
        return keys.map(keyName).join(" + ");
    }
    case type.macro:
        return macroName(c2) || texts[16] || "";
    case type.fixed:
        return texts[57] || "\u2014";
    default:
        return codes.map(c => "0x" + c.toString(16).toUpperCase().padStart(2, "0")).join(" ");
    }
}

// --- The assignment dialog ---------------------------------------------------

// The dialog's groups of functions in the order it lists them; `text` is the
// group's name in the "keyAssigment" texts. The fixed function is in none:
// it is shown, never offered.
export const categories = Object.freeze([
    { name: "mouse", text: 1 },
    { name: "fire", text: 8 },
    { name: "combination", text: 14 },
    { name: "media", text: 15 },
    { name: "macro", text: 16 },
    { name: "dpi", text: 21 },
    { name: "windows", text: 25 },
    { name: "shortcut", text: 26 },
    { name: "gun", text: 52 },
]);

// The group that offers an assignment; "" for the fixed function and codes
// no group builds.
export function categoryOf(codes) {
    const [c0] = codes;
    switch (c0) {
    case type.mouse:
        return buttons.concat([doubleFire]).some(f => sameCodes(f.codes, codes)) ? "mouse" : "";
    case type.fire: return "fire";
    case type.combination: return "combination";
    case type.macro: return "macro";
    default: {
        const lists = { media, dpi, windows, shortcut: shortcuts, gun: guns };
        for (const name of Object.keys(lists))
            if (lists[name].some(f => sameCodes(f.codes, codes)))
                return name;
        return "";
    }
    }
}

// Fire: the key, the interval in ms shown in "Rate" (keyCode2) and the
// repeat count from "Times" (keyCode3; 0 repeats while the button is held).
export const fireRate = Object.freeze({ min: 1, max: 255, initial: 10 });
export const fireTimes = Object.freeze({ min: 0, max: 255, initial: 1 });

function within(value, range) {
    const n = Math.trunc(Number(value));
    return Number.isFinite(n) ? Math.min(Math.max(n, range.min), range.max) : range.initial;
}

export function fireCodes(key, rate, times) {
    return [type.fire, key, within(rate, fireRate), within(times, fireTimes)];
}

export function macroCodes(mode, slot) {
    return [type.macro, mode, slot, 0];
}

// --- Capturing keys ------------------------------------------------------------
// The fire and combination inputs take the key reports of the system-wide
// capture ("detectKeyboard": down or up, USB code). They take keyboard keys
// of the key table only: any other code is refused (`refused` holds it) and
// the capture goes on; it never becomes code 0.

export function capturable(code) {
    return code > 0 && code < firstButtonCode && tableCodes.includes(code);
}

// Fire takes the first key pressed; releases (of the key that started the
// capture, say) are not keys.
export function startFire() {
    return { key: 0, refused: 0, done: false };
}

export function fireEvent(state, isDown, code) {
    if (state.done || !isDown)
        return state;
    if (!capturable(code))
        return { key: state.key, refused: code, done: false };
    return { key: code, refused: 0, done: true };
}

// A combination takes presses: a modifier sets its bit of keyCode1, another
// key fills keyCode2, then keyCode3, and further keys are ignored. It is done
// once every key it took is released again.
export function startCombination() {
    return { codes: [type.combination, 0, 0, 0], held: [], refused: 0, done: false };
}

export function combinationEvent(state, isDown, code) {
    if (state.done)
        return state;
    if (!isDown) {
        if (!state.held.includes(code))
            return state;
        const held = state.held.filter(c => c !== code);
        return { codes: state.codes, held, refused: state.refused, done: held.length === 0 };
    }
    if (!capturable(code))
        return { codes: state.codes, held: state.held, refused: code, done: false };
    const codes = state.codes.slice();
    if (code >= firstModifier && code < firstModifier + modifierCount)
        codes[1] |= 1 << (code - firstModifier);
    else if (codes[2] === 0)
        codes[2] = code;
    else if (codes[3] === 0 && codes[2] !== code)
        codes[3] = code;
    const held = state.held.includes(code) ? state.held : state.held.concat([code]);
    return { codes, held, refused: 0, done: false };
}

// Whether a combination holds any key.
export function hasKeys(codes) {
    return codes[1] !== 0 || codes[2] !== 0 || codes[3] !== 0;
}
