#pragma once

#include "hooklogic.h"
#include "keymaps.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QCoreApplication;
class HookBackend;
class CopyDataReceiver;

// One copy-data message: the number that tells its kind and its bytes
// (cbData is bytes.size()).
struct CopyData
{
    quintptr dwData = 0;
    QByteArray bytes;
};

// System-wide capture of key changes and left/right/middle button presses,
// reported as USB HID usage codes, plus the copy-data channel.
class InputHook
{
public:
    using KeyboardCallback = void (*)(unsigned char usage, bool isDown, void *context);
    using MouseCallback = void (*)(unsigned code, bool isDown, int x, int y, void *context);
    using CopyDataCallback = void (*)(const CopyData &data, void *context);

    // Builds the maps and installs the hooks of this platform.
    explicit InputHook(bool useNonUsHash);
    // The same with another event source (tests).
    InputHook(bool useNonUsHash, std::unique_ptr<HookBackend> backend);
    ~InputHook();

    InputHook(const InputHook &) = delete;
    InputHook &operator=(const InputHook &) = delete;

    bool useNonUsHash;

    // Built once by the constructor; read-only afterwards.
    keymaps::ScanToVkMap scanToVk;
    keymaps::VkToUsageMap vkToUsage;

    // Last reported state of every usage, for the whole process.
    static hooklogic::KeyStateTable keyStates;
    // The hook the platform sources report to (the latest constructed).
    static InputHook *instance;

    // Installs both event sources; a second call replaces the first
    // installation. False (and nothing installed) when they are not available.
    bool installHooks();
    void removeHooks();

    void setKeyboardCallback(KeyboardCallback callback, void *context);
    void setMouseCallback(MouseCallback callback, void *context);
    // Registers the copy-data callback and opens the channel of the window
    // whose title is windowTitle; the context is that window.
    void setCopyDataCallback(CopyDataCallback callback, QCoreApplication *application,
                             void *context, const QString &windowTitle = QString());

    // Sends a copy-data message to the window titled windowTitle and returns
    // its answer: 1 when it was handled, 0 when there is no such window, it
    // has no copy-data callback or it did not answer in time. When skipWindow
    // is that window (here: the context registered in this process with that
    // title), nothing is sent and skipWindow is returned.
    static qintptr sendCopyData(const QString &windowTitle, const CopyData &data,
                                const void *skipWindow = nullptr, int timeoutMs = 30000);

    // Entry points of the platform event sources.
    // One key change: scan code, extended and Alt-held flags, down or up.
    void handleKeyboard(unsigned scan, bool extended, bool altDown, bool isDown);
    // One Windows mouse message (WM_LBUTTONDOWN .. WM_MBUTTONUP) at a screen position.
    void handleMouse(unsigned message, int x, int y);
    // One received copy-data message; false when no callback takes it.
    bool handleCopyData(const CopyData &data);

    // Whether the program's own windows must report their key and button
    // events (WindowInputTap): where no capture is installed, or where the
    // installed one does not see them. Where it does, they report nothing,
    // so that every key reaches the callbacks once.
    bool ownWindowEventsNeeded() const;
    // One key change in the program's own window, by Qt's native scan code.
    void handleWindowKey(quint32 nativeScanCode, bool isDown);
    // The window lost the keyboard: the keys it saw go down are reported
    // released, since their releases now go to another window.
    void releaseWindowKeys();

    // Whether this hook's copy-data channel is the one of windowTitle and
    // belongs to window.
    bool ownsCopyDataWindow(const QString &windowTitle, const void *window) const;

private:
    std::unique_ptr<HookBackend> backend;
    std::unique_ptr<CopyDataReceiver> copyDataReceiver;
    bool hooksInstalled = false;

    KeyboardCallback keyboardCallback = nullptr;
    void *keyboardContext = nullptr;
    MouseCallback mouseCallback = nullptr;
    void *mouseContext = nullptr;
    CopyDataCallback copyDataCallback = nullptr;
    void *copyDataContext = nullptr;
    QString copyDataTitle;
};
