#pragma once

#include "host.h"
#include "reply.h"

#include <optional>

class Widget;

// The window's side of r770ctl's requests: they are performed on the
// window's controller and link, and the scene shows what they stored.
class RequestHost : public ctl::Host
{
public:
    explicit RequestHost(Widget &window) : window(window) {}

    // What the request server calls: the reply, or nothing while the
    // program is busy with the mouse and the request must wait.
    std::optional<ctl::Reply> take(const QStringList &arguments);

    ControllerCore &controller() override;
    Hid_Thread *link() override;
    DeviceEntry entry() override;
    QString refusal() override;
    void show(const QStringList &pages, int activeStage) override;

private:
    Widget &window;
};
