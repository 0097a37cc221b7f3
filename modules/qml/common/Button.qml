import QtQuick
import modules.qml

// The scene's push button. Kinds: "normal" (filled control), "primary"
// (accent), "outline" and "ghost" (no fill until hovered). `marked` shows the
// unsaved mark in its corner; `iconName` puts an Icon before or in place of
// the text.
FocusScope {
    id: button

    property string text
    property string kind: "normal"
    property string iconName
    property bool marked: false
    property int fontSize: Theme.controlSize
    property bool bold: kind === "primary"
    property real horizontalPadding: 16

    readonly property bool hovered: area.containsMouse
    readonly property bool pressed: area.pressed
    // The focus came from a press, not the keyboard: no focus ring.
    property bool pointerFocus: false
    // Shown on hover (icon-only buttons name what they do).
    property string toolTip

    signal clicked()

    readonly property real iconRoom: iconName.length > 0 ? 14 + (text.length > 0 ? content.spacing : 0) : 0

    implicitHeight: Theme.controlHeight
    implicitWidth: Math.max(implicitHeight, iconRoom + label.implicitWidth + 2 * horizontalPadding)
    activeFocusOnTab: enabled
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.role: Accessible.Button
    Accessible.name: text.length > 0 ? text : toolTip
    Accessible.description: toolTip
    Accessible.onPressAction: clicked()

    onActiveFocusChanged: if (!activeFocus) pointerFocus = false

    Keys.onSpacePressed: clicked()
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    Rectangle {
        id: face
        anchors.fill: parent
        radius: Theme.controlRadius + 2
        color: {
            if (button.kind === "primary")
                return button.pressed ? Theme.accentPressed : (button.hovered ? Qt.lighter(Theme.accent, 1.12) : Theme.accent)
            if (button.pressed)
                return Theme.controlPressed
            if (button.kind === "ghost" || button.kind === "outline")
                return button.hovered ? Theme.control : "transparent"
            return button.hovered ? Theme.controlHover : Theme.control
        }
        border.width: button.kind === "outline" ? 1 : 0
        border.color: button.hovered ? Theme.borderStrong : Theme.border
        Behavior on color { ColorAnimation { duration: Theme.quick } }
    }

    // Keyboard focus ring.
    Rectangle {
        anchors.fill: parent
        anchors.margins: -3
        radius: face.radius + 3
        color: "transparent"
        border.width: Theme.focusRing
        border.color: Theme.accent
        visible: button.activeFocus && !button.pointerFocus
    }

    Row {
        id: content
        anchors.centerIn: parent
        spacing: 8

        Icon {
            visible: button.iconName.length > 0
            anchors.verticalCenter: parent.verticalCenter
            name: button.iconName
            size: 14
            color: label.color
        }
        Text {
            id: label
            visible: button.text.length > 0
            anchors.verticalCenter: parent.verticalCenter
            text: button.text
            color: button.kind === "primary" ? Theme.accentText : Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: button.fontSize
            font.bold: button.bold
            elide: Text.ElideRight
            width: Math.min(implicitWidth, button.width - 2 * button.horizontalPadding - button.iconRoom)
        }
    }

    // The unsaved mark.
    Rectangle {
        visible: button.marked
        width: 10
        height: 10
        radius: 5
        x: parent.width - width - 6
        y: 6
        color: Theme.unsaved
        border.width: 2
        border.color: face.color
    }

    Tip {
        objectName: button.objectName.length > 0 ? button.objectName + "Tip" : ""
        target: button
        text: button.toolTip
        wanted: button.hovered && !button.pressed
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        // A press takes the focus, so that a field being edited commits
        // its text before the click acts on it.
        onPressed: {
            if (!button.activeFocusOnTab)
                return
            button.pointerFocus = !button.activeFocus || button.pointerFocus
            button.forceActiveFocus(Qt.MouseFocusReason)
        }
        onClicked: button.clicked()
    }
}
