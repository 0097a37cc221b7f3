import QtQuick
import QtQuick.Templates as T
import modules.qml

// A check box with an optional label. It does not change `checked` itself:
// it asks with toggled(wanted), and the owner of the value decides. Space
// asks too. Without a label, `accessibleName` names it for screen readers.
T.CheckBox {
    id: box

    property string accessibleName: text

    signal toggled(bool wanted)

    // The owner changes `checked`; a click only asks (the state stays).
    nextCheckState: function() {
        return checkState
    }
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    spacing: 8
    leftPadding: indicator.width + (text.length > 0 ? spacing : 0)
    implicitWidth: leftPadding + (text.length > 0 ? implicitContentWidth : 0)
    implicitHeight: Math.max(indicator.height, implicitContentHeight)
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.role: Accessible.CheckBox
    Accessible.name: accessibleName
    Accessible.checkable: true
    Accessible.checked: checked
    Accessible.onPressAction: toggled(!checked)
    Accessible.onToggleAction: toggled(!checked)

    onClicked: toggled(!checked)

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    indicator: Rectangle {
        width: 20
        height: 20
        y: (box.height - height) / 2
        radius: 5
        color: box.checked ? (box.pressed ? Theme.accentPressed : Theme.accent)
                           : (box.hovered ? Theme.controlHover : Theme.control)
        border.width: box.checked ? 0 : 1
        border.color: box.hovered ? Theme.outlineStrong : Theme.outline
        Behavior on color { ColorAnimation { duration: Theme.quick } }

        Icon {
            anchors.centerIn: parent
            visible: box.checked
            name: "check"
            size: 16
            weight: 2.2
            color: Theme.accentText
        }
        Rectangle {
            anchors.fill: parent
            anchors.margins: -3
            radius: 8
            color: "transparent"
            border.width: Theme.focusRing
            border.color: Theme.accent
            visible: box.activeFocus && box.focusReason !== Qt.MouseFocusReason
        }
    }

    contentItem: Text {
        verticalAlignment: Text.AlignVCenter
        text: box.text
        visible: text.length > 0
        color: Theme.text
        font.pixelSize: Theme.controlSize
        elide: Text.ElideRight
        Accessible.ignored: true
    }
}
