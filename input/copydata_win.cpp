// The copy-data channel on Windows: WM_COPYDATA seen by an application-wide
// native event filter, sent with SendMessageW.

#include "copydata.h"
#include "platformhooks.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

class NativeCopyDataReceiver : public QAbstractNativeEventFilter, public CopyDataReceiver
{
public:
    NativeCopyDataReceiver(InputHook &owner, QCoreApplication *app)
        : hook(owner), application(app)
    {
        if (application)
            application->installNativeEventFilter(this);
    }

    ~NativeCopyDataReceiver() override
    {
        if (application)
            application->removeNativeEventFilter(this);
    }

    bool isListening() const override { return application != nullptr; }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *result) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message != WM_COPYDATA)
            return false;
        const auto *cds = reinterpret_cast<const COPYDATASTRUCT *>(msg->lParam);
        // Every message is consumed; oversized or empty-pointer blocks are dropped.
        if (!cds || cds->cbData > DWORD(copydata::maxBytes) || (cds->cbData && !cds->lpData)) {
            *result = 0;
            return true;
        }
        CopyData data;
        data.dwData = quintptr(cds->dwData);
        data.bytes = QByteArray(static_cast<const char *>(cds->lpData), int(cds->cbData));
        if (!hook.handleCopyData(data))
            return false;
        *result = 1;
        return true;
    }

private:
    InputHook &hook;
    QCoreApplication *application;
};

} // namespace

std::unique_ptr<CopyDataReceiver> createCopyDataReceiver(InputHook &hook,
                                                         QCoreApplication *application,
                                                         const QString &)
{
    return std::make_unique<NativeCopyDataReceiver>(hook, application);
}

qintptr sendCopyDataMessage(const QString &windowTitle, const CopyData &data,
                            const void *skipWindow, int)
{
    if (data.bytes.size() > copydata::maxBytes)
        return 0;
    HWND window = FindWindowW(nullptr, reinterpret_cast<LPCWSTR>(windowTitle.utf16()));
    if (skipWindow && window == static_cast<HWND>(const_cast<void *>(skipWindow)))
        return reinterpret_cast<qintptr>(window);
    if (!IsWindow(window))
        return 0;
    COPYDATASTRUCT cds;
    cds.dwData = ULONG_PTR(data.dwData);
    cds.cbData = DWORD(data.bytes.size());
    cds.lpData = const_cast<char *>(data.bytes.constData());
    return qintptr(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)));
}
