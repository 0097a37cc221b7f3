import QtQuick
import modules.qml

// The window's background, title bar and title logo; the title bar drags the
// window (dragged reports the pointer's offset from where the drag began).
Item {
    id: environment

    property string title
    property int skinNo: 1

    signal dragged(int dx, int dy)

    Rectangle {
        anchors.fill: parent
        radius: Theme.cardRadius
        color: Theme.window
        border.width: 1
        border.color: "#2a2d35"
    }

    Picture {
        anchors.fill: parent
        file: "qrc:/modules/img/background.png"
        sourceSize.width: environment.width * 2
        sourceSize.height: environment.height * 2
    }

    Item {
        id: titleBar
        width: parent.width
        height: Theme.titleBarHeight

        Rectangle {
            anchors.fill: parent
            radius: Theme.cardRadius
            color: Theme.titleBar
            Rectangle {
                width: parent.width
                height: parent.radius
                anchors.bottom: parent.bottom
                color: parent.color
            }
        }
        Picture {
            anchors.fill: parent
            file: "qrc:/modules/img/titlebar.png"
            sourceSize.width: titleBar.width * 2
            sourceSize.height: titleBar.height * 2
        }
        Rectangle {
            width: parent.width
            height: 1
            anchors.bottom: parent.bottom
            color: "#2a2d35"
        }

        MouseArea {
            anchors.fill: parent
            property point pressedAt
            onPressed: mouse => pressedAt = Qt.point(mouse.x, mouse.y)
            onPositionChanged: mouse => environment.dragged(mouse.x - pressedAt.x, mouse.y - pressedAt.y)
        }

        Item {
            id: logo
            x: Theme.margin
            width: 28
            height: Theme.rowHeight
            anchors.verticalCenter: parent.verticalCenter

            // Drawn until the logo image is there.
            Rectangle {
                anchors.fill: parent
                anchors.margins: 2
                radius: width / 2
                color: "transparent"
                border.width: 3
                border.color: Theme.accent
                visible: logoImage.status !== Image.Ready
            }
            Picture {
                id: logoImage
                anchors.fill: parent
                file: "qrc:/modules/img/titlelogo.png"
                sourceSize.width: 56
                sourceSize.height: 56
            }
        }

        Text {
            anchors.left: logo.right
            anchors.leftMargin: Theme.gap
            anchors.verticalCenter: parent.verticalCenter
            text: environment.title
            color: Theme.text
            font.pixelSize: Theme.titleSize
            font.bold: true
            font.letterSpacing: 0.4
        }
    }
}
