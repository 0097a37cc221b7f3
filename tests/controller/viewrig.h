#pragma once

// Wiring a controller to a virtual mouse the way the host window does.

#include "hid_thread.h"
#include "hidowner.h"
#include "myqquickview.h"
#include "virtual_r770.h"

// The link asks its owner for the controller's cached flags.
class ViewOwner : public HidOwner
{
public:
    myQQuickView *view = nullptr;
    bool ownerIsGun() const override { return view->isGun; }
    QString ownerIcType() const override { return view->icType; }
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

// Links view to the mouse through link and passes the handshake.
inline bool connectView(myQQuickView &view, Hid_Thread &link, ViewOwner &owner,
                        const vr770::VirtualR770 &mouse)
{
    owner.view = &view;
    link.owner = &owner;
    link.replaceDeviceList({entryFor(mouse)});
    const bool ok = link.chkDeviceIsEnCode(0);
    view.hidLink = &link;
    return ok;
}
