import QtQuick
import QtQuick.Templates as T
import modules.qml

// A radio button with a label; clicked() (a click or Space) asks to select
// it, and the owner sets `checked`.
T.RadioButton {
    id: radio

    checkable: false
    autoExclusive: false
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    spacing: 8
    leftPadding: indicator.width + (text.length > 0 ? spacing : 0)
    implicitWidth: leftPadding + (text.length > 0 ? implicitContentWidth : 0)
    implicitHeight: Math.max(indicator.height, implicitContentHeight)
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.role: Accessible.RadioButton
    Accessible.name: text
    Accessible.checkable: true
    Accessible.checked: checked
    Accessible.onPressAction: clicked()

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    indicator: Rectangle {
        width: 20
        height: 20
        radius: 10
        y: (radio.height - height) / 2
        color: radio.hovered ? Theme.controlHover : Theme.control
        border.width: radio.checked ? 2 : 1
        border.color: radio.checked ? Theme.accent : (radio.hovered ? Theme.outlineStrong : Theme.outline)

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
            visible: radio.activeFocus && radio.focusReason !== Qt.MouseFocusReason
        }
    }

    contentItem: Text {
        verticalAlignment: Text.AlignVCenter
        text: radio.text
        color: Theme.text
        font.pixelSize: Theme.controlSize
        elide: Text.ElideRight
        Accessible.ignored: true
    }
}
