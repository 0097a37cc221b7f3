pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// Shown in place of the pages while no mouse is accepted: what to connect
// and what to check when nothing happens.
Item {
    // Covers the pages: no pointer reaches them.
    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
    }

    Rectangle {
        anchors.fill: parent
        anchors.margins: 1
        color: Theme.window
        radius: Theme.cardRadius
    }

    Rectangle {
        id: card
        anchors.centerIn: parent
        width: 560
        height: content.implicitHeight + 2 * 32
        color: Theme.card
        radius: Theme.cardRadius
        border.width: 1
        border.color: Theme.border

        Column {
            id: content
            x: 32
            y: 32
            width: card.width - 64
            spacing: Theme.gap

            // A plug, drawn: a cable ending in a connector.
            Item {
                width: 56
                height: 56
                anchors.horizontalCenter: parent.horizontalCenter
                Rectangle {
                    x: 22
                    y: 4
                    width: 12
                    height: 20
                    radius: 2
                    color: "transparent"
                    border.width: 2
                    border.color: Theme.accent
                }
                Rectangle {
                    x: 14
                    y: 24
                    width: 28
                    height: 18
                    radius: 4
                    color: Theme.accent
                }
                Rectangle {
                    x: 27
                    y: 42
                    width: 2
                    height: 14
                    color: Theme.accent
                }
            }

            Text {
                objectName: "connectTitle"
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: Lang.window[Lang.WindowText.ConnectTitle]
                color: Theme.text
                font.pixelSize: Theme.headlineSize
                font.bold: true
            }

            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: Lang.window[Lang.WindowText.ConnectIntro]
                color: Theme.textSecondary
                font.pixelSize: Theme.controlSize
                wrapMode: Text.WordWrap
            }

            Repeater {
                model: [Lang.window[Lang.WindowText.ConnectCable], Lang.window[Lang.WindowText.ConnectUdev], Lang.window[Lang.WindowText.ConnectReport]]
                delegate: Row {
                    id: check
                    required property string modelData
                    required property int index
                    width: content.width
                    spacing: 10
                    Rectangle {
                        width: 22
                        height: 22
                        radius: 11
                        color: Theme.accentSoft
                        Text {
                            anchors.centerIn: parent
                            text: check.index + 1
                            color: Theme.accent
                            font.pixelSize: Theme.labelSize
                            font.bold: true
                        }
                    }
                    Text {
                        width: check.width - 32
                        text: check.modelData
                        color: Theme.text
                        font.pixelSize: Theme.controlSize
                        wrapMode: Text.WordWrap
                        lineHeight: 1.15
                    }
                }
            }
        }
    }
}
