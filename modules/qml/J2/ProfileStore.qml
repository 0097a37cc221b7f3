import QtQuick
import modules.qml
import "../basic/namelists.mjs" as NameLists

// The profile list of name.bin. An entry is addressed by its profile number
// (the digit stored after its name), never by its position, so deleting an
// entry leaves every other entry on its own file.
QtObject {
    id: store

    property Controller uiView

    // { name, number } in list order; entry 0 is the standard profile.
    property var entries: []
    // The number of the profile in use.
    property int current: 0

    readonly property var names: entries.map(e => e.name)
    readonly property int currentIndex: entries.findIndex(e => e.number === current)
    readonly property bool full: entries.length >= NameLists.maxProfiles

    // Reads the list and gives entry 0 the standard profile's name of the
    // language in use. Nothing is written: every reader of the list (this
    // store and r770ctl) names entry 0 the same way, and the list is written
    // with that name at its next change. A start thus leaves name.bin, with
    // all its lists, alone.
    function init(standardName: string) {
        entries = NameLists.selectorEntries(uiView.getNameList(2), standardName)
    }

    function write() {
        uiView.updataNameList(2, entries.map(NameLists.profileText))
    }

    function hasNumber(number: int): bool {
        return entries.some(e => e.number === number)
    }

    function numberAt(index: int): int {
        return index >= 0 && index < entries.length ? entries[index].number : -1
    }

    // The number to start with: the stored one when an entry has it, else
    // the standard profile's.
    function startNumber(stored: var): int {
        return NameLists.activeProfile(entries, stored)
    }

    function canDelete(index: int): bool {
        return index > 0 && index < entries.length && entries[index].number !== current
    }

    // New: a copy of the factory profile under a new entry.
    function create(): bool {
        const entry = NameLists.newProfile(entries)
        if (!entry)
            return false
        uiView.resetProfile(entry.number)
        entries = entries.concat([entry])
        write()
        return true
    }

    // Import: a profile file the user chooses, under a new entry; nothing is
    // added when the user cancels the file dialog.
    function importFile(): bool {
        const entry = NameLists.newProfile(entries)
        if (!entry || !uiView.loadProfile(entry.number))
            return false
        entries = entries.concat([entry])
        write()
        return true
    }

    function exportEntry(index: int) {
        if (index >= 0 && index < entries.length)
            uiView.saveProfile(entries[index].number)
    }

    // Delete takes the entry off the list; its file stays.
    function remove(index: int): bool {
        if (!canDelete(index))
            return false
        entries = entries.filter((e, i) => i !== index)
        write()
        return true
    }
}
