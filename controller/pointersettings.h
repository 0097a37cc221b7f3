#pragma once

#include <memory>

// The system's pointer settings (speed, double-click time, wheel lines).
// One implementation file per platform; each call returns whether the
// system took the value.
class PointerSettings
{
public:
    virtual ~PointerSettings() = default;
    // Windows pointer speed 1 to 20.
    virtual bool setMouseSpeed(unsigned speed) = 0;
    virtual bool setDoubleClickTime(unsigned milliseconds) = 0;
    virtual bool setWheelScrollLines(unsigned lines) = 0;
};

std::unique_ptr<PointerSettings> createPointerSettings();
