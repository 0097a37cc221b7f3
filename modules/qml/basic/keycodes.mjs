// The key-code table: every key the scene knows, as its USB HID usage code
// and built-in display name, in table order. A language's "keyCode" texts
// replace the names position by position. Loaded by the scene and, headless,
// by QJSEngine::importModule.

function run(first, names) {
    return names.map((name, i) => [first + i, name]);
}

function numbered(first, prefix, from, to) {
    const rows = [];
    for (let n = from; n <= to; ++n)
        rows.push([first + n - from, prefix + n]);
    return rows;
}

const rows = [].concat(
    run(0x04, "ABCDEFGHIJKLMNOPQRSTUVWXYZ".split("")),
    run(0x1E, ["1", "2", "3", "4", "5", "6", "7", "8", "9", "0"]),
    run(0x28, ["Enter", "Esc", "Back", "Tab", "Space", "-", "=", "[", "]", "\\", "\\", ";", "'",
               "`", ",", ".", "/", "Caps"]),
    numbered(0x3A, "F", 1, 12),
    run(0x46, ["Prt", "Scr", "Pau", "Ins", "Hom", "Pgu", "Del", "End", "PgD",
               "\u25BA", "\u25C4", "\u25BC", "\u25B2", "Num", "KP/", "KP*", "KP-", "KP+", "KPEnter"]),
    numbered(0x59, "KP", 1, 9),
    run(0x62, ["KP0", "KP.", "Eur2", "App", "Power", "KP="]),
    numbered(0x68, "F", 13, 24),
    [[0x85, "Keypad"]],
    numbered(0x87, "Intl", 1, 5),
    [[0x90, "Lang1"], [0x91, "Lang2"]],
    run(0xE0, ["LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin"]),
    run(0xF0, ["MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5"]));

// Codes and built-in names, position by position.
export const codes = rows.map(row => row[0]);
export const builtInNames = rows.map(row => row[1]);

// The first code of the mouse buttons; codes below it are keyboard keys.
export const firstButtonCode = 0xF0;
// Escape, which ends a recording made from the keyboard.
export const escapeCode = 0x29;
// Space, which starts one.
export const spaceCode = 0x2C;

// The names of the table with a language's names put in position by
// position; where the language gives no text the built-in name stays, so
// that every key keeps a name to be stored and found by.
export function namesWith(languageNames) {
    if (!languageNames)
        return builtInNames.slice();
    return builtInNames.map((name, i) => {
        const text = languageNames[i];
        return typeof text === "string" && text.length > 0 ? text : name;
    });
}

// The code of the first position whose name matches (so a name used twice,
// the backslash, always gives its first code); 0 for an unknown name.
export function codeOf(name, names = builtInNames) {
    if (typeof name !== "string" || name.length === 0)
        return 0;
    const i = names.indexOf(name);
    return i < 0 ? 0 : codes[i];
}

// The name of a code; the empty text for a code the table does not hold.
export function nameOf(code, names = builtInNames) {
    const i = codes.indexOf(Number(code));
    return i < 0 ? "" : String(names[i] ?? "");
}
