import QtQuick
import QtQuick.Templates as T
import modules.qml

// A text field. It shows `value` while not being edited; an edit ends with
// Enter or when the field loses focus (a button pressed, a page hidden) and
// is reported as edited(text) (a number within minimum..maximum when
// `numeric`), after which the field shows `value` again: the owner decides
// what is kept. Enter only ends the edit, it never confirms the dialog
// around the field. Escape drops the edit. Screen readers hear `label` (or
// the placeholder) as its name.
T.TextField {
    id: field

    property string value
    property bool numeric: false
    property int minimum: 0
    property int maximum: 99999
    property string suffix
    property string placeholder
    property bool invalid: false
    property string label: placeholder

    readonly property bool editing: activeFocus

    signal edited(string text)

    implicitWidth: 120
    implicitHeight: Theme.controlHeight
    leftPadding: 10
    rightPadding: suffixLabel.text.length > 0 ? suffixLabel.width + 16 : 0
    verticalAlignment: TextInput.AlignVCenter
    horizontalAlignment: numeric ? TextInput.AlignRight : TextInput.AlignLeft
    opacity: enabled ? 1 : Theme.disabledOpacity
    hoverEnabled: true

    text: value
    placeholderText: placeholder
    placeholderTextColor: Theme.hint
    clip: true
    color: Theme.text
    selectionColor: Theme.accent
    selectedTextColor: Theme.accentText
    font.pixelSize: Theme.controlSize
    maximumLength: numeric ? 6 : 32
    validator: numeric ? numberValidator : null
    selectByMouse: true

    Accessible.name: label
    Accessible.description: suffix

    function finish() {
        let typed = text.trim()
        if (numeric) {
            const n = parseInt(typed, 10)
            typed = String(Math.min(Math.max(isNaN(n) ? Number(value) || minimum : n, minimum), maximum))
        }
        if (typed !== value)
            edited(typed)
        text = Qt.binding(() => field.value)
    }

    function step(delta: int) {
        if (!numeric)
            return
        text = String(Math.min(Math.max((parseInt(text, 10) || 0) + delta, minimum), maximum))
    }

    onAccepted: finish()
    Keys.onReturnPressed: finish()
    Keys.onEnterPressed: finish()
    onActiveFocusChanged: {
        if (activeFocus)
            selectAll()
        else if (text !== value)
            finish()
    }
    Keys.onEscapePressed: function(event) {
        if (text !== value) {
            text = Qt.binding(() => field.value)
            event.accepted = true
        } else {
            event.accepted = false
        }
    }
    Keys.onUpPressed: step(1)
    Keys.onDownPressed: step(-1)

    background: Rectangle {
        radius: Theme.controlRadius
        color: Theme.control
        border.width: 1
        border.color: field.invalid ? Theme.error
                                    : (field.activeFocus ? Theme.accent : (field.hovered ? Theme.outlineStrong : Theme.outline))
    }

    HoverHandler {
        cursorShape: Qt.IBeamCursor
    }

    Text {
        x: field.leftPadding
        width: field.width - field.leftPadding - field.rightPadding
        height: field.height
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: field.horizontalAlignment
        visible: field.text.length === 0 && !field.activeFocus
        text: field.placeholderText
        color: field.placeholderTextColor
        font: field.font
        Accessible.ignored: true
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
        font.pixelSize: Theme.labelSize
        Accessible.ignored: true
    }
}
