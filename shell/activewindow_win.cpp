// No window tracking on this platform yet: automatic profiles stay idle.

#include "activewindow.h"

namespace {
class NoActiveWindow : public ActiveWindowSource
{
public:
    Reach reach() const override { return Reach::Nothing; }
    std::optional<autoprofiles::Window> active() override { return std::nullopt; }
    QList<autoprofiles::Window> openWindows() override { return {}; }
};
} // namespace

std::unique_ptr<ActiveWindowSource> createActiveWindowSource()
{
    return std::make_unique<NoActiveWindow>();
}
