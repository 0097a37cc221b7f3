import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas
import "../basic/flows.mjs" as Flows

// The system pointer options of the profile in use: pointer speed,
// double-click speed (stored as slider positions) and wheel lines. Every
// change is written to the profile and applied at once.
QtObject {
    property Controller uiView

    property int speedPosition: Formulas.pointerPosition(5)
    property int doublePosition: Formulas.pointerPosition(5)
    property int scrollLines: 3

    readonly property int speedStep: Formulas.pointerIndex(speedPosition)
    readonly property int doubleStep: Formulas.pointerIndex(doublePosition)
    readonly property bool scrollScreen: scrollLines === Formulas.scrollLines.screen

    // Settings the desktop does not have are shown as unavailable; the
    // controller leaves them alone.
    readonly property bool speedAvailable: !uiView || uiView.pointerSettingAvailable("cursorSpeed")
    readonly property bool doubleAvailable: !uiView || uiView.pointerSettingAvailable("doubleClickSpeed")
    readonly property bool scrollAvailable: !uiView || uiView.pointerSettingAvailable("verticalScrollLines")

    function init(send: bool) {
        const pointer = Flows.readPointer(uiView)
        speedPosition = pointer.speedPosition
        doublePosition = pointer.doublePosition
        scrollLines = pointer.scrollLines
        if (send)
            Flows.sendPointer(uiView, pointer)
    }

    function setSpeedStep(step: int) {
        speedPosition = Formulas.pointerPosition(step)
        uiView.setData("mouse/mouseRate", speedPosition)
        uiView.mouseSetCursorSpeed(speedStep)
    }

    function setDoubleStep(step: int) {
        doublePosition = Formulas.pointerPosition(step)
        uiView.setData("mouse/doubleRate", doublePosition)
        uiView.mouseSetDoubleClickSpeed(doubleStep)
    }

    function setScrollLines(lines: int) {
        scrollLines = Formulas.scrollValue(lines)
        uiView.setData("mouse/scrollRate", scrollLines)
        uiView.mouseSetVerticalScrollLines(scrollLines)
    }
}
