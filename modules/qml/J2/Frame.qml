import QtQuick
import modules.qml

// A card: rounded panel with a title in letter-spaced capitals, room for
// controls at the title's right (`actions`) and the content below.
Rectangle {
    id: frame

    property string title
    property real padding: Theme.margin
    property real headerHeight: title.length > 0 ? 40 : Theme.margin
    default property alias content: body.data
    property alias actions: actionRow.data

    color: Theme.card
    radius: Theme.cardRadius

    Text {
        id: heading
        x: frame.padding
        height: frame.headerHeight
        verticalAlignment: Text.AlignVCenter
        width: actionRow.x - x - 8
        text: frame.title.toUpperCase()
        color: Theme.textSecondary
        font.pixelSize: Theme.labelSize
        font.letterSpacing: Theme.capsSpacing
        elide: Text.ElideRight
        visible: frame.title.length > 0
    }

    Row {
        id: actionRow
        anchors.right: parent.right
        anchors.rightMargin: frame.padding - 4
        y: (frame.headerHeight - height) / 2 + 2
        spacing: Theme.unit
    }

    Item {
        id: body
        anchors.fill: parent
        anchors.topMargin: frame.headerHeight
        anchors.leftMargin: frame.padding
        anchors.rightMargin: frame.padding
        anchors.bottomMargin: frame.padding
    }
}
