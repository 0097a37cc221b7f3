import QtQuick
import modules.qml

// A caption in the dialogs: secondary colour, one line cut off with an
// ellipsis where it does not fit.
Text {
    color: Theme.textSecondary
    font.pixelSize: Theme.labelSize
    elide: Text.ElideRight
}
