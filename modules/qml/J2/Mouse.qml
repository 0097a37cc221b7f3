pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "mouselayout.mjs" as MouseLayout

// The mouse picture: the top view with the side view beside it, and a
// numbered call-out for each button the key panel shows. The highlighted
// key's button takes its lit look; pointing at a button or its call-out
// reports its key, and a click chooses it.
Item {
    id: picture

    property int keyCount: 8
    property int skinNo: 1
    property int highlightedKey: -1
    // What each key does, for the numbers' tooltips.
    property var keyTexts: []

    signal keyHovered(int index)
    signal keyClicked(int index)

    readonly property string imageFolder: "qrc:/mouse/modules/img/skin" + skinNo + "/mouse/"
    readonly property real canvasWidth: MouseLayout.canvas.width
    readonly property real canvasHeight: MouseLayout.canvas.height
    readonly property int buttonCount: Math.min(keyCount, MouseLayout.buttons.length)

    readonly property real badgeSize: 22
    readonly property real badgeGap: 26

    // Where each call-out's number sits: beside the top view (left of it for
    // buttons on the left half, right of it otherwise, kept apart
    // vertically), below the side view for its buttons.
    readonly property var callouts: {
        const result = []
        const right = []
        for (let i = 0; i < buttonCount; ++i) {
            const b = MouseLayout.buttons[i]
            const v = b.view === "side" ? sideView : topView
            const ax = v.x + b.anchor.x * v.factor
            const ay = v.y + b.anchor.y * v.factor
            let lx, ly
            if (b.view === "side") {
                lx = ax
                ly = v.y + v.height * 0.82
            } else if (b.anchor.x < picture.canvasWidth / 2 - 8) {
                lx = topView.x + topView.bodyLeft * topView.factor - 34
                ly = ay
            } else {
                lx = topView.x + topView.bodyRight * topView.factor + 34
                ly = ay
                right.push(i)
            }
            result.push({ ax: ax, ay: ay, lx: lx, ly: ly })
        }
        // Numbers on the right are kept badgeGap apart, top to bottom.
        right.sort((a, b) => result[a].ly - result[b].ly)
        for (let k = 1; k < right.length; ++k) {
            const above = result[right[k - 1]]
            const here = result[right[k]]
            if (here.ly < above.ly + badgeGap)
                here.ly = above.ly + badgeGap
        }
        return result
    }

    // One view of the mouse: the base picture, the highlighted button's lit
    // overlay when the button is on this view, and the pointer over its
    // buttons.
    component View: Item {
        id: view

        required property string name
        required property real factor
        // The mouse's horizontal extent on the canvas.
        property real bodyLeft: 0
        property real bodyRight: picture.canvasWidth

        width: picture.canvasWidth * factor
        height: picture.canvasHeight * factor

        Picture {
            anchors.fill: parent
            file: picture.imageFolder + view.name + ".png"
            sourceSize.width: picture.canvasWidth * 2
            sourceSize.height: picture.canvasHeight * 2
            smooth: true
            mipmap: true
        }

        // The lit look covers only its box of the canvas; the base already
        // shows every button's normal look.
        Image {
            readonly property int key: picture.highlightedKey
            readonly property var button: key >= 0 && key < picture.buttonCount ? MouseLayout.buttons[key] : null
            readonly property bool lit: button !== null && button.view === view.name
            visible: lit
            x: lit ? button.overlay.x * view.factor : 0
            y: lit ? button.overlay.y * view.factor : 0
            width: lit ? button.overlay.width * view.factor : 0
            height: lit ? button.overlay.height * view.factor : 0
            source: lit ? picture.imageFolder + "key" + (key + 1) + "_hl.png" : ""
            smooth: true
            mipmap: true
        }

        MouseArea {
            id: pointer
            anchors.fill: parent
            hoverEnabled: true
            property int under: -1
            cursorShape: under >= 0 ? Qt.PointingHandCursor : Qt.ArrowCursor

            function buttonUnder(x: real, y: real): int {
                if (typeof MouseLayout.buttonAt !== "function")
                    return -1
                const i = MouseLayout.buttonAt(view.name, x / view.factor, y / view.factor)
                return i < picture.buttonCount ? i : -1
            }

            onPositionChanged: mouse => {
                const i = buttonUnder(mouse.x, mouse.y)
                if (i !== under) {
                    under = i
                    picture.keyHovered(i)
                }
            }
            onExited: {
                if (under >= 0) {
                    under = -1
                    picture.keyHovered(-1)
                }
            }
            onClicked: mouse => {
                const i = buttonUnder(mouse.x, mouse.y)
                if (i >= 0)
                    picture.keyClicked(i)
            }
        }
    }

    View {
        id: topView
        name: "top"
        factor: Math.min(picture.height / picture.canvasHeight, picture.width * 0.78 / picture.canvasWidth)
        bodyLeft: MouseLayout.buttons[0].rect ? MouseLayout.buttons[0].rect.x : 90
        bodyRight: MouseLayout.buttons[1].rect ? MouseLayout.buttons[1].rect.x + MouseLayout.buttons[1].rect.width : 270
        x: 44 - bodyLeft * factor
        anchors.verticalCenter: parent.verticalCenter
    }

    View {
        id: sideView
        name: "side"
        factor: topView.factor * 0.6
        x: picture.width - width
        y: picture.height - height * 0.86
    }

    Repeater {
        model: picture.buttonCount
        delegate: Item {
            id: callout

            required property int index
            readonly property var place: picture.callouts[index] ?? { ax: 0, ay: 0, lx: 0, ly: 0 }
            readonly property bool lit: picture.highlightedKey === index
            readonly property real dx: place.ax - place.lx
            readonly property real dy: place.ay - place.ly
            readonly property real length: Math.sqrt(dx * dx + dy * dy)

            // The line from the number to the button, and a dot on it.
            Rectangle {
                x: callout.place.lx
                y: callout.place.ly - height / 2
                width: Math.max(0, callout.length)
                height: callout.lit ? 1.5 : 1
                antialiasing: true
                transformOrigin: Item.Left
                rotation: Math.atan2(callout.dy, callout.dx) * 180 / Math.PI
                color: callout.lit ? Theme.accent : Qt.rgba(0.6, 0.63, 0.68, 0.45)
            }
            Rectangle {
                x: callout.place.ax - width / 2
                y: callout.place.ay - height / 2
                width: 6
                height: 6
                radius: 3
                color: callout.lit ? Theme.accent : Theme.textSecondary
            }

            Rectangle {
                id: badge
                x: callout.place.lx - width / 2
                y: callout.place.ly - height / 2
                width: picture.badgeSize
                height: picture.badgeSize
                radius: width / 2
                color: callout.lit ? Theme.accent : Theme.control
                border.width: 1
                border.color: callout.lit ? Theme.accent : Theme.borderStrong
                scale: callout.lit ? 1.12 : 1
                Behavior on scale { NumberAnimation { duration: Theme.quick } }
                objectName: "keyBadge" + callout.index
                activeFocusOnTab: true
                Accessible.role: Accessible.Button
                Accessible.name: badgeTip.text
                Accessible.onPressAction: picture.keyClicked(callout.index)
                Keys.onSpacePressed: picture.keyClicked(callout.index)
                Keys.onReturnPressed: picture.keyClicked(callout.index)
                Keys.onEnterPressed: picture.keyClicked(callout.index)
                onActiveFocusChanged: picture.keyHovered(activeFocus ? callout.index : -1)

                // Keyboard focus ring.
                Rectangle {
                    anchors.fill: parent
                    anchors.margins: -3
                    radius: width / 2
                    color: "transparent"
                    border.width: Theme.focusRing
                    border.color: Theme.accent
                    visible: badge.activeFocus
                }

                Text {
                    anchors.centerIn: parent
                    text: callout.index + 1
                    color: callout.lit ? Theme.accentText : Theme.text
                    font.pixelSize: Theme.labelSize
                    font.bold: true
                }

                MouseArea {
                    id: badgeArea
                    anchors.fill: parent
                    anchors.margins: -4
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onContainsMouseChanged: picture.keyHovered(containsMouse ? callout.index : -1)
                    onClicked: picture.keyClicked(callout.index)
                }
                Tip {
                    id: badgeTip
                    objectName: "keyTip" + callout.index
                    target: badge
                    wanted: badgeArea.containsMouse
                    text: Lang.notice[Lang.NoticeText.KeyN].replace("%1", callout.index + 1)
                          + ((picture.keyTexts[callout.index] ?? "").length > 0
                             ? ": " + picture.keyTexts[callout.index] : "")
                }
            }
        }
    }
}
