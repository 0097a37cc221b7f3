import QtQuick
import modules.qml

// A check box with an optional label. It does not change `checked` itself:
// it asks with toggled(wanted), and the owner of the value decides.
FocusScope {
    id: box

    property bool checked: false
    property string text

    signal toggled(bool wanted)

    implicitWidth: mark.width + (text.length > 0 ? label.implicitWidth + 8 : 0)
    implicitHeight: Math.max(mark.height, label.implicitHeight)
    activeFocusOnTab: enabled
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.role: Accessible.CheckBox
    Accessible.name: text
    Accessible.checked: checked

    Keys.onSpacePressed: toggled(!checked)

    Rectangle {
        id: mark
        width: 20
        height: 20
        anchors.verticalCenter: parent.verticalCenter
        radius: 5
        color: box.checked ? (area.pressed ? Theme.accentPressed : Theme.accent)
                           : (area.containsMouse ? Theme.controlHover : Theme.control)
        border.width: box.checked ? 0 : 1
        border.color: area.containsMouse ? Theme.borderStrong : Theme.border
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
            visible: box.activeFocus
        }
    }

    Text {
        id: label
        anchors.left: mark.right
        anchors.leftMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        width: Math.max(0, box.width - mark.width - 8)
        text: box.text
        visible: text.length > 0
        color: Theme.text
        font.family: Theme.fontFamily
        font.pixelSize: Theme.controlSize
        elide: Text.ElideRight
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: box.toggled(!box.checked)
    }
}
