#include "hooklogic.h"

namespace hooklogic {

quint8 virtualKey(const keymaps::ScanToVkMap &scanToVk, unsigned scan, bool extended,
                  bool altDown)
{
    if (scan > maxScanCode)
        scan = 0;
    if (scan == scanBreak && extended)
        return vkPause;
    if (scan == scanSysRq && altDown)
        return vkPrintScreen;
    return keymaps::lookup(scanToVk, keymaps::scanKey(scan, extended));
}

quint8 usageOf(const keymaps::ScanToVkMap &scanToVk, const keymaps::VkToUsageMap &vkToUsage,
               unsigned scan, bool extended, bool altDown)
{
    const quint8 vk = virtualKey(scanToVk, scan, extended, altDown);
    return vk == 0 ? 0 : keymaps::lookup(vkToUsage, vk);
}

bool KeyStateTable::update(quint8 usage, bool isDown)
{
    if (states[usage] == isDown)
        return false;
    states[usage] = isDown;
    return true;
}

ButtonReport buttonReport(unsigned message)
{
    if (message < WmLButtonDown || message > WmMButtonUp)
        return {};
    const unsigned i = message - WmLButtonDown;
    return {buttonCodes[i], buttonDown[i]};
}

} // namespace hooklogic
