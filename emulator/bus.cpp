#include "bus.h"

#include <hidapi.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace vr770 {

namespace {

constexpr size_t MaxQueuedReports = 64;
constexpr size_t MaxLogEntries = 100000;
constexpr unsigned short ReleaseNumber = 0x0100;

int64_t nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

char *copyText(const std::string &s)
{
    char *p = static_cast<char *>(std::malloc(s.size() + 1));
    if (p)
        std::memcpy(p, s.c_str(), s.size() + 1);
    return p;
}

wchar_t *copyText(const std::wstring &s)
{
    auto *p = static_cast<wchar_t *>(std::malloc((s.size() + 1) * sizeof(wchar_t)));
    if (p)
        std::wmemcpy(p, s.c_str(), s.size() + 1);
    return p;
}

TransferKind readKind(Interface role)
{
    return role == Interface::Command ? TransferKind::InputReport : TransferKind::NotificationRead;
}

} // namespace

VirtualInterface *VirtualDevice::interfaceFor(Interface role)
{
    for (auto &i : interfaces)
        if (i.role == role || (role == Interface::Notification && i.carriesNotifications))
            return &i;
    return nullptr;
}

bool VirtualDevice::takeFault(Interface role, Call call)
{
    auto it = faults.find({role, call});
    if (it == faults.end())
        return false;
    bool fires = false;
    for (int &left : it->second)
        fires = --left == 0 || fires;
    auto &pending = it->second;
    pending.erase(std::remove_if(pending.begin(), pending.end(), [](int n) { return n <= 0; }),
                  pending.end());
    if (pending.empty())
        faults.erase(it);
    return fires;
}

Bus &Bus::instance()
{
    static Bus bus;
    return bus;
}

VirtualDevice *Bus::live(const hid_device_ *handle)
{
    if (!handle || handle->closing)
        return nullptr;
    auto it = devices.find(handle->device);
    if (it == devices.end() || !it->second.plugged || it->second.generation != handle->generation)
        return nullptr;
    return &it->second;
}

int Bus::record(const hid_device_ *handle, TransferKind kind, Bytes wire, int result,
                std::string note, Bytes plain)
{
    Transfer t;
    t.device = handle ? handle->device : 0;
    t.interface = handle ? handle->role : Interface::Command;
    t.kind = kind;
    t.wire = std::move(wire);
    t.frame = std::move(plain);
    t.result = result;
    t.timeUs = nowUs();
    t.note = std::move(note);
    log.push_back(std::move(t));
    if (log.size() > MaxLogEntries)
        log.pop_front();
    return result;
}

int Bus::fail(hid_device_ *handle, TransferKind kind, const wchar_t *why)
{
    if (handle)
        handle->error = why;
    std::string note;
    for (const wchar_t *c = why; *c; ++c)
        note += char(*c);
    return record(handle, kind, {}, -1, note);
}

VirtualDevice *Bus::startTransfer(hid_device_ *handle, TransferKind kind, Call call, int &result)
{
    VirtualDevice *d = live(handle);
    if (!d)
        result = fail(handle, kind, L"device disconnected");
    else if (d->takeFault(handle->role, call))
        result = fail(handle, kind, L"injected fault");
    else
        return d;
    return nullptr;
}

void Bus::observe(const hid_device_ *handle, Call call)
{
    CallObserver observer;
    {
        std::lock_guard<std::mutex> lock(mutex);
        observer = callObserver;
    }
    if (handle && observer)
        observer(handle->device, handle->role, call);
}

void Bus::observeOpen(const char *path)
{
    CallObserver observer;
    int device = 0;
    Interface role = Interface::Command;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!callObserver || !path)
            return;
        for (const auto &[id, d] : devices)
            for (const auto &i : d.interfaces)
                if (i.path == path) {
                    device = id;
                    role = i.role;
                }
        if (!device)
            return;
        observer = callObserver;
    }
    observer(device, role, Call::Open);
}

hid_device_info *Bus::enumerate(uint16_t vid, uint16_t pid)
{
    std::lock_guard<std::mutex> lock(mutex);
    hid_device_info *head = nullptr;
    hid_device_info **tail = &head;
    for (auto &[id, d] : devices) {
        if (!d.plugged || (vid && vid != d.vid) || (pid && pid != d.pid))
            continue;
        for (size_t n = 0; n < d.interfaces.size(); ++n) {
            const auto &i = d.interfaces[n];
            auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
            if (!info)
                return head;
            info->path = copyText(i.path);
            info->vendor_id = d.vid;
            info->product_id = d.pid;
            info->serial_number = copyText(L"VR770-" + std::to_wstring(id));
            info->release_number = ReleaseNumber;
            info->manufacturer_string = copyText(std::wstring(d.firmware ? L"BRAXTEL" : L"Virtual"));
            info->product_string = copyText(std::wstring(d.firmware ? L"SOLVAR MOUSE R770" : L"HID device"));
            info->usage_page = i.usage.usagePage;
            info->usage = i.usage.usage;
            info->interface_number = int(n);
            info->bus_type = HID_API_BUS_USB;
            *tail = info;
            tail = &info->next;
        }
    }
    return head;
}

