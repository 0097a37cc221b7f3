#include "keymaps.h"

#include <initializer_list>

namespace keymaps {
namespace {

// A run of consecutive scan codes (same extended bit) and their virtual keys.
struct ScanRun
{
    quint8 firstScan;
    bool extended;
    std::initializer_list<quint8> vks;
};

const ScanRun scanRuns[] = {
    // Not extended.
    {0x01, false, {0x1B}},                                                 // Escape
    {0x02, false, {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39}}, // 1 to 9
    {0x0B, false, {0x30}},                                                 // 0
    {0x0C, false, {0xBD, 0xBB}},                                           // - =
    {0x0E, false, {0x08, 0x09}},                                           // Backspace, Tab
    {0x10, false, {0x51, 0x57, 0x45, 0x52, 0x54, 0x59, 0x55, 0x49, 0x4F, 0x50}}, // Q to P
    {0x1A, false, {0xDB, 0xDD}},                                           // [ ]
    {0x1C, false, {0x0D}},                                                 // Enter
    {0x1D, false, {0xA2}},                                                 // left Ctrl
    {0x1E, false, {0x41, 0x53, 0x44, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C}}, // A to L
    {0x27, false, {0xBA, 0xDE, 0xC0}},                                     // ; ' `
    {0x2A, false, {0xA0}},                                                 // left Shift
    {0x2B, false, {0xDC}},                                                 // backslash
    {0x2C, false, {0x5A, 0x58, 0x43, 0x56, 0x42, 0x4E, 0x4D}},             // Z to M
    {0x33, false, {0xBC, 0xBE, 0xBF}},                                     // , . /
    {0x37, false, {0x6A}},                                                 // keypad *
    {0x38, false, {0xA4}},                                                 // left Alt
    {0x39, false, {0x20}},                                                 // Space
    {0x3A, false, {0x14}},                                                 // Caps Lock
    {0x3B, false, {0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79}}, // F1 to F10
    {0x45, false, {0x13}},                                                 // Pause
    {0x46, false, {0x91}},                                                 // Scroll Lock
    {0x47, false, {0x67, 0x68, 0x69}},                                     // keypad 7 8 9
    {0x4A, false, {0x6D}},                                                 // keypad -
    {0x4B, false, {0x64, 0x65, 0x66}},                                     // keypad 4 5 6
    {0x4E, false, {0x6B}},                                                 // keypad +
    {0x4F, false, {0x61, 0x62, 0x63}},                                     // keypad 1 2 3
    {0x52, false, {0x60, 0x6E}},                                           // keypad 0 .
    {0x56, false, {0xE2}},                                                 // 102nd key
    {0x57, false, {0x7A, 0x7B}},                                           // F11, F12
    {0x6E, false, {0x86}},                                                 // F23
    // Extended.
    {0x1C, true, {0x0E}},                                                  // keypad Enter
    {0x1D, true, {0xA3}},                                                  // right Ctrl
    {0x35, true, {0x6F}},                                                  // keypad /
    {0x36, true, {0xA1}},                                                  // right Shift
    {0x37, true, {0x2C}},                                                  // Print Screen
    {0x38, true, {0xA5}},                                                  // right Alt
    {0x45, true, {0x90}},                                                  // Num Lock
    {0x47, true, {0x24, 0x26, 0x21}},                                      // Home, Up, Page Up
    {0x4B, true, {0x25}},                                                  // Left
    {0x4D, true, {0x27}},                                                  // Right
    {0x4F, true, {0x23, 0x28, 0x22}},                                      // End, Down, Page Down
    {0x52, true, {0x2D, 0x2E}},                                            // Insert, Delete
    {0x5B, true, {0x5B}},                                                  // left Windows key
    {0x5D, true, {0x5D}},                                                  // Application key
};

// A run of consecutive virtual keys and their usages.
struct VkRun
{
    quint8 firstVk;
    std::initializer_list<quint8> usages;
};

constexpr quint8 vkBackslash = 0xDC;
constexpr quint8 usageBackslash = 0x31;
constexpr quint8 usageNonUsHash = 0x32;

const VkRun vkRuns[] = {
    {0x08, {0x2A, 0x2B}},                   // Backspace, Tab
    {0x0D, {0x28, 0x58}},                   // Enter, keypad Enter
    {0x13, {0x48, 0x39}},                   // Pause, Caps Lock
    {0x1B, {0x29}},                         // Escape
    {0x20, {0x2C}},                         // Space
    {0x21, {0x4B, 0x4E, 0x4D, 0x4A}},       // Page Up, Page Down, End, Home
    {0x25, {0x50, 0x52, 0x4F, 0x51}},       // Left, Up, Right, Down
    {0x2C, {0x46, 0x49, 0x4C}},             // Print Screen, Insert, Delete
    {0x30, {0x27, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26}}, // 0 to 9
    {0x41, {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10,
            0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D}}, // A to Z
    {0x5B, {0xE3, 0xE7, 0x65}},             // left, right Windows key, Application
    {0x60, {0x62, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x61}}, // keypad 0 to 9
    {0x6A, {0x55, 0x57}},                   // keypad * +
    {0x6D, {0x56, 0x63, 0x54}},             // keypad - . /
    {0x70, {0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45}}, // F1 to F12
    {0x7C, {0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x73}}, // F13 to F24
    {0x90, {0x53, 0x47}},                   // Num Lock, Scroll Lock
    {0xA0, {0xE1, 0xE5, 0xE0, 0xE4, 0xE2, 0xE6}}, // Shift, Ctrl, Alt (left, right)
    {0xBA, {0x33, 0x2E, 0x36, 0x2D, 0x37, 0x38}}, // ; = , - . /
    {0xC0, {0x35, 0x87, 0x85}},             // `, international 1, keypad comma
    {0xDB, {0x2F, usageBackslash, 0x30, 0x34}}, // [ \ ] '
    {0xE2, {0x64}},                         // 102nd key
    {0xEB, {0x8B}},                         // international 5
    {0xFF, {0x66}},                         // power
};

} // namespace

ScanToVkMap buildScanToVk()
{
    ScanToVkMap map;
    for (const ScanRun &run : scanRuns) {
        unsigned scan = run.firstScan;
        for (quint8 vk : run.vks)
            map[scanKey(scan++, run.extended)] = vk;
    }
    return map;
}

VkToUsageMap buildVkToUsage(bool useNonUsHash)
{
    VkToUsageMap map;
    for (const VkRun &run : vkRuns) {
        unsigned vk = run.firstVk;
        for (quint8 usage : run.usages)
            map[quint8(vk++)] = usage;
    }
    if (useNonUsHash)
        map[vkBackslash] = usageNonUsHash;
    return map;
}

quint8 lookup(const ScanToVkMap &map, quint16 key)
{
    const auto it = map.find(key);
    return it == map.end() ? 0 : it->second;
}

quint8 lookup(const VkToUsageMap &map, quint8 vk)
{
    const auto it = map.find(vk);
    return it == map.end() ? 0 : it->second;
}

} // namespace keymaps
