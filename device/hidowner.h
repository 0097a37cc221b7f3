#pragma once

#include <QString>

// The device events the link reports to the object that owns it (the host
// window), through this narrow seam instead of knowing the window class.
class HidOwner
{
public:
    virtual ~HidOwner() = default;

    // Called from the device watch thread. Implementations must hand the
    // work to the GUI thread (queued), never touch widgets directly.
    virtual void deviceStageChanged(int stage, const QString &trayText) = 0;
    virtual void deviceRemoved() = 0;
};
