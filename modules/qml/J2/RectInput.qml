import QtQuick
import modules.qml

// A text field. It shows `value` while not being edited; an edit ends with
// Enter or when the field loses focus (a button pressed, a page hidden) and
// is reported as edited(text) (a number within minimum..maximum when
// `numeric`), after which the field shows `value` again: the owner decides
// what is kept. Enter only ends the edit, it never confirms the dialog
// around the field. Escape drops the edit.
FocusScope {
    id: field

    property string value
    property bool numeric: false
    property int minimum: 0
    property int maximum: 99999
    property int maximumLength: 32
    property string suffix
    property string placeholder
    property int horizontalAlignment: numeric ? TextInput.AlignRight : TextInput.AlignLeft
    property bool invalid: false

    readonly property bool editing: input.activeFocus

    signal edited(string text)

    implicitWidth: 120
    implicitHeight: Theme.controlHeight
    activeFocusOnTab: enabled
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.role: Accessible.EditableText
    Accessible.name: value

    function finish() {
        let text = input.text.trim()
        if (numeric) {
            const n = parseInt(text, 10)
            text = String(Math.min(Math.max(isNaN(n) ? Number(value) || minimum : n, minimum), maximum))
        }
        if (text !== value)
            edited(text)
        input.text = Qt.binding(() => field.value)
    }

    function step(delta: int) {
        if (!numeric)
            return
        const n = Math.min(Math.max((parseInt(input.text, 10) || 0) + delta, minimum), maximum)
        input.text = String(n)
    }

    Rectangle {
        anchors.fill: parent
        radius: Theme.controlRadius
        color: Theme.control
        border.width: 1
        border.color: field.invalid ? Theme.error
                                    : (input.activeFocus ? Theme.accent : (hover.hovered ? Theme.borderStrong : Theme.border))
    }

    HoverHandler {
        id: hover
        cursorShape: Qt.IBeamCursor
    }

    TextInput {
        id: input
        anchors.left: parent.left
        anchors.right: suffixLabel.left
        anchors.leftMargin: 10
        anchors.rightMargin: suffixLabel.text.length > 0 ? 6 : 0
        anchors.verticalCenter: parent.verticalCenter
        focus: true
        text: field.value
        clip: true
        color: Theme.text
        selectionColor: Theme.accent
        selectedTextColor: Theme.accentText
        font.family: Theme.fontFamily
        font.pixelSize: Theme.controlSize
        horizontalAlignment: field.horizontalAlignment
        maximumLength: field.numeric ? 6 : field.maximumLength
        validator: field.numeric ? numberValidator : null
        selectByMouse: true
        onAccepted: field.finish()
        Keys.onReturnPressed: field.finish()
        Keys.onEnterPressed: field.finish()
        onActiveFocusChanged: {
            if (activeFocus)
                selectAll()
            else if (text !== field.value)
                field.finish()
        }
        Keys.onEscapePressed: function(event) {
            if (text !== field.value) {
                text = Qt.binding(() => field.value)
                event.accepted = true
            } else {
                event.accepted = false
            }
        }
        Keys.onUpPressed: field.step(1)
        Keys.onDownPressed: field.step(-1)

        Text {
            anchors.fill: parent
            verticalAlignment: Text.AlignVCenter
            horizontalAlignment: parent.horizontalAlignment
            visible: input.text.length === 0 && !input.activeFocus
            text: field.placeholder
            color: Theme.hint
            font: input.font
        }
    }

    IntValidator {
        id: numberValidator
        bottom: Math.min(field.minimum, 0)
        top: field.maximum
    }

    Text {
        id: suffixLabel
        anchors.right: parent.right
        anchors.rightMargin: text.length > 0 ? 10 : 0
        anchors.verticalCenter: parent.verticalCenter
        text: field.suffix
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: Theme.labelSize
    }
}
