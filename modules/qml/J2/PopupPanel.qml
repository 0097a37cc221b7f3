import QtQuick
import QtQuick.Templates as T
import modules.qml

// A panel that drops from `anchorItem` over everything else: it closes on
// Escape or a click outside it (which goes no further), keeps Tab inside and
// gives the keyboard to its content; once closed, the keyboard goes back to
// `anchorItem`.
T.Popup {
    id: popup

    property Item anchorItem
    property real margin: 4
    // Align the panel's right edge with the anchor's instead of the left.
    property bool alignRight: false
    default property alias content: box.data

    padding: 6
    width: box.childrenRect.width + leftPadding + rightPadding
    height: box.childrenRect.height + topPadding + bottomPadding
    // Above the dialog it may drop from.
    z: 1
    modal: true
    dim: false
    focus: true
    closePolicy: T.Popup.CloseOnEscape | T.Popup.CloseOnPressOutside

    // Placed below the anchor, or above it where the window has no room
    // below, and kept 8 px inside the window.
    onAboutToShow: place()

    function place() {
        const top = anchorItem ? anchorItem.Window.contentItem : null
        if (!top || !parent)
            return
        const below = anchorItem.mapToItem(top, 0, anchorItem.height + margin)
        const above = anchorItem.mapToItem(top, 0, -margin)
        const w = width
        const h = height
        let x = alignRight ? below.x + anchorItem.width - w : below.x
        x = Math.max(8, Math.min(x, top.width - w - 8))
        let y = below.y
        if (y + h > top.height - 8 && above.y - h >= 8)
            y = above.y - h
        const at = top.mapToItem(parent, x, Math.max(8, Math.min(y, top.height - h - 8)))
        popup.x = at.x
        popup.y = at.y
    }

    onClosed: {
        if (anchorItem)
            anchorItem.forceActiveFocus()
    }

    background: Rectangle {
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
    }

    // In the template's content item, inside the padding.
    FocusScope {
        id: box
        width: childrenRect.width
        height: childrenRect.height
        focus: true
    }
}
