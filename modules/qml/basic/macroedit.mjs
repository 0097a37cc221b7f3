// The macro editor's rules: where inserted steps go, which edits a macro
// can take, steps typed by hand, and recording keys into steps. Every
// function takes the step texts and gives new ones; nothing is changed in
// place. Loaded by the scene and, headless, by QJSEngine::importModule.

import * as Codec from "./macrocodec.mjs";

// The macro library keeps at most 65536 steps.
export const maxSteps = 65536;
// A delay typed or inserted stays below 100 minutes: longer ones have no
// form on the mouse.
export const maxDelayMs = Codec.maxDelayUnits * Codec.unitMs - 1;
// The delay "Insert Delay" adds.
export const insertedDelayMs = 50;

// --- Inserting and removing ------------------------------------------------------
// A result is { steps, selected }: the new list and the step to select.

function spliced(steps, at, added) {
    return steps.slice(0, at).concat(added, steps.slice(at));
}

// A delay goes before the selected step (at the end when none is).
export function insertDelay(steps, selected, ms = insertedDelayMs) {
    const at = selected >= 0 && selected < steps.length ? selected : steps.length;
    return { steps: spliced(steps, at, [Codec.stepText(Codec.stepType.delay, ms)]), selected: at };
}

// A press and a release of `code` (named `name`). With the last step (or
// none) selected the pair is appended; otherwise a key pair goes before the
// selected step and a button pair after it. The selection moves so that
// further pairs follow this one.
export function insertPair(steps, selected, code, name) {
    const pair = [Codec.stepText(Codec.pressType(code), name), Codec.stepText(Codec.releaseType(code), name)];
    const appending = selected < 0 || selected >= steps.length - 1;
    if (appending)
        return { steps: steps.concat(pair), selected: steps.length + 1 };
    if (Codec.pressType(code) === Codec.stepType.keyDown)
        return { steps: spliced(steps, selected, pair), selected: selected + 2 };
    return { steps: spliced(steps, selected + 1, pair), selected: selected + 2 };
}

export function removeStep(steps, selected) {
    if (selected < 0 || selected >= steps.length)
        return { steps, selected };
    const rest = steps.filter((s, i) => i !== selected);
    return { steps: rest, selected: Math.min(selected, rest.length - 1) };
}

export function replaceStep(steps, index, text) {
    const list = steps.slice();
    list[index] = text;
    return list;
}

// --- Which edits a macro takes -------------------------------------------------

// "" when the macro may change from `before` to `after`, else why not:
//   "full"   a step was to be added with the encoding at 126 already
//   "length" the encoding would pass the mouse's 128 bytes
//   "delay"  a delay between two actions would reach 100 minutes
//   "steps"  more steps than the library keeps
// `adding` says whether the edit adds steps. A macro that was already
// refused may change in any way that does not add to it.
export function checkEdit(before, after, adding) {
    if (adding && Codec.encodedLength(before) >= Codec.stopLength)
        return "full";
    if (after.length > maxSteps && after.length > before.length)
        return "steps";
    const lengthAfter = Codec.encodedLength(after);
    if (lengthAfter > Codec.blockSize && lengthAfter > Codec.encodedLength(before))
        return "length";
    const problemAfter = Codec.encode(after, 1, () => 0).problem;
    if (problemAfter === "delay" && Codec.encode(before, 1, () => 0).problem !== "delay")
        return "delay";
    return "";
}

// --- Steps typed by hand -------------------------------------------------------

// A typed step as the text to store, or why it is refused:
//   { text } or { problem } with problem "format" (not "type,value" with a
//   type 0 to 4), "delay" (not whole milliseconds below 100 minutes) or
//   "key" (no key of that name).
// `names` are the key names of the language in use (position i names
// `codes[i]`) and `codeOf` looks a name up; a key is stored by its name in
// `names`, found also when typed in other letter case. A press or release
// keeps its kind, and is a key or button step by its code.
export function readTyped(typed, names, codes, codeOf) {
    const text = String(typed ?? "").trim();
    const match = /^([0-9])\s*,\s*(.*)$/.exec(text);
    if (!match || Number(match[1]) > Codec.stepType.buttonUp || match[2].length === 0)
        return { problem: "format" };
    const type = Number(match[1]);
    const info = match[2];
    if (type === Codec.stepType.delay) {
        if (!/^[0-9]+$/.test(info))
            return { problem: "format" };
        const ms = Number(info);
        if (ms > maxDelayMs)
            return { problem: "delay" };
        return { text: Codec.stepText(type, ms) };
    }
    let code = codeOf(info);
    if (code === 0) {
        const lower = info.toLowerCase();
        const matches = names.filter(n => String(n).toLowerCase() === lower);
        if (matches.length > 0)
            code = codeOf(matches[0]);
    }
    const i = codes.indexOf(code);
    if (code === 0 || i < 0)
        return { problem: "key" };
    const release = Codec.isRelease(type);
    const kind = release ? Codec.releaseType(code) : Codec.pressType(code);
    return { text: Codec.stepText(kind, names[i]) };
}

