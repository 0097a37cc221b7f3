#pragma once

// Wiring a controller to a virtual mouse the way the host window does.

#include "hid_thread.h"
#include "hidowner.h"
#include "myqquickview.h"
#include "virtual_r770.h"

// The window's part as the link's owner: device events, here ignored.
class ViewOwner : public HidOwner
{
public:
    void deviceStageChanged(int, const QString &) override {}
    void deviceRemoved() override {}
};

// The device-table entry that discovery would build for the mouse.
inline DeviceEntry entryFor(const vr770::VirtualR770 &mouse)
{
    const vr770::MouseConfig c = mouse.config();
    return {1, c.vid, c.pid, c.usagePage, c.usage, c.usagePage2, c.usage2, c.reportLength,
            c.scrambling, QString::fromStdString(c.secrecyCode),
            QString::fromStdString(mouse.commandPath()), QString::fromStdString(mouse.notifyPath())};
}

// Links view to the mouse through link and passes the handshake; the link
// takes the view's flags.
inline bool connectView(myQQuickView &view, Hid_Thread &link, ViewOwner &owner,
                        const vr770::VirtualR770 &mouse)
{
    link.owner = &owner;
    link.replaceDeviceList({entryFor(mouse)});
    const bool ok = link.chkDeviceIsEnCode(0);
    view.setHidLink(&link);
    return ok;
}
