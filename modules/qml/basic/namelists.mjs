// The rules of the name lists of name.bin as the scene keeps them: the
// padding element, profile entries ("name" + profile number) and the names
// of new entries. Loaded by the scene and, headless, by QJSEngine.

import { asList } from "./formulas.mjs";
import { type as keyType } from "./keyfunctions.mjs";

// Appended by the settings layer to a one-element list; readers drop it.
export const padding = "loadertolvik";

export function withoutPadding(list) {
    const names = asList(list).map(String);
    if (names.length === 2 && names[1] === padding)
        names.pop();
    return names;
}

// --- Profiles ------------------------------------------------------------------
// An entry is the profile's name followed by its number as one digit. The
// number says which profile file the entry is (p1.bin for 0, ...), so an
// entry keeps its file whatever happens to the entries before it.

export const maxProfiles = 6;
export const maxProfileNumber = 9;      // the profile files there are
const newProfileNumbers = 6;             // new entries take 0 to 5
const newProfileNames = 12;              // "profile_0" to "profile_11"

// { name, number } of an entry's text; null for a text without its digit.
export function parseProfile(text) {
    const s = String(text);
    const match = /^(.*)([0-9])$/.exec(s);
    return match ? { name: match[1], number: Number(match[2]) } : null;
}

export function profileText(entry) {
    return entry.name + entry.number;
}

// The entries of a stored list: padding dropped, texts without a digit and
// second entries for a number already taken left out.
export function profileEntries(list) {
    const entries = [];
    for (const text of withoutPadding(list)) {
        const entry = parseProfile(text);
        if (entry && !entries.some(e => e.number === entry.number))
            entries.push(entry);
    }
    return entries;
}

// The entries as the profile selector shows them: the stored ones, or the
// standard profile alone when there are none; entry 0 always carries the
// name the language gives the standard profile.
export function selectorEntries(list, standardName) {
    const entries = profileEntries(list);
    if (entries.length === 0)
        entries.push({ name: standardName, number: 0 });
    else
        entries[0] = { name: standardName, number: entries[0].number };
    return entries;
}

// The number of the profile in use: the stored one when an entry has it,
// else the first entry's.
export function activeProfile(entries, stored) {
    const n = Number(stored);
    return Number.isInteger(n) && entries.some(e => e.number === n) ? n : entries[0].number;
}

// The entry a New or an Import adds: "profile_" + the first free number
// 0 to 11 and the lowest free profile number 0 to 5; null when the list is
// full or nothing is free.
export function newProfile(entries) {
    if (entries.length >= maxProfiles)
        return null;
    let number = -1;
    for (let n = 0; n < newProfileNumbers && number < 0; ++n)
        if (!entries.some(e => e.number === n))
            number = n;
    let name = null;
    for (let n = 0; n < newProfileNames && name === null; ++n)
        if (!entries.some(e => e.name === "profile_" + n))
            name = "profile_" + n;
    return number < 0 || name === null ? null : { name, number };
}

// --- Macros --------------------------------------------------------------------

export const maxMacros = 100;

// "Macro_" + the first number 0 to 99 no listed macro has; null when the
// list already holds 100 macros.
export function newMacroName(names) {
    if (names.length >= maxMacros)
        return null;
    for (let n = 0; n < maxMacros; ++n)
        if (!names.includes("Macro_" + n))
            return "Macro_" + n;
    return null;
}

// Whether a macro name can be one: it names the macro's file, so the macro
// library takes no empty name, "." or "..", no path separator or control
// character, and no name whose file name passes 255 bytes. The padding text
// would be dropped from a list of two.
const macroFileSuffix = ".bin";
const maxFileNameBytes = 255;

function utf8Length(text) {
    let bytes = 0;
    for (const c of text) {
        const p = c.codePointAt(0);
        bytes += p < 0x80 ? 1 : p < 0x800 ? 2 : p < 0x10000 ? 3 : 4;
    }
    return bytes;
}

export function isMacroName(name) {
    const s = String(name ?? "");
    if (s.length === 0 || s === "." || s === ".." || s === padding)
        return false;
    for (const c of s) {
        const p = c.codePointAt(0);
        if (c === "/" || c === "\\" || p < 0x20 || (p >= 0x7F && p <= 0x9F))
            return false;
    }
    return utf8Length(s + macroFileSuffix) <= maxFileNameBytes;
}

// --- Keys that run a macro -----------------------------------------------------
// A key runs macro `name` when its assignment is a macro key whose macro slot
// (its third code) holds that name; `slotNames` lists the name each slot
// holds. A rename, a delete and a change of a macro concern these keys, in
// the macro store and in r770ctl alike.

export function runsMacro(codes, name, slotNames) {
    const c = Array.from(codes ?? [], Number);
    return c.length >= 4 && c[0] === keyType.macro && String(asList(slotNames)[c[2]] ?? "") === String(name);
}

// The keys (indexes) of an assignment that run macro `name`.
export function keysRunning(assignment, name, slotNames) {
    const keys = [];
    Array.from(assignment ?? []).forEach((codes, k) => {
        if (runsMacro(codes, name, slotNames))
            keys.push(k);
    });
    return keys;
}
