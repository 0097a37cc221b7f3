#pragma once

#include "keymaps.h"

#include <QtGlobal>
#include <array>

// What the keyboard and mouse hooks do with one event, independent of where
// the event comes from (Windows low-level hooks, X11 raw events).
namespace hooklogic {

// Scan codes above this read as 0, which has no row.
constexpr unsigned maxScanCode = 0xFF;

// Keys the hook supplies itself: Ctrl+Break arrives as scan 46 extended and
// stands for Pause; Alt+SysRq arrives as scan 54 and stands for Print Screen.
constexpr unsigned scanBreak = 0x46;
constexpr unsigned scanSysRq = 0x54;
constexpr quint8 vkPause = 0x13;
constexpr quint8 vkPrintScreen = 0x2C;

// Virtual key of a key event, 0 when it is not reported.
quint8 virtualKey(const keymaps::ScanToVkMap &scanToVk, unsigned scan, bool extended,
                  bool altDown);

// Usage id of a key event, 0 when it is not reported.
quint8 usageOf(const keymaps::ScanToVkMap &scanToVk, const keymaps::VkToUsageMap &vkToUsage,
               unsigned scan, bool extended, bool altDown);

// The last reported state of every usage. update() stores a change and says
// whether it is one: auto-repeated presses and releases of keys whose press
// was never seen are not changes.
class KeyStateTable
{
public:
    bool update(quint8 usage, bool isDown);
    bool isDown(quint8 usage) const { return states[usage]; }

private:
    std::array<bool, 256> states{};
};

// Windows mouse messages from WM_LBUTTONDOWN to WM_MBUTTONUP.
constexpr unsigned WmLButtonDown = 0x0201;
constexpr unsigned WmLButtonUp = 0x0202;
constexpr unsigned WmLButtonDblClk = 0x0203;
constexpr unsigned WmRButtonDown = 0x0204;
constexpr unsigned WmRButtonUp = 0x0205;
constexpr unsigned WmRButtonDblClk = 0x0206;
constexpr unsigned WmMButtonDown = 0x0207;
constexpr unsigned WmMButtonUp = 0x0208;

constexpr unsigned buttonLeft = 0xF0;
constexpr unsigned buttonRight = 0xF1;
constexpr unsigned buttonMiddle = 0xF2;

// Button code (0 when not reported) and direction per message, from
// WM_LBUTTONDOWN on.
constexpr std::array<unsigned, 8> buttonCodes = {
    buttonLeft, buttonLeft, 0, buttonRight, buttonRight, 0, buttonMiddle, buttonMiddle};
constexpr std::array<bool, 8> buttonDown = {true, false, false, true, false, false, true, false};

struct ButtonReport
{
    unsigned code = 0; // 0: not reported
    bool isDown = false;
};

ButtonReport buttonReport(unsigned message);

} // namespace hooklogic
