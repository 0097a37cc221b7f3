pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas
import "../basic/keyfunctions.mjs" as KeyFunctions
import "../basic/flows.mjs" as Flows

// The key panel: one row per mouse key shown, and the assignment of all 16
// keys the profile keeps. Edits are held here and marked unsaved until
// save() stores and sends them.
Frame {
    id: panel

    property Controller uiView
    // The active weapons' fire periods, sent with the assignment.
    property var gunPeriods: [10, 10, 10]
    // The fire periods the mouse last got with the assignment.
    property var sentPeriods: []
    // The active weapons' names, for the keys that run them.
    property var gunNames: []
    property int keyCount: 8

    // Four codes per key, current and factory, and what was last stored.
    property var codes: []
    property var factory: []
    property var storedCodes: []
    // The macro name held in each macro slot ("" for none).
    property var macroNames: []
    property bool dirty: false

    // The key under the pointer here or on the mouse picture (-1: none).
    property int highlightedKey: -1

    // The only shown key that assigns the left button: it cannot change, so
    // that the mouse always keeps a left button (-1 when there are several).
    readonly property int onlyLeftButton: Flows.onlyLeftButton(codes, keyCount)

    // Whether key `index` keeps its function: the only left button, and the
    // keys whose entry the mouse's firmware fixes.
    function isLocked(index: int): bool {
        return index === onlyLeftButton || KeyFunctions.keptByFirmware(index)
    }

    // Key `index` runs an active weapon whose fire period changed since the
    // assignment was last sent: Save must send it again.
    function periodChanged(index: int): bool {
        const entry = codes[index] ?? []
        if (entry[0] !== KeyFunctions.type.gun)
            return false
        const slot = entry[2] - 1
        return slot >= 0 && slot < sentPeriods.length && gunPeriods[slot] !== sentPeriods[slot]
    }

    // Whether anything held differs from what the mouse has.
    function heldChanges(): bool {
        return codes.some((entry, k) => !KeyFunctions.sameCodes(entry, storedCodes[k] ?? []) || periodChanged(k))
    }

    signal keyHovered(int index)
    signal keyClicked(int index)

    title: Lang.keyMatrix[Lang.KeyMatrixText.KeyFunction]

    function init(send: bool) {
        const keys = Flows.readKeys(uiView)
        factory = keys.factory
        codes = keys.codes
        storedCodes = keys.codes
        sentPeriods = gunPeriods.slice()
        macroNames = keys.macroNames
        dirty = false
        if (send)
            save()
    }

    function flatCodes(): var {
        return Flows.flatCodes(codes)
    }

    // Stores the 16 assignments and sends them with the active periods.
    function save() {
        Flows.sendKeys(uiView, codes, gunPeriods)
        storedCodes = codes
        sentPeriods = gunPeriods.slice()
        dirty = false
    }

    // Gives a key new codes (and, for a macro, the macro's name); false when
    // nothing changed.
    function setKey(index: int, newCodes: var, macroName: string): bool {
        const next = Formulas.keyCodes(newCodes, codes[index])
        const macroChanged = next[0] === KeyFunctions.type.macro && macroName.length > 0
                             && macroNames[next[2]] !== macroName
        if (KeyFunctions.sameCodes(next, codes[index]) && !macroChanged)
            return false
        if (macroChanged) {
            uiView.setData("mouseMacroKey/" + next[2], macroName)
            const names = macroNames.slice()
            names[next[2]] = macroName
            macroNames = names
        }
        const list = codes.slice()
        list[index] = next
        codes = list
        dirty = true
        return true
    }

    function restoreFactory(index: int): bool {
        return setKey(index, factory[index], "")
    }

    // A macro is deleted: every key whose held or stored assignment runs it
    // (`runsMacro(codes)`) gets its factory assignment back in both, and the
    // stored assignment is stored and sent at once. Other held edits stay
    // held. False when no key ran it.
    function restoreMacroKeys(runsMacro: var): bool {
        const held = codes.slice()
        const stored = storedCodes.slice()
        let changed = false
        for (let k = 0; k < held.length; ++k) {
            if (runsMacro(held[k]) || runsMacro(stored[k] ?? [])) {
                held[k] = factory[k]
                stored[k] = factory[k]
                changed = true
            }
        }
        if (!changed)
            return false
        Flows.sendKeys(uiView, stored, gunPeriods)
        storedCodes = stored
        sentPeriods = gunPeriods.slice()
        codes = held
        dirty = held.some((entry, k) => !KeyFunctions.sameCodes(entry, stored[k]))
        return true
    }

    // A macro is renamed: the keys that show its name follow.
    function renameMacro(oldName: string, newName: string) {
        macroNames = macroNames.map(name => name === oldName ? newName : name)
    }

    function description(index: int): string {
        if (index < 0 || index >= codes.length)
            return ""
        // A key the firmware fixes shows what the mouse does, not what the
        // profile holds.
        const shown = KeyFunctions.keptByFirmware(index) ? KeyFunctions.firmwareCodes(factory[index] ?? [])
                                                         : codes[index]
        // A weapon key names its weapon, a macro key its macro.
        if (shown[0] === KeyFunctions.type.gun && (gunNames[shown[2] - 1] ?? "").length > 0)
            return Lang.notice[Lang.NoticeText.RecoilN].replace("%1", gunNames[shown[2] - 1])
        return KeyFunctions.describe(shown, Lang.keyAssigment, c => KeyCodeString.name(c),
                                     slot => (macroNames[slot] ?? "").length > 0
                                             ? Lang.notice[Lang.NoticeText.MacroN].replace("%1", macroNames[slot]) : "",
                                     { ms: Lang.keyMatrix[Lang.KeyMatrixText.Milliseconds], endless: Lang.keyAssigment[Lang.KeyAssigmentText.Endless] })
    }

    ListView {
        id: rows
        anchors.fill: parent
        anchors.bottomMargin: hint.height + 8
        spacing: 6
        clip: true
        interactive: contentHeight > height
        boundsBehavior: Flickable.StopAtBounds
        model: Math.min(panel.keyCount, panel.codes.length)
        keyNavigationEnabled: true

        delegate: Rectangle {
            id: row

            required property int index
            readonly property bool highlighted: panel.highlightedKey === index
            readonly property bool locked: panel.isLocked(index)
            readonly property bool changed: !KeyFunctions.sameCodes(panel.codes[index] ?? [],
                                                                    panel.storedCodes[index] ?? [])
                                            || panel.periodChanged(index)

            objectName: "keyRow" + index
            width: ListView.view.width
            height: Theme.buttonHeight
            radius: Theme.controlRadius + 2
            color: highlighted ? Theme.accentSoft : (rowArea.pressed ? Theme.controlHover : Theme.control)
            border.width: highlighted || activeFocus ? 1 : 0
            border.color: Theme.accent
            activeFocusOnTab: true
            Behavior on color { ColorAnimation { duration: Theme.quick } }

            Accessible.role: Accessible.Button
            Accessible.name: Lang.keyMatrix[Lang.KeyMatrixText.Key] + (index + 1) + ": " + label.text

            Keys.onSpacePressed: panel.keyClicked(index)
            Keys.onReturnPressed: panel.keyClicked(index)

            Rectangle {
                id: chip
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                width: 24
                height: 24
                radius: 12
                color: row.highlighted ? Theme.accent : Theme.titleBar
                Text {
                    anchors.centerIn: parent
                    text: row.index + 1
                    color: row.highlighted ? Theme.accentText : Theme.textSecondary
                    font.pixelSize: Theme.labelSize
                    font.bold: true
                }
            }

            Text {
                id: label
                anchors.left: chip.right
                anchors.leftMargin: Theme.gap
                anchors.right: marker.left
                anchors.rightMargin: Theme.unit
                anchors.verticalCenter: parent.verticalCenter
                text: panel.description(row.index)
                color: Theme.text
                font.pixelSize: Theme.controlSize
                elide: Text.ElideRight
            }

            Item {
                id: marker
                width: 16
                height: 16
                anchors.right: parent.right
                anchors.rightMargin: Theme.gap
                anchors.verticalCenter: parent.verticalCenter

                Rectangle {
                    anchors.centerIn: parent
                    width: 8
                    height: 8
                    radius: 4
                    color: Theme.unsaved
                    visible: row.changed
                }
                Icon {
                    anchors.centerIn: parent
                    name: "lock"
                    size: 14
                    color: Theme.hint
                    visible: row.locked && !row.changed
                }
            }

            MouseArea {
                id: rowArea
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: row.locked ? Qt.ArrowCursor : Qt.PointingHandCursor
                onContainsMouseChanged: panel.keyHovered(containsMouse ? row.index : -1)
                onClicked: panel.keyClicked(row.index)
            }
        }
    }

    Text {
        id: hint
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        text: panel.onlyLeftButton >= 0 && panel.highlightedKey === panel.onlyLeftButton
              ? Lang.keyMatrix[Lang.KeyMatrixText.LeftButtonStays]
              : KeyFunctions.keptByFirmware(panel.highlightedKey) ? Lang.keyMatrix[Lang.KeyMatrixText.MouseKeepsFunction] : Lang.keyMatrix[Lang.KeyMatrixText.ClickToChange]
        color: Theme.hint
        font.pixelSize: Theme.hintSize
        wrapMode: Text.WordWrap
        maximumLineCount: 2
        elide: Text.ElideRight
    }
}
