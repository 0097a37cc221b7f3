#include "inputhook.h"

#include "platformhooks.h"

namespace {
// Usages of the Alt keys, which the window's key events do not flag.
constexpr quint8 usageLeftAlt = 0xE2;
constexpr quint8 usageRightAlt = 0xE6;
} // namespace

hooklogic::KeyStateTable InputHook::keyStates;
InputHook *InputHook::instance = nullptr;

InputHook::InputHook(bool nonUsHash) : InputHook(nonUsHash, nullptr) {}

InputHook::InputHook(bool nonUsHash, std::unique_ptr<HookBackend> source)
    : useNonUsHash(nonUsHash)
{
    instance = this;
    scanToVk = keymaps::buildScanToVk();
    vkToUsage = keymaps::buildVkToUsage(useNonUsHash);
    backend = source ? std::move(source) : createHookBackend(*this);
    // Without capture the program still runs; nobody needs the result here.
    installHooks();
}

InputHook::~InputHook()
{
    copyDataReceiver.reset();
    removeHooks();
    backend.reset();
    if (instance == this)
        instance = nullptr;
}

bool InputHook::installHooks()
{
    if (hooksInstalled)
        removeHooks();
    hooksInstalled = backend && backend->install();
    return hooksInstalled;
}

void InputHook::removeHooks()
{
    if (backend)
        backend->remove();
    hooksInstalled = false;
}

void InputHook::setKeyboardCallback(KeyboardCallback callback, void *context)
{
    keyboardCallback = callback;
    keyboardContext = context;
}

void InputHook::setMouseCallback(MouseCallback callback, void *context)
{
    mouseCallback = callback;
    mouseContext = context;
}

void InputHook::setCopyDataCallback(CopyDataCallback callback, QCoreApplication *application,
                                    void *context, const QString &windowTitle)
{
    copyDataCallback = callback;
    copyDataContext = context;
    copyDataTitle = windowTitle;
    // The old channel must be gone before a new one takes the same name.
    copyDataReceiver.reset();
    copyDataReceiver = createCopyDataReceiver(*this, application, windowTitle);
}

qintptr InputHook::sendCopyData(const QString &windowTitle, const CopyData &data,
                                const void *skipWindow, int timeoutMs)
{
    return sendCopyDataMessage(windowTitle, data, skipWindow, timeoutMs);
}

bool InputHook::ownsCopyDataWindow(const QString &windowTitle, const void *window) const
{
    return copyDataReceiver && copyDataReceiver->isListening() && copyDataContext == window
           && copyDataTitle == windowTitle;
}

void InputHook::handleKeyboard(unsigned scan, bool extended, bool altDown, bool isDown)
{
    const quint8 usage = hooklogic::usageOf(scanToVk, vkToUsage, scan, extended, altDown);
    if (usage == 0)
        return;
    // The state is kept also while nobody listens.
    if (keyStates.update(usage, isDown) && keyboardCallback)
        keyboardCallback(usage, isDown, keyboardContext);
}

void InputHook::handleMouse(unsigned message, int x, int y)
{
    const hooklogic::ButtonReport report = hooklogic::buttonReport(message);
    if (report.code != 0 && mouseCallback)
        mouseCallback(report.code, report.isDown, x, y, mouseContext);
}

bool InputHook::handleCopyData(const CopyData &data)
{
    if (!copyDataCallback)
        return false;
    copyDataCallback(data, copyDataContext);
    return true;
}

bool InputHook::ownWindowEventsNeeded() const
{
    return !hooksInstalled || !backend->coversOwnWindows();
}

void InputHook::handleWindowKey(quint32 nativeScanCode, bool isDown)
{
    const WindowKey key = windowKeyScanCode(nativeScanCode);
    const bool altDown = keyStates.isDown(usageLeftAlt) || keyStates.isDown(usageRightAlt);
    handleKeyboard(key.scan, key.extended, altDown, isDown);
}

void InputHook::releaseWindowKeys()
{
    for (unsigned usage = 0; usage < 256; ++usage)
        if (keyStates.update(quint8(usage), false) && keyboardCallback)
            keyboardCallback(quint8(usage), false, keyboardContext);
}
