#pragma once

#include <QByteArray>
#include <QString>

class QCoreApplication;

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

    explicit InputHook(bool useNonUsHash);
    ~InputHook();

    bool useNonUsHash;

    bool installHooks();
    void removeHooks();
    void setKeyboardCallback(KeyboardCallback callback, void *context);
    void setMouseCallback(MouseCallback callback, void *context);
    void setCopyDataCallback(CopyDataCallback callback, QCoreApplication *application,
                             void *context);
};
