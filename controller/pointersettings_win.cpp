#include "pointersettings.h"

#include <windows.h>

namespace {

// Every change is written to the user profile and broadcast to all windows.
constexpr UINT updateAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

class WindowsPointerSettings : public PointerSettings
{
public:
    bool setMouseSpeed(unsigned speed) override
    {
        // The speed travels as the pointer value itself.
        return SystemParametersInfoW(SPI_SETMOUSESPEED, 0,
                                     reinterpret_cast<PVOID>(static_cast<UINT_PTR>(speed)),
                                     updateAndBroadcast) != 0;
    }

    bool setDoubleClickTime(unsigned milliseconds) override
    {
        return SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, milliseconds, nullptr,
                                     updateAndBroadcast) != 0;
    }

    bool setWheelScrollLines(unsigned lines) override
    {
        return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr,
                                     updateAndBroadcast) != 0;
    }
};

} // namespace

std::unique_ptr<PointerSettings> createPointerSettings()
{
    return std::make_unique<WindowsPointerSettings>();
}
