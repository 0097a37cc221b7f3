#pragma once

#include <QString>

// What the device link needs of the object that owns it (the host window).
// The link reaches the controller's cached flags and the GUI through this
// narrow seam instead of knowing the window class.
class HidOwner
{
public:
    virtual ~HidOwner() = default;

    // The controller's cached "mouse/isGun" and "mouse/icType".
    virtual bool ownerIsGun() const = 0;
    virtual QString ownerIcType() const = 0;

    // Called from the device watch thread. Implementations must hand the
    // work to the GUI thread (queued), never touch widgets directly.
    virtual void deviceStageChanged(int stage, const QString &trayText) = 0;
    virtual void deviceRemoved() = 0;
};
