import QtQuick
import modules.qml

// A dialog over a mask that blocks the rest of the scene: a card with a
// title, a close button, the content and a row of buttons at the bottom.
// Escape closes it. The dialog asks to be closed with closed(); its Loader
// unloads it.
FocusScope {
    id: dialog

    property string title
    property real cardWidth: 560
    property real cardHeight: 400
    property real padding: 20
    default property alias content: body.data
    property alias buttons: footer.data
    // Enter closes the dialog, or, when false, reports accepted().
    property bool closeOnEnter: true

    signal closed()
    signal accepted()

    function close() {
        closed()
    }

    focus: true
    Keys.onEscapePressed: close()
    Keys.onReturnPressed: closeOnEnter ? close() : accepted()
    Keys.onEnterPressed: closeOnEnter ? close() : accepted()
    Component.onCompleted: forceActiveFocus()

    Rectangle {
        anchors.fill: parent
        radius: Theme.cardRadius
        color: Theme.mask

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
            onWheel: function(wheel) { wheel.accepted = true }
        }
    }

    Rectangle {
        id: card
        width: dialog.cardWidth
        height: dialog.cardHeight
        anchors.centerIn: parent
        radius: Theme.cardRadius + 2
        color: Theme.card
        border.width: 1
        border.color: Theme.border

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        Text {
            id: heading
            x: dialog.padding
            y: 0
            height: 56
            width: closeButton.x - x - 8
            verticalAlignment: Text.AlignVCenter
            text: dialog.title
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.titleSize
            font.bold: true
            elide: Text.ElideRight
        }

        Button {
            id: closeButton
            x: parent.width - width - 12
            y: 12
            width: 32
            height: 32
            kind: "ghost"
            iconName: "close"
            horizontalPadding: 0
            onClicked: dialog.close()
        }

        Rectangle {
            x: 0
            y: 56
            width: parent.width
            height: 1
            color: Theme.border
        }

        Item {
            id: body
            x: dialog.padding
            y: 56 + dialog.padding
            width: parent.width - 2 * dialog.padding
            height: footer.y - y - dialog.padding
        }

        Row {
            id: footer
            anchors.right: parent.right
            anchors.rightMargin: dialog.padding
            y: parent.height - height - dialog.padding
            spacing: 10
        }
    }
}
