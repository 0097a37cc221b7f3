import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas
import "../basic/flows.mjs" as Flows

// The lift-off card: the distance slider and its enable box. Changes are
// written to the profile at once and sent by save().
Frame {
    id: panel

    property Controller uiView

    property int position: Formulas.liftOff.min
    property bool isOn: true
    property bool dirty: false

    title: Lang.main[Lang.MainText.LiftOff]

    function init(send: bool) {
        const liftOff = Flows.readLiftOff(uiView)
        position = liftOff.position
        isOn = liftOff.isOn
        dirty = false
        if (send)
            save()
    }

    // Sends the distance and the enable flag.
    function save() {
        Flows.sendLiftOff(uiView, { position: position, isOn: isOn })
        dirty = false
    }

    function setPosition(value: int) {
        const p = Formulas.clamp(value, Formulas.liftOff.min, Formulas.liftOff.max)
        if (p === position)
            return
        position = p
        uiView.setData("mouse/reportRate", position)
        dirty = true
    }

    function setOn(value: bool) {
        if (value === isOn)
            return
        isOn = value
        uiView.setData("mouse/reportRateEn", isOn)
        dirty = true
    }

    Item {
        anchors.fill: parent

        SliderButton {
            id: slider
            objectName: "liftOffSlider"
            anchors.left: parent.left
            anchors.right: distance.left
            anchors.rightMargin: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            from: Formulas.liftOff.min
            to: Formulas.liftOff.max
            stepSize: 1
            current: panel.position
            label: Lang.main[Lang.MainText.LiftOff]
            valueText: distance.text
            onMoved: v => panel.setPosition(Math.round(v))
        }

        Text {
            id: distance
            anchors.right: enableBox.left
            anchors.rightMargin: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            width: 64
            horizontalAlignment: Text.AlignRight
            text: Formulas.liftOffMillimetres(panel.position) + " " + Lang.main[Lang.MainText.Millimetres]
            color: Theme.text
            font.pixelSize: Theme.controlSize
        }

        CheckBox {
            id: enableBox
            objectName: "liftOffEnable"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: Lang.main[Lang.MainText.On]
            checked: panel.isOn
            onToggled: wanted => panel.setOn(wanted)
        }
    }
}
