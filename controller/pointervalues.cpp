#include "pointersettings.h"

#include <algorithm>

namespace pointervalues {

namespace {
constexpr unsigned slowestWindowsSpeed = 1;
constexpr unsigned windowsSpeedPerStep = 2;
constexpr unsigned slowestDoubleClick = 900;
constexpr unsigned doubleClickPerStep = 70;
} // namespace

unsigned windowsSpeed(unsigned cursorSpeed)
{
    const unsigned speed = windowsSpeedPerStep * cursorSpeed;
    return speed == 0 ? slowestWindowsSpeed : speed;
}

std::optional<unsigned> doubleClickTime(unsigned speed)
{
    if (speed > slowestDoubleClick / doubleClickPerStep)
        return std::nullopt;
    return slowestDoubleClick - doubleClickPerStep * speed;
}

double desktopSpeed(unsigned windowsSpeed)
{
    const unsigned step = std::min(windowsSpeed / windowsSpeedPerStep, maxSpeedStep);
    return -1.0 + 2.0 * step / maxSpeedStep;
}

} // namespace pointervalues
