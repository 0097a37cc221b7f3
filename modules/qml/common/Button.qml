import QtQuick
import QtQuick.Templates as T
import modules.qml

// The scene's push button. Kinds: "normal" (filled control), "primary"
// (accent), "outline" and "ghost" (no fill until hovered). `marked` shows the
// unsaved mark in its corner (and says so to screen readers); `iconName` puts
// an Icon before or in place of the text. Space, Enter and Return click it.
T.Button {
    id: button

    property string kind: "normal"
    property string iconName
    property bool marked: false
    property int fontSize: Theme.controlSize
    property bool bold: kind === "primary"
    // Shown on hover (icon-only buttons name what they do) and the
    // accessible name of a button without text.
    property string toolTip
    // The focus ring: keyboard focus, not the focus a press gives.
    readonly property bool ring: activeFocus && focusReason !== Qt.MouseFocusReason

    readonly property real iconRoom: iconName.length > 0 ? 14 + (text.length > 0 ? content.spacing : 0) : 0

    horizontalPadding: 16
    implicitHeight: Theme.controlHeight
    implicitWidth: Math.max(implicitHeight, iconRoom + label.implicitWidth + 2 * horizontalPadding)
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.name: text.length > 0 ? text : toolTip
    Accessible.description: marked ? Lang.main[Lang.MainText.UnsavedChanges] : toolTip
    Accessible.onPressAction: clicked()

    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    readonly property color faceColor: {
        if (kind === "primary")
            return pressed ? Theme.accentPressed : (hovered ? Qt.lighter(Theme.accent, 1.12) : Theme.accent)
        if (pressed)
            return Theme.controlPressed
        if (kind === "ghost" || kind === "outline")
            return hovered ? Theme.control : "transparent"
        return hovered ? Theme.controlHover : Theme.control
    }

    background: Rectangle {
        radius: Theme.controlRadius + 2
        color: button.faceColor
        border.width: button.kind === "outline" ? 1 : 0
        border.color: button.hovered ? Theme.outlineStrong : Theme.outline
        Behavior on color { ColorAnimation { duration: Theme.quick } }
    }

    // The icon and text, centred (drawn over the face, not as the
    // template's content item, whose width the control sets).
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
            font.pixelSize: button.fontSize
            font.bold: button.bold
            elide: Text.ElideRight
            width: Math.min(implicitWidth, button.width - 2 * button.horizontalPadding - button.iconRoom)
            Accessible.ignored: true
        }
    }

    // Keyboard focus ring.
    Rectangle {
        anchors.fill: parent
        anchors.margins: -3
        radius: Theme.controlRadius + 5
        color: "transparent"
        border.width: Theme.focusRing
        border.color: Theme.accent
        visible: button.ring
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
        border.color: button.faceColor
    }

    Tip {
        objectName: button.objectName.length > 0 ? button.objectName + "Tip" : ""
        target: button
        text: button.toolTip
        wanted: button.hovered && !button.pressed
    }
}
