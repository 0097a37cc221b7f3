#pragma once

#include "deviceentry.h"
#include "hid_thread.h"

#include <QList>
#include <QStringList>

// Finding the mouse: the device table of apConfig.bin matched against the
// HID interfaces present, and the handshake that accepts one of them. Used
// by the window's discovery and by r770ctl alike; no widget involved.
namespace discovery {

// The device table read from apConfig.bin, each entry with the paths of
// the interfaces present now.
QList<DeviceEntry> findDevices();

struct Outcome
{
    // Accepted: `index` passed the handshake. Rejected: no entry did (also
    // when none had a command interface). Failed: none did, and the exchange
    // of at least one opened interface failed, so a wrong code is not shown.
    // LinkBusy: the link could not be had, so nothing was learnt.
    Handshake result = Handshake::Rejected;
    int index = -1;
    // Entries whose command interface was present.
    int present = 0;
    // Command interfaces that were present but could not be opened (on
    // Linux: no permission on the hidraw node).
    QStringList unopenable;
    // What failed in each handshake whose exchange failed after opening.
    QStringList failures;
};

// Gives the link the table, then tries each entry with a command interface
// in table order: the first that passes the handshake is accepted; later
// entries are neither tried nor opened.
Outcome acceptFirst(Hid_Thread &link, const QList<DeviceEntry> &entries);

} // namespace discovery
