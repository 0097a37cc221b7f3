pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas
import "../basic/flows.mjs" as Flows

// The lighting card: effect, speed, brightness and eight colours. Edits are
// held and marked unsaved until save() stores and sends them.
Frame {
    id: panel

    property Controller uiView
    property bool colourful: false
    property bool is55328: false

    property int effect: 0
    property int speed: 2
    property int brightness: 4
    property var colours: []
    property bool dirty: false

    readonly property var effects: Formulas.lightEffects(colourful)
    readonly property int effectIndex: Math.max(0, effects.findIndex(e => e.effect === effect))
    readonly property var currentEffect: effects[effectIndex]
    readonly property var brightnessRange: Formulas.lightBrightness(colourful)
    // A mouse of the 55328 kind shows the eighth colour only with the effect
    // that runs through all eight.
    readonly property bool eighthColourUsed: !is55328 || effect === Formulas.allColoursEffect

    title: Lang.lightControl[Lang.LightText.Light]

    function init(send: bool) {
        const light = Flows.readLighting(uiView, colourful)
        is55328 = light.is55328
        effect = light.effect
        speed = light.speed
        brightness = light.brightness
        colours = light.colours
        dirty = false
        if (send)
            save()
    }

    // Stores the lighting and sends colours, then the effect.
    function save() {
        const light = { colourful: colourful, is55328: is55328, effect: effect, speed: speed,
                        brightness: brightness, colours: colours }
        Flows.storeLighting(uiView, light)
        Flows.sendLighting(uiView, light)
        dirty = false
    }

    function setEffect(value: int) {
        if (value !== effect) {
            effect = value
            dirty = true
        }
    }

    function setSpeed(value: int) {
        if (value !== speed) {
            speed = value
            dirty = true
        }
    }

    function setBrightness(value: int) {
        if (value !== brightness) {
            brightness = value
            dirty = true
        }
    }

    function setColour(index: int, r: int, g: int, b: int) {
        const list = colours.slice()
        const rgb = [Formulas.clamp(Math.round(r), 0, 255), Formulas.clamp(Math.round(g), 0, 255),
                     Formulas.clamp(Math.round(b), 0, 255)]
        if (list[3 * index] === rgb[0] && list[3 * index + 1] === rgb[1] && list[3 * index + 2] === rgb[2])
            return
        list.splice(3 * index, 3, rgb[0], rgb[1], rgb[2])
        colours = list
        dirty = true
    }

    // Opens the colour picker on colour `index`.
    function editColour(index: int) {
        const swatch = swatchRepeater.itemAt(index)
        if (swatch)
            picker.openFor(swatch)
    }

    function colourAt(index: int): color {
        return Qt.rgba((colours[3 * index] ?? 0) / 255, (colours[3 * index + 1] ?? 0) / 255,
                       (colours[3 * index + 2] ?? 0) / 255, 1)
    }

    Column {
        anchors.fill: parent
        spacing: 10

        DropDownList {
            id: effectList
            objectName: "lightEffect"
            width: parent.width
            model: panel.effects.map(e => Lang.lightControl[e.text])
            currentIndex: panel.effectIndex
            onActivated: index => panel.setEffect(panel.effects[index].effect)
        }

        Repeater {
            model: [
                { text: 5, from: Formulas.lightSpeed.min, to: Formulas.lightSpeed.max, speed: true },
                { text: 7, from: panel.brightnessRange.min, to: panel.brightnessRange.max, speed: false }
            ]
            delegate: Item {
                id: level
                required property var modelData
                readonly property bool used: modelData.speed ? panel.currentEffect.speed
                                                             : panel.currentEffect.brightness
                width: parent.width
                height: Theme.rowHeight
                opacity: used ? 1 : Theme.disabledOpacity

                Text {
                    id: levelLabel
                    width: 96
                    anchors.verticalCenter: parent.verticalCenter
                    text: Lang.lightControl[level.modelData.text]
                    color: Theme.textSecondary
                    font.pixelSize: Theme.labelSize
                    elide: Text.ElideRight
                }
                SliderButton {
                    anchors.left: levelLabel.right
                    anchors.leftMargin: Theme.unit
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    enabled: level.used
                    opacity: 1
                    from: level.modelData.from
                    to: level.modelData.to
                    stepSize: 1
                    showTicks: true
                    current: level.modelData.speed ? panel.speed : panel.brightness
                    label: levelLabel.text
                    onMoved: v => level.modelData.speed ? panel.setSpeed(Math.round(v))
                                                        : panel.setBrightness(Math.round(v))
                }
            }
        }

        Text {
            text: Lang.lightControl[Lang.LightText.Color]
            color: Theme.textSecondary
            font.pixelSize: Theme.labelSize
        }

        Row {
            id: swatches
            spacing: (parent.width - 8 * 28) / 7

            Repeater {
                id: swatchRepeater
                model: Formulas.colourCount
                delegate: Rectangle {
                    id: swatch
                    required property int index
                    readonly property bool unused: index === Formulas.colourCount - 1 && !panel.eighthColourUsed
                    readonly property bool editing: picker.opened && picker.colourIndex === index
                    width: 28
                    height: Theme.rowHeight
                    radius: 14
                    color: panel.colourAt(index)
                    opacity: unused ? 0.35 : 1
                    border.width: editing || activeFocus ? 2 : 1
                    border.color: editing || activeFocus ? Theme.text : Qt.rgba(1, 1, 1, 0.18)
                    activeFocusOnTab: true
                    Keys.onSpacePressed: picker.openFor(swatch)
                    Keys.onReturnPressed: picker.openFor(swatch)

                    Accessible.role: Accessible.Button
                    Accessible.name: Lang.lightControl[Lang.LightText.Color] + " " + (index + 1)

                    // A slash across a colour the mouse does not show.
                    Rectangle {
                        anchors.centerIn: parent
                        width: parent.width - 6
                        height: 2
                        rotation: -45
                        antialiasing: true
                        color: Theme.text
                        visible: swatch.unused
                    }
                    MouseArea {
                        anchors.fill: parent
                        anchors.margins: -3
                        cursorShape: Qt.PointingHandCursor
                        onClicked: picker.openFor(swatch)
                    }
                }
            }
        }
    }

    DropDownGrid {
        id: picker
        objectName: "colourPicker"
        property int colourIndex: 0
        channelNames: [Lang.lightControl[Lang.LightText.Red], Lang.lightControl[Lang.LightText.Green], Lang.lightControl[Lang.LightText.Blue]]
        red: panel.colours[3 * colourIndex] ?? 0
        green: panel.colours[3 * colourIndex + 1] ?? 0
        blue: panel.colours[3 * colourIndex + 2] ?? 0
        onPicked: (r, g, b) => panel.setColour(colourIndex, r, g, b)

        function openFor(swatch: var) {
            colourIndex = swatch.index
            anchorItem = swatch
            open()
        }
    }
}
