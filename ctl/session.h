#pragma once

#include "reply.h"

#include "deviceentry.h"
#include "hid_thread.h"

#include <QString>
#include <memory>

class ControllerCore;
namespace localchannel {
class InstanceLock;
}

namespace ctl {

// r770ctl's hold on the mouse for one request: nothing else of ours talks
// to it meanwhile, and the mouse found, verified and ready for the core.
class Session
{
public:
    explicit Session(ControllerCore &core);
    ~Session();

    // How a request that needs the mouse or changes files goes on.
    struct Claim
    {
        enum Kind {
            Here,     // this process holds the mouse now
            Answered, // a running tray program performed it: its reply
            Refused,  // the mouse could not be had: why
        } kind = Here;
        Reply reply;
    };
    // Hands `request` (the words after "r770ctl") to a running tray program;
    // without one, waits until no other r770ctl holds the mouse and keeps it
    // for this process.
    Claim claim(const QStringList &request);

    enum class State { Connected, NotFound, Unopenable, Refused, Failed };
    // Finds the mouse as the window does (same device table, same
    // handshake) and prepares the core for it. On a hid560 mouse the device
    // profiles are read into the core's images.
    State connect();

    // The reply for a state other than Connected.
    Reply failure() const;

    Hid_Thread &link() { return hidLink; }
    const DeviceEntry &entry() const { return accepted; }

private:
    ControllerCore &core;
    Hid_Thread hidLink;
    std::unique_ptr<localchannel::InstanceLock> lock;
    State state = State::NotFound;
    DeviceEntry accepted;
    QList<DeviceEntry> table;
    QStringList unopenable;
};

} // namespace ctl
