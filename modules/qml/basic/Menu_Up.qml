pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// The title bar's right side: the profile selector, the help menu (support
// address, version, language), minimise and close.
Row {
    id: bar

    property var profileNames: []
    property int profileIndex: -1
    property string url
    property string version
    // { code, name } of every language file; the chosen one is ticked.
    property var languages: []
    property string chosenLanguage
    // Only minimise and close (no mouse to choose a profile of).
    property bool windowButtonsOnly: false

    readonly property bool helpOpened: help.opened

    signal profileChosen(int index)
    signal helpWanted()
    signal languageChosen(string code)
    signal minimiseClicked()
    signal closeClicked()

    spacing: 6

    function openHelp() {
        helpWanted()
        help.open()
    }

    DropDownList {
        id: profiles
        objectName: "profileSelector"
        width: 208
        anchors.verticalCenter: parent.verticalCenter
        visible: !bar.windowButtonsOnly
        model: bar.profileNames
        currentIndex: bar.profileIndex
        onActivated: index => bar.profileChosen(index)
    }

    Item {
        width: 6
        height: 1
        visible: !bar.windowButtonsOnly
    }

    Button {
        id: helpButton
        objectName: "helpButton"
        width: 36
        visible: !bar.windowButtonsOnly
        anchors.verticalCenter: parent.verticalCenter
        kind: "ghost"
        text: "?"
        toolTip: Lang.main[Lang.MainText.Help]
        horizontalPadding: 0
        fontSize: 15
        onClicked: help.opened ? help.close() : bar.openHelp()
    }

    Button {
        objectName: "minimiseButton"
        width: 36
        anchors.verticalCenter: parent.verticalCenter
        kind: "ghost"
        iconName: "minimise"
        toolTip: Lang.notice[Lang.NoticeText.Minimise]
        horizontalPadding: 0
        onClicked: bar.minimiseClicked()
    }

    Button {
        objectName: "closeButton"
        width: 36
        anchors.verticalCenter: parent.verticalCenter
        kind: "ghost"
        iconName: "close"
        toolTip: Lang.notice[Lang.NoticeText.Close]
        horizontalPadding: 0
        onClicked: bar.closeClicked()
    }

    component MenuEntry: Rectangle {
        id: entry
        property string text
        property string detail
        property bool checked: false
        property bool active: true
        signal triggered()
        width: 300
        height: detail.length > 0 ? 48 : 34
        radius: Theme.controlRadius
        color: active && (entryArea.containsMouse || activeFocus) ? Theme.controlHover : "transparent"
        activeFocusOnTab: active
        Keys.onReturnPressed: triggered()
        Keys.onSpacePressed: triggered()
        Accessible.role: Accessible.MenuItem
        Accessible.name: text
        Accessible.description: detail
        Accessible.checkable: checked
        Accessible.checked: checked
        Accessible.onPressAction: triggered()

        Column {
            anchors.left: parent.left
            anchors.leftMargin: Theme.gap
            anchors.right: tick.left
            anchors.rightMargin: Theme.unit
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2
            Text {
                width: parent.width
                text: entry.text
                color: entry.active ? Theme.text : Theme.textSecondary
                font.pixelSize: Theme.controlSize
                elide: Text.ElideRight
            }
            Text {
                width: parent.width
                visible: entry.detail.length > 0
                text: entry.detail
                color: Theme.accent
                font.pixelSize: Theme.hintSize
                elide: Text.ElideMiddle
            }
        }
        Icon {
            id: tick
            anchors.right: parent.right
            anchors.rightMargin: Theme.gap
            anchors.verticalCenter: parent.verticalCenter
            name: "check"
            size: 14
            color: Theme.accent
            visible: entry.checked
        }
        MouseArea {
            id: entryArea
            anchors.fill: parent
            enabled: entry.active
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: entry.triggered()
        }
    }

    PopupPanel {
        id: help
        objectName: "helpMenu"
        anchorItem: helpButton
        alignRight: true

        Column {
            spacing: 2

            MenuEntry {
                objectName: "helpSupport"
                text: Lang.main[Lang.MainText.Support]
                detail: bar.url
                focus: true
                onTriggered: {
                    help.close()
                    Qt.openUrlExternally(bar.url)
                }
            }
            MenuEntry {
                objectName: "helpVersion"
                text: Lang.main[Lang.MainText.Version] + " " + bar.version
                active: false
            }
            Rectangle {
                x: 8
                width: 284
                height: 1
                color: Theme.border
            }
            Text {
                x: 12
                height: 30
                verticalAlignment: Text.AlignBottom
                bottomPadding: 4
                text: Lang.main[Lang.MainText.Language].toUpperCase()
                color: Theme.textSecondary
                font.pixelSize: Theme.hintSize
                font.letterSpacing: Theme.capsSpacing
            }
            Repeater {
                model: bar.languages
                delegate: MenuEntry {
                    required property var modelData
                    objectName: "language_" + modelData.code
                    text: modelData.name
                    checked: modelData.code === bar.chosenLanguage
                    onTriggered: bar.languageChosen(modelData.code)
                }
            }
            Text {
                x: 12
                width: 276
                topPadding: 4
                bottomPadding: 6
                text: Lang.main[Lang.MainText.LanguageNextStart]
                color: Theme.hint
                font.pixelSize: Theme.hintSize
                wrapMode: Text.WordWrap
            }
        }
    }
}
