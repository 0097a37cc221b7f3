import QtQuick

// Placeholder scene: the root item with the functions the program calls.
// Each call is recorded in `calls` so that tests can observe it.
Item {
    id: mainIten
    objectName: "mainIten"
    width: 1024
    height: 640
    visible: false

    property var calls: []
    property int protectInterval: -1
    property int currentDpiStage: -1

    function record(entry) {
        var list = calls.slice()
        list.push(entry)
        calls = list
    }

    function initUI() { visible = true; record("initUI") }
    function run() { record("run") }
    function detectKeyboard(isDown, usbCode) { record("detectKeyboard " + isDown + " " + usbCode) }
    function detectMouse(isDown, buttonCode, x, y) {
        record("detectMouse " + isDown + " " + buttonCode + " " + x + " " + y)
    }
    function setProtectUI(interval) { protectInterval = interval; record("setProtectUI " + interval) }
    function setCurrentDPI(dpiValue) { currentDpiStage = dpiValue; record("setCurrentDPI " + dpiValue) }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: "#26282f"
        Text {
            anchors.centerIn: parent
            color: "#e8e8ec"
            font.pixelSize: 28
            text: "BRAXTEL SOLVAR MOUSE R770"
        }
    }
}
