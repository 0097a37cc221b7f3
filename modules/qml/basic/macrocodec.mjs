// Macro steps and the byte form the mouse plays them from. A step is the
// text "type,information" the macro files hold: 0 a delay in milliseconds,
// 1/2 a key press/release, 3/4 a mouse button press/release, by key name.
// Loaded by the scene and, headless, by QJSEngine::importModule; the byte
// list goes unchanged to mouseSendMacroData.

import { codeOf as tableCodeOf, builtInNames } from "./keycodes.mjs";

export const stepType = Object.freeze({ delay: 0, keyDown: 1, keyUp: 2, buttonDown: 3, buttonUp: 4 });

// The mouse's macro block holds 128 bytes; the editor adds no step once the
// encoding has reached 126.
export const blockSize = 128;
export const stopLength = 126;
// Delays travel in 10 ms units; from 127 units on as a long delay, which
// has no form for 600000 units (100 minutes) or more.
export const unitMs = 10;
export const longDelayFrom = 127;
export const maxDelayUnits = 600000;
// The repeat count travels as two bytes, 0 included; the "Times" field
// takes 1 to 65535.
export const repeatRange = Object.freeze({ min: 0, max: 65535 });
export const timesRange = Object.freeze({ min: 1, max: 65535 });

const releaseBit = 0x80;

// Long delays: a unit pair (0, unit) and the length in that unit, by range.
const longDelays = Object.freeze([
    { below: 100000, unit: 1, per: 2 },     // 20 ms units
    { below: 300000, unit: 2, per: 5 },     // 50 ms units
    { below: 600000, unit: 3, per: 10 },    // 100 ms units
]);

// --- Step texts ----------------------------------------------------------------

// { type, info } of a step text; null unless it is a type digit 0 to 4, a
// comma and some information. A delay's information must be whole
// milliseconds.
export function parseStep(text) {
    const s = typeof text === "string" ? text : String(text ?? "");
    if (s.length < 3 || s[1] !== "," || s[0] < "0" || s[0] > "4")
        return null;
    const type = Number(s[0]);
    const info = s.slice(2);
    if (type === stepType.delay && !/^[0-9]+$/.test(info))
        return null;
    return { type, info };
}

export function stepText(type, info) {
    return type + "," + info;
}

export function isAction(step) {
    return step !== null && step.type !== stepType.delay;
}

export function isRelease(type) {
    return type === stepType.keyUp || type === stepType.buttonUp;
}

// The step types of a press and a release of `code`: keys 1/2, buttons 3/4.
export function pressType(code, firstButtonCode = 0xF0) {
    return code >= firstButtonCode ? stepType.buttonDown : stepType.keyDown;
}

export function releaseType(code, firstButtonCode = 0xF0) {
    return pressType(code, firstButtonCode) + 1;
}

// The 10 ms units of a delay in milliseconds (rounded down).
export function delayUnits(ms) {
    return Math.floor(ms / unitMs);
}

// The repeat count a macro file holds, as a whole number: what is stored,
// cut to its integer part; 1 (a new macro's count) when it holds no number.
// The editor shows it and the encoder encodes it, so both say the same.
export function repeatOf(stored) {
    const text = String(stored ?? "").trim();
    const n = Number(text);
    return text === "" || !Number.isFinite(n) ? 1 : Math.trunc(n);
}

// --- Key names -----------------------------------------------------------------

// A name -> code look-up through several name lists in turn (the language
// in use first, then others), so a macro recorded under another language
// keeps its keys. 0 for a name no list holds.
export function lookupIn(nameLists) {
    return name => {
        for (const names of nameLists) {
            const code = tableCodeOf(name, names);
            if (code !== 0)
                return code;
        }
        return 0;
    };
}

const builtInLookup = lookupIn([builtInNames]);

// --- Encoding ------------------------------------------------------------------

