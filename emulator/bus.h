#pragma once

// The virtual bus behind hidapi's functions: the devices, their interfaces
// and input queues, the open handles, injected faults and the transfer log.
// One mutex guards all of it; blocked reads wait on one condition variable
// that every change of a queue or of a device's presence wakes.

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "firmware.h"
#include "virtual_r770.h"

struct hid_device_info;

// hidapi's opaque handle: one open interface of one device.
struct hid_device_
{
    int device = 0;
    size_t interfaceIndex = 0;
    vr770::Interface role = vr770::Interface::Command;
    unsigned generation = 0; // plug generation the handle was opened in
    bool nonblocking = false;
    bool closing = false;    // closed while another thread still reads on it
    int users = 0;           // reads in progress
    std::wstring error;
};

namespace vr770 {

struct VirtualInterface
{
    Interface role = Interface::Command;
    bool carriesNotifications = false;
    UsagePair usage;
    std::string path;
    std::deque<Bytes> input; // reports waiting for the host to read them
    bool silent = false;     // reports are held back: reads time out
    int openHandles = 0;     // live handles on this interface
};

struct VirtualDevice
{
    int id = 0;
    bool plugged = true;
    unsigned generation = 1;
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::vector<VirtualInterface> interfaces;
    std::unique_ptr<Firmware> firmware; // null for devices other than mice
    bool openRefused = false;
    bool keepReportsWhileClosed = false;
    int handlesNotClosed = 0; // opened by the host, dead or alive, not yet closed
    // Pending one-shot faults: calls left until each fires.
    std::map<std::pair<Interface, Call>, std::vector<int>> faults;

    VirtualInterface *interfaceFor(Interface role);
    bool takeFault(Interface role, Call call);
};

class Bus
{
public:
    static Bus &instance();

    // hidapi entry points (see hidapi.h for their contracts).
    hid_device_info *enumerate(uint16_t vid, uint16_t pid);
    hid_device_ *open(const char *path);
    void close(hid_device_ *handle);
    int setNonblocking(hid_device_ *handle, int nonblock);
    int sendFeatureReport(hid_device_ *handle, const uint8_t *data, size_t length);
    int getFeatureReport(hid_device_ *handle, uint8_t *data, size_t length);
    int write(hid_device_ *handle, const uint8_t *data, size_t length);
    int read(hid_device_ *handle, uint8_t *data, size_t length, int timeoutMs);
    const wchar_t *error(hid_device_ *handle);

    // Runs `f` on the device with the lock held; false when there is no such device.
    bool withDevice(int id, const std::function<void(VirtualDevice &)> &f);

    int addDevice(uint16_t vid, uint16_t pid, const std::vector<UsagePair> &usages,
                  std::unique_ptr<Firmware> firmware, bool combined);
    void setPlugged(int id, bool plugged);
    void queueInput(VirtualDevice &device, VirtualInterface &iface, Bytes report);
    void reset();
    void setHotplugListener(std::function<void()> listener);
    void setCallObserver(CallObserver observer);
    std::vector<int> mouseIds() const;
    std::vector<Transfer> transfers(int device) const; // device < 0: all
    void clearLog();

private:
    Bus() = default;
    VirtualDevice *live(const hid_device_ *handle);
    // Appends to the log (lock held) and returns `result` for convenience.
    int record(const hid_device_ *handle, TransferKind kind, Bytes wire, int result,
               std::string note = {}, Bytes plain = {});
    int fail(hid_device_ *handle, TransferKind kind, const wchar_t *why);
    // Start of every transfer: the handle's device, or null with the
    // failure logged and its result in `result` (dead handle, injected fault).
    VirtualDevice *startTransfer(hid_device_ *handle, TransferKind kind, Call call, int &result);
    // Tells the call observer (if any) about a call, without the lock held.
    void observe(const hid_device_ *handle, Call call);
    void observeOpen(const char *path);

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::map<int, VirtualDevice> devices;
    std::deque<Transfer> log;
    std::function<void()> hotplugListener;
    CallObserver callObserver;
    int nextId = 1;
    int nextPath = 0;
};

} // namespace vr770
