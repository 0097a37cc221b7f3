pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "mouselayout.mjs" as MouseLayout

// The mouse picture, from the top and from the side, with a numbered badge
// on each button the key panel shows. The highlighted key's button takes its
// highlighted look; hovering or clicking a badge reports its key.
Item {
    id: picture

    property int keyCount: 8
    property int skinNo: 1
    property int highlightedKey: -1

    signal keyHovered(int index)
    signal keyClicked(int index)

    readonly property string imageFolder: "qrc:/mouse/modules/img/skin" + skinNo + "/mouse/"
    readonly property real canvasWidth: MouseLayout.canvas.width
    readonly property real canvasHeight: MouseLayout.canvas.height
    // The top view takes most of the room, the side view the rest.
    readonly property real topScale: Math.min(height / canvasHeight, width * 0.6 / canvasWidth)
    readonly property real sideScale: Math.min(topScale * 0.72, (width - canvasWidth * topScale) / canvasWidth)

    component View: Item {
        id: view
        required property string name
        required property real factor
        width: picture.canvasWidth * factor
        height: picture.canvasHeight * factor

        Image {
            anchors.fill: parent
            source: picture.imageFolder + view.name + ".png"
            sourceSize.width: picture.canvasWidth * 2
            sourceSize.height: picture.canvasHeight * 2
            smooth: true
            mipmap: true
        }

        Repeater {
            model: MouseLayout.buttons.length
            delegate: Image {
                required property int index
                readonly property bool mine: MouseLayout.buttons[index].view === view.name
                readonly property bool lit: picture.highlightedKey === index
                anchors.fill: parent
                visible: mine && index < picture.keyCount
                source: visible ? picture.imageFolder + "key" + (index + 1) + (lit ? "_hl" : "") + ".png" : ""
                sourceSize.width: picture.canvasWidth * 2
                sourceSize.height: picture.canvasHeight * 2
                smooth: true
                mipmap: true
            }
        }
    }

    View {
        id: topView
        name: "top"
        factor: picture.topScale
        anchors.verticalCenter: parent.verticalCenter
        x: (picture.width - width - sideView.width) / 2
    }

    View {
        id: sideView
        name: "side"
        factor: picture.sideScale
        anchors.left: topView.right
        anchors.bottom: topView.bottom
        anchors.bottomMargin: topView.height * 0.12
    }

    Repeater {
        model: Math.min(picture.keyCount, MouseLayout.buttons.length)
        delegate: Rectangle {
            id: badge
            required property int index
            readonly property var button: MouseLayout.buttons[index]
            readonly property Item view: button.view === "side" ? sideView : topView
            readonly property bool lit: picture.highlightedKey === index

            x: view.x + button.anchor.x * view.factor - width / 2
            y: view.y + button.anchor.y * view.factor - height / 2
            width: 22
            height: 22
            radius: 11
            color: lit ? Theme.accent : Qt.rgba(0.11, 0.12, 0.15, 0.85)
            border.width: 1
            border.color: lit ? Theme.accent : Theme.borderStrong
            scale: lit ? 1.15 : 1
            Behavior on scale { NumberAnimation { duration: Theme.quick } }

            Text {
                anchors.centerIn: parent
                text: badge.index + 1
                color: badge.lit ? Theme.accentText : Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.labelSize
                font.bold: true
            }

            MouseArea {
                anchors.fill: parent
                anchors.margins: -6
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onContainsMouseChanged: picture.keyHovered(containsMouse ? badge.index : -1)
                onClicked: picture.keyClicked(badge.index)
            }
        }
    }
}
