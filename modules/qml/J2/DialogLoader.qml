import QtQuick
import QtQuick.Templates as T

// The place of one dialog: its view is loaded when it opens (with
// `properties` and the extra properties open() is given) and unloaded when
// the dialog asks to close.
Loader {
    id: loader

    property url view
    property var properties: ({})
    readonly property bool opened: item !== null
    // Where the keyboard was when the dialog opened; it goes back there.
    property Item returnFocus: null

    signal accepted()
    // A dialog's third answer (ConfirmDialog's alternative).
    signal alternative()

    function open(extra) {
        if (item)
            return
        returnFocus = Window.activeFocusItem
        setSource(view, Object.assign({}, properties, extra || {}))
    }

    function close() {
        const dialog = item as T.Popup
        source = ""
        // Unloading deletes it later: hide it now.
        if (dialog && dialog.visible)
            dialog.close()
        if (returnFocus)
            returnFocus.forceActiveFocus()
        returnFocus = null
    }

    Connections {
        target: loader.item
        ignoreUnknownSignals: true
        function onClosed() {
            loader.close()
        }
        function onAccepted() {
            loader.accepted()
        }
        function onAlternative() {
            loader.alternative()
        }
    }
}
