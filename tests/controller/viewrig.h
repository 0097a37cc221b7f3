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
    DeviceEntry e;
    e.type = 1;
    e.vid = c.vid;
    e.pid = c.pid;
    e.usagePage = c.usagePage;
    e.usage = c.usage;
    e.usagePage2 = c.usagePage2;
    e.usage2 = c.usage2;
    e.reportLength = c.reportLength;
    e.isEncode = c.scrambling;
    e.sCode = QString::fromStdString(c.secrecyCode);
    e.commandPath = QString::fromStdString(mouse.commandPath());
    e.notifyPath = QString::fromStdString(mouse.notifyPath());
    return e;
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
