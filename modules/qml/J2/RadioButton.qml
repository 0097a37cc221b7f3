import QtQuick
import modules.qml

// A radio button with a label; clicked() asks to select it.
FocusScope {
    id: radio

    property bool checked: false
    property string text

    signal clicked()

    implicitWidth: ring.width + 8 + label.implicitWidth
    implicitHeight: Math.max(ring.height, label.implicitHeight)
    activeFocusOnTab: enabled
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.role: Accessible.RadioButton
    Accessible.name: text
    Accessible.checked: checked

    Keys.onSpacePressed: clicked()

    Rectangle {
        id: ring
        width: 20
        height: 20
        radius: 10
        anchors.verticalCenter: parent.verticalCenter
        color: area.containsMouse ? Theme.controlHover : Theme.control
        border.width: radio.checked ? 2 : 1
        border.color: radio.checked ? Theme.accent : (area.containsMouse ? Theme.borderStrong : Theme.border)

        Rectangle {
            anchors.centerIn: parent
            width: 10
            height: 10
            radius: 5
            color: Theme.accent
            visible: radio.checked
        }
        Rectangle {
            anchors.fill: parent
            anchors.margins: -3
            radius: width / 2
            color: "transparent"
            border.width: Theme.focusRing
            border.color: Theme.accent
            visible: radio.activeFocus
        }
    }

    Text {
        id: label
        anchors.left: ring.right
        anchors.leftMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        width: Math.max(0, radio.width - ring.width - 8)
        text: radio.text
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
        onClicked: radio.clicked()
    }
}