hid_device_ *Bus::open(const char *path)
{
    observeOpen(path);
    std::lock_guard<std::mutex> lock(mutex);
    if (!path)
        return nullptr;
    for (auto &[id, d] : devices) {
        for (size_t n = 0; n < d.interfaces.size(); ++n) {
            if (d.interfaces[n].path != path)
                continue;
            hid_device_ probe;
            probe.device = id;
            probe.interfaceIndex = n;
            probe.role = d.interfaces[n].role;
            probe.generation = d.generation;
            if (!d.plugged)
                return nullptr; // no such node while unplugged
            if (d.openRefused || d.takeFault(probe.role, Call::Open)) {
                record(&probe, TransferKind::Open, {}, -1, "open refused");
                return nullptr;
            }
            record(&probe, TransferKind::Open, {}, 0);
            ++d.interfaces[n].openHandles;
            ++d.handlesNotClosed;
            return new hid_device_(probe);
        }
    }
    return nullptr;
}

void Bus::close(hid_device_ *handle)
{
    if (!handle)
        return;
    std::lock_guard<std::mutex> lock(mutex);
    record(handle, TransferKind::Close, {}, 0);
    if (VirtualDevice *d = live(handle))
        --d->interfaces[handle->interfaceIndex].openHandles;
    auto it = devices.find(handle->device);
    if (it != devices.end() && !handle->closing)
        --it->second.handlesNotClosed;
    handle->closing = true;
    changed.notify_all();
    if (handle->users == 0)
        delete handle;
}

int Bus::setNonblocking(hid_device_ *handle, int nonblock)
{
    observe(handle, Call::SetNonblocking);
    std::lock_guard<std::mutex> lock(mutex);
    VirtualDevice *d = live(handle);
    if (!d || d->takeFault(handle->role, Call::SetNonblocking)) {
        if (handle)
            handle->error = d ? L"injected fault" : L"device disconnected";
        return -1;
    }
    handle->nonblocking = nonblock != 0;
    return 0;
}

int Bus::sendFeatureReport(hid_device_ *handle, const uint8_t *data, size_t length)
{
    observe(handle, Call::SendFeatureReport);
    std::lock_guard<std::mutex> lock(mutex);
    constexpr TransferKind kind = TransferKind::FeatureOut;
    int refused = 0;
    VirtualDevice *d = startTransfer(handle, kind, Call::SendFeatureReport, refused);
    if (!d)
        return refused;
    if (!data || length != frame::Size || data[frame::ReportId] != 0)
        return fail(handle, kind, L"no such feature report");
    VirtualInterface &iface = d->interfaces[handle->interfaceIndex];
    const Bytes wire(data, data + length);
    if (!d->firmware || iface.role != Interface::Command)
        return fail(handle, kind, L"no feature report on this interface");

    Firmware::Outcome out = d->firmware->receiveFrame(data);
    if (out.discardInput && !iface.carriesNotifications)
        iface.input.clear();
    for (auto &report : out.input)
        queueInput(*d, iface, std::move(report));
    return record(handle, kind, wire, int(length), out.note, out.plainFrame);
}

int Bus::getFeatureReport(hid_device_ *handle, uint8_t *data, size_t length)
{
    observe(handle, Call::GetFeatureReport);
    std::lock_guard<std::mutex> lock(mutex);
    constexpr TransferKind kind = TransferKind::FeatureIn;
    int refused = 0;
    VirtualDevice *d = startTransfer(handle, kind, Call::GetFeatureReport, refused);
    if (!d)
        return refused;
    if (!data || length < frame::Size || data[frame::ReportId] != 0)
        return fail(handle, kind, L"no such feature report");
    if (!d->firmware || d->interfaces[handle->interfaceIndex].role != Interface::Command)
        return fail(handle, kind, L"no feature report on this interface");

    const Bytes wire = d->firmware->replyWire();
    std::copy(wire.begin(), wire.end(), data);
    return record(handle, kind, wire, int(wire.size()), {}, d->firmware->replyPlain());
}

int Bus::write(hid_device_ *handle, const uint8_t *data, size_t length)
{
    observe(handle, Call::Write);
    std::lock_guard<std::mutex> lock(mutex);
    constexpr TransferKind kind = TransferKind::OutputReport;
    int refused = 0;
    VirtualDevice *d = startTransfer(handle, kind, Call::Write, refused);
    if (!d)
        return refused;
    if (!data || length < 1 || data[frame::ReportId] != 0)
        return fail(handle, kind, L"no such output report");
    const Bytes wire(data, data + length);
    VirtualInterface &iface = d->interfaces[handle->interfaceIndex];
    if (!d->firmware)
        return record(handle, kind, wire, int(length));
    if (iface.role != Interface::Command)
        return record(handle, kind, wire, int(length), "output report on the notification interface, ignored");
    if (length - 1 > size_t(d->firmware->config.reportLength))
        return fail(handle, kind, L"output report longer than the report length");

    Firmware::Outcome out = d->firmware->receiveData(data + 1, length - 1);
    for (auto &report : out.input)
        queueInput(*d, iface, std::move(report));
    return record(handle, kind, wire, int(length), out.note);
}

