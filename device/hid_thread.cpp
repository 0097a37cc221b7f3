#include "hid_thread.h"

#include "precisesleep.h"
#include "scramble.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <hidapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

uchar secrecyKey[8] = {};

namespace {

constexpr int ReadyTries = 255;
constexpr unsigned long ReadyPollMs = 8;
constexpr unsigned long SettleStepMs = 64;
constexpr int SettleSteps = 2;
constexpr unsigned long DataReportGapMs = 120;
// Bound on the wait for each input report of a block read.
constexpr int BlockReadTimeoutMs = 1000;
constexpr int BlockingMode = 0;

bool reportLengthUsable(int reportLength)
{
    return reportLength >= 1 && reportLength <= Hid_Thread::MaxReportLength;
}

bool blockLengthUsable(int dataLength)
{
    return dataLength >= 0 && dataLength <= Hid_Thread::MaxBlockLength;
}

} // namespace

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent) {}

Hid_Thread::~Hid_Thread()
{
    stopDeviceWatch();
    joinDeviceWatch();
    closeCommandPath();
    closeNotifyPath();
}

uchar Hid_Thread::hidCS(uchar *cmd)
{
    return frame::checksum(cmd);
}

void Hid_Thread::USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[])
{
    scramble::encrypt(FIFOBuf, SecrecyCode);
}

void Hid_Thread::USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[])
{
    scramble::decrypt(FIFOBuf, SecrecyCode);
}

// --- shared entry fields ---------------------------------------------------

bool Hid_Thread::entryAt(int index, DeviceEntry &entry) const
{
    QMutexLocker lock(&entryMutex);
    if (index < 0 || index >= deviceList.size())
        return false;
    entry = deviceList.at(index);
    return true;
}

DeviceEntry Hid_Thread::deviceEntry(int index) const
{
    DeviceEntry entry;
    entryAt(index, entry);
    return entry;
}

QString Hid_Thread::entryPath(int index, QString DeviceEntry::*field) const
{
    QMutexLocker lock(&entryMutex);
    return index >= 0 && index < deviceList.size() ? deviceList.at(index).*field : QString();
}

void Hid_Thread::clearEntryPath(int index, QString DeviceEntry::*field, const QString &failed)
{
    QMutexLocker lock(&entryMutex);
    // Only the path that failed: the list may have been replaced meanwhile.
    if (index >= 0 && index < deviceList.size() && deviceList.at(index).*field == failed)
        (deviceList[index].*field).clear();
}

Hid_Thread::LinkParams Hid_Thread::linkParams(int index) const
{
    QMutexLocker lock(&entryMutex);
    if (index < 0 || index >= deviceList.size())
        return {};
    const DeviceEntry &entry = deviceList.at(index);
    return {entry.reportLength, entry.isEncode};
}

// --- opening and closing ---------------------------------------------------

hid_device *Hid_Thread::openPath(int index, QString DeviceEntry::*field, hid_device *&handle)
{
    const QString path = entryPath(index, field);
    if (path.isEmpty() || !reportLengthUsable(linkParams(index).reportLength))
        return nullptr;

    hid_device *opened;
    {
        QMutexLocker lock(&entryMutex);
        if (handle)
            hid_close(handle);
        handle = nullptr;
    }
    opened = hid_open_path(path.toLocal8Bit().constData());
    if (!opened) {
        // The interface is gone; it counts as absent until discovery finds it.
        clearEntryPath(index, field, path);
        return nullptr;
    }
    if (hid_set_nonblocking(opened, BlockingMode) < 0) {
        hid_close(opened);
        return nullptr;
    }
    QMutexLocker lock(&entryMutex);
    handle = opened;
    return opened;
}

hid_device *Hid_Thread::openCommandPath(int index)
{
    return openPath(index, &DeviceEntry::commandPath, commandHandle);
}

hid_device *Hid_Thread::openNotifyPath(int index)
{
    return openPath(index, &DeviceEntry::notifyPath, notifyHandle);
}

void Hid_Thread::closeCommandPath()
{
    QMutexLocker lock(&entryMutex);
    if (commandHandle)
        hid_close(commandHandle);
    commandHandle = nullptr;
}

void Hid_Thread::closeNotifyPath()
{
    QMutexLocker lock(&entryMutex);
    if (notifyHandle)
        hid_close(notifyHandle);
    notifyHandle = nullptr;
}

// --- the ready flag and pauses -----------------------------------------------

bool Hid_Thread::waitHidReady()
{
    for (int i = 0; i < ReadyTries; ++i) {
        if (hidReady) {
            hidReady = false;
            return true;
        }
        QThread::msleep(ReadyPollMs);
        QCoreApplication::processEvents();
    }
    return false;
}

