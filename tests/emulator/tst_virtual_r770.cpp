// The virtual R770's own guarantees, driven through hidapi's C functions the
// way a host does. What the program's link does with it is tested beside the
// link; here: the firmware model's checks, block handling, faults, log and
// thread safety.
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

    void challengeIsScrambledBothWays()
    {
        VirtualR770 mouse = addMouse();
        const Bytes challenge = hostFrame(0x00, {0x11, 0x22, 0x33, 0x44});
        QCOMPARE(Host{mouse}.query(challenge), challenge);

        // The log: plain frames beside the scrambled wire bytes.
        const auto log = mouse.transfers();
        QCOMPARE(log[1].frame, challenge);
        QCOMPARE(log[4].frame, challenge);
        QVERIFY(log[1].wire != challenge && log[4].wire != challenge);
        QCOMPARE(mouse.receivedFrames(), std::vector<Bytes>{challenge});

        // A host with another code gets garbage back, and the firmware says why.
        const Bytes reply = Host{mouse, "739158"}.query(challenge);
        QCOMPARE(reply.size(), size_t(9));
        QVERIFY(!std::equal(reply.begin() + 2, reply.begin() + 6, challenge.begin() + 2));
        QVERIFY(lastNoteHas(mouse, TransferKind::FeatureOut, "checksum"));
    }

    void blocksAreReassembled_data()
    {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<int>("reports");
        QTest::newRow("32") << 32 << 4;
        QTest::newRow("48, last report partly padding") << 48 << 3;
        QTest::newRow("256, one report") << 256 << 1;
    }

    void blocksAreReassembled()
    {
        QFETCH(int, reportLength);
        QFETCH(int, reports);
        MouseConfig config;
        config.reportLength = reportLength;
        VirtualR770 mouse = addMouse(config);
        Bytes macro(128);
        std::iota(macro.begin(), macro.end(), uint8_t(3));
        QCOMPARE(Host{mouse}.sendBlock(hostFrame(0x13, {12, 0x80}), macro), 0);
        int writes = 0;
        for (const auto &t : mouse.transfers())
            if (t.kind == TransferKind::OutputReport) {
                ++writes;
                QCOMPARE(int(t.wire.size()), reportLength + 1);
            }
        QCOMPARE(writes, reports);
        const auto slot = mouse.state().macros[11];
        QCOMPARE(Bytes(slot.begin(), slot.end()), macro);
        for (int refused : {0, MaxReportLength + 1}) {
            config.reportLength = refused;
            QVERIFY(!addMouse(config).isValid());
        }
    }

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

        // The 2nd read on the command interface fails; the first and third work.
        mouse.failCall(Interface::Command, Call::Read, 2);
        host.query(hostFrame(0x8C, {0}));
        QCOMPARE(host.readInput(4), 1);
        QCOMPARE(host.readInput(3), 3);

        // Failures of the other calls and refused opens are struck through
        // the link, call by call, in the fault matrix.

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

    void callObserverAndOpenHandles()
    {
        VirtualR770 mouse = addMouse();
        std::vector<std::pair<Interface, Call>> seen;
        setCallObserver([&](int device, Interface in, Call call) {
            QCOMPARE(device, mouse.id());
            seen.emplace_back(in, call);
            // Switching a fault on from here hits the call being made.
            if (call == Call::Write)
                mouse.unplug();
        });

        hid_device *h = hid_open_path(mouse.commandPath().c_str());
        QVERIFY(h);
        QCOMPARE(mouse.openHandles(), 1);
        QCOMPARE(hid_set_nonblocking(h, 0), 0);
        Bytes report(33, 0);
        QCOMPARE(hid_write(h, report.data(), report.size()), -1);
        // A handle the unplug killed stays open until the host closes it.
        QCOMPARE(mouse.openHandles(), 1);
        hid_close(h);
        QCOMPARE(mouse.openHandles(), 0);
        const decltype(seen) expected{{Interface::Command, Call::Open},
                                      {Interface::Command, Call::SetNonblocking},
                                      {Interface::Command, Call::Write}};
        QVERIFY(seen == expected);

        // An open of an unplugged mouse is still a call the observer sees.
        QVERIFY(!hid_open_path(mouse.notifyPath().c_str()));
        QVERIFY(seen.back() == std::make_pair(Interface::Notification, Call::Open));
        setCallObserver({});
        QCOMPARE(mouse.openHandles(), 0);
    }

    // As on hidraw, a report sent while no handle is open on its interface
    // is lost; one that came in while a handle was open waits for a read.
    void reportsReachOpenInterfacesOnly()
    {
        VirtualR770 mouse = addMouse();
        const auto readNow = [&] {
            Bytes buf(4);
            return onHandle(mouse.notifyPath(), [&](hid_device *n) { return hid_read_timeout(n, buf.data(), 4, 0); });
        };
        mouse.pressDpiButton(2);
        QCOMPARE(readNow(), 0);

        hid_device *h = hid_open_path(mouse.notifyPath().c_str());
        mouse.pressDpiButton(3);
        hid_close(h);
        QCOMPARE(readNow(), 4);

        mouse.setReportsKeptWhileClosed(true);
        mouse.pressDpiButton(4);
        QCOMPARE(readNow(), 4);
        mouse.clearFaults();
        mouse.pressDpiButton(5);
        QCOMPARE(readNow(), 0);
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
