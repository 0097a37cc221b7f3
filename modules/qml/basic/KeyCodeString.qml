pragma Singleton
import QtQuick
import modules.qml
import "keycodes.mjs" as KeyCodes

// The key-code table with the language's key names: name to code (the
// first position with that name; 0 for an unknown name) and code to name
// (the empty text for an unknown code).
QtObject {
    readonly property var codes: KeyCodes.codes
    readonly property var names: KeyCodes.namesWith(Lang.keyCode)

    function code(name: string): int {
        return KeyCodes.codeOf(name, names)
    }

    function name(code: int): string {
        return KeyCodes.nameOf(code, names)
    }
}
