pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// Small line icons drawn from bars in a 16 × 16 box, scaled to `size`:
// close, minimise, chevron, check, plus, lock.
Item {
    id: icon

    property string name: "close"
    property color color: Theme.text
    property real size: 16
    property real weight: 1.6

    implicitWidth: size
    implicitHeight: size

    // Bars per icon: centre x, centre y, length, rotation (degrees).
    readonly property var shapes: ({
        close: [[8, 8, 13, 45], [8, 8, 13, -45]],
        minimise: [[8, 8.5, 11, 0]],
        chevron: [[5.6, 8, 6.4, 45], [10.4, 8, 6.4, -45]],
        check: [[5.2, 9.6, 5.2, 45], [9.8, 7.6, 9, -50]],
        plus: [[8, 8, 11, 0], [8, 8, 11, 90]],
        lock: []
    })

    Item {
        anchors.centerIn: parent
        width: 16
        height: 16
        scale: icon.size / 16

        Repeater {
            model: icon.shapes[icon.name] ?? []
            delegate: Rectangle {
                required property var modelData
                x: modelData[0] - width / 2
                y: modelData[1] - height / 2
                width: modelData[2]
                height: icon.weight
                radius: height / 2
                rotation: modelData[3]
                antialiasing: true
                color: icon.color
            }
        }

        // The lock: a shackle over a body.
        Rectangle {
            visible: icon.name === "lock"
            x: 4.5; y: 1.5; width: 7; height: 8
            radius: 3.5
            color: "transparent"
            border.color: icon.color
            border.width: icon.weight
        }
        Rectangle {
            visible: icon.name === "lock"
            x: 3; y: 7; width: 10; height: 7.5
            radius: 1.5
            color: icon.color
        }
    }
}
