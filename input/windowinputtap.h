#pragma once

#include <QObject>

class InputHook;

// Hands the key and button events of one of the program's own windows to the
// hook while the hook says it needs them (see
// InputHook::ownWindowEventsNeeded): on a Wayland session the X11 capture
// sees only X clients, and without a capture nothing is seen at all. The
// events then reach the callbacks as the capture's would. The window still
// gets every event: the tap only watches. It must not outlive the hook.
class WindowInputTap : public QObject
{
public:
    WindowInputTap(InputHook &hook, QObject *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    InputHook &hook;
};