int Bus::read(hid_device_ *handle, uint8_t *data, size_t length, int timeoutMs)
{
    observe(handle, Call::Read);
    std::unique_lock<std::mutex> lock(mutex);
    if (!handle)
        return -1;
    const TransferKind kind = readKind(handle->role);
    int refused = 0;
    VirtualDevice *d = startTransfer(handle, kind, Call::Read, refused);
    if (!d)
        return refused;
    if (!data)
        return fail(handle, kind, L"no buffer");

    const size_t index = handle->interfaceIndex;
    auto ready = [&] {
        VirtualDevice *now = live(handle);
        return !now || (!now->interfaces[index].silent && !now->interfaces[index].input.empty());
    };
    ++handle->users;
    bool woke = true;
    if (timeoutMs < 0)
        changed.wait(lock, ready);
    else
        woke = changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    --handle->users;

    int result = 0;
    Bytes got;
    d = live(handle);
    if (!d) {
        result = fail(handle, kind, handle->closing ? L"handle closed" : L"device disconnected");
    } else if (!woke) {
        result = record(handle, kind, {}, 0, "time-out");
    } else {
        std::deque<Bytes> &queue = d->interfaces[index].input;
        got = std::move(queue.front());
        queue.pop_front();
        const size_t n = std::min(length, got.size());
        std::copy_n(got.begin(), n, data);
        got.resize(n);
        result = record(handle, kind, got, int(n));
    }
    if (handle->closing && handle->users == 0)
        delete handle;
    return result;
}

const wchar_t *Bus::error(hid_device_ *handle)
{
    static const wchar_t *const none = L"Success";
    if (!handle)
        return none;
    std::lock_guard<std::mutex> lock(mutex);
    return handle->error.empty() ? none : handle->error.c_str();
}

bool Bus::withDevice(int id, const std::function<void(VirtualDevice &)> &f)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = devices.find(id);
    if (it == devices.end())
        return false;
    f(it->second);
    changed.notify_all();
    return true;
}

int Bus::addDevice(uint16_t vid, uint16_t pid, const std::vector<UsagePair> &usages,
                   std::unique_ptr<Firmware> firmware, bool combined)
{
    std::lock_guard<std::mutex> lock(mutex);
    const int id = nextId++;
    VirtualDevice &d = devices[id];
    d.id = id;
    d.vid = vid;
    d.pid = pid;
    const bool mouse = firmware != nullptr;
    d.firmware = std::move(firmware);
    for (size_t n = 0; n < usages.size(); ++n) {
        VirtualInterface i;
        i.role = mouse && n == 1 ? Interface::Notification : Interface::Command;
        i.carriesNotifications = mouse && (n == 1 || combined);
        i.usage = usages[n];
        i.path = "/dev/vhidraw" + std::to_string(nextPath++);
        d.interfaces.push_back(std::move(i));
    }
    return id;
}

void Bus::setPlugged(int id, bool plugged)
{
    std::function<void()> listener;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = devices.find(id);
        if (it == devices.end() || it->second.plugged == plugged)
            return;
        VirtualDevice &d = it->second;
        d.plugged = plugged;
        if (plugged) {
            ++d.generation; // handles of the previous connection stay dead
        } else {
            for (auto &i : d.interfaces) {
                i.input.clear();
                i.openHandles = 0; // they are dead now
            }
            if (d.firmware)
                d.firmware->dropTransient();
        }
        changed.notify_all();
        listener = hotplugListener;
    }
    if (listener)
        listener();
}

void Bus::queueInput(VirtualDevice &device, VirtualInterface &iface, Bytes report)
{
    if (!device.plugged)
        return;
    // hidraw passes a report only to the handles open when it comes in.
    if (iface.openHandles == 0 && !device.keepReportsWhileClosed)
        return;
    iface.input.push_back(std::move(report));
    if (iface.input.size() > MaxQueuedReports)
        iface.input.pop_front();
    changed.notify_all();
}

void Bus::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    devices.clear();
    log.clear();
    hotplugListener = nullptr;
    callObserver = nullptr;
    changed.notify_all();
}

void Bus::setHotplugListener(std::function<void()> listener)
{
    std::lock_guard<std::mutex> lock(mutex);
    hotplugListener = std::move(listener);
}

void Bus::setCallObserver(CallObserver observer)
{
    std::lock_guard<std::mutex> lock(mutex);
    callObserver = std::move(observer);
}

std::vector<int> Bus::mouseIds() const
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<int> ids;
    for (const auto &[id, d] : devices)
        if (d.firmware)
            ids.push_back(id);
    return ids;
}

std::vector<Transfer> Bus::transfers(int device) const
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<Transfer> out;
    for (const auto &t : log)
        if (device < 0 || t.device == device)
            out.push_back(t);
    return out;
}

void Bus::clearLog()
{
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

} // namespace vr770
