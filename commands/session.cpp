#include "session.h"

#include "commandsupport.h"
#include "configfile.h"
#include "controllercore.h"
#include "discovery.h"
#include "fileproblems.h"
#include "handover.h"
#include "localchannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <cstdio>

namespace ctl {

namespace {

// How long a request waits for another r770ctl to finish with the mouse:
// the longest request, sending every hid560 profile image, takes seconds.
constexpr int claimTimeoutMs = 60000;
constexpr unsigned long claimPollMs = 50;

// How long a handed-over request may take: the program waits up to a
// minute before it takes one, and sending every profile image takes seconds.
constexpr int handOverTimeoutMs = 120000;

// Whether the tray program `path` runs for this user: it holds its
// single-instance lock. The probe takes the lock for a moment if it is
// free and lets it go.
bool running(const QString &path)
{
    localchannel::InstanceLock probe(localchannel::instanceName(path));
    return probe.tryLock() == localchannel::InstanceLock::State::HeldElsewhere;
}

QString usbIds(const QList<DeviceEntry> &table)
{
    QStringList ids;
    for (const DeviceEntry &entry : table)
        ids << QStringLiteral("%1:%2").arg(entry.vid, 4, 16, QLatin1Char('0')).arg(entry.pid, 4, 16, QLatin1Char('0'));
    ids.removeDuplicates();
    return ids.join(QStringLiteral(", "));
}

} // namespace

// Nothing is watched: the link has no owner to tell of device events.
Session::Session(ControllerCore &controller) : core(controller) {}

Session::~Session()
{
    if (core.hidLink == &hidLink)
        core.setHidLink(nullptr);
}

Session::Claim Session::claim(const QStringList &request)
{
    const QString folder = QCoreApplication::applicationDirPath();
    lock = std::make_unique<localchannel::InstanceLock>(handover::mouseLockName(folder + QStringLiteral("/r770")));
    const QDeadlineTimer deadline(claimTimeoutMs);
    bool told = false;
    const auto tell = [&told](const QString &message) {
        if (!told)
            std::fprintf(stderr, "r770ctl: %s\n", qPrintable(message));
        told = true;
    };
    for (;;) {
        bool programRunning = false;
        for (const QString &program : handover::trayPrograms(folder)) {
            if (!running(program))
                continue;
            programRunning = true;
            Reply reply;
            const handover::Outcome outcome = handover::send(
                program, request, reply, [&] { tell(tr("waiting for the r770 program to finish with the mouse...")); },
                handOverTimeoutMs);
            if (outcome == handover::Outcome::Answered)
                return {Claim::Answered, reply};
            if (outcome == handover::Outcome::Lost)
                return {Claim::Refused, Reply::failure(DeviceError, tr("the r770 program stopped answering while "
                                                                       "it had the request; it may be done in part"))};
            // Not reached: the program is just starting or ending.
        }
        // Without a private folder there is no lock to take: go on regardless.
        if (!programRunning && lock->tryLock() != localchannel::InstanceLock::State::HeldElsewhere)
            return {};
        if (deadline.hasExpired())
            return {Claim::Refused,
                    Reply::failure(MouseInUse, programRunning ? tr("the r770 program is running but takes no "
                                                                   "requests; quit it (tray menu, Quit) and try again")
                                                              : tr("another r770ctl has been using the mouse for a "
                                                                   "minute; try again later"))};
        if (!programRunning)
            tell(tr("waiting for another r770ctl to finish..."));
        QThread::msleep(claimPollMs);
    }
}

Session::State Session::connect()
{
    core.setHidLink(&hidLink);
    table = discovery::findDevices();
    const discovery::Outcome found = discovery::acceptFirst(hidLink, table);
    unopenable = found.unopenable;
    handshakeFailures = found.failures;
    switch (found.result) {
    case Handshake::Accepted: {
        accepted = hidLink.deviceEntry(found.index);
        core.clearHidBusy();
        // Later image changes keep the device's other bytes, as in the window.
        state = core.readDeviceProfiles() ? State::Connected : State::Failed;
        break;
    }
    case Handshake::LinkBusy:
        state = State::Failed;
        break;
    case Handshake::Failed:
        state = State::HandshakeFailed;
        break;
    case Handshake::Rejected:
        state = found.present == 0 ? State::NotFound
                : !unopenable.isEmpty() ? State::Unopenable
                                        : State::Refused;
        break;
    }
    return state;
}

Reply Session::failure() const
{
    const QString config = fileproblems::shown(configfile::path());
    switch (state) {
    case State::Connected:
        return {};
    case State::NotFound:
        if (table.isEmpty())
            return Reply::failure(NoMouse, tr("no mouse is configured: %1 lists no device "
                                              "(common/deviceCount)").arg(config));
        return Reply::failure(NoMouse, tr("no mouse found (looked for USB id %1); is it plugged in?")
                                           .arg(usbIds(table)));
    case State::Unopenable:
        return Reply::failure(NoMouse, tr("the mouse is there (%1) but cannot be opened, usually for lack of "
                                          "permission: install the udev rule 70-r770.rules, then unplug the "
                                          "mouse and plug it in again (see man r770ctl)")
                                           .arg(unopenable.join(QStringLiteral(", "))));
    case State::Refused:
        return Reply::failure(HandshakeRefused, tr("the mouse did not pass the handshake: check the secrecy "
                                                   "code (sCode) of its group in %1").arg(config));
    case State::HandshakeFailed:
        return Reply::failure(DeviceError, tr("the handshake with the mouse could not be completed (%1); the "
                                              "secrecy code was not tested and nothing was changed")
                                               .arg(handshakeFailures.join(QStringLiteral("; "))));
    case State::Failed:
        return Reply::failure(DeviceError, tr("the mouse stopped answering while it was being read; "
                                              "nothing was changed"));
    }
    return {};
}

} // namespace ctl
