#pragma once

// The R770 firmware: takes command frames and data reports as they arrive on
// the command interface, keeps the mouse's state, and prepares the reply frame
// and the input reports the host reads back. No locking and no I/O here; the
// bus serialises access.

#include <string>

#include "frame.h"
#include "virtual_r770.h"

namespace vr770 {

class Firmware
{
public:
    explicit Firmware(const MouseConfig &config) : config(config) {}

    // What the firmware did with one incoming transfer.
    struct Outcome
    {
        Bytes plainFrame;          // the frame after descrambling (frames only)
        std::vector<Bytes> input;  // input reports to queue on the command interface
        bool discardInput = false; // drop input reports still waiting from earlier
        std::string note;          // remark for the transfer log; empty when all is well
    };

    // A feature report of frame::Size bytes, report id first, as it came over the wire.
    Outcome receiveFrame(const uint8_t *wire);
    // An output report's payload (without the report id), reportLength bytes or fewer.
    Outcome receiveData(const uint8_t *payload, size_t length);

    // The reply register: the plain frame and the bytes the wire carries.
    Bytes replyPlain() const { return reply; }
    Bytes replyWire() const;

    // The DPI button: changes the current stage and returns the notification report.
    Bytes pressDpiButton(uint8_t stage);

    // Drops what is in flight (reply, half-received block); the state stays.
    void dropTransient();

    MouseConfig config;
    MouseState state;
    bool busy = false;

private:
    struct Command;
    static const Command *find(CommandSet set, uint8_t code);
    void setReply(uint8_t code, std::initializer_list<uint8_t> values);

    Bytes reply = Bytes(frame::Size, 0);

    // The data block being received after a block command's frame.
    const Command *blockCommand = nullptr;
    Bytes blockFrame;
    Bytes block;
    size_t blockExpected = 0;
};

} // namespace vr770
