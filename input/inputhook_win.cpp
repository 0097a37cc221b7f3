// System-wide key and button events on Windows: low-level keyboard and mouse
// hooks of the GUI thread. Every event is passed on unchanged.

#include "hooklogic.h"
#include "inputhook.h"
#include "platformhooks.h"

#include <windows.h>

namespace {

HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;

LRESULT CALLBACK keyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    // Calls with a negative code must go on untouched.
    if (nCode >= 0 && InputHook::instance) {
        const auto *info = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        const bool isDown = nCode == HC_ACTION && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN);
        InputHook::instance->handleKeyboard(info->scanCode, (info->flags & LLKHF_EXTENDED) != 0,
                                            (info->flags & LLKHF_ALTDOWN) != 0, isDown);
    }
    return CallNextHookEx(keyboardHook, nCode, wParam, lParam);
}

LRESULT CALLBACK mouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode >= 0 && InputHook::instance) {
        const auto *info = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
        InputHook::instance->handleMouse(unsigned(wParam), info->pt.x, info->pt.y);
    }
    return CallNextHookEx(mouseHook, nCode, wParam, lParam);
}

class WindowsHookBackend : public HookBackend
{
public:
    ~WindowsHookBackend() override { remove(); }

    bool install() override
    {
        remove();
        HMODULE module = GetModuleHandleW(nullptr);
        keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0);
        mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0);
        if (keyboardHook && mouseHook)
            return true;
        // One hook alone is no use: take back the one that did install.
        remove();
        return false;
    }

    void remove() override
    {
        if (keyboardHook)
            UnhookWindowsHookEx(keyboardHook);
        if (mouseHook)
            UnhookWindowsHookEx(mouseHook);
        keyboardHook = nullptr;
        mouseHook = nullptr;
    }
};

} // namespace

std::unique_ptr<HookBackend> createHookBackend(InputHook &)
{
    return std::make_unique<WindowsHookBackend>();
}

// Qt gives bits 16 to 24 of the key message: the scan code and, in bit 8,
// the extended flag.
WindowKey windowKeyScanCode(quint32 nativeScanCode)
{
    constexpr quint32 extendedBit = 0x100;
    return {nativeScanCode & 0xFF, (nativeScanCode & extendedBit) != 0};
}