// --- Recording -----------------------------------------------------------------
// A recording is { last, held, startKey, started }: the time (ms) of the
// last event taken, the codes pressed in it and not yet released, the key
// that started it and when. A release whose press was
// not recorded is dropped, and every press keeps room for its release, so
// that a recording never leaves a key held down on the mouse.

// `startKey`: the key whose press in the editor started the recording. The
// capture reads the keyboard apart from the window and may report that
// press only after the start: a press of it within startKeyMs is not kept
// (its release then has no press and is dropped, as any such release).
export const startKeyMs = 500;
export function startRecording(now, startKey = -1) {
    return { last: now, held: [], startKey, started: now };
}

// Takes one key event into the steps.
//   down, code  the event; name its key name ("" for a code the table does
//               not have, which is dropped)
//   now         its time in ms
//   withDelay   whether the pause before it is recorded as a delay step
//               (a pause of no whole tick is not)
// Gives { steps, recording, taken, full }: taken says whether the event
// became steps; full that a press was refused because the macro is full
// (the recording should then stop).
export function recordEvent(steps, recording, down, code, name, now, withDelay) {
    const ignored = { steps, recording, taken: false, full: false };
    if (down && code === recording.startKey && now - recording.started < startKeyMs)
        return { steps, recording: Object.assign({}, recording, { startKey: -1 }), taken: false, full: false };
    const held = recording.held;
    if (!name || down === held.includes(code))
        return ignored;
    const heldAfter = down ? held.concat([code]) : held.filter(c => c !== code);
    // Ticks of 10 ms since the last event; the clock may step back.
    const ticks = Math.max(0, Math.round((now - recording.last) / Codec.unitMs));
    const delay = Math.min(ticks * Codec.unitMs, maxDelayMs);
    const action = Codec.stepText(down ? Codec.pressType(code) : Codec.releaseType(code), name);
    const withPause = steps.length > 0 && withDelay && delay > 0
        ? steps.concat([Codec.stepText(Codec.stepType.delay, delay)], [action])
        : steps.concat([action]);
    // Room for the releases still to come.
    const fits = list => list.length + heldAfter.length <= maxSteps
        && Codec.encodedLength(list) + 2 * heldAfter.length <= Codec.blockSize
        && Codec.encode(list, 1, () => 0).problem === "";
    const next = Object.assign({}, recording, { last: now, held: heldAfter });
    if (down) {
        if (Codec.encodedLength(steps) >= Codec.stopLength || !fits(withPause))
            return { steps, recording, taken: false, full: true };
        return { steps: withPause, recording: next, taken: true, full: false };
    }
    // A release always has room kept for it, at worst without its pause.
    return { steps: fits(withPause) ? withPause : steps.concat([action]), recording: next, taken: true, full: false };
}

// Ends a recording: keys still held are released.
//   nameOf  code -> key name
//   endKey  the key whose press ended it (optional): when that press was
//           taken, it is dropped with the pause before it, so that the key
//           that stops a recording made from the keyboard is not part of it
export function stopRecording(steps, recording, nameOf, endKey) {
    let kept = steps;
    let held = recording.held;
    if (held.includes(endKey)) {
        const at = kept.lastIndexOf(Codec.stepText(Codec.pressType(endKey), nameOf(endKey)));
        if (at >= 0) {
            const pause = at > 0 && kept[at - 1].startsWith(Codec.stepType.delay + ",");
            kept = kept.slice(0, pause ? at - 1 : at).concat(kept.slice(at + 1));
        }
        held = held.filter(code => code !== endKey);
    }
    return kept.concat(held.map(code => Codec.stepText(Codec.releaseType(code), nameOf(code))));
}
