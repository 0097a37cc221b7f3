#pragma once

// A link wired to one virtual R770, a recording owner and captured debug
// lines, shared by the device tests.

#include "hid_thread.h"
#include "hidowner.h"
#include "linkflags.h"
#include "virtual_r770.h"

#include <QMutex>
#include <QPair>
#include <QStringList>

#include <atomic>
#include <cstdio>
#include <memory>

using vr770::Call;
using vr770::CommandSet;
using vr770::Interface;
using vr770::TransferKind;
using StageEvent = QPair<int, QString>;

// The link's owner (device events, recorded) and the flags it is given.
class RecordingOwner : public HidOwner, public LinkFlags
{
public:
    bool isGun = false;
    QString icType;
    std::atomic<int> removed{0};
    bool linkIsGun() const override { return isGun; }
    QString linkIcType() const override { return icType; }
    // Called from the watch thread.
    void deviceStageChanged(int stage, const QString &text) override { QMutexLocker l(&mutex); events.append({stage, text}); }
    void deviceRemoved() override { ++removed; }
    QList<StageEvent> stages() const { QMutexLocker l(&mutex); return events; }

private:
    mutable QMutex mutex;
    QList<StageEvent> events;
};

inline DeviceEntry entryFor(const vr770::VirtualR770 &mouse)
{
    DeviceEntry e;
    e.reportLength = mouse.config().reportLength;
    e.isEncode = mouse.config().scrambling;
    e.sCode = QString::fromStdString(mouse.config().secrecyCode);
    e.commandPath = QString::fromStdString(mouse.commandPath());
    e.notifyPath = QString::fromStdString(mouse.notifyPath());
    return e;
}

// A fresh bus with one mouse and a link that passed the handshake with it;
// debug lines from any thread are captured while the rig lives.
struct LinkRig
{
    QtMessageHandler previousHandler = qInstallMessageHandler(&captureDebug);
    vr770::VirtualR770 mouse;
    std::unique_ptr<Hid_Thread> link = std::make_unique<Hid_Thread>();
    RecordingOwner owner;
    bool handshakeOk = false;

    explicit LinkRig(CommandSet set = CommandSet::Hid553, int reportLength = 32, bool scrambling = true)
    {
        vr770::resetBus();
        vr770::MouseConfig config;
        config.commandSet = set;
        config.reportLength = reportLength;
        config.scrambling = scrambling;
        mouse = vr770::addMouse(config);
        link->owner = &owner;
        link->flags = &owner;
        owner.icType = set == CommandSet::Hid560 ? "560" : "553";
        link->replaceDeviceList({entryFor(mouse)});
        handshakeOk = link->chkDeviceIsEnCode(0);
        vr770::clearTransferLog();
        QMutexLocker l(&debugMutex);
        debugLines.clear();
    }
    ~LinkRig()
    {
        link.reset(); // stops and joins a watch before the bus goes
        vr770::resetBus();
        qInstallMessageHandler(previousHandler);
    }

    std::vector<vr770::Transfer> of(TransferKind kind, Interface in = Interface::Command) const
    {
        std::vector<vr770::Transfer> out;
        for (const vr770::Transfer &t : mouse.transfers())
            if (t.kind == kind && t.interface == in)
                out.push_back(t);
        return out;
    }
    // The frames the firmware received, descrambled.
    QStringList frames() const
    {
        QStringList out;
        for (const vr770::Bytes &f : mouse.receivedFrames())
            out << QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size())).toHex(' ').toUpper();
        return out;
    }
    QString lastFrame() const { return frames().value(frames().size() - 1); }
    // Every exchange leaves the link free with its handle closed.
    bool linkIdle() const { return link->hidReady && link->commandHandle == nullptr; }

    QStringList debug() const { QMutexLocker l(&debugMutex); return debugLines; }
    static void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &msg)
    {
        QMutexLocker l(&debugMutex);
        if (type == QtDebugMsg)
            debugLines.append(msg);
        else
            std::fprintf(stderr, "%s\n", qPrintable(msg));
    }
    static inline QMutex debugMutex;
    static inline QStringList debugLines;
};
