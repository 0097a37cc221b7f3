#pragma once

#include <QtGlobal>
#include <map>

// The two fixed translation steps from a keyboard scan code to a USB HID
// keyboard usage id: scan code and extended bit to Windows virtual key, then
// virtual key to usage. A key without a row reads as 0 (not reported).
namespace keymaps {

// Key of scanToVk: scan code * 256 + extended bit.
using ScanToVkMap = std::map<quint16, quint8>;
using VkToUsageMap = std::map<quint8, quint8>;

constexpr quint16 scanKey(unsigned scan, bool extended)
{
    return quint16(scan * 256 + (extended ? 1 : 0));
}

ScanToVkMap buildScanToVk();
// useNonUsHash chooses the usage of the backslash key (virtual key DC).
VkToUsageMap buildVkToUsage(bool useNonUsHash);

quint8 lookup(const ScanToVkMap &map, quint16 key);
quint8 lookup(const VkToUsageMap &map, quint8 vk);

} // namespace keymaps
