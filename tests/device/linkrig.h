#pragma once

// A link wired to one virtual R770, a recording owner and captured debug
// lines, shared by the device tests.

#include "hid_thread.h"
#include "hidowner.h"
#include "virtual_r770.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPair>
#include <QStringList>

#include <memory>

class RecordingOwner : public HidOwner
{
public:
    bool isGun = false;
    QString icType;

    bool ownerIsGun() const override { return isGun; }
    QString ownerIcType() const override { return icType; }
    void deviceStageChanged(int stage, const QString &trayText) override
    {
        QMutexLocker lock(&mutex);
        stageEvents.append({stage, trayText});
    }
    void deviceRemoved() override
    {
        QMutexLocker lock(&mutex);
        ++removedCount;
    }
    QList<QPair<int, QString>> stages() const
    {
        QMutexLocker lock(&mutex);
        return stageEvents;
    }
    int removed() const
    {
        QMutexLocker lock(&mutex);
        return removedCount;
    }

private:
    mutable QMutex mutex;
    QList<QPair<int, QString>> stageEvents;
    int removedCount = 0;
};

// Debug lines written from any thread while an instance lives.
class DebugCapture
{
public:
    DebugCapture()
    {
        QMutexLocker lock(&mutex());
        captured().clear();
        previous = qInstallMessageHandler(&DebugCapture::handler);
    }
    ~DebugCapture() { qInstallMessageHandler(previous); }
    static QStringList lines()
    {
        QMutexLocker lock(&mutex());
        return captured();
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext &, const QString &msg)
    {
        QMutexLocker lock(&mutex());
        if (type == QtDebugMsg)
            captured().append(msg.trimmed());
    }
    static QMutex &mutex()
    {
        static QMutex m;
        return m;
    }
    static QStringList &captured()
    {
        static QStringList l;
        return l;
    }
    QtMessageHandler previous = nullptr;
};

inline QByteArray hexOf(const vr770::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size())).toHex(' ').toUpper();
}

inline DeviceEntry entryFor(const vr770::VirtualR770 &mouse)
{
    const vr770::MouseConfig c = mouse.config();
    DeviceEntry e;
    e.vid = c.vid;
    e.pid = c.pid;
    e.reportLength = c.reportLength;
    e.isEncode = c.scrambling;
    e.sCode = QString::fromStdString(c.secrecyCode);
    e.commandPath = QString::fromStdString(mouse.commandPath());
    e.notifyPath = QString::fromStdString(mouse.notifyPath());
    return e;
}

inline vr770::MouseConfig mouseConfig(vr770::CommandSet set, int reportLength = 32)
{
    vr770::MouseConfig c;
    c.commandSet = set;
    c.reportLength = reportLength;
    return c;
}

// A fresh bus with one mouse and a link that passed the handshake with it.
struct LinkRig
{
    vr770::VirtualR770 mouse;
    std::unique_ptr<Hid_Thread> link = std::make_unique<Hid_Thread>();
    RecordingOwner owner;
    bool handshakeOk = false;

    explicit LinkRig(const vr770::MouseConfig &config = vr770::MouseConfig())
    {
        vr770::resetBus();
        mouse = vr770::addMouse(config);
        link->owner = &owner;
        owner.icType = config.commandSet == vr770::CommandSet::Hid560 ? "560" : "553";
        link->replaceDeviceList({entryFor(mouse)});
        handshakeOk = link->chkDeviceIsEnCode(0);
        vr770::clearTransferLog();
    }
    ~LinkRig()
    {
        link.reset(); // stops and joins a watch before the bus goes
        vr770::resetBus();
    }

    std::vector<vr770::Transfer> of(vr770::TransferKind kind,
                                    vr770::Interface in = vr770::Interface::Command) const
    {
        std::vector<vr770::Transfer> out;
        for (const vr770::Transfer &t : mouse.transfers())
            if (t.kind == kind && t.interface == in)
                out.push_back(t);
        return out;
    }
    QByteArray lastFrame() const
    {
        const std::vector<vr770::Bytes> frames = mouse.receivedFrames();
        return frames.empty() ? QByteArray() : hexOf(frames.back());
    }
    // Every exchange leaves the link free with its handle closed.
    bool linkIdle() const { return link->hidReady && link->commandHandle == nullptr; }
};
