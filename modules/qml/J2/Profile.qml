pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// The profile manager: the profile list with New, Import, Export and Delete.
// An entry is its profile number's file; the standard profile and the
// profile in use cannot be deleted, and the list holds six entries at most.
Dialog {
    id: dialog

    required property var store
    // The scene, for its notices.
    property var scene: null
    property int selected: Math.max(0, store.currentIndex)
    // The entry Delete asks about (-1: no question open).
    property int deleting: -1

    function askDelete() {
        if (store.canDelete(selected)) {
            deleting = selected
            deleteQuestion.forceActiveFocus()
        }
    }

    function answerDelete(confirmed: bool) {
        const index = deleting
        const name = store.names[index] ?? ""
        deleting = -1
        if (confirmed && store.remove(index)) {
            selected = Math.min(index, store.entries.length - 1)
            if (scene)
                scene.notify(Lang.notice[12].replace("%1", name), false)
        }
        list.forceActiveFocus()
    }

    title: Lang.main[4]
    cardWidth: 560
    cardHeight: 460

    Row {
        id: actions
        spacing: 8

        Button {
            objectName: "profileNew"
            text: Lang.profile[1]
            iconName: "plus"
            enabled: !dialog.store.full
            onClicked: if (dialog.store.create()) dialog.selected = dialog.store.entries.length - 1
        }
        Button {
            objectName: "profileImport"
            text: Lang.profile[2]
            enabled: !dialog.store.full
            onClicked: if (dialog.store.importFile()) dialog.selected = dialog.store.entries.length - 1
        }
        Button {
            objectName: "profileExport"
            text: Lang.profile[4]
            onClicked: dialog.store.exportEntry(dialog.selected)
        }
        Button {
            objectName: "profileDelete"
            text: Lang.profile[3]
            kind: "outline"
            enabled: dialog.store.canDelete(dialog.selected)
            onClicked: dialog.askDelete()
        }
    }

    ListView {
        id: list
        anchors.top: actions.bottom
        anchors.topMargin: 16
        anchors.bottom: note.top
        anchors.bottomMargin: 12
        width: parent.width
        spacing: 6
        clip: true
        model: dialog.store.entries
        currentIndex: dialog.selected
        boundsBehavior: Flickable.StopAtBounds
        focus: true
        Keys.onUpPressed: dialog.selected = Math.max(0, dialog.selected - 1)
        Keys.onDownPressed: dialog.selected = Math.min(dialog.store.entries.length - 1, dialog.selected + 1)
        Keys.onDeletePressed: dialog.askDelete()

        delegate: Rectangle {
            id: entryRow
            required property int index
            required property var modelData
            readonly property bool chosen: dialog.selected === index
            readonly property bool inUse: modelData.number === dialog.store.current
            width: ListView.view.width
            height: 40
            radius: Theme.controlRadius + 2
            color: chosen ? Theme.accentSoft : (rowArea.containsMouse ? Theme.controlHover : Theme.control)
            border.width: chosen ? 1 : 0
            border.color: Theme.accent

            Text {
                anchors.left: parent.left
                anchors.leftMargin: 14
                anchors.right: tag.left
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                text: entryRow.modelData.name
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.controlSize
                elide: Text.ElideRight
            }
            Rectangle {
                id: tag
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                visible: entryRow.inUse
                width: tagText.implicitWidth + 16
                height: 22
                radius: 11
                color: Theme.accent
                Text {
                    id: tagText
                    anchors.centerIn: parent
                    text: Lang.profile[6]
                    color: Theme.accentText
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.hintSize
                    font.bold: true
                }
            }
            MouseArea {
                id: rowArea
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: dialog.selected = entryRow.index
            }
        }
    }

    // Delete asks first, in place of the note.
    FocusScope {
        id: deleteQuestion
        objectName: "profileDeleteQuestion"
        anchors.bottom: parent.bottom
        width: parent.width
        height: Theme.controlHeight
        visible: dialog.deleting >= 0
        Keys.onEscapePressed: dialog.answerDelete(false)

        Text {
            anchors.left: parent.left
            anchors.right: answers.left
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            text: Lang.notice[13].replace("%1", dialog.store.names[dialog.deleting] ?? "")
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.controlSize
            elide: Text.ElideRight
        }
        Row {
            id: answers
            anchors.right: parent.right
            spacing: 8
            Button {
                text: Lang.main[7]
                kind: "outline"
                onClicked: dialog.answerDelete(false)
            }
            Button {
                objectName: "profileDeleteConfirm"
                text: Lang.profile[3]
                kind: "primary"
                focus: true
                onClicked: dialog.answerDelete(true)
            }
        }
    }

    Text {
        id: note
        visible: dialog.deleting < 0
        anchors.bottom: parent.bottom
        width: parent.width
        text: dialog.store.full ? Lang.profile[7] : Lang.profile[8]
        color: dialog.store.full ? Theme.unsaved : Theme.hint
        font.family: Theme.fontFamily
        font.pixelSize: Theme.hintSize
        wrapMode: Text.WordWrap
    }

    buttons: [
        Button {
            text: Lang.main[8]
            kind: "primary"
            width: 96
            onClicked: dialog.close()
        }
    ]
}
