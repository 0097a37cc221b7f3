import QtQuick

// A compiled-in picture decoded only while its item is visible: the scene
// stays invisible until its first initialisation (hidden in the tray with no
// mouse, it never shows), and pictures that have gone, like the start-up
// logo, let their pixels go.
Image {
    // The picture's address; `source` follows it while the item is visible.
    property url file

    source: visible ? file : ""
    // Let go means freed, not kept in the pixmap cache.
    cache: false
}
