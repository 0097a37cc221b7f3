#include "evdevscancodes.h"

#include <map>

namespace evdevscan {
namespace {

struct Row
{
    quint16 evdev;
    quint8 scan;
    bool extended;
};

// evdev codes (linux/input-event-codes.h) to PC set-1 scan codes as the
// Windows keyboard hook sees them. Right Shift is reported extended there.
const Row rows[] = {
    {1, 0x01, false},   // KEY_ESC
    {2, 0x02, false},   {3, 0x03, false},  {4, 0x04, false},  {5, 0x05, false},
    {6, 0x06, false},   {7, 0x07, false},  {8, 0x08, false},  {9, 0x09, false},
    {10, 0x0A, false},  {11, 0x0B, false}, // KEY_1 to KEY_0
    {12, 0x0C, false},  // KEY_MINUS
    {13, 0x0D, false},  // KEY_EQUAL
    {14, 0x0E, false},  // KEY_BACKSPACE
    {15, 0x0F, false},  // KEY_TAB
    {16, 0x10, false},  {17, 0x11, false}, {18, 0x12, false}, {19, 0x13, false},
    {20, 0x14, false},  {21, 0x15, false}, {22, 0x16, false}, {23, 0x17, false},
    {24, 0x18, false},  {25, 0x19, false}, // KEY_Q to KEY_P
    {26, 0x1A, false},  // KEY_LEFTBRACE
    {27, 0x1B, false},  // KEY_RIGHTBRACE
    {28, 0x1C, false},  // KEY_ENTER
    {29, 0x1D, false},  // KEY_LEFTCTRL
    {30, 0x1E, false},  {31, 0x1F, false}, {32, 0x20, false}, {33, 0x21, false},
    {34, 0x22, false},  {35, 0x23, false}, {36, 0x24, false}, {37, 0x25, false},
    {38, 0x26, false},  // KEY_A to KEY_L
    {39, 0x27, false},  // KEY_SEMICOLON
    {40, 0x28, false},  // KEY_APOSTROPHE
    {41, 0x29, false},  // KEY_GRAVE
    {42, 0x2A, false},  // KEY_LEFTSHIFT
    {43, 0x2B, false},  // KEY_BACKSLASH
    {44, 0x2C, false},  {45, 0x2D, false}, {46, 0x2E, false}, {47, 0x2F, false},
    {48, 0x30, false},  {49, 0x31, false}, {50, 0x32, false}, // KEY_Z to KEY_M
    {51, 0x33, false},  // KEY_COMMA
    {52, 0x34, false},  // KEY_DOT
    {53, 0x35, false},  // KEY_SLASH
    {54, 0x36, true},   // KEY_RIGHTSHIFT
    {55, 0x37, false},  // KEY_KPASTERISK
    {56, 0x38, false},  // KEY_LEFTALT
    {57, 0x39, false},  // KEY_SPACE
    {58, 0x3A, false},  // KEY_CAPSLOCK
    {59, 0x3B, false},  {60, 0x3C, false}, {61, 0x3D, false}, {62, 0x3E, false},
    {63, 0x3F, false},  {64, 0x40, false}, {65, 0x41, false}, {66, 0x42, false},
    {67, 0x43, false},  {68, 0x44, false}, // KEY_F1 to KEY_F10
    {69, 0x45, true},   // KEY_NUMLOCK
    {70, 0x46, false},  // KEY_SCROLLLOCK
    {71, 0x47, false},  {72, 0x48, false}, {73, 0x49, false}, // KEY_KP7 to KEY_KP9
    {74, 0x4A, false},  // KEY_KPMINUS
    {75, 0x4B, false},  {76, 0x4C, false}, {77, 0x4D, false}, // KEY_KP4 to KEY_KP6
    {78, 0x4E, false},  // KEY_KPPLUS
    {79, 0x4F, false},  {80, 0x50, false}, {81, 0x51, false}, // KEY_KP1 to KEY_KP3
    {82, 0x52, false},  // KEY_KP0
    {83, 0x53, false},  // KEY_KPDOT
    {86, 0x56, false},  // KEY_102ND
    {87, 0x57, false},  // KEY_F11
    {88, 0x58, false},  // KEY_F12
    {89, 0x73, false},  // KEY_RO
    {92, 0x79, false},  // KEY_HENKAN
    {93, 0x70, false},  // KEY_KATAKANAHIRAGANA
    {94, 0x7B, false},  // KEY_MUHENKAN
    {96, 0x1C, true},   // KEY_KPENTER
    {97, 0x1D, true},   // KEY_RIGHTCTRL
    {98, 0x35, true},   // KEY_KPSLASH
    {99, 0x37, true},   // KEY_SYSRQ (Print Screen)
    {100, 0x38, true},  // KEY_RIGHTALT
    {102, 0x47, true},  // KEY_HOME
    {103, 0x48, true},  // KEY_UP
    {104, 0x49, true},  // KEY_PAGEUP
    {105, 0x4B, true},  // KEY_LEFT
    {106, 0x4D, true},  // KEY_RIGHT
    {107, 0x4F, true},  // KEY_END
    {108, 0x50, true},  // KEY_DOWN
    {109, 0x51, true},  // KEY_PAGEDOWN
    {110, 0x52, true},  // KEY_INSERT
    {111, 0x53, true},  // KEY_DELETE
    {113, 0x20, true},  // KEY_MUTE
    {114, 0x2E, true},  // KEY_VOLUMEDOWN
    {115, 0x30, true},  // KEY_VOLUMEUP
    {116, 0x5E, true},  // KEY_POWER
    {117, 0x59, false}, // KEY_KPEQUAL
    {119, 0x45, false}, // KEY_PAUSE
    {121, 0x7E, false}, // KEY_KPCOMMA
    {124, 0x7D, false}, // KEY_YEN
    {125, 0x5B, true},  // KEY_LEFTMETA
    {126, 0x5C, true},  // KEY_RIGHTMETA
    {127, 0x5D, true},  // KEY_COMPOSE (menu key)
    {142, 0x5F, true},  // KEY_SLEEP
    {143, 0x63, true},  // KEY_WAKEUP
    {163, 0x19, true},  // KEY_NEXTSONG
    {164, 0x22, true},  // KEY_PLAYPAUSE
    {165, 0x10, true},  // KEY_PREVIOUSSONG
    {166, 0x24, true},  // KEY_STOPCD
    {183, 0x64, false}, {184, 0x65, false}, {185, 0x66, false}, {186, 0x67, false},
    {187, 0x68, false}, {188, 0x69, false}, {189, 0x6A, false}, {190, 0x6B, false},
    {191, 0x6C, false}, {192, 0x6D, false}, {193, 0x6E, false}, {194, 0x76, false},
    // KEY_F13 to KEY_F24
};

const std::map<unsigned, ScanCode> &table()
{
    static const std::map<unsigned, ScanCode> map = [] {
        std::map<unsigned, ScanCode> m;
        for (const Row &row : rows)
            m[row.evdev] = {row.scan, row.extended};
        return m;
    }();
    return map;
}

} // namespace

ScanCode fromEvdev(unsigned evdevCode)
{
    const auto &map = table();
    const auto it = map.find(evdevCode);
    return it == map.end() ? ScanCode{} : it->second;
}

ScanCode fromXKeycode(unsigned xKeycode)
{
    if (xKeycode < xKeycodeOffset)
        return {};
    return fromEvdev(xKeycode - xKeycodeOffset);
}

} // namespace evdevscan
