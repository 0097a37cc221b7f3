import QtQuick
import modules.qml

// A short message at the foot of the window that never takes the keyboard:
// a success fades after a few seconds, a failure stays until it is clicked
// or another message takes its place.
Rectangle {
    id: notice

    property string text
    property bool failure: false
    property bool shown: false

    function show(message: string, isFailure: bool) {
        text = message
        failure = isFailure
        shown = true
        if (isFailure)
            fade.stop()
        else
            fade.restart()
    }

    function hide() {
        shown = false
        fade.stop()
    }

    width: Math.min(label.implicitWidth + 40, parent ? parent.width - 2 * Theme.margin : 600)
    height: Math.max(36, label.implicitHeight + 16)
    radius: height / 2
    color: Theme.card
    border.width: 1
    border.color: failure ? Theme.error : Theme.accent
    opacity: shown ? 1 : 0
    visible: opacity > 0
    Behavior on opacity { NumberAnimation { duration: Theme.calm } }

    Accessible.role: Accessible.AlertMessage
    Accessible.name: text

    Timer {
        id: fade
        interval: 4000
        onTriggered: notice.shown = false
    }

    Text {
        id: label
        anchors.centerIn: parent
        width: Math.min(implicitWidth, notice.width - 40)
        text: notice.text
        color: Theme.text
        font.pixelSize: Theme.labelSize
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: notice.hide()
    }
}
