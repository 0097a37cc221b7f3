pragma Singleton
import QtQuick

// The one place for the scene's colours, sizes, type and motion.
QtObject {
    // Colours
    readonly property color window: "#181a1f"
    readonly property color titleBar: "#1d1f25"
    readonly property color card: "#20232a"
    readonly property color control: "#2b2f38"
    readonly property color controlHover: "#353a45"
    readonly property color controlPressed: "#0a6cb0"
    readonly property color border: "#3a3f4b"
    readonly property color borderStrong: "#4a505e"
    // Outlines of controls (and under the pointer): 3:1 against the window,
    // the title bar and the cards they sit on.
    readonly property color outline: "#6e788e"
    readonly property color outlineStrong: "#858ea2"
    readonly property color text: "#e9ebf0"
    readonly property color textSecondary: "#9aa1ad"
    readonly property color hint: "#9097a3"
    readonly property color accent: "#19b6ff"
    readonly property color accentPressed: "#0a84d6"
    readonly property color accentSoft: "#1a3a4f"
    readonly property color accentText: "#06131c"
    readonly property color unsaved: "#ffd84d"
    readonly property color error: "#ff6b6b"
    readonly property color mask: Qt.rgba(0, 0, 0, 0.55)
    readonly property color busyMask: Qt.rgba(0.05, 0.06, 0.08, 0.45)
    readonly property color track: "#3a3f4b"

    // Sizes, on an 8 px grid
    readonly property int unit: 8
    readonly property int margin: 16
    readonly property int gap: 12
    readonly property int cardRadius: 10
    readonly property int controlRadius: 6
    readonly property int controlHeight: 32
    readonly property int rowHeight: 28
    readonly property int titleBarHeight: 48
    readonly property int buttonHeight: 44
    readonly property int focusRing: 2
    readonly property real disabledOpacity: 0.5

    // Type
    readonly property string fontFamily: "DejaVu Sans"
    readonly property int titleSize: 15
    readonly property int controlSize: 13
    readonly property int labelSize: 12
    readonly property int hintSize: 11
    readonly property real capsSpacing: 1.2

    // Motion
    readonly property int quick: 120
    readonly property int calm: 240

    // Type for single words shown large: the connect state's heading and
    // the key a capture field shows.
    readonly property int headlineSize: 20
    readonly property int captureSize: 22
}
