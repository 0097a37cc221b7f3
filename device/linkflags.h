#pragma once

#include <QString>

// The controller's cached flags that the link's commands depend on: the
// link asks at each use, so it follows the controller it is given to.
class LinkFlags
{
public:
    virtual ~LinkFlags() = default;

    // "mouse/isGun": a recoil-capable mouse.
    virtual bool linkIsGun() const = 0;
    // "mouse/icType": "560" selects the hid560 command set.
    virtual QString linkIcType() const = 0;
};
