import QtQuick
import modules.qml

// A panel that drops from `anchorItem` over everything else: while open it
// sits in the window's top layer, closes on Escape or a click outside it,
// and gives the keyboard to its content.
Item {
    id: popup

    property Item anchorItem
    property bool opened: false
    // An open panel keeps the keyboard from the dialog it drops from.
    readonly property bool holdsFocus: opened
    property real margin: 4
    property real padding: 6
    // Align the panel's right edge with the anchor's instead of the left.
    property bool alignRight: false
    default property alias content: box.data

    signal closed()

    parent: anchorItem ? anchorItem.Window.contentItem : null
    anchors.fill: parent
    z: 10000
    visible: opened

    function open() {
        if (!anchorItem || !parent)
            return
        const below = anchorItem.mapToItem(parent, 0, anchorItem.height + margin)
        const above = anchorItem.mapToItem(parent, 0, -margin)
        const w = panel.width
        const h = panel.height
        let x = alignRight ? below.x + anchorItem.width - w : below.x
        x = Math.max(8, Math.min(x, parent.width - w - 8))
        let y = below.y
        if (y + h > parent.height - 8 && above.y - h >= 8)
            y = above.y - h
        panel.x = x
        panel.y = Math.max(8, Math.min(y, parent.height - h - 8))
        opened = true
        box.forceActiveFocus()
    }

    function close() {
        if (!opened)
            return
        opened = false
        closed()
        if (anchorItem)
            anchorItem.forceActiveFocus()
    }

    // A click outside closes the panel and goes no further.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onPressed: popup.close()
        onWheel: function(wheel) { wheel.accepted = true }
    }

    Rectangle {
        id: panel
        width: box.childrenRect.width + 2 * popup.padding
        height: box.childrenRect.height + 2 * popup.padding
        radius: Theme.controlRadius + 2
        color: Theme.card
        border.width: 1
        border.color: Theme.borderStrong

        // Soft shadow.
        Rectangle {
            z: -1
            anchors.fill: parent
            anchors.margins: -1
            anchors.topMargin: 2
            anchors.bottomMargin: -4
            radius: parent.radius + 1
            color: Qt.rgba(0, 0, 0, 0.35)
        }

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        FocusScope {
            id: box
            x: popup.padding
            y: popup.padding
            width: childrenRect.width
            height: childrenRect.height
            Keys.onEscapePressed: popup.close()
        }
    }
}
