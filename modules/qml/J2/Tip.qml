import QtQuick
import modules.qml

// A short text naming what the pointer rests on: shown a moment after
// `wanted` turns true, below `target` (above it near the window's foot), in
// the window's top layer, and gone as soon as `wanted` turns false.
Rectangle {
    id: tip

    property Item target
    property bool wanted: false
    property alias text: label.text

    readonly property bool ready: wanted && text.length > 0 && target !== null

    parent: target ? target.Window.contentItem : null
    z: 10001
    visible: false
    width: label.implicitWidth + 16
    height: label.implicitHeight + 8
    radius: Theme.controlRadius
    color: Theme.card
    border.width: 1
    border.color: Theme.borderStrong

    onReadyChanged: {
        if (ready) {
            delay.restart()
        } else {
            delay.stop()
            visible = false
        }
    }

    function place() {
        if (!parent || !target)
            return
        const below = target.mapToItem(parent, target.width / 2, target.height + 6)
        const above = target.mapToItem(parent, target.width / 2, -6)
        x = Math.max(4, Math.min(below.x - width / 2, parent.width - width - 4))
        y = below.y + height + 4 > parent.height ? above.y - height : below.y
        visible = true
    }

    Timer {
        id: delay
        interval: 600
        onTriggered: tip.place()
    }

    Text {
        id: label
        anchors.centerIn: parent
        color: Theme.text
        font.pixelSize: Theme.hintSize
    }
}
