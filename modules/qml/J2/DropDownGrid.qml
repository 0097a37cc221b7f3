pragma ComponentBehavior: Bound
import QtQuick
import modules.qml

// The colour picker that drops from a colour swatch: a grid of ready colours
// and a slider per channel. It reports every change with picked(r, g, b);
// the owner of the colour sets red, green and blue. The arrows move in the
// grid, Space and Enter pick the colour under the focus.
PopupPanel {
    id: picker

    property int red: 0
    property int green: 0
    property int blue: 0
    property var channelNames: ["R", "G", "B"]

    readonly property var presets: [
        [255, 0, 0], [255, 128, 0], [255, 221, 0], [128, 255, 0], [0, 255, 0], [0, 255, 170],
        [0, 255, 255], [0, 136, 255], [0, 0, 255], [128, 0, 255], [221, 0, 255], [255, 0, 136],
        [255, 255, 255], [255, 200, 140], [140, 200, 255], [0, 0, 0]]

    signal picked(int r, int g, int b)

    padding: 12

    // Opened from the keyboard, the keyboard starts on the colour shown (or
    // the first); opened by the pointer, on the first arrow.
    property bool fromKeyboard: false
    onAboutToShow: fromKeyboard = anchorItem !== null && anchorItem.activeFocus
    onOpened: {
        if (fromKeyboard)
            focusChosen()
    }

    function focusChosen() {
        focusPreset(Math.max(0, presets.findIndex(c => c[0] === red && c[1] === green && c[2] === blue)))
    }

    function focusPreset(index: int) {
        const preset = presetGrid.itemAt(index)
        if (preset)
            preset.forceActiveFocus(Qt.TabFocusReason)
    }

    Column {
        spacing: 12
        focus: true
        Keys.onLeftPressed: picker.focusChosen()
        Keys.onRightPressed: picker.focusChosen()
        Keys.onUpPressed: picker.focusChosen()
        Keys.onDownPressed: picker.focusChosen()

        Grid {
            id: grid
            columns: 8
            spacing: 6

            Repeater {
                id: presetGrid
                model: picker.presets
                delegate: Rectangle {
                    id: preset
                    required property int index
                    required property var modelData
                    readonly property bool chosen: modelData[0] === picker.red && modelData[1] === picker.green
                                                   && modelData[2] === picker.blue
                    width: 24
                    height: 24
                    radius: 12
                    color: Qt.rgba(modelData[0] / 255, modelData[1] / 255, modelData[2] / 255, 1)
                    border.width: chosen ? 2 : 1
                    border.color: chosen ? Theme.text : Theme.border
                    activeFocusOnTab: true
                    Accessible.role: Accessible.Button
                    Accessible.name: picker.channelNames.map((n, i) => n + " " + preset.modelData[i]).join(", ")
                    Accessible.checkable: true
                    Accessible.checked: chosen
                    Accessible.onPressAction: pick()
                    Keys.onSpacePressed: pick()
                    Keys.onReturnPressed: pick()
                    Keys.onEnterPressed: pick()
                    Keys.onLeftPressed: picker.focusPreset(Math.max(0, index - 1))
                    Keys.onRightPressed: picker.focusPreset(Math.min(picker.presets.length - 1, index + 1))
                    Keys.onUpPressed: picker.focusPreset(index >= grid.columns ? index - grid.columns : index)
                    Keys.onDownPressed: picker.focusPreset(index + grid.columns < picker.presets.length ? index + grid.columns : index)
                    function pick() {
                        picker.picked(preset.modelData[0], preset.modelData[1], preset.modelData[2])
                    }
                    // Keyboard focus ring.
                    Rectangle {
                        anchors.fill: parent
                        anchors.margins: -3
                        radius: width / 2
                        color: "transparent"
                        border.width: Theme.focusRing
                        border.color: Theme.accent
                        visible: preset.activeFocus
                    }
                    MouseArea {
                        anchors.fill: parent
                        cursorShape: Qt.PointingHandCursor
                        onClicked: preset.pick()
                    }
                }
            }
        }

        Repeater {
            model: 3
            delegate: Row {
                id: channel
                required property int index
                readonly property int level: [picker.red, picker.green, picker.blue][index]
                spacing: 10

                Text {
                    width: 56
                    height: 24
                    verticalAlignment: Text.AlignVCenter
                    text: picker.channelNames[channel.index]
                    color: Theme.textSecondary
                    font.pixelSize: Theme.labelSize
                    elide: Text.ElideRight
                }
                SliderButton {
                    width: 150
                    height: 24
                    from: 0
                    to: 255
                    stepSize: 1
                    keyStep: 5
                    current: channel.level
                    label: picker.channelNames[channel.index]
                    valueText: String(channel.level)
                    fillColor: ["#ff5c5c", "#4cd964", "#19b6ff"][channel.index]
                    onMoved: v => {
                        const rgb = [picker.red, picker.green, picker.blue]
                        rgb[channel.index] = Math.round(v)
                        picker.picked(rgb[0], rgb[1], rgb[2])
                    }
                }
                Text {
                    width: 28
                    height: 24
                    verticalAlignment: Text.AlignVCenter
                    horizontalAlignment: Text.AlignRight
                    text: channel.level
                    color: Theme.text
                    font.pixelSize: Theme.labelSize
                }
            }
        }
    }
}
