#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

class InputHook;
class QCoreApplication;
struct CopyData;

// The platform's source of system-wide key and button events. It reports to
// the hook's handleKeyboard/handleMouse and never alters or swallows events.
class HookBackend
{
public:
    virtual ~HookBackend() = default;
    // Both event kinds or nothing. May be called again after remove().
    virtual bool install() = 0;
    virtual void remove() = 0;
    // Whether, while installed, the events of the program's own windows are
    // among those reported. Where they are not, the windows report their own
    // (see WindowInputTap).
    virtual bool coversOwnWindows() const { return true; }
};

std::unique_ptr<HookBackend> createHookBackend(InputHook &hook);

// The scan code and extended bit of a key event of the program's own window,
// from the native scan code Qt gives it (whose meaning is the platform's).
struct WindowKey
{
    unsigned scan = 0; // 0: no such key on a Windows keyboard
    bool extended = false;
};

WindowKey windowKeyScanCode(quint32 nativeScanCode);

// The platform's receiving end of the copy-data channel: it hands every
// message to the hook's handleCopyData while it exists.
class CopyDataReceiver
{
public:
    virtual ~CopyDataReceiver() = default;
    virtual bool isListening() const = 0;
};

std::unique_ptr<CopyDataReceiver> createCopyDataReceiver(InputHook &hook,
                                                         QCoreApplication *application,
                                                         const QString &windowTitle);

// The sending end: the receiver's answer, 0 when there is none; skipWindow
// itself when it is the receiving window (nothing is sent then).
qintptr sendCopyDataMessage(const QString &windowTitle, const CopyData &data,
                            const void *skipWindow, int timeoutMs);
