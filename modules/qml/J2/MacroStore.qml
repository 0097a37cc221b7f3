import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas
import "../basic/keycodes.mjs" as KeyCodes
import "../basic/macrocodec.mjs" as Codec
import "../basic/macroedit.mjs" as Edit
import "../basic/namelists.mjs" as NameLists

// The macro library as the scene keeps it: the macro names in list order
// (the key assignment dialog offers them), the macro being edited and its
// steps. Every change is written at once; a changed macro is sent again to
// every key that runs it. The macro editor is this store's view.
QtObject {
    id: store

    property Controller uiView
    // The key page: which keys run a macro, and their factory assignments.
    property KeyMatrix keys

    property var names: []
    // The macro being edited (-1: none), its steps and repeat count.
    property int selected: -1
    readonly property string current: selected >= 0 && selected < names.length ? names[selected] : ""
    property var steps: []
    property int repeat: 1
    // The selected step (-1: none; added steps then go to the end).
    property int step: -1

    // Key names by which steps are found: the language in use, the built-in
    // names, then every language's (a macro keeps its keys when recorded
    // under another language).
    property var languageNames: []
    readonly property var nameLists: [KeyCodeString.names, KeyCodes.builtInNames, ...languageNames]
    readonly property var codeOf: Codec.lookupIn(nameLists)

    // The steps as the mouse receives them ({ bytes, problem, step }).
    readonly property var encoded: Codec.encode(steps, repeat, codeOf)
    readonly property int length: Codec.encodedLength(steps)
    readonly property bool full: length >= Codec.stopLength
    readonly property bool listFull: names.length >= NameLists.maxMacros
    // The keys (indexes) that run the macro being edited.
    property var runningKeys: []

    property bool recording: false
    // Whether recording keeps the pauses between keys as delay steps.
    property bool withDelay: true
    property var recorder: null
    property real recordingSince: 0

    // Why the last request was refused, "" once one goes through:
    // "count" (100 macros), "taken", "name", "format", "key", "delay",
    // "full", "length", "steps", "save", "delete".
    property string refusal: ""

    function refuse(why: string): bool {
        refusal = why
        return false
    }

    function accept(): bool {
        refusal = ""
        return true
    }

    // --- The list ------------------------------------------------------------------

    function init() {
        names = NameLists.withoutPadding(uiView.getNameList(0))
        const others = []
        const languages = typeof uiView.getLanguageList === "function" ? uiView.getLanguageList() : []
        for (const language of Formulas.asList(languages))
            others.push(KeyCodes.namesWith(Formulas.asList(uiView.getLangStrings("keyCode", String(language))).map(String)))
        languageNames = others
    }

    function write() {
        uiView.updataNameList(0, names)
    }

    // The editor opens: the list as stored, the macro edited before still
    // selected when it is there.
    function open() {
        const before = current
        names = NameLists.withoutPadding(uiView.getNameList(0))
        refusal = ""
        select(Math.max(0, names.indexOf(before)))
    }

    function select(index: int) {
        if (recording)
            return
        selected = index >= 0 && index < names.length ? index : -1
        refusal = ""
        load()
    }

    function load() {
        const stored = current.length > 0 ? Formulas.asList(uiView.loadMacroIni(current)).map(String) : []
        steps = stored.slice(0, -1)
        // As stored, also where the field would not take it (0, say): the
        // editor shows what the mouse is sent.
        repeat = stored.length > 0 ? Codec.repeatOf(stored[stored.length - 1]) : 1
        step = -1
        runningKeys = keysRunning(current)
    }

    // "New": an empty macro named "Macro_" + the first free number.
    function create(): bool {
        const name = NameLists.newMacroName(names)
        if (name === null)
            return refuse("count")
        if (!Formulas.toBool(uiView.createMacroIni(name, 0)))
            return refuse("save")
        names = names.concat([name])
        write()
        select(names.length - 1)
        return accept()
    }

    // "Import": a macro file the user chooses, inserted at the selected
    // position; an empty macro when no file is taken.
    function importFile(): bool {
        const name = NameLists.newMacroName(names)
        if (name === null)
            return refuse("count")
        if (!uiView.loadMacroFile(name) && !Formulas.toBool(uiView.createMacroIni(name, 0)))
            return refuse("save")
        const at = selected >= 0 ? selected : names.length
        names = names.slice(0, at).concat([name], names.slice(at))
        write()
        select(at)
        return accept()
    }

    function exportFile() {
        if (current.length > 0)
            uiView.saveMacroFile(current)
    }

    // "Delete": the file goes; keys that run the macro get their factory
    // assignment back (sent at once) here and in the stored profiles.
    function remove(): bool {
        const name = current
        if (name.length === 0 || recording)
            return false
        if (!Formulas.toBool(uiView.deleteMacroIni(name)) && Formulas.asList(uiView.loadMacroIni(name)).length > 0)
            return refuse("delete")
        steps = []
        if (keys)
            keys.restoreMacroKeys(codes => runsMacro(codes, name))
        uiView.deleteMacroUpdateProfile(name)
        const index = selected
        names = names.filter((n, i) => i !== index)
        write()
        select(Math.min(index, names.length - 1))
        return accept()
    }

    // Renames entry `index`; refused when another macro has the name or the
    // library could not keep it, before anything is written.
    function rename(index: int, newName: string): bool {
        const old = names[index]
        const name = newName.trim()
        if (old === undefined || recording)
            return false
        if (name === old)
            return accept()
        if (names.includes(name) || Formulas.asList(uiView.loadMacroIni(name)).length > 0)
            return refuse("taken")
        if (!NameLists.isMacroName(name))
            return refuse("name")
        const slots = slotsNaming(old)
        for (const slot of slots)
            uiView.setData("mouseMacroKey/" + slot, name)
        if (!Formulas.toBool(uiView.modifyMacroNameUpdateProfile(old, name))) {
            for (const slot of slots)
                uiView.setData("mouseMacroKey/" + slot, old)
            return refuse("save")
        }
        if (keys)
            keys.renameMacro(old, name)
        const list = names.slice()
        list[index] = name
        names = list
        write()
        return accept()
    }

    // --- Keys that run a macro -------------------------------------------------

    function macroNameAt(slot: int): string {
        return Formulas.toText(uiView.getData("mouseMacroKey/" + slot, false))
    }

    // The macro names of the profile's slots, as NameLists.runsMacro takes them.
    function slotNames(): var {
        const list = []
        for (let slot = 0; slot < Formulas.keyAssignmentCount; ++slot)
            list.push(macroNameAt(slot))
        return list
    }

    function runsMacro(codes: var, name: string): bool {
        return NameLists.runsMacro(codes, name, slotNames())
    }

    // Keys whose assignment, held on the key page or stored, runs `name`.
    function keysRunning(name: string): var {
        const found = []
        if (!keys || name.length === 0)
            return found
        for (let k = 0; k < keys.codes.length; ++k)
            if (runsMacro(keys.codes[k], name) || runsMacro(keys.storedCodes[k] ?? [], name))
                found.push(k)
        return found
    }

    // The macro slots of the profile in use that hold `name`.
    function slotsNaming(name: string): var {
        const candidates = new Set()
        for (let slot = 0; slot < Formulas.keyAssignmentCount; ++slot)
            candidates.add(slot)
        for (const codes of keys ? keys.codes.concat(keys.storedCodes) : [])
            if (codes[0] === 4)
                candidates.add(codes[2])
        return Array.from(candidates).filter(slot => macroNameAt(slot) === name)
    }

    // The stored macro `name` as the mouse receives it; null (with the
    // reason in `refusal`) when it has no device form.
    function macroBytes(name: string): var {
        const stored = Formulas.asList(uiView.loadMacroIni(name)).map(String)
        if (stored.length === 0)
            return null
        const result = Codec.encode(stored.slice(0, -1), Codec.repeatOf(stored[stored.length - 1]), codeOf)
        return result.problem.length > 0 ? null : result.bytes
    }

    // Sends the stored macro `name` to macro slot `slot`; false, with
    // nothing sent, when it has no device form.
    function send(name: string, slot: int): bool {
        const bytes = macroBytes(name)
        if (bytes === null)
            return false
        uiView.mouseSendMacroData(bytes, slot)
        return true
    }

    // The macro being edited goes again to every key that runs it.
    function resend() {
        runningKeys = keysRunning(current)
        if (runningKeys.length === 0)
            return
        const bytes = macroBytes(current)
        if (bytes === null)
            return
        for (const k of runningKeys)
            uiView.mouseSendMacroData(bytes, k)
    }

    // --- Steps -----------------------------------------------------------------------

    function save(): bool {
        if (current.length === 0)
            return false
        if (Formulas.toBool(uiView.saveMacroIni(current, steps, repeat)))
            return true
        // The file went missing outside the program: it is made again.
        return Formulas.toBool(uiView.createMacroIni(current, 0))
            && Formulas.toBool(uiView.saveMacroIni(current, steps, repeat))
    }

    // Stores new steps and sends them; the old ones stay when they cannot
    // be stored.
    function commit(next: var, nextStep: int): bool {
        const before = steps
        const beforeStep = step
        steps = next
        step = nextStep
        if (!save()) {
            steps = before
            step = beforeStep
            return refuse("save")
        }
        resend()
        return accept()
    }

    function edit(result: var, adding: bool): bool {
        if (recording || current.length === 0)
            return false
        const problem = Edit.checkEdit(steps, result.steps, adding)
        if (problem.length > 0)
            return refuse(problem)
        return commit(result.steps, result.selected)
    }

    function insertDelay(): bool {
        return edit(Edit.insertDelay(steps, step), true)
    }

    // A press and a release of a key or mouse button.
    function insertPair(code: int): bool {
        const name = KeyCodeString.name(code)
        if (name.length === 0)
            return refuse("key")
        return edit(Edit.insertPair(steps, step, code, name), true)
    }

    function removeStep(): bool {
        return edit(Edit.removeStep(steps, step), false)
    }

    // A step's text typed in place; refused (and the old step kept) when it
    // is not a step.
    function editStep(index: int, typed: string): bool {
        if (recording || index < 0 || index >= steps.length)
            return false
        const read = Edit.readTyped(typed, KeyCodeString.names, KeyCodeString.codes, codeOf)
        if (read.problem)
            return refuse(read.problem)
        if (read.text === steps[index])
            return accept()
        return edit({ steps: Edit.replaceStep(steps, index, read.text), selected: index }, false)
    }

    function setRepeat(times: int): bool {
        if (current.length === 0 || recording)
            return false
        const before = repeat
        repeat = Formulas.clamp(times, Codec.timesRange.min, Codec.timesRange.max)
        if (repeat === before)
            return accept()
        if (!save()) {
            repeat = before
            return refuse("save")
        }
        resend()
        return accept()
    }

    // --- Recording -----------------------------------------------------------------

    // `code`: the key whose press in the editor started it (-1 for a
    // click); that press, if the capture reports it late, is not kept.
    function startRecording(code: int): bool {
        if (recording || current.length === 0)
            return false
        recordingSince = Date.now()
        recorder = Edit.startRecording(recordingSince, code)
        recording = true
        return accept()
    }

    // A key reported by the system-wide capture.
    function keyEvent(isDown: bool, code: int) {
        if (!recording)
            return
        const result = Edit.recordEvent(steps, recorder, isDown, code, KeyCodeString.name(code),
                                        Date.now(), withDelay)
        recorder = result.recording
        if (result.taken)
            steps = result.steps
        if (result.full) {
            stopRecording()
            refuse("full")
        }
    }

    // Ends the recording (keys still held are released) and stores it.
    function stopRecording() {
        stopRecordingBy(-1)
    }

    // The same, ended by key `code` typed into the editor: its press, if the
    // capture took it, is not kept.
    function stopRecordingBy(code: int) {
        if (!recording)
            return
        recording = false
        steps = Edit.stopRecording(steps, recorder, c => KeyCodeString.name(c), code)
        recorder = null
        if (save()) {
            resend()
            accept()
        } else {
            refuse("save")
        }
    }
}
