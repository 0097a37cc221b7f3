import QtQuick
import "../basic/namelists.mjs" as NameLists

// The macro names, in the macro list's order: read at the first
// initialisation (the key assignment dialog offers them and the macro editor
// edits them) and written back whole after every change.
QtObject {
    property var uiView

    property var names: []

    function init() {
        names = NameLists.withoutPadding(uiView.getNameList(0))
    }

    function write() {
        uiView.updataNameList(0, names)
    }
}