void Hid_Thread::protocolPause(unsigned long milliseconds)
{
    sleepPrecisely(milliseconds);
    ++pauseTally.count;
    pauseTally.milliseconds += milliseconds;
}

void Hid_Thread::settlePause()
{
    for (int i = 0; i < SettleSteps; ++i)
        protocolPause(SettleStepMs);
}

// --- exchanges ---------------------------------------------------------------

bool Hid_Thread::finishExchange(bool ok)
{
    closeCommandPath();
    hidReady = true;
    if (ok)
        failure.clear();
    return ok;
}

bool Hid_Thread::failExchange(hid_device *handle, const char *step)
{
    const QString path = entryPath(currentIndex, &DeviceEntry::commandPath);
    failure = QString::fromLatin1(step);
    if (!path.isEmpty())
        failure += QStringLiteral(" (%1)").arg(path);
    const wchar_t *reason = handle ? hid_error(handle) : nullptr;
    if (reason && *reason)
        failure += QStringLiteral(": ") + QString::fromWCharArray(reason);
    return finishExchange(false);
}

// Opens the interface, scrambles the frame when the entry asks for it and
// sends it as a feature report; link receives the entry's report settings.
bool Hid_Thread::sendFrame(LinkParams &link)
{
    if (!openCommandPath(currentIndex))
        return failExchange(nullptr, "opening the command interface");
    link = linkParams(currentIndex);
    if (link.isEncode)
        USBDataEncryption(&sendBuffer[frame::ScrambledPos], secrecyKey);
    // Every HID call goes to a freshly opened handle.
    hid_device *handle = openCommandPath(currentIndex);
    if (!handle)
        return failExchange(nullptr, "opening the command interface");
    if (hid_send_feature_report(handle, sendBuffer, frame::Size) < 0)
        return failExchange(handle, "sending the command frame");
    return true;
}

bool Hid_Thread::sendCommand(int dataLength, bool settle)
{
    QCoreApplication::processEvents();
    LinkParams link;
    if (!blockLengthUsable(dataLength))
        return finishExchange(false);
    if (!sendFrame(link))
        return false;
    if (settle)
        settlePause();
    if (dataLength == 0)
        return finishExchange(true);

    const int chunk = std::min(dataLength, link.reportLength);
    std::vector<uchar> report(size_t(link.reportLength) + 1);
    for (int offset = 0; offset < dataLength; offset += chunk) {
        // The last chunk carries only the bytes that remain, zero-padded.
        std::fill(report.begin(), report.end(), 0);
        report[0] = frame::ReportId;
        std::memcpy(&report[1], bulkBuffer + offset, size_t(std::min(chunk, dataLength - offset)));
        hid_device *handle = openCommandPath(currentIndex);
        if (!handle)
            return failExchange(nullptr, "opening the command interface");
        if (hid_write(handle, report.data(), report.size()) < 0)
            return failExchange(handle, "writing a data report");
        protocolPause(DataReportGapMs);
    }
    if (settle)
        settlePause();
    return finishExchange(true);
}

bool Hid_Thread::queryCommand(int dataLength)
{
    LinkParams link;
    if (!blockLengthUsable(dataLength))
        return finishExchange(false);
    if (!sendFrame(link))
        return false;

    // The reply lands in replyBuffer only when it arrived, so that a failed
    // read leaves the pre-fill (the caller's values) in place.
    uchar reply[frame::Size];
    std::memcpy(reply, replyBuffer, sizeof reply);
    reply[frame::ReportIdPos] = frame::ReportId;
    hid_device *handle = openCommandPath(currentIndex);
    if (!handle)
        return failExchange(nullptr, "opening the command interface");
    if (hid_get_feature_report(handle, reply, frame::Size) < 0)
        return failExchange(handle, "reading the reply");
    std::memcpy(replyBuffer, reply, sizeof reply);

    if (dataLength == 0) {
        finishExchange(true);
        if (link.isEncode)
            USBDataDecipher(&replyBuffer[frame::ScrambledPos], secrecyKey);
        return true;
    }

    const int chunk = std::min(dataLength, link.reportLength);
    std::vector<uchar> report(size_t(link.reportLength) + 1);
    for (int offset = 0; offset < dataLength; offset += chunk) {
        std::fill(report.begin(), report.end(), 0);
        handle = openCommandPath(currentIndex);
        // An expired wait or an empty read fails the exchange like an error.
        if (!handle)
            return failExchange(nullptr, "opening the command interface");
        if (hid_read_timeout(handle, report.data(), report.size(), BlockReadTimeoutMs) <= 0)
            return failExchange(handle, "reading a data report");
        // The data as the read returns it, from its first byte.
        std::memcpy(bulkBuffer + offset, report.data(), size_t(std::min(chunk, dataLength - offset)));
    }
    return finishExchange(true);
}
