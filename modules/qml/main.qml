import QtQuick

// Placeholder scene until the full interface lands: the root item with the
// functions the program calls, a title bar the window is dragged by, and a
// read-out of what the program reported. Every call is also recorded in
// `calls`, so that tests can observe it.
Item {
    id: mainIten
    objectName: "mainIten"
    width: 1024
    height: 640
    visible: false

    property var calls: []
    property int protectInterval: -1
    property int currentDpiStage: -1
    property string lastKey: "-"
    property string lastButton: "-"

    function record(entry) {
        var list = calls.slice()
        list.push(entry)
        calls = list
    }

    function initUI() {
        visible = true
        record("initUI")
        if (typeof ui_View !== "undefined" && ui_View)
            currentDpiStage = ui_View.mouseGetCurrentDPI()
    }
    function run() { record("run") }
    function detectKeyboard(isDown, usbCode) {
        lastKey = "0x" + usbCode.toString(16) + (isDown ? " down" : " up")
        record("detectKeyboard " + isDown + " " + usbCode)
    }
    function detectMouse(isDown, buttonCode, x, y) {
        lastButton = "0x" + buttonCode.toString(16) + (isDown ? " down" : " up") + " at " + x + ", " + y
        record("detectMouse " + isDown + " " + buttonCode + " " + x + " " + y)
    }
    function setProtectUI(interval) { protectInterval = interval; record("setProtectUI " + interval) }
    function setCurrentDPI(dpiValue) { currentDpiStage = dpiValue; record("setCurrentDPI " + dpiValue) }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: "#26282f"

        Rectangle {
            id: titleBar
            width: parent.width
            height: 48
            radius: 12
            color: "#30333c"
            Text {
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                color: "#e8e8ec"
                font.pixelSize: 18
                text: "BRAXTEL SOLVAR MOUSE R770"
            }
            MouseArea {
                anchors.fill: parent
                property point pressedAt
                onPressed: function(mouse) { pressedAt = Qt.point(mouse.x, mouse.y) }
                onPositionChanged: function(mouse) {
                    ui_Ctl.onXChanged(mouse.x - pressedAt.x)
                    ui_Ctl.onYChanged(mouse.y - pressedAt.y)
                }
            }
            Row {
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8
                Repeater {
                    model: [{ label: "\u2013", minimise: true }, { label: "\u2715", minimise: false }]
                    delegate: Rectangle {
                        width: 32; height: 28; radius: 4
                        color: area.containsMouse ? "#4a4e5a" : "transparent"
                        Text { anchors.centerIn: parent; color: "#e8e8ec"; text: modelData.label; font.pixelSize: 16 }
                        MouseArea {
                            id: area
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: modelData.minimise ? ui_Ctl.onMinimize() : ui_Ctl.onClose()
                        }
                    }
                }
            }
        }

        Column {
            anchors.centerIn: parent
            spacing: 18
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                color: "#00aaff"
                font.pixelSize: 40
                text: mainIten.currentDpiStage > 0 ? "DPI stage " + mainIten.currentDpiStage : "DPI stage -"
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                color: "#b8bac2"
                font.pixelSize: 16
                text: "Last key: " + mainIten.lastKey + "    Last button: " + mainIten.lastButton
            }
        }
    }
}
