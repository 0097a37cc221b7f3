import QtQuick
import modules.qml

// A field that is filled from the system-wide key capture. A click, or
// Space or Enter on release (so that the key that starts the capture is not
// taken), asks for the capture with captureWanted(); the owner runs it and
// sets `capturing`. While it runs, and briefly after it ends, every key
// typed into the window is swallowed: the capture's report and the window's
// own key event come by different roads in either order, and the captured
// Enter or Escape must not also confirm or close the dialog. Losing the
// focus asks the owner to end the capture with captureLost().
FocusScope {
    id: field

    property string text
    property string placeholder
    property string prompt
    property bool capturing: false
    property bool invalid: false

    // Keys typed into the window now belong to the capture.
    readonly property bool swallowing: capturing || settling.running

    signal captureWanted()
    signal captureLost()

    implicitWidth: 240
    implicitHeight: 44
    activeFocusOnTab: enabled
    opacity: enabled ? 1 : Theme.disabledOpacity

    // The name screen readers give the field; they hear its keys (or the
    // prompt while capturing) as its value.
    property string label: placeholder

    Accessible.role: Accessible.EditableText
    Accessible.name: label.length > 0 ? label : text
    Accessible.description: capturing ? prompt : text
    Accessible.onPressAction: captureWanted()

    onCapturingChanged: if (!capturing) settling.restart()
    onActiveFocusChanged: if (!activeFocus && capturing) captureLost()

    function startsCapture(key: int): bool {
        return key === Qt.Key_Space || key === Qt.Key_Return || key === Qt.Key_Enter
    }

    Keys.onPressed: event => {
        if (swallowing || startsCapture(event.key))
            event.accepted = true
    }
    Keys.onReleased: event => {
        if (swallowing) {
            event.accepted = true
        } else if (startsCapture(event.key) && !event.isAutoRepeat) {
            event.accepted = true
            captureWanted()
        }
    }
    Keys.onShortcutOverride: event => event.accepted = swallowing

    Timer {
        id: settling
        interval: 250
    }

    Rectangle {
        anchors.fill: parent
        radius: Theme.controlRadius + 2
        color: field.capturing ? Theme.accentSoft : (area.containsMouse ? Theme.controlHover : Theme.control)
        border.width: field.capturing || field.activeFocus || field.invalid ? 1 : 0
        border.color: field.invalid ? Theme.error : Theme.accent
        Behavior on color { ColorAnimation { duration: Theme.quick } }
    }

    // A blinking dot while the capture waits for keys.
    Rectangle {
        id: dot
        x: 14
        anchors.verticalCenter: parent.verticalCenter
        width: 8
        height: 8
        radius: 4
        color: Theme.accent
        visible: field.capturing
        SequentialAnimation on opacity {
            running: field.capturing
            loops: Animation.Infinite
            alwaysRunToEnd: true
            NumberAnimation { to: 0.3; duration: 450 }
            NumberAnimation { to: 1; duration: 450 }
        }
    }

    Text {
        anchors.left: parent.left
        anchors.leftMargin: field.capturing ? 32 : 14
        anchors.right: parent.right
        anchors.rightMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        text: field.text.length > 0 ? field.text : (field.capturing ? field.prompt : field.placeholder)
        color: field.text.length > 0 ? Theme.text : (field.capturing ? Theme.accent : Theme.hint)
        font.pixelSize: field.text.length > 0 ? 15 : Theme.controlSize
        font.bold: field.text.length > 0
        elide: Text.ElideRight
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            field.forceActiveFocus()
            field.captureWanted()
        }
    }
}
