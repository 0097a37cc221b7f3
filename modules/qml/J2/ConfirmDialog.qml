import QtQuick
import modules.qml

// A question with Cancel and OK; OK (or Enter) reports accepted(), Cancel
// (or Escape) closes. With `alternativeText`, a third answer between them
// reports alternative().
Dialog {
    id: dialog

    property string message
    property string cancelText: Lang.main[Lang.MainText.Cancel]
    property string okText: Lang.main[Lang.MainText.Ok]
    property string alternativeText
    // What the question is about (a profile number, say), for its owner.
    property var profileNumber

    signal alternative()

    cardWidth: alternativeText.length > 0 ? 520 : 440
    cardHeight: 220
    closeOnEnter: false

    Text {
        width: parent.width
        text: dialog.message
        color: Theme.textSecondary
        font.pixelSize: Theme.controlSize
        wrapMode: Text.WordWrap
        lineHeight: 1.2
    }

    buttons: [
        Button {
            objectName: "confirmCancel"
            text: dialog.cancelText
            kind: "outline"
            width: Math.max(96, implicitWidth)
            onClicked: dialog.close()
        },
        Button {
            objectName: "confirmAlternative"
            text: dialog.alternativeText
            kind: "outline"
            width: Math.max(96, implicitWidth)
            visible: dialog.alternativeText.length > 0
            onClicked: dialog.alternative()
        },
        Button {
            objectName: "confirmOk"
            text: dialog.okText
            kind: "primary"
            width: Math.max(96, implicitWidth)
            onClicked: dialog.accepted()
        }
    ]
}
