import QtQuick
import modules.qml

// The key assignment dialog of one key: what the key does now, and the way
// back to its factory assignment.
Dialog {
    id: dialog

    required property int keyIndex
    required property var panel

    title: Lang.keyAssigment[0] + (keyIndex + 1)
    cardWidth: 480
    cardHeight: 260

    Column {
        width: parent.width
        spacing: 8

        Text {
            text: Lang.keyMatrix[1]
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: Theme.labelSize
        }
        Rectangle {
            width: parent.width
            height: 44
            radius: Theme.controlRadius + 2
            color: Theme.control
            Text {
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 14
                verticalAlignment: Text.AlignVCenter
                text: dialog.panel.description(dialog.keyIndex)
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.controlSize
                elide: Text.ElideRight
            }
        }
    }

    buttons: [
        Button {
            objectName: "keyFactory"
            text: Lang.main[5]
            kind: "outline"
            width: Math.max(96, implicitWidth)
            onClicked: dialog.panel.restoreFactory(dialog.keyIndex)
        },
        Button {
            text: Lang.main[8]
            kind: "primary"
            width: 96
            onClicked: dialog.close()
        }
    ]
}
