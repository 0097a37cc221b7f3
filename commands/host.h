#pragma once

#include "deviceentry.h"

#include <QString>
#include <QStringList>

class ControllerCore;
class Hid_Thread;

namespace ctl {

// A program that holds the mouse and performs r770ctl's requests itself
// (the tray program): its controller, its link, and its view of the files.
class Host
{
public:
    virtual ~Host() = default;

    virtual ControllerCore &controller() = 0;
    // The link to the accepted mouse and its entry; null while none is.
    virtual Hid_Thread *link() = 0;
    virtual DeviceEntry entry() = 0;
    // Why a request that changes something is refused now (for instance
    // the window holds unsaved edits it would mix with); empty when it is not.
    virtual QString refusal() = 0;
    // Shows what a request stored: the pages named read the files again
    // without sending anything; `activeStage` (from 1) is the DPI stage the
    // request made active, 0 for none.
    virtual void show(const QStringList &pages, int activeStage) = 0;
};

} // namespace ctl
