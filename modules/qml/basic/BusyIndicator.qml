pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// The busy overlay: while the scene is locked it dims everything, takes
// every click and shows a spinner; screen readers hear that it is busy.
Item {
    id: busy

    property bool running: false

    objectName: "busyIndicator"
    Accessible.role: Accessible.Indicator
    Accessible.name: Lang.notice[Lang.NoticeText.Busy]
    Accessible.ignored: !running

    visible: opacity > 0
    opacity: running ? 1 : 0
    Behavior on opacity { NumberAnimation { duration: Theme.quick } }

    Rectangle {
        anchors.fill: parent
        radius: Theme.cardRadius
        color: Theme.busyMask
    }

    // Only while locked: the fade-out must not swallow the next click.
    MouseArea {
        anchors.fill: parent
        enabled: busy.running
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: wheel => wheel.accepted = true
    }

    Rectangle {
        anchors.centerIn: parent
        width: 72
        height: 72
        radius: 16
        color: Theme.card
        border.width: 1
        border.color: Theme.border

        Item {
            id: spinner
            objectName: "busySpinner"
            anchors.centerIn: parent
            width: 36
            height: 36

            Repeater {
                model: 8
                delegate: Rectangle {
                    required property int index
                    width: 6
                    height: 6
                    radius: 3
                    color: Theme.accent
                    opacity: 0.2 + 0.8 * index / 7
                    x: spinner.width / 2 + 14 * Math.cos(index * Math.PI / 4) - width / 2
                    y: spinner.height / 2 + 14 * Math.sin(index * Math.PI / 4) - height / 2
                }
            }

            RotationAnimation on rotation {
                from: 0
                to: 360
                duration: 900
                loops: Animation.Infinite
                // Not while the window is hidden in the tray.
                running: busy.visible && busy.Window.visibility !== Window.Hidden
            }
        }
    }
}
