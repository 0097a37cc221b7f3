import QtQuick
import QtQuick.Templates as T
import modules.qml

// A modal dialog over a mask that blocks the rest of the scene: a card with
// a title, a close button, the content and a row of buttons at the bottom.
// It opens as soon as it is made. The keyboard stays inside (Tab past the
// last control comes back to the first); Escape closes it. A closed dialog
// reports closed(); its Loader unloads it and gives the focus back to where
// it was.
T.Dialog {
    id: dialog

    property real cardWidth: 560
    property real cardHeight: 400
    default property alias content: body.data
    property alias buttons: footer.data
    // Enter closes the dialog, or, when false, reports accepted().
    property bool closeOnEnter: true

    width: cardWidth
    height: cardHeight
    anchors.centerIn: parent
    padding: 20
    modal: true
    focus: true
    // Escape is the dialog's own key (below), so that a control inside that
    // uses it first (a rename, a recording) keeps it.
    closePolicy: T.Popup.NoAutoClose
    Component.onCompleted: open()

    T.Overlay.modal: Rectangle {
        radius: Theme.cardRadius
        color: Theme.mask
    }

    background: Rectangle {
        radius: Theme.cardRadius + 2
        color: Theme.card
        border.width: 1
        border.color: Theme.border
    }

    // In the template's content item, inside the padding.
    FocusScope {
        anchors.fill: parent
        focus: true
        Keys.onEscapePressed: dialog.close()
        Keys.onReturnPressed: dialog.closeOnEnter ? dialog.close() : dialog.accepted()
        Keys.onEnterPressed: dialog.closeOnEnter ? dialog.close() : dialog.accepted()

        Text {
            id: heading
            x: 0
            y: -dialog.topPadding
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
            x: parent.width + dialog.rightPadding - width - 12
            y: 12 - dialog.topPadding
            width: 32
            height: 32
            kind: "ghost"
            iconName: "close"
            toolTip: Lang.notice[Lang.NoticeText.Close]
            horizontalPadding: 0
            onClicked: dialog.close()
        }

        Rectangle {
            x: -dialog.leftPadding
            y: 56 - dialog.topPadding
            width: dialog.width
            height: 1
            color: Theme.border
        }

        Item {
            id: body
            y: 56
            width: parent.width
            height: footer.y - y - dialog.bottomPadding
        }

        Row {
            id: footer
            anchors.right: parent.right
            y: parent.height - height
            spacing: 10
        }
    }
}
