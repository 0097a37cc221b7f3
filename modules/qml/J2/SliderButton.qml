pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Templates as T
import modules.qml

// A horizontal slider. It does not move by itself: it reports moved(value)
// while the handle is dragged and committed(value) when the drag ends or a
// key moved it; the owner of the value sets `current`, which the slider
// shows. A screen reader hears `label` as its name and `valueText` as its
// value ("800 DPI"); a value it sets through the accessible value interface
// (which writes `value`, not `current`) is snapped to the step and reported
// as a key move is, and the slider goes on showing `current`.
T.Slider {
    id: slider

    // How far one arrow key moves (PageUp/PageDown move four times as far).
    property real keyStep: stepSize > 0 ? stepSize : (to - from) / 20
    // Marks under the track, one per step (for sliders of few steps).
    property bool showTicks: false
    property color fillColor: Theme.accent
    // Keys report stepped(steps) instead of moving by keyStep themselves,
    // for owners whose values do not scale evenly with the handle.
    property bool reportSteps: false
    property string label
    property string valueText: String(Math.round(value * 100) / 100)
    // The range as Qt's accessible value interface reads it.
    readonly property real minimumValue: from
    readonly property real maximumValue: to
    property real current: from
    property bool complete: false

    value: current

    signal moved(real value)
    signal committed(real value)
    signal stepped(int steps)

    implicitWidth: 160
    implicitHeight: 24
    focusPolicy: Qt.StrongFocus
    pressed: area.pressed
    opacity: enabled ? 1 : Theme.disabledOpacity

    Accessible.role: Accessible.Slider
    Accessible.name: label
    Accessible.description: valueText
    // A screen reader's increase and decrease actions step as the arrows do.
    Accessible.onIncreaseAction: nudge(1)
    Accessible.onDecreaseAction: nudge(-1)

    function snapped(v: real): real {
        const bounded = Math.min(Math.max(v, from), to)
        if (stepSize <= 0)
            return bounded
        return Math.min(to, from + Math.round((bounded - from) / stepSize) * stepSize)
    }

    // `value` differs from what the owner shows only when written from
    // outside: by then from and to have bounded it, so compare bounded.
    onValueChanged: {
        if (!complete)
            return
        const shown = Math.min(Math.max(current, from), to)
        if (value === shown)
            return
        const v = snapped(value)
        value = Qt.binding(() => slider.current)
        if (v !== shown) {
            moved(v)
            committed(v)
        }
    }

    function valueAt(x: real): real {
        const usable = track.width
        return snapped(from + (to - from) * Math.min(Math.max(x - track.x, 0), usable) / Math.max(usable, 1))
    }

    function nudge(steps: real) {
        if (reportSteps) {
            stepped(Math.round(steps))
            return
        }
        const v = snapped(value + steps * keyStep)
        if (v !== value) {
            moved(v)
            committed(v)
        }
    }

    Component.onCompleted: complete = true

    Keys.onLeftPressed: nudge(-1)
    Keys.onDownPressed: nudge(-1)
    Keys.onRightPressed: nudge(1)
    Keys.onUpPressed: nudge(1)
    Keys.onPressed: function(event) {
        if (event.key === Qt.Key_PageUp)
            nudge(4)
        else if (event.key === Qt.Key_PageDown)
            nudge(-4)
        else if (event.key === Qt.Key_Home)
            nudge(-(to - from) / keyStep)
        else if (event.key === Qt.Key_End)
            nudge((to - from) / keyStep)
        else
            return
        event.accepted = true
    }

    Rectangle {
        id: track
        x: handle.width / 2
        width: slider.width - handle.width
        height: 4
        radius: 2
        anchors.verticalCenter: parent.verticalCenter
        color: Theme.track

        Rectangle {
            width: slider.position * parent.width
            height: parent.height
            radius: parent.radius
            color: slider.fillColor
        }
    }

    Repeater {
        model: slider.showTicks && slider.stepSize > 0 ? Math.round((slider.to - slider.from) / slider.stepSize) + 1 : 0
        delegate: Rectangle {
            required property int index
            readonly property int count: Math.round((slider.to - slider.from) / slider.stepSize)
            x: track.x + track.width * index / Math.max(count, 1) - width / 2
            y: track.y + track.height + 5
            width: 2
            height: 4
            radius: 1
            color: Theme.border
        }
    }

    Rectangle {
        id: handle
        width: 16
        height: 16
        radius: 8
        x: track.x + slider.position * track.width - width / 2
        anchors.verticalCenter: parent.verticalCenter
        color: slider.pressed ? Theme.accent : (area.containsMouse ? "#ffffff" : "#eef1f5")
        border.width: slider.pressed ? 3 : 0
        border.color: "#ffffff"
        scale: slider.pressed ? 1.1 : 1

        Rectangle {
            anchors.fill: parent
            anchors.margins: -4
            radius: width / 2
            color: "transparent"
            border.width: Theme.focusRing
            border.color: Theme.accent
            visible: slider.activeFocus
        }
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        preventStealing: true
        property real last: NaN
        onPressed: function(mouse) {
            slider.forceActiveFocus()
            last = slider.valueAt(mouse.x)
            slider.moved(last)
        }
        onPositionChanged: function(mouse) {
            if (!pressed)
                return
            const v = slider.valueAt(mouse.x)
            if (v !== last) {
                last = v
                slider.moved(v)
            }
        }
        onReleased: slider.committed(last)
        onCanceled: slider.committed(last)
    }
}
