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

    // Refused: the handshake's exchange completed with a wrong answer.
    // HandshakeFailed: a HID call of the handshake failed, so nothing was
    // tested. Failed: the mouse passed, then failed while being read.
    enum class State { Connected, NotFound, Unopenable, Refused, HandshakeFailed, Failed };
    // Finds the mouse as the window does (same device table, same
    // handshake) and prepares the core for it. On a hid560 mouse the device
    // profiles are read into the core's images.
    State connect();

    // The reply for a state other than Connected.
    Reply failure() const;
    // Whether a mouse is present and, if so, whether it could be opened, as
    // connect found.
    bool found() const { return state != State::NotFound; }
    bool openable() const { return state != State::Unopenable; }

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
    QStringList handshakeFailures;
};

} // namespace ctl
