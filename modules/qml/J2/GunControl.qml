pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas

// The recoil editor: the six weapons, which three are active, and the
// selected weapon's name, fire period, repeat count and cursor adjustment.
// Every change is written at once; active weapons are sent at once.
Dialog {
    id: dialog

    required property GunStore store
    property int skinNo: 1
    property int selected: store.active[0] ?? 0

    readonly property var gun: store.guns[selected] ?? store.weapon([], selected)
    readonly property string imageFolder: "qrc:/gun/modules/img/skin" + skinNo + "/gun/"

    title: Lang.gunControl[Lang.GunText.Title]
    cardWidth: 760
    cardHeight: 500

    function slotsOf(index: int): string {
        const slots = []
        for (let s = 0; s < store.activeCount; ++s)
            if (store.active[s] === index)
                slots.push(s + 1)
        return slots.join(" ")
    }

    component Heading: Text {
        color: Theme.text
        font.pixelSize: Theme.controlSize
        font.bold: true
        elide: Text.ElideRight
    }

    // A signed adjustment slider that stores its value when the drag ends.
    component AxisRow: Item {
        id: axis
        property string label
        property int stored
        property real dragged
        property bool dragging: false
        signal chosen(int value)
        width: parent.width
        height: Theme.rowHeight

        Label {
            id: axisLabel
            width: 88
            anchors.verticalCenter: parent.verticalCenter
            text: axis.label
        }
        SliderButton {
            anchors.left: axisLabel.right
            anchors.right: axisValue.left
            anchors.leftMargin: Theme.unit
            anchors.rightMargin: Theme.gap
            anchors.verticalCenter: parent.verticalCenter
            from: Formulas.gunRanges.x.min
            to: Formulas.gunRanges.x.max
            stepSize: 1
            current: axis.dragging ? axis.dragged : axis.stored
            label: axis.label
            onMoved: v => { axis.dragging = true; axis.dragged = v }
            onCommitted: v => { axis.dragging = false; axis.chosen(Math.round(v)) }
        }
        Text {
            id: axisValue
            width: 40
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignRight
            text: Math.round(axis.dragging ? axis.dragged : axis.stored)
            color: Theme.text
            font.pixelSize: Theme.controlSize
        }
    }

    // The weapons.
    Column {
        id: weaponList
        width: 250
        spacing: 6

        Label {
            text: Lang.gunControl[Lang.GunText.Gun]
            height: 20
        }

        Repeater {
            model: dialog.store.guns
            delegate: Rectangle {
                id: weaponRow
                required property int index
                required property var modelData
                readonly property bool chosen: dialog.selected === index
                width: weaponList.width
                height: 52
                radius: Theme.controlRadius + 2
                color: chosen ? Theme.accentSoft : (rowArea.containsMouse ? Theme.controlHover : Theme.control)
                border.width: chosen || activeFocus ? 1 : 0
                border.color: Theme.accent
                activeFocusOnTab: true
                Accessible.role: Accessible.RadioButton
                Accessible.name: modelData.name
                Accessible.checkable: true
                Accessible.checked: chosen
                Accessible.onPressAction: dialog.selected = index
                Keys.onSpacePressed: dialog.selected = index

                Image {
                    id: silhouette
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    width: 80
                    height: Theme.controlHeight
                    source: dialog.imageFolder + "gun" + weaponRow.index + ".png"
                    sourceSize.width: 160
                    sourceSize.height: 64
                    fillMode: Image.PreserveAspectFit
                    smooth: true
                }
                Text {
                    anchors.left: silhouette.right
                    anchors.leftMargin: 10
                    anchors.right: slotText.left
                    anchors.rightMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: weaponRow.modelData.name
                    color: Theme.text
                    font.pixelSize: Theme.controlSize
                    elide: Text.ElideRight
                }
                Text {
                    id: slotText
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    text: dialog.slotsOf(weaponRow.index)
                    color: Theme.accent
                    font.pixelSize: Theme.labelSize
                    font.bold: true
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: dialog.selected = weaponRow.index
                }
            }
        }
    }

    // The active weapons and the selected weapon's settings.
    Column {
        anchors.left: weaponList.right
        anchors.leftMargin: 24
        anchors.right: parent.right
        spacing: 14

        Heading {
            width: parent.width
            text: Lang.gunControl[Lang.GunText.SelectGun]
        }
        Row {
            spacing: 10
            Repeater {
                model: dialog.store.activeCount
                delegate: DropDownList {
                    required property int index
                    objectName: "activeGun" + index
                    width: 136
                    prefix: (index + 1) + "  "
                    model: dialog.store.guns.map(g => g.name)
                    currentIndex: dialog.store.active[index] ?? 0
                    onActivated: choice => dialog.store.setActive(index, choice)
                }
            }
        }

        Rectangle {
            width: parent.width
            height: 1
            color: Theme.border
        }

        Row {
            spacing: Theme.gap
            Label {
                width: 88
                height: Theme.controlHeight
                verticalAlignment: Text.AlignVCenter
                text: Lang.gunControl[Lang.GunText.Name]
            }
            RectInput {
                objectName: "gunName"
                label: Lang.gunControl[Lang.GunText.Name]
                width: 200
                value: dialog.gun.name
                maximumLength: 24
                onEdited: text => { if (text.length > 0 && !text.includes("/")) dialog.store.update(dialog.selected, { name: text }) }
            }
        }

        Heading {
            width: parent.width
            text: Lang.gunControl[Lang.GunText.FireAdjust]
        }
        Row {
            spacing: Theme.gap
            Label {
                width: 88
                height: Theme.controlHeight
                verticalAlignment: Text.AlignVCenter
                text: Lang.gunControl[Lang.GunText.Rate]
            }
            RectInput {
                objectName: "gunPeriod"
                label: Lang.gunControl[Lang.GunText.Rate]
                width: 88
                numeric: true
                minimum: Formulas.gunRanges.period.min
                maximum: Formulas.gunRanges.period.max
                value: String(dialog.gun.period)
                suffix: Lang.gunControl[Lang.GunText.Milliseconds]
                onEdited: text => dialog.store.update(dialog.selected, { period: Number(text) })
            }
            Label {
                width: 52
                height: Theme.controlHeight
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: Text.AlignRight
                text: Lang.gunControl[Lang.GunText.Times]
            }
            RectInput {
                objectName: "gunTimes"
                label: Lang.gunControl[Lang.GunText.Times]
                width: 72
                numeric: true
                minimum: 1
                maximum: Formulas.gunRanges.times.max
                value: dialog.gun.times === 0 ? "" : String(dialog.gun.times)
                enabled: dialog.gun.times !== 0
                onEdited: text => dialog.store.update(dialog.selected, { times: Number(text) })
            }
            CheckBox {
                anchors.verticalCenter: parent.verticalCenter
                text: Lang.gunControl[Lang.GunText.Endless]
                checked: dialog.gun.times === 0
                onToggled: wanted => dialog.store.update(dialog.selected, { times: wanted ? 0 : 1 })
            }
        }

        Heading {
            width: parent.width
            text: Lang.gunControl[Lang.GunText.CursorAdjust]
        }
        AxisRow {
            objectName: "gunX"
            label: Lang.gunControl[Lang.GunText.XAxis]
            stored: dialog.gun.x
            onChosen: v => dialog.store.update(dialog.selected, { x: v })
        }
        AxisRow {
            objectName: "gunY"
            label: Lang.gunControl[Lang.GunText.YAxis]
            stored: dialog.gun.y
            onChosen: v => dialog.store.update(dialog.selected, { y: v })
        }

        // Where the adjustment moves the aim: the target with a dot off its
        // centre by X and Y.
        Item {
            width: parent.width
            height: 64
            Image {
                id: target
                anchors.centerIn: parent
                width: 160
                height: 64
                source: dialog.imageFolder + "target.png"
                sourceSize.width: 320
                sourceSize.height: 128
            }
            Rectangle {
                width: 8
                height: 8
                radius: 4
                color: Theme.unsaved
                x: target.x + target.width / 2 - width / 2
                   + dialog.gun.x / Formulas.gunRanges.x.max * (target.width / 2 - 8)
                y: target.y + target.height / 2 - height / 2
                   + dialog.gun.y / Formulas.gunRanges.y.max * (target.height / 2 - 6)
            }
        }
    }

    buttons: [
        Button {
            text: Lang.main[Lang.MainText.Ok]
            kind: "primary"
            width: 96
            onClicked: dialog.close()
        }
    ]
}
