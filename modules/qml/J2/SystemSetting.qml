pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "../basic/formulas.mjs" as Formulas

// The system pointer options dialog: pointer speed, double-click speed and
// wheel lines of the profile in use. Each change is stored and applied at
// once by the store.
Dialog {
    id: dialog

    required property PointerStore store
    // The rows typed last, for going back from "one screen" to rows.
    property int rows: store.scrollScreen ? 3 : store.scrollLines

    title: Lang.systemSetting[Lang.SystemText.Title]
    cardWidth: 520
    cardHeight: 420

    // A setting's name, with the reason beside it when the desktop lacks it.
    component SettingLabel: Row {
        id: settingLabel
        property string text
        property bool available: true
        spacing: 10
        Text {
            text: settingLabel.text
            color: settingLabel.available ? Theme.text : Theme.hint
            font.pixelSize: Theme.controlSize
        }
        Text {
            objectName: "unavailableReason"
            visible: !settingLabel.available
            text: Lang.systemSetting[Lang.SystemText.NotAvailable]
            color: Theme.hint
            font.pixelSize: Theme.hintSize
        }
    }

    component SpeedRow: Column {
        id: speedRow
        property string label
        property int step
        property bool available: true
        signal chosen(int step)
        width: parent.width
        spacing: Theme.unit

        SettingLabel {
            text: speedRow.label
            available: speedRow.available
        }
        Item {
            enabled: speedRow.available
            width: parent.width
            height: Theme.rowHeight
            Text {
                id: slow
                width: 56
                anchors.verticalCenter: parent.verticalCenter
                text: Lang.systemSetting[Lang.SystemText.Slow]
                color: Theme.hint
                font.pixelSize: Theme.labelSize
                elide: Text.ElideRight
            }
            SliderButton {
                anchors.left: slow.right
                anchors.right: fast.left
                anchors.leftMargin: Theme.unit
                anchors.rightMargin: Theme.unit
                anchors.verticalCenter: parent.verticalCenter
                from: 0
                to: Formulas.pointerSteps - 1
                stepSize: 1
                showTicks: true
                current: speedRow.step
                label: speedRow.label
                valueText: String(Math.round(value) + 1) + " / " + Formulas.pointerSteps
                onMoved: v => { if (Math.round(v) !== speedRow.step) speedRow.chosen(Math.round(v)) }
            }
            Text {
                id: fast
                width: 56
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                horizontalAlignment: Text.AlignRight
                text: Lang.systemSetting[Lang.SystemText.Fast]
                color: Theme.hint
                font.pixelSize: Theme.labelSize
                elide: Text.ElideRight
            }
        }
    }

    Column {
        width: parent.width
        spacing: 22

        SpeedRow {
            objectName: "pointerSpeed"
            label: Lang.systemSetting[Lang.SystemText.MouseSpeed]
            available: dialog.store.speedAvailable
            step: dialog.store.speedStep
            onChosen: s => dialog.store.setSpeedStep(s)
        }

        SpeedRow {
            objectName: "doubleClickSpeed"
            label: Lang.systemSetting[Lang.SystemText.DoubleClickSpeed]
            available: dialog.store.doubleAvailable
            step: dialog.store.doubleStep
            onChosen: s => dialog.store.setDoubleStep(s)
        }

        Column {
            width: parent.width
            spacing: 10

            SettingLabel {
                objectName: "scrollLabel"
                text: Lang.systemSetting[Lang.SystemText.ScrollSpeed]
                available: dialog.store.scrollAvailable
            }
            Row {
                enabled: dialog.store.scrollAvailable
                spacing: Theme.gap
                RadioButton {
                    id: byRows
                    anchors.verticalCenter: parent.verticalCenter
                    text: Lang.systemSetting[Lang.SystemText.NumberOfRows]
                    checked: !dialog.store.scrollScreen
                    onClicked: if (!checked) dialog.store.setScrollLines(dialog.rows)
                }
                RectInput {
                    objectName: "scrollLines"
                    label: Lang.systemSetting[Lang.SystemText.NumberOfRows]
                    width: 96
                    anchors.verticalCenter: parent.verticalCenter
                    numeric: true
                    minimum: Formulas.scrollLines.min
                    maximum: Formulas.scrollLines.max
                    value: String(dialog.rows)
                    suffix: Lang.systemSetting[Lang.SystemText.Lines]
                    enabled: !dialog.store.scrollScreen
                    onEdited: text => dialog.store.setScrollLines(Number(text))
                }
            }
            RadioButton {
                objectName: "scrollScreen"
                enabled: dialog.store.scrollAvailable
                text: Lang.systemSetting[Lang.SystemText.ScrollOneScreen]
                checked: dialog.store.scrollScreen
                onClicked: dialog.store.setScrollLines(Formulas.scrollLines.screen)
            }
        }
    }

    Text {
        anchors.bottom: parent.bottom
        width: parent.width
        text: Lang.systemSetting[Lang.SystemText.ChangesApplyAtOnce]
        color: Theme.hint
        font.pixelSize: Theme.hintSize
        wrapMode: Text.WordWrap
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
