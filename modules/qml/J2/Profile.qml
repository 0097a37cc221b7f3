pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// The profile manager: the profile list with New, Import, Export and Delete.
// An entry is its profile number's file; the standard profile and the
// profile in use cannot be deleted, and the list holds six entries at most.
// Below the list, the applications whose window in front puts the selected
// profile in use, and whether it is the fallback for every other window.
Dialog {
    id: dialog

    required property ProfileStore store
    // The scene, for its notices and the automatic profiles.
    property SceneLink scene: null
    property int selected: Math.max(0, store.currentIndex)
    readonly property int selectedNumber: store.numberAt(selected)
    // The rules as the program reads them, and the open applications.
    property var autoRules: ({ on: false, notice: "", fallback: -1, rules: [] })
    property var applications: []
    property string typedProgram
    property string autoProblem

    readonly property var tiedPrograms: (autoRules.rules || []).filter(r => r.profile === selectedNumber)
                                                                .map(r => r.program)

    function refreshAuto() {
        if (!scene)
            return
        autoRules = scene.autoProfileRules()
        applications = scene.openApplications()
    }

    function changeAuto(action: string, program: string) {
        if (!scene || selectedNumber < 0)
            return
        autoProblem = scene.changeAutoProfile(action, program, selectedNumber)
        refreshAuto()
    }

    Component.onCompleted: refreshAuto()

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
                scene.noticeWanted(Lang.notice[Lang.NoticeText.Deleted].replace("%1", name), false)
        }
        list.forceActiveFocus()
    }

    title: Lang.main[Lang.MainText.Config]
    cardWidth: 600
    cardHeight: 600

    Row {
        id: actions
        spacing: Theme.unit

        Button {
            objectName: "profileNew"
            text: Lang.profile[Lang.ProfileText.New]
            iconName: "plus"
            enabled: !dialog.store.full
            onClicked: if (dialog.store.create()) dialog.selected = dialog.store.entries.length - 1
        }
        Button {
            objectName: "profileImport"
            text: Lang.profile[Lang.ProfileText.Import]
            enabled: !dialog.store.full
            onClicked: if (dialog.store.importFile()) dialog.selected = dialog.store.entries.length - 1
        }
        Button {
            objectName: "profileExport"
            text: Lang.profile[Lang.ProfileText.Export]
            onClicked: dialog.store.exportEntry(dialog.selected)
        }
        Button {
            objectName: "profileDelete"
            text: Lang.profile[Lang.ProfileText.Delete]
            kind: "outline"
            enabled: dialog.store.canDelete(dialog.selected)
            onClicked: dialog.askDelete()
        }
    }

    ListView {
        id: list
        anchors.top: actions.bottom
        anchors.topMargin: Theme.margin
        anchors.bottom: automatic.top
        anchors.bottomMargin: Theme.gap
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
                anchors.rightMargin: Theme.unit
                anchors.verticalCenter: parent.verticalCenter
                text: entryRow.modelData.name
                color: Theme.text
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
                    text: Lang.profile[Lang.ProfileText.InUse]
                    color: Theme.accentText
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

    Column {
        id: automatic
        objectName: "profileAutomatic"
        anchors.bottom: note.top
        anchors.bottomMargin: Theme.gap
        width: parent.width
        spacing: Theme.unit
        visible: dialog.scene !== null && dialog.scene.autoProfiles

        Text {
            width: parent.width
            text: Lang.profile[Lang.ProfileText.TiedApplications]
            color: Theme.text
            font.pixelSize: Theme.controlSize
            font.bold: true
        }
        Flow {
            width: parent.width
            spacing: 6
            Repeater {
                model: dialog.tiedPrograms
                delegate: Rectangle {
                    id: tie
                    required property string modelData
                    width: tieText.implicitWidth + removeTie.width + 20
                    height: 26
                    radius: 13
                    color: Theme.accentSoft
                    Text {
                        id: tieText
                        anchors.left: parent.left
                        anchors.leftMargin: 10
                        anchors.verticalCenter: parent.verticalCenter
                        text: tie.modelData
                        color: Theme.text
                        font.pixelSize: Theme.hintSize
                    }
                    Text {
                        id: removeTie
                        anchors.right: parent.right
                        anchors.rightMargin: Theme.unit
                        anchors.verticalCenter: parent.verticalCenter
                        text: "\u00d7"
                        color: Theme.hint
                        font.pixelSize: Theme.controlSize
                        Accessible.role: Accessible.Button
                        Accessible.name: Lang.profile[Lang.ProfileText.Remove] + " " + tie.modelData
                        MouseArea {
                            anchors.fill: parent
                            anchors.margins: -4
                            cursorShape: Qt.PointingHandCursor
                            onClicked: dialog.changeAuto("remove", tie.modelData)
                        }
                    }
                }
            }
        }
        Row {
            spacing: Theme.unit
            DropDownList {
                id: openApps
                objectName: "profileOpenApps"
                width: 250
                placeholder: Lang.profile[Lang.ProfileText.OpenApplications]
                model: dialog.applications.map(a => a.title === a.program ? a.program
                                                                           : a.title + " \u2014 " + a.program)
                popupWidth: 360
                onActivated: index => {
                    currentIndex = index
                    dialog.typedProgram = dialog.applications[index].program
                }
            }
            RectInput {
                objectName: "profileProgram"
                width: 170
                maximumLength: 255
                placeholder: Lang.profile[Lang.ProfileText.ProgramName]
                value: dialog.typedProgram
                onEdited: text => dialog.typedProgram = text
            }
            Button {
                objectName: "profileTie"
                text: Lang.profile[Lang.ProfileText.Tie]
                enabled: dialog.typedProgram.trim().length > 0
                onClicked: {
                    dialog.changeAuto("add", dialog.typedProgram.trim())
                    if (dialog.autoProblem === "") {
                        dialog.typedProgram = ""
                        openApps.currentIndex = -1
                    }
                }
            }
        }
        CheckBox {
            objectName: "profileFallback"
            text: Lang.profile[Lang.ProfileText.Fallback]
            checked: dialog.autoRules.fallback === dialog.selectedNumber
            onToggled: wanted => { if (wanted) dialog.changeAuto("fallback", "") }
        }
        Text {
            width: parent.width
            visible: text.length > 0
            text: dialog.autoProblem !== "" ? dialog.autoProblem
                  : dialog.autoRules.notice === "damaged" ? Lang.profile[Lang.ProfileText.RulesDamaged]
                  : dialog.autoRules.notice === "x11only" || dialog.autoRules.notice === "nothing" ? Lang.profile[Lang.ProfileText.X11Only]
                  : !dialog.autoRules.on ? Lang.profile[Lang.ProfileText.AutomaticOff] : ""
            color: Theme.unsaved
            font.pixelSize: Theme.hintSize
            wrapMode: Text.WordWrap
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
            text: Lang.notice[Lang.NoticeText.DeleteQuestion].replace("%1", dialog.store.names[dialog.deleting] ?? "")
            color: Theme.text
            font.pixelSize: Theme.controlSize
            elide: Text.ElideRight
        }
        Row {
            id: answers
            anchors.right: parent.right
            spacing: Theme.unit
            Button {
                text: Lang.main[Lang.MainText.Cancel]
                kind: "outline"
                onClicked: dialog.answerDelete(false)
            }
            Button {
                objectName: "profileDeleteConfirm"
                text: Lang.profile[Lang.ProfileText.Delete]
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
        text: dialog.store.full ? Lang.profile[Lang.ProfileText.AtMostSix] : Lang.profile[Lang.ProfileText.CannotDelete]
        color: dialog.store.full ? Theme.unsaved : Theme.hint
        font.pixelSize: Theme.hintSize
        wrapMode: Text.WordWrap
    }

    buttons: [
        Button {
            text: Lang.main[Lang.MainText.Ok]
            kind: "primary"
            width: 96
            onClicked: dialog.close()
        }
    ]
}