// The actions and, for each, the delay to the next action in 10 ms units:
// the delay steps between two actions are added up in milliseconds first,
// then converted (two 55 ms delays are 11 units); leading delays are
// dropped. { actions: [{ index, step, units }], problem, step } with problem
// "step" for a step that does not parse; with `skipBad` such steps count as
// nothing instead.
function actionsOf(steps, skipBad = false) {
    const actions = [];
    let ms = 0;
    const close = () => {
        if (actions.length > 0)
            actions[actions.length - 1].units = delayUnits(ms);
        ms = 0;
    };
    for (let i = 0; i < steps.length; ++i) {
        const step = parseStep(steps[i]);
        if (step === null) {
            if (skipBad)
                continue;
            close();
            return { actions, problem: "step", step: i };
        }
        if (step.type === stepType.delay) {
            ms += Number(step.info);
        } else {
            close();
            actions.push({ index: i, step, units: 0 });
        }
    }
    close();
    return { actions, problem: "", step: -1 };
}

// Whether the delay after a (not last) action takes the long form.
function isLong(units) {
    return units >= longDelayFrom;
}

// The encoded length of the steps: 2 bytes of repeat count, then 2 per
// action, 4 more per long delay and the 2-byte end mark (just the repeat
// count when there is no action). Steps that do not parse count as nothing.
export function encodedLength(steps) {
    const { actions } = actionsOf(Array.from(steps ?? [], String), true);
    if (actions.length === 0)
        return 2;
    let length = 4 + 2 * actions.length;
    for (let i = 0; i < actions.length - 1; ++i)
        if (isLong(actions[i].units))
            length += 4;
    return length;
}

// The index in `steps` of the first press or release whose key the look-up
// does not know, or -1. encode() sends such a key as code 0, so a caller
// that must not send a wrong key refuses the macro first.
export function unknownKey(steps, codeOf = builtInLookup) {
    const { actions } = actionsOf(Array.from(steps ?? [], String), true);
    const unknown = actions.find(action => codeOf(action.step.info) === 0);
    return unknown ? unknown.index : -1;
}

// The bytes the mouse receives for a macro.
//   steps   the step texts in playing order
//   repeat  the repeat count, 0 to 65535
//   codeOf  name -> key code (0 for an unknown name); the built-in names
//           when not given
// Gives { bytes, problem, step }: problem is "" when the macro encodes, or
// "step" (step `step` does not parse), "delay" (the delay after the action
// at `step` is 100 minutes or more), "length" (more than the mouse's 128
// bytes) or "repeat"; bytes is then empty.
export function encode(steps, repeat, codeOf = builtInLookup) {
    const refused = (problem, step = -1) => ({ bytes: [], problem, step });
    const times = Number(repeat);
    if (!Number.isInteger(times) || times < repeatRange.min || times > repeatRange.max)
        return refused("repeat");
    const list = Array.from(steps ?? [], String);
    const { actions, problem, step } = actionsOf(list);
    if (problem)
        return refused(problem, step);

    const bytes = [times >> 8 & 0xFF, times & 0xFF];
    if (actions.length === 0)
        return { bytes, problem: "", step: -1 };
    for (let i = 0; i < actions.length; ++i) {
        const action = actions[i];
        const release = isRelease(action.step.type) ? releaseBit : 0;
        const code = codeOf(action.step.info) & 0xFF;
        const last = i === actions.length - 1;
        const units = action.units;
        if (last) {
            bytes.push(1 | release, code);
        } else if (!isLong(units)) {
            bytes.push(Math.max(units, 1) | release, code);
        } else {
            const form = longDelays.find(f => units < f.below);
            if (!form)
                return refused("delay", action.index);
            const length = Math.floor(units / form.per);
            bytes.push(release, code, 0x00, form.unit, length >> 8 & 0xFF, length & 0xFF);
        }
    }
    bytes.push(0, 0);
    if (bytes.length > blockSize)
        return refused("length");
    return { bytes, problem: "", step: -1 };
}
