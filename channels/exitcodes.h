#pragma once

// r770ctl's exit status, one per kind of outcome, as --help and the manual
// page list them.
namespace ctl {

enum ExitCode : int {
    Success = 0,
    UsageError = 2,       // bad command, option or value; nothing changed
    NoMouse = 3,          // no mouse found, or found but not openable
    HandshakeRefused = 4, // a mouse answered the handshake wrongly
    DeviceError = 5,      // the mouse failed during the command or the handshake
    FileError = 6,        // a file could not be read or written
    MouseInUse = 7,       // the tray program (or another r770ctl) holds the mouse
};

} // namespace ctl
