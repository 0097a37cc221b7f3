// The watch of the mouse's notification interface, on the global thread pool.
#include "hid_thread.h"

#include "debugline.h"
#include "deviceeventtexts.h"
#include "hidowner.h"
#include "linkflags.h"
#include "notifyreport.h"

#include <QMutexLocker>
#include <QtConcurrent/QtConcurrentRun>
#include <hidapi.h>

namespace {

constexpr int WatchReadTimeoutMs = 500;

// The keyboard option the watch needs switched on, per command set.
constexpr uchar Option560Bit = 0x08; // first of the two hid560 option bytes
constexpr uchar Option553Bit = 0x40; // fourth of the four hid553 option bytes

const char *const Hid560Type = "560";
const char *const OptionNotRead = "Keyboardoption not read, option bit not set";

} // namespace

void Hid_Thread::startDeviceWatch(uint index)
{
    // Only one loop at a time: the previous one ends within one read time-out.
    stopDeviceWatch();
    joinDeviceWatch();

    // Read, set the option bit, write back. Bytes that were never read
    // must not go back: they would overwrite the other options.
    if (flags && flags->linkIcType() == QLatin1String(Hid560Type)) {
        uchar b1 = 0, b2 = 0;
        if (reporting().hid560_81H_GetKeyboardoption(b1, b2) == Exchange::Completed)
            hid560_01H_SetKeyboardoption(uchar(b1 | Option560Bit), b2);
        else
            debugLine(OptionNotRead);
    } else {
        uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
        if (reporting().hid553_83H_GetKeyboardoption(b1, b2, b3, b4) == Exchange::Completed)
            hid553_03H_SetKeyboardoption(b1, b2, b3, uchar(b4 | Option553Bit));
        else
            debugLine(OptionNotRead);
    }

    watchRunning = true;
    watchHandOver.fetch_add(1, std::memory_order_release);
    watchFuture = QtConcurrent::run(&Hid_Thread::deviceWatchLoop, this, index);
}

void Hid_Thread::stopDeviceWatch()
{
    watchRunning = false;
}

void Hid_Thread::joinDeviceWatch()
{
    watchFuture.waitForFinished();
    watchHandOver.load(std::memory_order_acquire);
}

void Hid_Thread::replaceDeviceList(const QList<DeviceEntry> &list)
{
    // A loop that is still finishing may be reading the current entries.
    if (!watchRunning)
        joinDeviceWatch();
    QMutexLocker lock(&entryMutex);
    deviceList = list;
}

void Hid_Thread::notifyStage(int stage)
{
    if (!owner)
        return;
    const QString text = deviceEventTexts().at(notify::eventTextIndex(stage));
    owner->deviceStageChanged(stage, text + QLatin1Char(' '));
}

void Hid_Thread::deviceWatchLoop(uint index)
{
    watchHandOver.load(std::memory_order_acquire);
    struct EndOfLoop
    {
        std::atomic<unsigned> &handOver;
        ~EndOfLoop() { handOver.fetch_add(1, std::memory_order_release); }
    } endOfLoop{watchHandOver};

    const int entry = int(index);
    if (entryPath(entry, &DeviceEntry::notifyPath).isEmpty())
        return; // no notification interface: nothing to watch

    while (watchRunning) {
        const QString path = entryPath(entry, &DeviceEntry::notifyPath);
        hid_device *handle = openNotifyPath(entry);
        if (!handle) {
            debugLine("Device removed");
            if (owner)
                owner->deviceRemoved();
            clearEntryPath(entry, &DeviceEntry::notifyPath, path);
            watchRunning = false;
            return;
        }

        // Timeouts, errors and other reports are ignored: next cycle.
        uchar report[notify::ReportSize] = {};
        const int got = hid_read_timeout(handle, report, notify::ReportSize, WatchReadTimeoutMs);
        const int stage = notify::dpiStage(report, got);
        if (stage != notify::NoStage)
            notifyStage(stage);
        closeNotifyPath();
    }
}
