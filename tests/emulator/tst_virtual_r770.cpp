// The virtual R770's own guarantees, driven through hidapi's C functions the
// way a host does. What the program's link does with it is tested beside the
// link, which also shows scrambling and block reassembly; here: the
// firmware model's refusals (cut-short and stray blocks, bad checksums),
// silence and busyness, and notifications across threads.
#include <QtTest>

#include <hidapi.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>

#include "virtual_r770.h"

using namespace vr770;
using std::chrono::milliseconds;

namespace {

// A host-side frame: report id 0, code, parameters, complement checksum.
Bytes hostFrame(uint8_t code, std::initializer_list<uint8_t> params = {})
{
    Bytes f(9, 0);
    f[1] = code;
    std::copy(params.begin(), params.end(), f.begin() + 2);
    f[8] = uint8_t(~std::accumulate(f.begin() + 1, f.begin() + 8, 0u));
    return f;
}

// One transfer on its own handle, the way the program's link makes it.
template <typename Op>
int onHandle(const std::string &path, Op op)
{
    hid_device *h = hid_open_path(path.c_str());
    const int r = h ? op(h) : -1;
    hid_close(h);
    return r;
}

// A host with its own copy of the secrecy code, on a scrambling mouse.
struct Host
{
    VirtualR770 mouse;
    std::string code = "Bx7R70";

    int send(Bytes f)
    {
        scramble(f.data() + 1, code);
        return onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_send_feature_report(h, f.data(), f.size()); });
    }

    // The frame, then the block as output reports of reportLength + 1 bytes.
    int sendBlock(Bytes frame, const Bytes &block)
    {
        const size_t chunk = size_t(mouse.config().reportLength);
        int r = send(std::move(frame));
        for (size_t off = 0; r >= 0 && off < block.size(); off += chunk) {
            Bytes report(chunk + 1, 0);
            std::copy_n(block.begin() + off, std::min(chunk, block.size() - off), report.begin() + 1);
            r = onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_write(h, report.data(), report.size()); });
        }
        return r < 0 ? -1 : 0;
    }

    // The reply to a query, unscrambled; empty on failure.
    Bytes query(Bytes frame)
    {
        Bytes reply(9, 0);
        if (send(std::move(frame)) < 0
            || onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_get_feature_report(h, reply.data(), reply.size()); }) != 9)
            return {};
        unscramble(reply.data() + 1, code);
        return reply;
    }

    // How many of up to `count` input reports arrive, each read with a time-out.
    int readInput(int count, int timeoutMs = 1000)
    {
        Bytes buf(size_t(mouse.config().reportLength) + 1, 0);
        for (int i = 0; i < count; ++i)
            if (onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_read_timeout(h, buf.data(), buf.size(), timeoutMs); }) <= 0)
                return i;
        return count;
    }
};

// Starts a blocking read of the notification interface on another thread,
// runs `action` on this one and returns what the read returned.
template <typename Action>
int blockedRead(hid_device *h, Bytes &buf, Action action)
{
    std::atomic<int> result{1};
    std::thread reader([&] { result = hid_read_timeout(h, buf.data(), buf.size(), -1); });
    std::this_thread::sleep_for(milliseconds(30));
    action();
    reader.join();
    return result;
}

// Whether the firmware's remark on the last transfer of `kind` mentions `text`.
bool lastNoteHas(const VirtualR770 &mouse, TransferKind kind, const char *text)
{
    const auto log = mouse.transfers();
    const auto it = std::find_if(log.rbegin(), log.rend(), [&](const Transfer &t) { return t.kind == kind; });
    return it != log.rend() && it->note.find(text) != std::string::npos;
}

} // namespace

class TestVirtualR770 : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetBus(); }
    void cleanupTestCase() { resetBus(); }

    void blockFaults()
    {
        VirtualR770 mouse = addMouse();
        Host host{mouse};

        // A frame interrupting a block drops the half received one.
        QCOMPARE(host.sendBlock(hostFrame(0x13, {1, 0x80}), Bytes(32, 1)), 0);
        host.send(hostFrame(0x0B, {2}));
        QVERIFY(lastNoteHas(mouse, TransferKind::FeatureOut, "incomplete block"));

        // Out-of-range slots and stray data are refused without touching state.
        host.sendBlock(hostFrame(0x13, {13, 0x80}), Bytes(128, 1));
        host.sendBlock(hostFrame(0x12, {0, 0x40, 0x08}), Bytes(64, 2));
        const MouseState s = mouse.state();
        QVERIFY(s.macros == decltype(s.macros){});
        QVERIFY(s.keyMatrices == decltype(s.keyMatrices){});
        QVERIFY(lastNoteHas(mouse, TransferKind::OutputReport, "unexpected output report"));

        // Reports longer than the report length do not fit the interface.
        QCOMPARE(onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_write(h, Bytes(34).data(), 34); }), -1);
    }

    void injectedFaults()
    {
        VirtualR770 mouse = addMouse(MouseConfig{CommandSet::Hid560});
        Host host{mouse};

        // Failed calls, refused opens and the call observer are struck
        // through the link, call by call, in the fault matrix.

        // Silence holds the block back; a bounded read times out.
        mouse.setSilent(Interface::Command, true);
        host.query(hostFrame(0x8C, {0}));
        QCOMPARE(host.readInput(1, 30), 0);
        mouse.setSilent(Interface::Command, false);
        QCOMPARE(host.readInput(4, 30), 4);

        // A busy firmware accepts the transfer but ignores the frame.
        mouse.setBusy(true);
        QCOMPARE(host.send(hostFrame(0x02, {4})), 9);
        QVERIFY(lastNoteHas(mouse, TransferKind::FeatureOut, "busy"));
        QCOMPARE(int(mouse.state().currentProfile), 1);
        mouse.clearFaults();
        host.send(hostFrame(0x02, {4}));
        QCOMPARE(int(mouse.state().currentProfile), 4);

        // A frame with a wrong checksum is ignored.
        Bytes bad = hostFrame(0x02, {5});
        bad[8] ^= 1;
        host.send(bad);
        QCOMPARE(int(mouse.state().currentProfile), 4);
    }

    void notificationsAcrossThreads()
    {
        VirtualR770 mouse = addMouse();
        Host host{mouse};
        // A press from another thread wakes a blocking read.
        int hotplugCalls = 0;
        setHotplugListener([&] { ++hotplugCalls; });
        hid_device *h = hid_open_path(mouse.notifyPath().c_str());
        QVERIFY(h);
        Bytes buf(4);
        QCOMPARE(blockedRead(h, buf, [&] { mouse.pressDpiButton(6); }), 4);
        QCOMPARE(buf, (Bytes{0x06, 0x07, 0x00, 0x06}));

        // Unplugging fails the reader and every later call on its handle.
        QCOMPARE(blockedRead(h, buf, [&] { mouse.unplug(); }), -1);
        QCOMPARE(hotplugCalls, 1);
        QVERIFY(!hid_open_path(mouse.commandPath().c_str()));

        // Plugged back: settings kept, the old handle stays dead.
        mouse.setKeyboardOptions({1, 2, 3, 4});
        mouse.plug();
        QCOMPARE(hotplugCalls, 2);
        QCOMPARE(hid_read_timeout(h, buf.data(), 4, 0), -1);
        hid_close(h);
        QCOMPARE(host.query(hostFrame(0x83)), hostFrame(0x83, {1, 2, 3, 4}));
    }
};

QTEST_GUILESS_MAIN(TestVirtualR770)
#include "tst_virtual_r770.moc"
