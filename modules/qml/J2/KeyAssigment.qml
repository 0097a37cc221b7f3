pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "../basic/keyfunctions.mjs" as KeyFunctions
import "../basic/flows.mjs" as Flows

// The key assignment dialog of one key. The groups of functions are listed
// on the left, the functions of the chosen group on the right, and what the
// key will do at the bottom. OK (or Enter, or a double-click on a function)
// gives the key the function: the key page holds it as an unsaved edit, and
// a macro goes to the mouse at once. Cancel, Escape and the close button
// leave the key as it is. The factory button gives the key its factory
// function at once.
Dialog {
    id: dialog

    required property int keyIndex
    // The key page (KeyMatrix): the key's codes, its factory codes, the
    // macro names of the slots.
    required property KeyMatrix panel
    // The macro library (MacroStore): the names, and the sending of one.
    required property MacroStore macros
    // The scene: the captured keys, whether the mouse has recoil weapons,
    // and the macro editor.
    required property SceneLink scene

    readonly property var texts: Lang.keyAssigment

    // What the key will do: the four codes, and the macro they run.
    property var choice: [0, 0, 0, 0]
    property string macroName
    // The group whose functions are shown.
    property string category: "mouse"

    // The inputs of the functions that are built in steps. They keep their
    // values while another function is chosen.
    property int fireKey: 0
    property int fireRate: KeyFunctions.fireRate.initial
    property int fireTimes: KeyFunctions.fireTimes.initial
    property var comboCodes: [KeyFunctions.type.combination, 0, 0, 0]
    property int macroMode: 0

    // The capture that runs: "" none, "fire" or "combination", with its
    // state (keyfunctions.mjs).
    property string capturing: ""
    property var captureState: null
    property var comboBefore: null
    // Why the last request was refused: "" none, "key" a key that cannot be
    // assigned, "macro" a macro that cannot go to the mouse, "slot" a macro
    // on a key without a macro slot.
    property string refusal: ""

    readonly property var shownCategories: KeyFunctions.categories.filter(
        c => c.name !== "gun" || dialog.scene.gunFunctions || dialog.category === "gun")

    readonly property string hint: {
        if (refusal === "key")
            return texts[Lang.KeyAssigmentText.KeyCannotBeAssigned]
        if (refusal === "macro")
            return texts[Lang.KeyAssigmentText.MacroCannotBeSent]
        if (refusal === "slot")
            return texts[Lang.KeyAssigmentText.NoMacroSlot].replace("%1", KeyFunctions.macroSlotCount)
        if (capturing === "fire")
            return texts[Lang.KeyAssigmentText.PressAKey]
        if (capturing === "combination")
            return texts[Lang.KeyAssigmentText.PressKeysTogether]
        return texts[Lang.KeyAssigmentText.ChooseFunction]
    }

    title: texts[Lang.KeyAssigmentText.Key] + (keyIndex + 1)
    cardWidth: 800
    cardHeight: 580
    closeOnEnter: false

    Component.onCompleted: load(panel.codes[keyIndex] ?? [0, 0, 0, 0])
    onAccepted: apply()

    Connections {
        target: dialog.scene
        enabled: dialog.capturing.length > 0
        function onKeyReported(isDown: bool, usbCode: int) {
            dialog.keyEvent(isDown, usbCode)
        }
    }

    // --- What the dialog does -------------------------------------------------------

    // Shows an assignment: its group, and its values in the inputs.
    function load(codes: var) {
        stopCapture()
        choice = codes.slice(0, 4)
        category = KeyFunctions.categoryOf(choice) || "mouse"
        macroName = ""
        switch (choice[0]) {
        case KeyFunctions.type.fire:
            fireKey = choice[1]
            fireRate = choice[2]
            fireTimes = choice[3]
            break
        case KeyFunctions.type.combination:
            comboCodes = choice.slice()
            break
        case KeyFunctions.type.macro:
            macroMode = Math.min(choice[1], KeyFunctions.macroModes.length - 1)
            macroName = panel.macroNames[choice[2]] ?? ""
            break
        }
    }

    function choose(codes: var) {
        stopCapture()
        refusal = ""
        choice = codes.slice(0, 4)
    }

    function showCategory(name: string) {
        stopCapture()
        category = name
    }

    function setFire(key: int, rate: int, times: int) {
        fireKey = key
        fireRate = rate
        fireTimes = times
        if (key !== 0)
            choose(KeyFunctions.fireCodes(key, rate, times))
    }

    // A macro runs from the key's own slot.
    function chooseMacro(name: string, mode: int) {
        macroMode = mode
        if (name.length === 0)
            return
        macroName = name
        choose(KeyFunctions.macroCodes(mode, keyIndex))
    }

    function startCapture(kind: string) {
        stopCapture()
        refusal = ""
        if (kind === "fire") {
            captureState = KeyFunctions.startFire()
        } else {
            captureState = KeyFunctions.startCombination()
            comboBefore = comboCodes
            comboCodes = captureState.codes
        }
        capturing = kind
    }

    // Ends the capture; a combination that took no key shows the old one.
    function stopCapture() {
        if (capturing === "combination" && !KeyFunctions.hasKeys(comboCodes))
            comboCodes = comboBefore
        capturing = ""
        captureState = null
    }

    // A key reported by the system-wide capture while a capture runs.
    function keyEvent(isDown: bool, code: int) {
        const before = captureState
        const next = capturing === "fire" ? KeyFunctions.fireEvent(before, isDown, code)
                                          : KeyFunctions.combinationEvent(before, isDown, code)
        if (next === before)
            return
        const kind = capturing
        captureState = next
        refusal = next.refused !== 0 ? "key" : ""
        if (kind === "fire" && next.done) {
            capturing = ""
            setFire(next.key, fireRate, fireTimes)
        } else if (kind === "combination") {
            comboCodes = next.codes
            if (KeyFunctions.hasKeys(next.codes))
                choice = next.codes.slice()
            if (next.done)
                stopCapture()
        }
    }

    // The key's factory function, in the dialog and on the key page at once.
    function restoreFactory() {
        panel.restoreFactory(keyIndex)
        refusal = ""
        load(panel.codes[keyIndex])
    }

    // OK: the key gets the chosen function when it differs from its own. A
    // macro goes to the mouse first; one that cannot is refused, and the
    // key keeps its function.
    function apply() {
        stopCapture()
        if (choice[0] === KeyFunctions.type.macro) {
            if (Flows.keyRefusal(panel.codes, panel.keyCount, keyIndex, choice) === "slot") {
                refusal = "slot"
                return
            }
            const slot = choice[2]
            const changed = !KeyFunctions.sameCodes(choice, panel.codes[keyIndex])
                            || (panel.macroNames[slot] ?? "") !== macroName
            if (changed && (macroName.length === 0 || !macros.send(macroName, slot))) {
                refusal = "macro"
                return
            }
            panel.setKey(keyIndex, choice, macroName)
        } else {
            panel.setKey(keyIndex, choice, "")
        }
        close()
    }

    function describe(codes: var): string {
        return KeyFunctions.describe(codes, texts, c => KeyCodeString.name(c), () => dialog.macroName,
                                     { ms: Lang.keyMatrix[Lang.KeyMatrixText.Milliseconds], endless: texts[Lang.KeyAssigmentText.Endless] })
    }

    // --- Pieces ---------------------------------------------------------------------

    // One function to choose; a double-click chooses and confirms it.
    component Choice: Rectangle {
        id: tile
        required property var modelData
        readonly property var codes: modelData.codes
        readonly property bool chosen: KeyFunctions.sameCodes(dialog.choice, codes)

        objectName: "choice" + codes.join("_")
        width: 160
        height: 40
        radius: Theme.controlRadius + 2
        color: chosen ? Theme.accentSoft : (tileArea.containsMouse ? Theme.controlHover : Theme.control)
        border.width: chosen || activeFocus ? 1 : 0
        border.color: Theme.accent
        activeFocusOnTab: true
        Accessible.role: Accessible.RadioButton
        Accessible.name: tileText.text
        Accessible.checked: chosen
        Keys.onSpacePressed: dialog.choose(codes)
        // Enter confirms the function that has the focus.
        Keys.onReturnPressed: {
            dialog.choose(codes)
            dialog.apply()
        }
        Keys.onEnterPressed: {
            dialog.choose(codes)
            dialog.apply()
        }
        Behavior on color { ColorAnimation { duration: Theme.quick } }

        Text {
            id: tileText
            anchors.fill: parent
            anchors.leftMargin: Theme.gap
            anchors.rightMargin: Theme.gap
            verticalAlignment: Text.AlignVCenter
            text: dialog.texts[tile.modelData.text] ?? ""
            color: Theme.text
            font.pixelSize: Theme.controlSize
            font.bold: tile.chosen
            elide: Text.ElideRight
        }
        MouseArea {
            id: tileArea
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                dialog.choose(tile.codes)
                tile.forceActiveFocus()
            }
            onDoubleClicked: dialog.apply()
        }
    }

    // The functions of one group, three to a row.
    component Choices: Grid {
        id: grid
        property var functions: []
        property string name
        visible: dialog.category === name
        width: parent.width
        columns: 3
        spacing: Theme.unit
        Repeater {
            model: grid.functions
            delegate: Choice {
                width: (grid.width - 2 * grid.spacing) / 3
            }
        }
    }

    // --- Layout ------------------------------------------------------------------------

    Column {
        id: categoryList
        width: 196
        spacing: 4

        Repeater {
            model: dialog.shownCategories
            delegate: Rectangle {
                id: categoryRow
                required property var modelData
                readonly property bool shown: dialog.category === modelData.name
                readonly property bool holdsChoice: KeyFunctions.categoryOf(dialog.choice) === modelData.name

                objectName: "category_" + modelData.name
                width: categoryList.width
                height: 36
                radius: Theme.controlRadius + 2
                color: shown ? Theme.accentSoft : (rowArea.containsMouse ? Theme.controlHover : "transparent")
                border.width: activeFocus ? 1 : 0
                border.color: Theme.accent
                activeFocusOnTab: true
                Accessible.role: Accessible.PageTab
                Accessible.name: rowText.text
                Keys.onSpacePressed: dialog.showCategory(modelData.name)

                Rectangle {
                    x: 0
                    anchors.verticalCenter: parent.verticalCenter
                    width: 3
                    height: 18
                    radius: 1.5
                    color: Theme.accent
                    visible: categoryRow.shown
                }
                Text {
                    id: rowText
                    anchors.left: parent.left
                    anchors.leftMargin: 14
                    anchors.right: mark.left
                    anchors.rightMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: dialog.texts[categoryRow.modelData.text] ?? ""
                    color: categoryRow.shown ? Theme.text : Theme.textSecondary
                    font.pixelSize: Theme.controlSize
                    font.bold: categoryRow.shown
                    elide: Text.ElideRight
                }
                // The group of the function the key will have.
                Rectangle {
                    id: mark
                    anchors.right: parent.right
                    anchors.rightMargin: Theme.gap
                    anchors.verticalCenter: parent.verticalCenter
                    width: 6
                    height: 6
                    radius: 3
                    color: Theme.accent
                    opacity: categoryRow.holdsChoice ? 1 : 0
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    // The focus first: a field being edited on the page
                    // going away commits its text.
                    onClicked: {
                        categoryRow.forceActiveFocus(Qt.MouseFocusReason)
                        dialog.showCategory(categoryRow.modelData.name)
                    }
                }
            }
        }
    }

    Rectangle {
        x: categoryList.width + 12
        width: 1
        height: result.y - 12
        color: Theme.border
    }

    Item {
        id: pane
        x: categoryList.width + 25
        width: parent.width - x
        height: result.y - 12

        Text {
            id: paneTitle
            width: parent.width
            height: 24
            text: {
                const shown = KeyFunctions.categories.find(c => c.name === dialog.category)
                return shown ? dialog.texts[shown.text] ?? "" : ""
            }
            color: Theme.text
            font.pixelSize: Theme.controlSize
            font.bold: true
            elide: Text.ElideRight
        }

        Item {
            anchors.top: paneTitle.bottom
            anchors.topMargin: Theme.gap
            anchors.bottom: parent.bottom
            width: parent.width

            Choices {
                name: "mouse"
                functions: KeyFunctions.buttons.concat([KeyFunctions.doubleFire])
            }
            Choices {
                name: "media"
                functions: KeyFunctions.media
            }
            Choices {
                name: "dpi"
                functions: KeyFunctions.dpi
            }
            Choices {
                name: "windows"
                functions: KeyFunctions.windows
            }
            Choices {
                name: "shortcut"
                functions: KeyFunctions.shortcuts
            }
            Choices {
                name: "gun"
                functions: KeyFunctions.guns
            }

            // Fire: a key, its interval and how often it repeats.
            Column {
                visible: dialog.category === "fire"
                width: parent.width
                spacing: 10

                Label {
                    text: dialog.texts[Lang.KeyAssigmentText.KeyValue]
                }
                KeyCaptureField {
                    objectName: "fireKey"
                    width: parent.width
                    text: dialog.fireKey !== 0 ? KeyCodeString.name(dialog.fireKey) : ""
                    placeholder: dialog.texts[Lang.KeyAssigmentText.ClickInput]
                    prompt: dialog.texts[Lang.KeyAssigmentText.PressAKey]
                    capturing: dialog.capturing === "fire"
                    invalid: capturing && dialog.refusal === "key"
                    onCaptureWanted: dialog.startCapture("fire")
                    onCaptureLost: dialog.stopCapture()
                }
                Item {
                    width: 1
                    height: 4
                }
                Row {
                    spacing: Theme.gap
                    Label {
                        height: Theme.controlHeight
                        verticalAlignment: Text.AlignVCenter
                        text: dialog.texts[Lang.KeyAssigmentText.Rate]
                    }
                    RectInput {
                        objectName: "fireRate"
                        label: dialog.texts[Lang.KeyAssigmentText.Rate]
                        width: 96
                        numeric: true
                        minimum: KeyFunctions.fireRate.min
                        maximum: KeyFunctions.fireRate.max
                        value: String(dialog.fireRate)
                        suffix: Lang.keyMatrix[Lang.KeyMatrixText.Milliseconds]
                        onEdited: text => dialog.setFire(dialog.fireKey, Number(text), dialog.fireTimes)
                    }
                    Item {
                        width: 12
                        height: 1
                    }
                    Label {
                        height: Theme.controlHeight
                        verticalAlignment: Text.AlignVCenter
                        text: dialog.texts[Lang.KeyAssigmentText.Times]
                    }
                    RectInput {
                        objectName: "fireTimes"
                        label: dialog.texts[Lang.KeyAssigmentText.Times]
                        width: 72
                        numeric: true
                        minimum: 1
                        maximum: KeyFunctions.fireTimes.max
                        value: dialog.fireTimes === 0 ? "" : String(dialog.fireTimes)
                        enabled: dialog.fireTimes !== 0
                        onEdited: text => dialog.setFire(dialog.fireKey, dialog.fireRate, Number(text))
                    }
                    CheckBox {
                        objectName: "fireEndless"
                        anchors.verticalCenter: parent.verticalCenter
                        text: dialog.texts[Lang.KeyAssigmentText.Endless]
                        checked: dialog.fireTimes === 0
                        onToggled: wanted => dialog.setFire(dialog.fireKey, dialog.fireRate,
                                                            wanted ? 0 : KeyFunctions.fireTimes.initial)
                    }
                }
            }

            // A combination: modifiers and at most two other keys.
            Column {
                visible: dialog.category === "combination"
                width: parent.width
                spacing: 10

                Label {
                    text: dialog.texts[Lang.KeyAssigmentText.KeyValue]
                }
                KeyCaptureField {
                    objectName: "comboKeys"
                    width: parent.width
                    text: KeyFunctions.hasKeys(dialog.comboCodes) ? dialog.describe(dialog.comboCodes) : ""
                    placeholder: dialog.texts[Lang.KeyAssigmentText.ClickInput]
                    prompt: dialog.texts[Lang.KeyAssigmentText.PressKeysTogether]
                    capturing: dialog.capturing === "combination"
                    invalid: capturing && dialog.refusal === "key"
                    onCaptureWanted: dialog.startCapture("combination")
                    onCaptureLost: dialog.stopCapture()
                }
                Label {
                    width: parent.width
                    text: dialog.texts[Lang.KeyAssigmentText.ModifiersAndTwoKeys]
                    color: Theme.hint
                    font.pixelSize: Theme.hintSize
                }
            }

            // A macro of the library, and how it plays.
            Item {
                visible: dialog.category === "macro"
                anchors.fill: parent

                Label {
                    id: macroHeading
                    height: Theme.controlHeight
                    verticalAlignment: Text.AlignVCenter
                    text: Lang.macroEditor[Lang.MacroText.MacroName]
                }
                Button {
                    objectName: "openMacroEditor"
                    anchors.right: parent.right
                    height: Theme.controlHeight
                    kind: "outline"
                    text: dialog.texts[Lang.KeyAssigmentText.MacroEditor]
                    onClicked: dialog.scene.dialogWanted("macro")
                }
                Rectangle {
                    id: macroFrame
                    anchors.top: macroHeading.bottom
                    anchors.topMargin: Theme.unit
                    anchors.bottom: modes.top
                    anchors.bottomMargin: Theme.gap
                    width: parent.width
                    radius: Theme.controlRadius + 2
                    color: Theme.window

                    ListView {
                        id: macroList
                        objectName: "macroChoices"
                        anchors.fill: parent
                        anchors.margins: 6
                        spacing: 2
                        clip: true
                        model: dialog.macros.names
                        boundsBehavior: Flickable.StopAtBounds
                        currentIndex: dialog.macros.names.indexOf(dialog.macroName)
                        activeFocusOnTab: true
                        Accessible.role: Accessible.List
                        Accessible.name: dialog.texts[Lang.KeyAssigmentText.MacroFunction]
                        Accessible.description: dialog.macroName
                        Keys.onUpPressed: dialog.chooseMacro(dialog.macros.names[Math.max(0, currentIndex - 1)] ?? "", dialog.macroMode)
                        Keys.onDownPressed: dialog.chooseMacro(dialog.macros.names[Math.min(count - 1, currentIndex + 1)] ?? "", dialog.macroMode)

                        delegate: Rectangle {
                            id: macroRow
                            required property int index
                            required property var modelData
                            readonly property bool chosen: dialog.choice[0] === KeyFunctions.type.macro
                                                           && dialog.macroName === String(modelData)
                            width: ListView.view.width
                            height: Theme.controlHeight
                            radius: Theme.controlRadius
                            color: chosen ? Theme.accentSoft : (macroArea.containsMouse ? Theme.control : "transparent")
                            border.width: chosen ? 1 : 0
                            border.color: Theme.accent
                            Text {
                                anchors.fill: parent
                                anchors.leftMargin: Theme.gap
                                anchors.rightMargin: Theme.gap
                                verticalAlignment: Text.AlignVCenter
                                text: String(macroRow.modelData)
                                color: Theme.text
                                font.pixelSize: Theme.controlSize
                                font.bold: macroRow.chosen
                                elide: Text.ElideRight
                            }
                            MouseArea {
                                id: macroArea
                                anchors.fill: parent
                                hoverEnabled: true
                                cursorShape: Qt.PointingHandCursor
                                onClicked: {
                                    dialog.chooseMacro(String(macroRow.modelData), dialog.macroMode)
                                    macroList.forceActiveFocus()
                                }
                                onDoubleClicked: dialog.apply()
                            }
                        }
                    }
                    Text {
                        anchors.centerIn: parent
                        width: parent.width - 40
                        horizontalAlignment: Text.AlignHCenter
                        visible: macroList.count === 0
                        text: dialog.texts[Lang.KeyAssigmentText.NoMacrosYet]
                        color: Theme.hint
                        font.pixelSize: Theme.labelSize
                        wrapMode: Text.WordWrap
                    }
                }
                Column {
                    id: modes
                    anchors.bottom: parent.bottom
                    width: parent.width
                    spacing: Theme.unit
                    Repeater {
                        model: KeyFunctions.macroModes
                        delegate: RadioButton {
                            required property var modelData
                            objectName: "macroMode" + modelData.mode
                            width: modes.width
                            text: dialog.texts[modelData.text] ?? ""
                            checked: dialog.macroMode === modelData.mode
                            onClicked: dialog.chooseMacro(dialog.choice[0] === KeyFunctions.type.macro
                                                          ? dialog.macroName : "", modelData.mode)
                        }
                    }
                }
            }
        }
    }

    // What the key will do, and a word on what to do.
    Item {
        id: result
        anchors.bottom: parent.bottom
        width: parent.width
        height: 60

        Rectangle {
            width: parent.width
            height: 1
            color: Theme.border
        }
        Label {
            id: resultLabel
            y: 14
            width: categoryList.width
            text: Lang.keyMatrix[Lang.KeyMatrixText.KeyFunction]
        }
        Text {
            objectName: "keyResult"
            x: pane.x
            y: 10
            width: parent.width - x
            text: dialog.describe(dialog.choice)
            color: Theme.text
            font.pixelSize: Theme.titleSize
            font.bold: true
            elide: Text.ElideRight
        }
        Text {
            objectName: "keyHint"
            x: pane.x
            y: 38
            width: parent.width - x
            text: dialog.hint
            color: dialog.refusal.length > 0 ? Theme.error : (dialog.capturing.length > 0 ? Theme.accent : Theme.hint)
            font.pixelSize: Theme.hintSize
            elide: Text.ElideRight
        }
    }

    buttons: [
        Button {
            objectName: "keyFactory"
            text: Lang.main[Lang.MainText.ResetFactory]
            kind: "outline"
            width: Math.max(96, implicitWidth)
            onClicked: dialog.restoreFactory()
        },
        Button {
            objectName: "keyCancel"
            text: Lang.main[Lang.MainText.Cancel]
            kind: "outline"
            width: Math.max(96, implicitWidth)
            onClicked: dialog.close()
        },
        Button {
            objectName: "keyOk"
            text: Lang.main[Lang.MainText.Ok]
            kind: "primary"
            width: 96
            onClicked: dialog.apply()
        }
    ]
}
