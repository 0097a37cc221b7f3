import QtQuick

// Stands in for the real scene in the shell tests: it has the root
// functions the program calls and records every call in `calls`, so that
// the tests see what the program calls and in which order.
Item {
    width: 1024
    height: 640
    visible: false

    property var calls: []
    property int protectInterval: -1
    property int currentDpiStage: -1
    // The connect state is a state, not a call: kept apart from `calls`.
    property bool connectShown: false

    function record(entry) {
        const list = calls.slice()
        list.push(entry)
        calls = list
    }

    function initUI() {
        visible = true
        record("initUI")
    }
    function showConnectState(shown) {
        connectShown = shown
        if (shown)
            visible = true
    }
    function run() {
        record("run")
    }
    function detectKeyboard(isDown, usbCode) {
        record("detectKeyboard " + isDown + " " + usbCode)
    }
    function detectMouse(isDown, buttonCode, x, y) {
        record("detectMouse " + isDown + " " + buttonCode + " " + x + " " + y)
    }
    function setProtectUI(interval) {
        protectInterval = interval
        record("setProtectUI " + interval)
    }
    function setCurrentDPI(dpiValue) {
        currentDpiStage = dpiValue
        record("setCurrentDPI " + dpiValue)
    }
}
