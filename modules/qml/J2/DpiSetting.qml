pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas
import "../basic/flows.mjs" as Flows

// The DPI card: how many stages are on (of the "mouse/dpiCount" offered) and
// one slider per stage, the stage the mouse reports as active in the accent
// colour. Edits are held and marked unsaved until save() stores and sends.
Frame {
    id: panel

    property Controller uiView

    property int offered: Formulas.maxDpiStages
    property int count: 1
    property var values: []
    property var bounds: Formulas.dpiBounds(100, 16000, 50)
    property string sensorType
    // The active stage, 0-based (-1: not known).
    property int activeStage: -1
    property bool dirty: false
    // Why the last typed value was refused ("" when it was not); the
    // window shows it with refused().
    property string refusal

    signal refused(string reason)

    readonly property int activeValue: activeStage >= 0 && activeStage < count ? values[activeStage] ?? 0 : 0

    title: Lang.dpiSetting[Lang.DpiText.Dpi]

    function init(send: bool) {
        const dpi = Flows.readDpi(uiView)
        bounds = dpi.bounds
        sensorType = dpi.sensorType
        offered = dpi.offered
        count = dpi.count
        values = dpi.values
        dirty = false
        if (send)
            save()
    }

    // Stores the stages and sends them.
    function save() {
        const dpi = { count: count, sensorType: sensorType, values: values }
        Flows.storeDpi(uiView, dpi)
        Flows.sendDpi(uiView, dpi)
        dirty = false
    }

    function setValue(stage: int, value: int) {
        const v = Formulas.clamp(value, bounds.min, bounds.max)
        if (values[stage] === v)
            return
        const list = values.slice()
        list[stage] = v
        values = list
        dirty = true
    }

    // A value typed beside a slider; refused with the reason shown when the
    // sensor cannot take it.
    function typeValue(stage: int, text: string): bool {
        const typed = Formulas.dpiTyped(text, bounds)
        if (typed.value === null) {
            refusal = Lang.notice[Lang.NoticeText.TypeValueRange].replace("%1", bounds.min).replace("%2", bounds.max)
                                     .replace("%3", bounds.base)
            refused(refusal)
            return false
        }
        refusal = ""
        setValue(stage, typed.value)
        return true
    }

    // Makes stage `stage` (0-based) the mouse's active stage, as its DPI
    // button does.
    function activate(stage: int) {
        if (stage < 0 || stage >= count)
            return
        uiView.mouseSetCurrentDPI(stage + 1)
        activeStage = stage
    }

    function setCount(stages: int) {
        const n = Formulas.clamp(stages, 1, offered)
        if (n === count)
            return
        count = n
        dirty = true
    }

    actions: [
        Text {
            height: Theme.rowHeight
            verticalAlignment: Text.AlignVCenter
            text: Lang.dpiSetting[Lang.DpiText.Stages]
            color: Theme.hint
            font.pixelSize: Theme.labelSize
        },
        DropDownList {
            id: stageCount
            objectName: "dpiStageCount"
            width: 64
            height: Theme.rowHeight
            model: Array.from({ length: panel.offered }, (v, i) => String(i + 1))
            currentIndex: panel.count - 1
            onActivated: index => panel.setCount(index + 1)
        }
    ]

    Column {
        anchors.left: parent.left
        anchors.right: parent.right
        spacing: 2

        Repeater {
            model: panel.count
            delegate: Item {
                id: stageRow
                required property int index
                readonly property bool active: panel.activeStage === index
                readonly property int value: panel.values[index] ?? panel.bounds.min

                width: parent.width
                height: 26

                Rectangle {
                    id: chip
                    objectName: "dpiStage" + stageRow.index
                    width: 22
                    height: 22
                    radius: Theme.controlRadius
                    anchors.verticalCenter: parent.verticalCenter
                    color: stageRow.active ? Theme.accent : (chipArea.containsMouse ? Theme.controlHover : Theme.control)
                    Accessible.role: Accessible.Button
                    Accessible.name: Lang.dpiSetting[Lang.DpiText.Stage] + " " + (stageRow.index + 1)
                    MouseArea {
                        id: chipArea
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onClicked: panel.activate(stageRow.index)
                    }
                    Text {
                        anchors.centerIn: parent
                        text: stageRow.index + 1
                        color: stageRow.active ? Theme.accentText : Theme.textSecondary
                        font.pixelSize: Theme.labelSize
                        font.bold: stageRow.active
                    }
                }

                SliderButton {
                    anchors.left: chip.right
                    anchors.leftMargin: Theme.gap
                    anchors.right: valueText.left
                    anchors.rightMargin: Theme.gap
                    anchors.verticalCenter: parent.verticalCenter
                    // In DPI, as a screen reader reads and sets it; a drag's
                    // value still goes through the sensor's slider rule.
                    from: panel.bounds.min
                    to: panel.bounds.max
                    current: stageRow.value
                    keyStep: panel.bounds.base
                    reportSteps: true
                    objectName: "dpiSlider" + stageRow.index
                    label: Lang.dpiSetting[Lang.DpiText.Stage] + " " + (stageRow.index + 1)
                    valueText: stageRow.value + " " + Lang.dpiSetting[Lang.DpiText.Dpi]
                    fillColor: stageRow.active ? Theme.accent : Theme.textSecondary
                    onMoved: dpi => panel.setValue(stageRow.index, Formulas.dpiFromRatio(Formulas.dpiRatio(dpi, panel.bounds),
                                                                                         panel.bounds))
                    onStepped: steps => panel.setValue(stageRow.index,
                                                       Formulas.dpiStep(stageRow.value, steps, panel.bounds))
                }

                // The value, typed or shown.
                RectInput {
                    id: valueText
                    objectName: "dpiValue" + stageRow.index
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    width: 64
                    height: 24
                    maximumLength: 6
                    horizontalAlignment: TextInput.AlignRight
                    value: String(stageRow.value)
                    label: Lang.dpiSetting[Lang.DpiText.Stage] + " " + (stageRow.index + 1) + ", " + Lang.dpiSetting[Lang.DpiText.Dpi]
                    onEdited: text => valueText.invalid = !panel.typeValue(stageRow.index, text)
                }
            }
        }
    }
}
