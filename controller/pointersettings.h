#pragma once

#include <memory>
#include <optional>

// The system's pointer settings (speed, double-click time, wheel lines).
// One implementation file per platform; each call returns whether the
// system took the value.
class PointerSettings
{
public:
    enum class Setting { Speed, DoubleClickTime, WheelScrollLines };

    virtual ~PointerSettings() = default;
    // Whether the system has the setting at all (a desktop may keep no
    // wheel scroll lines); a missing one is never set.
    virtual bool has(Setting) const { return true; }
    // Windows pointer speed 1 to 20.
    virtual bool setMouseSpeed(unsigned speed) = 0;
    virtual bool setDoubleClickTime(unsigned milliseconds) = 0;
    virtual bool setWheelScrollLines(unsigned lines) = 0;
};

std::unique_ptr<PointerSettings> createPointerSettings();

// The scene's slider steps (0 to 10) as system values.
namespace pointervalues {

constexpr unsigned maxSpeedStep = 10;

// Pointer speed step -> Windows speed 1, 2, 4, ... 20.
unsigned windowsSpeed(unsigned cursorSpeed);

// Double-click speed step -> 900 ms down in 70 ms steps; none for steps
// that would make the time negative.
std::optional<unsigned> doubleClickTime(unsigned speed);

// Windows speed 1 to 20 -> the desktop's relative speed -1 to 1, the
// eleven steps spread evenly.
double desktopSpeed(unsigned windowsSpeed);

} // namespace pointervalues
