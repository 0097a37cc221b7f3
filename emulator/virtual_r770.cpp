// Control API of the virtual bus for tests and the demo.
#include "virtual_r770.h"

#include "bus.h"

namespace vr770 {

namespace {

bool validConfig(const MouseConfig &c)
{
    return c.reportLength >= 1 && c.reportLength <= MaxReportLength;
}

std::vector<UsagePair> usagesOf(const MouseConfig &c)
{
    if (c.combinedInterface)
        return {{c.usagePage, c.usage}};
    return {{c.usagePage, c.usage}, {c.usagePage2, c.usage2}};
}

// Runs `f` on the mouse's firmware with the bus locked; does nothing for
// unknown ids and devices other than mice.
template <typename F>
void onMouse(int id, F &&f)
{
    Bus::instance().withDevice(id, [&](VirtualDevice &d) {
        if (d.firmware)
            f(d);
    });
}

} // namespace

bool VirtualR770::isValid() const
{
    bool found = false;
    onMouse(m_id, [&](VirtualDevice &) { found = true; });
    return found;
}

MouseConfig VirtualR770::config() const
{
    MouseConfig c;
    onMouse(m_id, [&](VirtualDevice &d) { c = d.firmware->config; });
    return c;
}

bool VirtualR770::setConfig(const MouseConfig &config)
{
    if (!validConfig(config))
        return false;
    bool done = false;
    onMouse(m_id, [&](VirtualDevice &d) {
        const auto usages = usagesOf(config);
        if (usages.size() != d.interfaces.size())
            return; // the interface layout is fixed when the mouse is made
        for (size_t n = 0; n < usages.size(); ++n)
            d.interfaces[n].usage = usages[n];
        d.vid = config.vid;
        d.pid = config.pid;
        d.firmware->config = config;
        done = true;
    });
    return done;
}

std::string VirtualR770::commandPath() const
{
    std::string path;
    onMouse(m_id, [&](VirtualDevice &d) { path = d.interfaceFor(Interface::Command)->path; });
    return path;
}

std::string VirtualR770::notifyPath() const
{
    std::string path;
    onMouse(m_id, [&](VirtualDevice &d) { path = d.interfaceFor(Interface::Notification)->path; });
    return path;
}

void VirtualR770::plug() { Bus::instance().setPlugged(m_id, true); }
void VirtualR770::unplug() { Bus::instance().setPlugged(m_id, false); }

bool VirtualR770::isPlugged() const
{
    bool plugged = false;
    onMouse(m_id, [&](VirtualDevice &d) { plugged = d.plugged; });
    return plugged;
}

void VirtualR770::pressDpiButton(uint8_t stage)
{
    onMouse(m_id, [&](VirtualDevice &d) {
        if (!d.plugged)
            return; // an unplugged mouse has no power
        Bytes report = d.firmware->pressDpiButton(stage);
        Bus::instance().queueInput(d, *d.interfaceFor(Interface::Notification), std::move(report));
    });
}

MouseState VirtualR770::state() const
{
    MouseState s;
    onMouse(m_id, [&](VirtualDevice &d) { s = d.firmware->state; });
    return s;
}

void VirtualR770::setState(const MouseState &state)
{
    onMouse(m_id, [&](VirtualDevice &d) { d.firmware->state = state; });
}

void VirtualR770::setKeyboardOptions(const std::array<uint8_t, 4> &bytes)
{
    onMouse(m_id, [&](VirtualDevice &d) { d.firmware->state.keyboardOptions = bytes; });
}

void VirtualR770::setProfile(int profileNo, const std::array<uint8_t, 128> &block)
{
    onMouse(m_id, [&](VirtualDevice &d) {
        if (profileNo >= 0 && profileNo < int(d.firmware->state.profiles.size()))
            d.firmware->state.profiles[size_t(profileNo)] = block;
    });
}

void VirtualR770::setCurrentProfile(uint8_t profile)
{
    onMouse(m_id, [&](VirtualDevice &d) { d.firmware->state.currentProfile = profile; });
}

void VirtualR770::setCurrentDpi(uint8_t stage)
{
    onMouse(m_id, [&](VirtualDevice &d) {
        d.firmware->state.currentDpi = stage;
        d.firmware->state.profileDpi.fill(stage);
    });
}

void VirtualR770::failCall(Interface interface, Call call, int nth)
{
    if (nth < 1)
        return;
    onMouse(m_id, [&](VirtualDevice &d) { d.faults[{interface, call}].push_back(nth); });
}

void VirtualR770::setOpenRefused(bool refused)
{
    onMouse(m_id, [&](VirtualDevice &d) { d.openRefused = refused; });
}

void VirtualR770::setSilent(Interface interface, bool silent)
{
    onMouse(m_id, [&](VirtualDevice &d) {
        if (VirtualInterface *i = d.interfaceFor(interface))
            i->silent = silent;
    });
}

void VirtualR770::setBusy(bool busy)
{
    onMouse(m_id, [&](VirtualDevice &d) { d.firmware->busy = busy; });
}

void VirtualR770::setReportsKeptWhileClosed(bool keep)
{
    onMouse(m_id, [&](VirtualDevice &d) { d.keepReportsWhileClosed = keep; });
}

void VirtualR770::clearFaults()
{
    onMouse(m_id, [&](VirtualDevice &d) {
        d.faults.clear();
        d.openRefused = false;
        d.keepReportsWhileClosed = false;
        d.firmware->busy = false;
        for (auto &i : d.interfaces)
            i.silent = false;
    });
}

int VirtualR770::openHandles() const
{
    int open = 0;
    onMouse(m_id, [&](VirtualDevice &d) { open = d.handlesNotClosed; });
    return open;
}

std::vector<Transfer> VirtualR770::transfers() const
{
    return Bus::instance().transfers(m_id);
}

std::vector<Bytes> VirtualR770::receivedFrames() const
{
    std::vector<Bytes> frames;
    for (const Transfer &t : transfers())
        if (t.kind == TransferKind::FeatureOut && t.result >= 0)
            frames.push_back(t.frame);
    return frames;
}

VirtualR770 addMouse(const MouseConfig &config)
{
    if (!validConfig(config))
        return VirtualR770();
    const int id = Bus::instance().addDevice(config.vid, config.pid, usagesOf(config),
                                             std::make_unique<Firmware>(config),
                                             config.combinedInterface);
    return VirtualR770(id);
}

std::vector<VirtualR770> mice()
{
    std::vector<VirtualR770> all;
    for (int id : Bus::instance().mouseIds())
        all.emplace_back(id);
    return all;
}

int addOtherDevice(const OtherDeviceConfig &config)
{
    return Bus::instance().addDevice(config.vid, config.pid, config.interfaces, nullptr, false);
}

void setOtherDevicePlugged(int id, bool plugged) { Bus::instance().setPlugged(id, plugged); }

void resetBus() { Bus::instance().reset(); }

void setHotplugListener(std::function<void()> listener)
{
    Bus::instance().setHotplugListener(std::move(listener));
}

void setCallObserver(CallObserver observer)
{
    Bus::instance().setCallObserver(std::move(observer));
}

std::vector<Transfer> transferLog() { return Bus::instance().transfers(-1); }

void clearTransferLog() { Bus::instance().clearLog(); }

} // namespace vr770
