#pragma once

#include <QtGlobal>

// The scan code and extended bit a Windows keyboard hook reports for the key
// that Linux names by an evdev code (an X keycode is the evdev code + 8).
namespace evdevscan {

// X keycodes are evdev codes shifted by this much.
constexpr unsigned xKeycodeOffset = 8;

struct ScanCode
{
    quint8 scan = 0; // 0: no such key on a Windows keyboard
    bool extended = false;
};

ScanCode fromEvdev(unsigned evdevCode);
ScanCode fromXKeycode(unsigned xKeycode);

} // namespace evdevscan
