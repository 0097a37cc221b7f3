#include "pointersettings.h"

namespace {
// Placeholder until the desktop's settings are wired: every call is refused.
class RefusingPointerSettings : public PointerSettings
{
public:
    bool setMouseSpeed(unsigned) override { return false; }
    bool setDoubleClickTime(unsigned) override { return false; }
    bool setWheelScrollLines(unsigned) override { return false; }
};
} // namespace

std::unique_ptr<PointerSettings> createPointerSettings()
{
    return std::make_unique<RefusingPointerSettings>();
}
