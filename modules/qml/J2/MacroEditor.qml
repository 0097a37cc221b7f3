pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// The macro editor dialog: the macro list of the macro store.
Dialog {
    id: dialog

    required property var store

    title: Lang.macroEditor[0]
    cardWidth: 640
    cardHeight: 440

    Text {
        id: heading
        text: Lang.macroEditor[1]
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: Theme.labelSize
    }

    ListView {
        anchors.top: heading.bottom
        anchors.topMargin: 10
        anchors.bottom: parent.bottom
        width: 240
        spacing: 6
        clip: true
        model: dialog.store.names
        boundsBehavior: Flickable.StopAtBounds
        delegate: Rectangle {
            required property var modelData
            width: ListView.view.width
            height: 36
            radius: Theme.controlRadius + 2
            color: Theme.control
            Text {
                anchors.fill: parent
                anchors.leftMargin: 12
                verticalAlignment: Text.AlignVCenter
                text: String(parent.modelData)
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.controlSize
                elide: Text.ElideRight
            }
        }
    }

    buttons: [
        Button {
            text: Lang.main[8]
            kind: "primary"
            width: 96
            onClicked: dialog.close()
        }
    ]
}
