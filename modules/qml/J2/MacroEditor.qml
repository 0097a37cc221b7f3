pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "../basic/keycodes.mjs" as KeyCodes
import "../basic/macrocodec.mjs" as Codec

// The macro editor: the macro list (New, Import, Export, Delete, rename in
// place), the steps of the selected macro (edited in place, inserted,
// deleted, recorded from the keyboard) and its repeat count. The store
// writes every change at once and sends it to the keys that run the macro.
Dialog {
    id: dialog

    required property MacroStore store
    // What reports the system-wide key capture.
    property SceneLink keySource: null

    // Which overlay is up: "" none, "key" the key capture box, "delete"
    // the question before deleting a macro.
    property string overlay: ""
    property int capturedCode: 0
    // Milliseconds since the recording started, for the record button.
    property real recordedMs: 0

    readonly property var texts: Lang.macroEditor
    readonly property var refusalTexts: ({
        count: Lang.MacroText.TooManyMacros, taken: Lang.MacroText.NameTaken,
        name: Lang.MacroText.NameRefused, format: Lang.MacroText.NotAStep,
        key: Lang.MacroText.NoSuchKey, delay: Lang.MacroText.DelayTooLong,
        full: Lang.MacroText.MacroFull, length: Lang.MacroText.MacroFull,
        steps: Lang.MacroText.TooManySteps, save: Lang.MacroText.NotSaved,
        "delete": Lang.MacroText.NotDeleted
    })

    // The line under the editor: a refusal, the recording, why the macro
    // cannot go to the mouse, or how to edit.
    readonly property string status: {
        if (store.refusal.length > 0)
            return texts[refusalTexts[store.refusal]] ?? ""
        if (store.recording)
            return texts[Lang.MacroText.Recording]
        const problem = store.encoded.problem
        if (problem === "delay")
            return texts[Lang.MacroText.NotSentDelay]
        if (problem === "step")
            return texts[Lang.MacroText.NotSentStep].replace("%1", store.encoded.step + 1)
        if (problem === "length")
            return texts[Lang.MacroText.NotSentLength]
        if (problem === "repeat")
            return texts[Lang.MacroText.NotSentTimes]
        if (store.current.length === 0)
            return texts[Lang.MacroText.CreateMacro]
        if (store.listFull)
            return texts[Lang.MacroText.TooManyMacros]
        return texts[Lang.MacroText.DoubleClickStep] + "  " + texts[Lang.MacroText.DoubleClickName]
    }
    readonly property bool statusIsError: store.refusal.length > 0
                                          || (!store.recording && store.encoded.problem.length > 0)

    title: texts[Lang.MacroText.Title]
    cardWidth: 920
    cardHeight: 580

    Component.onCompleted: store.open()
    // Closing the editor ends a recording, which is then stored. (Not on
    // destruction: the program's objects may be gone by then.)
    onClosed: store.stopRecording()

    Connections {
        target: dialog.keySource
        function onKeyReported(isDown: bool, usbCode: int) {
            if (dialog.overlay === "key") {
                if (isDown && usbCode < KeyCodes.firstButtonCode && KeyCodeString.name(usbCode).length > 0)
                    dialog.capturedCode = usbCode
            } else {
                dialog.store.keyEvent(isDown, usbCode)
            }
        }
    }

    Timer {
        interval: 100
        repeat: true
        running: dialog.store.recording
        onTriggered: dialog.recordedMs = Date.now() - dialog.store.recordingSince
        onRunningChanged: dialog.recordedMs = 0
    }

    function openKeyCapture() {
        if (store.current.length === 0 || store.recording)
            return
        capturedCode = 0
        overlay = "key"
        keySink.forceActiveFocus()
    }

    function closeOverlay() {
        overlay = ""
        stepList.forceActiveFocus()
    }

    // `key`: the key that pressed the button, -1 for a click.
    function toggleRecording(key: int) {
        if (store.recording) {
            store.stopRecording()
            stepList.forceActiveFocus()
        } else if (store.startRecording(key)) {
            // Keys typed into this window are recorded, not acted on.
            keySink.forceActiveFocus()
        }
    }

    function clock(ms: real): string {
        const tenths = Math.floor(ms / 100)
        const minutes = Math.floor(tenths / 600)
        const seconds = Math.floor(tenths / 10) % 60
        return String(minutes).padStart(2, "0") + ":" + String(seconds).padStart(2, "0") + "." + (tenths % 10)
    }

    component ToolButton: Button {
        width: tools.width
        height: 34
        enabled: dialog.store.current.length > 0 && !dialog.store.recording
    }

    // Takes every key while recording or capturing, so that keys meant for
    // the macro do not press the editor's buttons or close it. Escape ends a
    // recording (and is not recorded), so that the keyboard alone can stop it.
    Item {
        id: keySink
        objectName: "macroKeySink"
        Keys.onPressed: event => {
            event.accepted = true
            if (event.key === Qt.Key_Escape && dialog.store.recording) {
                dialog.store.stopRecordingBy(KeyCodes.escapeCode)
                stepList.forceActiveFocus()
            }
        }
        Keys.onReleased: event => event.accepted = true
        Keys.onShortcutOverride: event => event.accepted = true
    }

    // --- The macros --------------------------------------------------------------------

    Item {
        id: macroColumn
        width: 224
        height: parent.height - statusLine.height - 12

        Label {
            id: macroHeading
            width: parent.width - countText.width - 8
            height: 20
            text: dialog.texts[Lang.MacroText.MacroName]
        }
        Label {
            id: countText
            anchors.right: parent.right
            height: 20
            text: dialog.store.names.length + " / 100"
            color: dialog.store.listFull ? Theme.unsaved : Theme.hint
        }

        ListView {
            id: macroList
            objectName: "macroList"
            anchors.top: macroHeading.bottom
            anchors.topMargin: 6
            anchors.bottom: macroButtons.top
            anchors.bottomMargin: Theme.gap
            width: parent.width
            spacing: 4
            clip: true
            model: dialog.store.names
            currentIndex: dialog.store.selected
            boundsBehavior: Flickable.StopAtBounds
            enabled: !dialog.store.recording
            activeFocusOnTab: true
            Accessible.role: Accessible.List
            Accessible.name: macroHeading.text
            Accessible.description: dialog.store.current
            Keys.onUpPressed: dialog.store.select(Math.max(0, dialog.store.selected - 1))
            Keys.onDownPressed: dialog.store.select(Math.min(dialog.store.names.length - 1, dialog.store.selected + 1))
            Keys.onPressed: event => {
                if (event.key === Qt.Key_F2 && currentItem) {
                    (currentItem as MacroRow).startRename()
                    event.accepted = true
                }
            }

            delegate: MacroRow {}
        }

        Grid {
            id: macroButtons
            anchors.bottom: parent.bottom
            width: parent.width
            columns: 2
            spacing: Theme.unit

            Button {
                objectName: "macroNew"
                width: (macroButtons.width - 8) / 2
                text: dialog.texts[Lang.MacroText.New]
                iconName: "plus"
                enabled: !dialog.store.recording && !dialog.store.listFull
                onClicked: dialog.store.create()
            }
            Button {
                objectName: "macroImport"
                width: (macroButtons.width - 8) / 2
                text: dialog.texts[Lang.MacroText.Import]
                enabled: !dialog.store.recording && !dialog.store.listFull
                onClicked: dialog.store.importFile()
            }
            Button {
                objectName: "macroExport"
                width: (macroButtons.width - 8) / 2
                text: dialog.texts[Lang.MacroText.Export]
                enabled: !dialog.store.recording && dialog.store.current.length > 0
                onClicked: dialog.store.exportFile()
            }
            Button {
                objectName: "macroDelete"
                width: (macroButtons.width - 8) / 2
                text: dialog.texts[Lang.MacroText.Delete]
                kind: "outline"
                enabled: !dialog.store.recording && dialog.store.current.length > 0
                onClicked: {
                    dialog.overlay = "delete"
                    confirmDelete.forceActiveFocus()
                }
            }
        }
    }

    // One macro of the list; a double-click (or F2) renames it in place.
    component MacroRow: Rectangle {
        id: macroRow
        required property int index
        required property var modelData
        readonly property bool chosen: dialog.store.selected === index
        property bool renaming: false
        property bool refused: false

        function startRename() {
            renaming = true
            refused = false
            nameInput.text = String(modelData)
            nameInput.forceActiveFocus()
            nameInput.selectAll()
        }

        // Stores the typed name. A refused name keeps the row open, its
        // reason on the status line. `stay`: the focus moved elsewhere and
        // stays there.
        function finishRename(stay: bool) {
            if (!renaming)
                return
            if (dialog.store.rename(index, nameInput.text)) {
                renaming = false
                refused = false
                if (!stay)
                    macroList.forceActiveFocus()
            } else {
                refused = true
            }
        }

        function cancelRename() {
            renaming = false
            refused = false
            macroList.forceActiveFocus()
        }

        width: ListView.view.width
        height: 36
        radius: Theme.controlRadius + 2
        color: chosen ? Theme.accentSoft : (rowArea.containsMouse ? Theme.controlHover : Theme.control)
        border.width: chosen || renaming ? 1 : 0
        border.color: refused ? Theme.error : Theme.accent

        Text {
            anchors.fill: parent
            anchors.leftMargin: Theme.gap
            anchors.rightMargin: Theme.gap
            verticalAlignment: Text.AlignVCenter
            visible: !macroRow.renaming
            text: String(macroRow.modelData)
            color: Theme.text
            font.pixelSize: Theme.controlSize
            elide: Text.ElideRight
        }
        MouseArea {
            id: rowArea
            anchors.fill: parent
            hoverEnabled: true
            visible: !macroRow.renaming
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                dialog.store.select(macroRow.index)
                macroList.forceActiveFocus()
            }
            onDoubleClicked: macroRow.startRename()
        }
        TextInput {
            id: nameInput
            objectName: "macroNameInput"
            anchors.fill: parent
            anchors.leftMargin: Theme.gap
            anchors.rightMargin: Theme.gap
            verticalAlignment: Text.AlignVCenter
            visible: macroRow.renaming
            clip: true
            color: Theme.text
            selectionColor: Theme.accent
            selectedTextColor: Theme.accentText
            font.pixelSize: Theme.controlSize
            maximumLength: 120
            selectByMouse: true
            // Enter and Tab confirm the name; neither closes the editor nor
            // leaves a refused name behind.
            Keys.onReturnPressed: macroRow.finishRename(false)
            Keys.onEnterPressed: macroRow.finishRename(false)
            Keys.onTabPressed: macroRow.finishRename(false)
            Keys.onBacktabPressed: macroRow.finishRename(false)
            onTextEdited: macroRow.refused = false
            onActiveFocusChanged: if (!activeFocus && macroRow.renaming) macroRow.finishRename(true)
            Keys.onEscapePressed: macroRow.cancelRename()
        }
    }

    // --- The steps ---------------------------------------------------------------------

    Item {
        id: stepColumn
        anchors.left: macroColumn.right
        anchors.leftMargin: 20
        anchors.right: tools.left
        anchors.rightMargin: 20
        height: macroColumn.height

        Label {
            id: stepHeading
            height: 20
            width: parent.width - meter.width - 8
            text: dialog.texts[Lang.MacroText.Steps] + (dialog.store.current.length > 0 ? "  \u00B7  " + dialog.store.current : "")
        }

        // How much of the mouse's 128 bytes the macro takes.
        Item {
            id: meter
            objectName: "macroMeter"
            anchors.right: parent.right
            width: 150
            height: 20
            readonly property bool over: dialog.store.length > Codec.blockSize
            Label {
                id: meterText
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: Math.min(dialog.store.length, 999) + " / " + Codec.blockSize + " " + dialog.texts[Lang.MacroText.Bytes]
                color: meter.over ? Theme.error : (dialog.store.full ? Theme.unsaved : Theme.hint)
            }
            Rectangle {
                anchors.right: meterText.left
                anchors.rightMargin: Theme.unit
                anchors.verticalCenter: parent.verticalCenter
                width: 44
                height: 4
                radius: 2
                color: Theme.track
                Rectangle {
                    width: parent.width * Math.min(1, dialog.store.length / Codec.blockSize)
                    height: parent.height
                    radius: 2
                    color: meter.over ? Theme.error : (dialog.store.full ? Theme.unsaved : Theme.accent)
                }
            }
        }

        Rectangle {
            id: stepFrame
            anchors.top: stepHeading.bottom
            anchors.topMargin: 6
            anchors.bottom: repeatRow.top
            anchors.bottomMargin: Theme.gap
            width: parent.width
            radius: Theme.controlRadius + 2
            color: Theme.window
            border.width: dialog.store.recording ? 1 : 0
            border.color: Theme.error

            ListView {
                id: stepList
                objectName: "stepList"
                anchors.fill: parent
                anchors.margins: 6
                spacing: 2
                clip: true
                model: dialog.store.steps
                currentIndex: dialog.store.step
                boundsBehavior: Flickable.StopAtBounds
                activeFocusOnTab: true
                Accessible.role: Accessible.List
                Accessible.name: dialog.texts[Lang.MacroText.Steps]
                Accessible.description: dialog.store.step >= 0 && dialog.store.step < count ? String(dialog.store.steps[dialog.store.step]) : ""
                highlightMoveDuration: Theme.quick
                onCountChanged: if (dialog.store.recording) positionViewAtEnd()
                Keys.onUpPressed: dialog.store.step = Math.max(0, dialog.store.step - 1)
                Keys.onDownPressed: dialog.store.step = Math.min(count - 1, dialog.store.step + 1)
                Keys.onDeletePressed: dialog.store.removeStep()
                Keys.onPressed: event => {
                    if (event.key === Qt.Key_F2 && currentItem) {
                        (currentItem as StepRow).startEdit()
                        event.accepted = true
                    }
                }

                delegate: StepRow {}
            }

            Text {
                anchors.centerIn: parent
                width: parent.width - 40
                horizontalAlignment: Text.AlignHCenter
                visible: stepList.count === 0 && dialog.store.current.length > 0
                text: dialog.store.recording ? "" : dialog.texts[Lang.MacroText.NoStepsYet]
                color: Theme.hint
                font.pixelSize: Theme.labelSize
                wrapMode: Text.WordWrap
            }
        }

        Row {
            id: repeatRow
            anchors.bottom: parent.bottom
            width: parent.width
            height: Theme.controlHeight
            spacing: 10

            Label {
                height: parent.height
                verticalAlignment: Text.AlignVCenter
                text: dialog.texts[Lang.MacroText.Times]
            }
            RectInput {
                objectName: "macroTimes"
                label: dialog.texts[Lang.MacroText.Times]
                width: 96
                numeric: true
                minimum: Codec.timesRange.min
                maximum: Codec.timesRange.max
                value: String(dialog.store.repeat)
                enabled: dialog.store.current.length > 0 && !dialog.store.recording
                onEdited: text => dialog.store.setRepeat(Number(text))
            }
            Label {
                height: parent.height
                width: repeatRow.width - x
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: Text.AlignRight
                visible: dialog.store.current.length > 0
                text: dialog.store.runningKeys.length > 0
                      ? dialog.texts[Lang.MacroText.RunsOnKey] + "  " + dialog.store.runningKeys.map(k => k + 1).join(", ")
                      : dialog.texts[Lang.MacroText.NotOnAnyKey]
                color: dialog.store.runningKeys.length > 0 ? Theme.accent : Theme.hint
            }
        }
    }

    // One step; a double-click (or F2) edits its text in place.
    component StepRow: Rectangle {
        id: stepRow
        required property int index
        required property var modelData
        readonly property var parsed: Codec.parseStep(String(modelData))
        readonly property int code: parsed && parsed.type !== 0 ? dialog.store.codeOf(parsed.info) : 0
        readonly property bool known: parsed !== null && (parsed.type === 0 || code !== 0)
        readonly property bool chosen: dialog.store.step === index
        readonly property bool faulty: !known || dialog.store.encoded.step === index
        property bool editing: false
        property bool refused: false

        // The text the step is edited as: its key in the language in use.
        function editText(): string {
            if (!parsed || parsed.type === 0 || code === 0)
                return String(modelData)
            return Codec.stepText(parsed.type, KeyCodeString.name(code))
        }

        function startEdit() {
            if (dialog.store.recording)
                return
            dialog.store.step = index
            editing = true
            refused = false
            stepInput.text = editText()
            stepInput.forceActiveFocus()
            stepInput.selectAll()
        }

        // Stores the typed step; a refused text keeps the row open, its
        // reason on the status line. `stay`: the focus moved elsewhere.
        function finishEdit(stay: bool) {
            if (!editing)
                return
            if (stepInput.text === editText() || dialog.store.editStep(index, stepInput.text)) {
                editing = false
                refused = false
                if (!stay)
                    stepList.forceActiveFocus()
            } else {
                refused = true
            }
        }

        function cancelEdit() {
            editing = false
            refused = false
            stepList.forceActiveFocus()
        }

        width: ListView.view.width
        height: 30
        radius: Theme.controlRadius
        color: chosen ? Theme.accentSoft : (stepArea.containsMouse ? Theme.control : "transparent")
        border.width: editing || faulty ? 1 : 0
        border.color: refused || faulty ? Theme.error : Theme.accent

        Text {
            id: number
            x: 8
            width: 28
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignRight
            text: stepRow.index + 1
            color: Theme.hint
            font.pixelSize: Theme.hintSize
        }
        Text {
            id: glyph
            anchors.left: number.right
            anchors.leftMargin: Theme.gap
            width: 16
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignHCenter
            text: !stepRow.parsed ? "?" : stepRow.parsed.type === 0 ? "\u25F7"
                  : Codec.isRelease(stepRow.parsed.type) ? "\u2191" : "\u2193"
            color: !stepRow.known ? Theme.error
                   : stepRow.parsed.type === 0 ? Theme.hint
                   : Codec.isRelease(stepRow.parsed.type) ? Theme.textSecondary : Theme.accent
            font.pixelSize: Theme.controlSize
            font.bold: true
        }
        Text {
            anchors.left: glyph.right
            anchors.leftMargin: 10
            anchors.right: kind.left
            anchors.rightMargin: Theme.unit
            anchors.verticalCenter: parent.verticalCenter
            visible: !stepRow.editing
            text: !stepRow.parsed ? String(stepRow.modelData)
                  : stepRow.parsed.type === 0 ? stepRow.parsed.info + " " + dialog.texts[Lang.MacroText.Milliseconds]
                  : stepRow.code !== 0 ? KeyCodeString.name(stepRow.code) : stepRow.parsed.info
            color: stepRow.known ? (stepRow.parsed.type === 0 ? Theme.textSecondary : Theme.text) : Theme.error
            font.pixelSize: Theme.controlSize
            elide: Text.ElideRight
        }
        Text {
            id: kind
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            visible: !stepRow.editing && stepRow.parsed !== null
            text: !stepRow.parsed ? "" : stepRow.parsed.type === 0 ? dialog.texts[Lang.MacroText.Delay]
                  : Codec.isRelease(stepRow.parsed.type) ? dialog.texts[Lang.MacroText.Release] : dialog.texts[Lang.MacroText.Press]
            color: Theme.hint
            font.pixelSize: Theme.hintSize
        }
        MouseArea {
            id: stepArea
            anchors.fill: parent
            hoverEnabled: true
            visible: !stepRow.editing
            enabled: !dialog.store.recording
            onClicked: {
                dialog.store.step = stepRow.index
                stepList.forceActiveFocus()
            }
            onDoubleClicked: stepRow.startEdit()
        }
        TextInput {
            id: stepInput
            objectName: "stepInput"
            anchors.left: glyph.right
            anchors.leftMargin: 10
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            visible: stepRow.editing
            clip: true
            color: Theme.text
            selectionColor: Theme.accent
            selectedTextColor: Theme.accentText
            font.pixelSize: Theme.controlSize
            maximumLength: 40
            selectByMouse: true
            Keys.onReturnPressed: stepRow.finishEdit(false)
            Keys.onEnterPressed: stepRow.finishEdit(false)
            Keys.onTabPressed: stepRow.finishEdit(false)
            Keys.onBacktabPressed: stepRow.finishEdit(false)
            onTextEdited: stepRow.refused = false
            onActiveFocusChanged: if (!activeFocus && stepRow.editing) stepRow.finishEdit(true)
            Keys.onEscapePressed: stepRow.cancelEdit()
        }
    }

    // --- Recording and inserting ------------------------------------------------------

    Column {
        id: tools
        anchors.right: parent.right
        width: 196
        spacing: Theme.unit

        Rectangle {
            id: recordButton
            objectName: "macroRecord"
            width: parent.width
            height: 56
            radius: Theme.controlRadius + 2
            readonly property bool usable: dialog.store.current.length > 0 && dialog.overlay === ""
            color: dialog.store.recording ? (recordArea.containsMouse ? Qt.lighter(Theme.error, 1.1) : Theme.error)
                                          : (recordArea.containsMouse ? Theme.controlHover : Theme.control)
            opacity: usable ? 1 : Theme.disabledOpacity
            border.width: recordButton.activeFocus ? Theme.focusRing : 0
            border.color: Theme.accent
            activeFocusOnTab: usable
            Accessible.role: Accessible.Button
            Accessible.name: recordText.text
            Keys.onSpacePressed: dialog.toggleRecording(KeyCodes.spaceCode)
            Behavior on color { ColorAnimation { duration: Theme.quick } }

            Rectangle {
                id: recordDot
                x: 16
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                radius: dialog.store.recording ? 2 : 7
                color: dialog.store.recording ? Theme.text : Theme.error
                SequentialAnimation on opacity {
                    running: dialog.store.recording
                    loops: Animation.Infinite
                    alwaysRunToEnd: true
                    NumberAnimation { to: 0.35; duration: 500 }
                    NumberAnimation { to: 1; duration: 500 }
                }
            }
            Column {
                anchors.left: recordDot.right
                anchors.leftMargin: Theme.gap
                anchors.right: parent.right
                anchors.rightMargin: Theme.unit
                anchors.verticalCenter: parent.verticalCenter
                Text {
                    id: recordText
                    width: parent.width
                    text: dialog.store.recording ? dialog.texts[Lang.MacroText.StopRecord] : dialog.texts[Lang.MacroText.StartRecord]
                    color: Theme.text
                    font.pixelSize: Theme.controlSize
                    font.bold: true
                    elide: Text.ElideRight
                }
                Text {
                    visible: dialog.store.recording
                    text: dialog.clock(dialog.recordedMs)
                    color: Theme.text
                    font.pixelSize: Theme.labelSize
                }
            }
            MouseArea {
                id: recordArea
                anchors.fill: parent
                hoverEnabled: true
                enabled: recordButton.usable
                cursorShape: Qt.PointingHandCursor
                onClicked: dialog.toggleRecording(-1)
            }
        }

        CheckBox {
            objectName: "macroWithDelay"
            width: parent.width
            text: dialog.texts[Lang.MacroText.Delay]
            checked: dialog.store.withDelay
            enabled: !dialog.store.recording
            onToggled: wanted => dialog.store.withDelay = wanted
        }

        Rectangle {
            width: parent.width
            height: 1
            color: Theme.border
        }

        ToolButton {
            objectName: "insertDelay"
            text: dialog.texts[Lang.MacroText.InsertDelay]
            onClicked: dialog.store.insertDelay()
        }
        ToolButton {
            objectName: "insertKey"
            text: dialog.texts[Lang.MacroText.InsertKey]
            onClicked: dialog.openKeyCapture()
        }
        ToolButton {
            objectName: "insertLeft"
            text: dialog.texts[Lang.MacroText.InsertLeftKey]
            onClicked: dialog.store.insertPair(0xF0)
        }
        ToolButton {
            objectName: "insertMiddle"
            text: dialog.texts[Lang.MacroText.InsertMiddleKey]
            onClicked: dialog.store.insertPair(0xF2)
        }
        ToolButton {
            objectName: "insertRight"
            text: dialog.texts[Lang.MacroText.InsertRightKey]
            onClicked: dialog.store.insertPair(0xF1)
        }
        ToolButton {
            objectName: "removeStep"
            text: dialog.texts[Lang.MacroText.DeleteStep]
            kind: "outline"
            enabled: dialog.store.step >= 0 && !dialog.store.recording
            onClicked: dialog.store.removeStep()
        }
    }

    Text {
        id: statusLine
        objectName: "macroStatus"
        anchors.bottom: parent.bottom
        width: parent.width
        height: 36
        verticalAlignment: Text.AlignVCenter
        text: dialog.status
        color: dialog.statusIsError ? Theme.error : (dialog.store.recording ? Theme.text : Theme.hint)
        font.pixelSize: Theme.hintSize
        wrapMode: Text.WordWrap
        maximumLineCount: 2
        elide: Text.ElideRight
    }

    // --- Overlays: the key capture box and the delete question ---------------------

    // Over the whole card: its header (56) and its button row too.
    Rectangle {
        anchors.fill: parent
        anchors.margins: -dialog.padding
        anchors.topMargin: -(56 + dialog.padding)
        anchors.bottomMargin: -(2 * dialog.padding + Theme.controlHeight)
        visible: dialog.overlay.length > 0
        color: Theme.mask
        radius: Theme.cardRadius + 2

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        Rectangle {
            anchors.centerIn: parent
            width: 380
            height: 200
            radius: Theme.cardRadius
            color: Theme.card
            border.width: 1
            border.color: Theme.borderStrong

            // The key capture box: the next key reported becomes the key.
            Item {
                anchors.fill: parent
                anchors.margins: 20
                visible: dialog.overlay === "key"

                Label {
                    width: parent.width
                    text: dialog.texts[Lang.MacroText.PressKeyToInsert]
                    color: Theme.text
                    font.pixelSize: Theme.controlSize
                }
                Rectangle {
                    objectName: "capturedKey"
                    y: 32
                    width: parent.width
                    height: 64
                    radius: Theme.controlRadius + 2
                    color: Theme.window
                    border.width: 1
                    border.color: dialog.capturedCode !== 0 ? Theme.accent : Theme.border
                    Text {
                        anchors.centerIn: parent
                        text: dialog.capturedCode !== 0 ? KeyCodeString.name(dialog.capturedCode) : "\u2026"
                        color: dialog.capturedCode !== 0 ? Theme.text : Theme.hint
                        font.pixelSize: Theme.captureSize
                        font.bold: true
                    }
                }
                Row {
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    spacing: 10
                    Button {
                        text: Lang.main[Lang.MainText.Cancel]
                        kind: "outline"
                        width: Math.max(96, implicitWidth)
                        onClicked: dialog.closeOverlay()
                    }
                    Button {
                        objectName: "keyCaptureOk"
                        text: Lang.main[Lang.MainText.Ok]
                        kind: "primary"
                        width: 96
                        enabled: dialog.capturedCode !== 0
                        onClicked: {
                            dialog.store.insertPair(dialog.capturedCode)
                            dialog.closeOverlay()
                        }
                    }
                }
            }

            // The question before a macro is deleted.
            FocusScope {
                id: confirmDelete
                anchors.fill: parent
                anchors.margins: 20
                visible: dialog.overlay === "delete"
                Keys.onEscapePressed: dialog.closeOverlay()

                Text {
                    width: parent.width
                    text: dialog.store.current
                    color: Theme.text
                    font.pixelSize: Theme.titleSize
                    font.bold: true
                    elide: Text.ElideRight
                }
                Label {
                    y: 32
                    width: parent.width
                    text: dialog.texts[Lang.MacroText.DeleteQuestion]
                    font.pixelSize: Theme.controlSize
                    wrapMode: Text.WordWrap
                    elide: Text.ElideNone
                }
                Row {
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    spacing: 10
                    Button {
                        text: Lang.main[Lang.MainText.Cancel]
                        kind: "outline"
                        width: Math.max(96, implicitWidth)
                        onClicked: dialog.closeOverlay()
                    }
                    Button {
                        objectName: "macroDeleteConfirm"
                        text: dialog.texts[Lang.MacroText.Delete]
                        kind: "primary"
                        width: Math.max(96, implicitWidth)
                        focus: true
                        onClicked: {
                            dialog.store.remove()
                            dialog.closeOverlay()
                        }
                    }
                }
            }
        }
    }

    buttons: [
        Button {
            objectName: "macroClose"
            text: Lang.main[Lang.MainText.Ok]
            kind: "primary"
            width: 96
            onClicked: dialog.close()
        }
    ]
}
