pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// A drop-down choice. `model` is a list of texts; the control shows the text
// at `currentIndex` and reports a choice with activated(index); the owner of
// the value sets `currentIndex`. Space, Enter and Down open the list; in it
// the arrows move, Space and Enter choose, Escape closes. The list drops in
// a template popup; the control itself stays a focus scope: Qt 6.4 gives a
// T.Control its own accessible role (a plain pane, not a combo box), and a
// T.ComboBox sets its current index itself, where here the owner sets it.
FocusScope {
    id: drop

    property var model: []
    property int currentIndex: -1
    property string prefix
    property string placeholder
    property int visibleRows: 8
    property real popupWidth: width

    readonly property string currentText: currentIndex >= 0 && currentIndex < model.length
                                          ? String(model[currentIndex]) : ""
    readonly property bool opened: popup.opened

    signal activated(int index)

    implicitWidth: 160
    implicitHeight: Theme.controlHeight
    activeFocusOnTab: enabled
    opacity: enabled ? 1 : Theme.disabledOpacity

    // The name screen readers give the list; they hear the chosen text as its
    // value.
    property string label: placeholder

    Accessible.role: Accessible.ComboBox
    Accessible.name: label.length > 0 ? label : currentText
    Accessible.description: currentText
    Accessible.onPressAction: open()

    function open() {
        list.currentIndex = Math.max(0, currentIndex)
        popup.open()
        list.positionViewAtIndex(list.currentIndex, ListView.Contain)
    }

    function choose(index: int) {
        popup.close()
        if (index >= 0 && index < model.length)
            activated(index)
    }

    Keys.onSpacePressed: open()
    Keys.onReturnPressed: open()
    Keys.onEnterPressed: open()
    Keys.onDownPressed: open()

    HoverHandler {
        id: hover
        cursorShape: Qt.PointingHandCursor
    }
    TapHandler {
        id: tap
        onTapped: drop.open()
    }

    Rectangle {
        anchors.fill: parent
        radius: Theme.controlRadius
        color: hover.hovered && !tap.pressed ? Theme.controlHover : Theme.control
        border.width: 1
        border.color: drop.activeFocus || popup.opened ? Theme.accent
                                                       : (hover.hovered ? Theme.outlineStrong : Theme.outline)
    }

    Text {
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.right: chevron.left
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        text: drop.currentText.length > 0 ? drop.prefix + drop.currentText : drop.placeholder
        color: drop.currentText.length > 0 ? Theme.text : Theme.hint
        font.pixelSize: Theme.controlSize
        elide: Text.ElideRight
    }

    Icon {
        id: chevron
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        name: "chevron"
        size: 12
        color: Theme.textSecondary
        rotation: popup.opened ? 180 : 0
        Behavior on rotation { NumberAnimation { duration: Theme.quick } }
    }

    PopupPanel {
        id: popup
        anchorItem: drop
        padding: 4

        ListView {
            id: list
            width: drop.popupWidth - 8
            height: Math.min(drop.model.length, drop.visibleRows) * 32
            clip: true
            focus: true
            model: drop.model
            boundsBehavior: Flickable.StopAtBounds
            highlightMoveDuration: 0
            keyNavigationWraps: false
            Keys.onReturnPressed: drop.choose(currentIndex)
            Keys.onEnterPressed: drop.choose(currentIndex)
            Keys.onSpacePressed: drop.choose(currentIndex)

            delegate: Rectangle {
                id: row
                required property int index
                required property var modelData
                width: ListView.view.width
                height: 32
                radius: Theme.controlRadius
                color: rowArea.containsMouse || ListView.isCurrentItem ? Theme.controlHover : "transparent"

                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 10
                    anchors.right: tick.left
                    anchors.rightMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: String(row.modelData)
                    color: row.index === drop.currentIndex ? Theme.accent : Theme.text
                    font.pixelSize: Theme.controlSize
                    elide: Text.ElideRight
                }
                Icon {
                    id: tick
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    name: "check"
                    size: 14
                    color: Theme.accent
                    visible: row.index === drop.currentIndex
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: drop.choose(row.index)
                }
            }
        }
    }
}
