import QtQuick
import modules.qml

// A dialog over a mask that blocks the rest of the scene: a card with a
// title, a close button, the content and a row of buttons at the bottom.
// Escape closes it. The keyboard stays inside: Tab past the last control
// comes back to the first, Shift+Tab before the first goes to the last, and
// focus that lands behind the mask returns (a dialog opened over this one
// keeps its own). The dialog asks to be closed with closed(); its Loader
// unloads it and gives the focus back to where it was.
FocusScope {
    id: dialog

    property string title
    property real cardWidth: 560
    property real cardHeight: 400
    property real padding: 20
    default property alias content: body.data
    property alias buttons: footer.data
    // Enter closes the dialog, or, when false, reports accepted().
    property bool closeOnEnter: true

    signal closed()
    signal accepted()

    function close() {
        closed()
    }

    // Marks the dialogs (and open drop-down panels) for one another's focus
    // trap.
    readonly property bool holdsFocus: true
    // The control that last had the focus inside the dialog.
    property Item lastFocus: null

    function holds(item: Item): bool {
        for (let i = item; i; i = i.parent) {
            if (i === dialog)
                return true
        }
        return false
    }

    function inOtherDialog(item: var): bool {
        for (let i = item; i; i = i.parent) {
            if (i !== dialog && i.holdsFocus === true)
                return true
        }
        return false
    }

    // The first and last controls Tab reaches inside the dialog.
    function tabEnds(): var {
        const first = dialog.nextItemInFocusChain(true)
        if (!first || !holds(first))
            return null
        let last = first
        for (let n = 0; n < 500; ++n) {
            const next = last.nextItemInFocusChain(true)
            if (!next || next === first || !holds(next))
                break
            last = next
        }
        return { first: first, last: last }
    }

    Connections {
        target: dialog.Window.window
        function onActiveFocusItemChanged() {
            dialog.keepFocus()
        }
    }

    function keepFocus() {
        const now = Window.activeFocusItem
        if (!now || !visible || !Window.window)
            return
        if (holds(now)) {
            lastFocus = now
            return
        }
        if (inOtherDialog(now))
            return
        // Once the key that moved it is done with: Tab past the last control
        // moves the focus more than once on its way.
        Qt.callLater(dialog.takeFocusBack)
    }

    function takeFocusBack() {
        const now = Window.activeFocusItem
        if (!now || !visible || !Window.window || holds(now) || inOtherDialog(now))
            return
        const ends = tabEnds()
        if (!ends) {
            dialog.forceActiveFocus()
            return
        }
        // Tab left after the last control, Shift+Tab before the first.
        const target = lastFocus === ends.first ? ends.last
                     : lastFocus === ends.last ? ends.first
                     : (lastFocus && lastFocus.visible ? lastFocus : ends.first)
        target.forceActiveFocus(Qt.TabFocusReason)
    }

    focus: true
    Keys.onEscapePressed: close()
    // Tab that no control took (the dialog itself has the focus): the first
    // or last control.
    Keys.onTabPressed: {
        const ends = tabEnds()
        if (ends)
            ends.first.forceActiveFocus(Qt.TabFocusReason)
    }
    Keys.onBacktabPressed: {
        const ends = tabEnds()
        if (ends)
            ends.last.forceActiveFocus(Qt.BacktabFocusReason)
    }
    Keys.onReturnPressed: closeOnEnter ? close() : accepted()
    Keys.onEnterPressed: closeOnEnter ? close() : accepted()
    Component.onCompleted: forceActiveFocus()

    Rectangle {
        anchors.fill: parent
        radius: Theme.cardRadius
        color: Theme.mask

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
            onWheel: function(wheel) { wheel.accepted = true }
        }
    }

    Rectangle {
        id: card
        width: dialog.cardWidth
        height: dialog.cardHeight
        anchors.centerIn: parent
        radius: Theme.cardRadius + 2
        color: Theme.card
        border.width: 1
        border.color: Theme.border

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        Text {
            id: heading
            x: dialog.padding
            y: 0
            height: 56
            width: closeButton.x - x - 8
            verticalAlignment: Text.AlignVCenter
            text: dialog.title
            color: Theme.text
            font.pixelSize: Theme.titleSize
            font.bold: true
            elide: Text.ElideRight
        }

        Button {
            id: closeButton
            x: parent.width - width - 12
            y: 12
            width: 32
            height: 32
            kind: "ghost"
            iconName: "close"
            toolTip: Lang.notice[Lang.NoticeText.Close]
            horizontalPadding: 0
            onClicked: dialog.close()
        }

        Rectangle {
            x: 0
            y: 56
            width: parent.width
            height: 1
            color: Theme.border
        }

        Item {
            id: body
            x: dialog.padding
            y: 56 + dialog.padding
            width: parent.width - 2 * dialog.padding
            height: footer.y - y - dialog.padding
        }

        Row {
            id: footer
            anchors.right: parent.right
            anchors.rightMargin: dialog.padding
            y: parent.height - height - dialog.padding
            spacing: 10
        }
    }
}
