// The virtual R770 driven through hidapi's C functions, the way a host does.
#include <QtTest>

#include <hidapi.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "virtual_r770.h"

using namespace vr770;

namespace {

// A host-side frame: report id 0, code, parameters, complement checksum.
Bytes hostFrame(uint8_t code, std::initializer_list<uint8_t> params = {})
{
    Bytes f(9, 0);
    f[1] = code;
    int pos = 2;
    for (uint8_t p : params)
        f[pos++] = p;
    unsigned sum = 0;
    for (int i = 1; i < 8; ++i)
        sum += f[i];
    f[8] = uint8_t(~sum);
    return f;
}

// One exchange the way the program's link makes it: open, transfer, close.
class Host
{
public:
    Host(const VirtualR770 &mouse, std::string code = "Bx7R70")
        : path(mouse.commandPath()), config(mouse.config()), code(std::move(code))
    {
    }

    int send(Bytes frame)
    {
        if (config.scrambling)
            scramble(frame.data() + 1, code);
        hid_device *h = hid_open_path(path.c_str());
        if (!h)
            return -1;
        const int r = hid_send_feature_report(h, frame.data(), frame.size());
        hid_close(h);
        return r;
    }

    // Sends a frame and its block as output reports of reportLength + 1 bytes.
    int sendBlock(Bytes frame, const Bytes &block)
    {
        if (send(std::move(frame)) < 0)
            return -1;
        const size_t chunk = size_t(config.reportLength);
        for (size_t off = 0; off < block.size(); off += chunk) {
            Bytes report(chunk + 1, 0);
            std::copy_n(block.begin() + off, std::min(chunk, block.size() - off), report.begin() + 1);
            hid_device *h = hid_open_path(path.c_str());
            const int r = h ? hid_write(h, report.data(), report.size()) : -1;
            hid_close(h);
            if (r < 0)
                return -1;
        }
        return 0;
    }

    // Sends a query and returns the reply, unscrambled; empty on failure.
    Bytes query(Bytes frame)
    {
        if (send(std::move(frame)) < 0)
            return {};
        hid_device *h = hid_open_path(path.c_str());
        Bytes reply(9, 0);
        const int r = h ? hid_get_feature_report(h, reply.data(), reply.size()) : -1;
        hid_close(h);
        if (r != 9)
            return {};
        if (config.scrambling)
            unscramble(reply.data() + 1, code);
        return reply;
    }

    // Reads `count` input reports of the command interface, each with a time-out.
    std::vector<Bytes> readInput(int count, int timeoutMs = 1000)
    {
        std::vector<Bytes> got;
        for (int i = 0; i < count; ++i) {
            hid_device *h = hid_open_path(path.c_str());
            Bytes buf(size_t(config.reportLength) + 1, 0);
            const int n = h ? hid_read_timeout(h, buf.data(), buf.size(), timeoutMs) : -1;
            hid_close(h);
            if (n <= 0)
                break;
            buf.resize(size_t(n));
            got.push_back(buf);
        }
        return got;
    }

    std::string path;
    MouseConfig config;
    std::string code;
};

Bytes pattern(size_t n, uint8_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = uint8_t(seed + i * 7);
    return b;
}

MouseConfig hid560(int reportLength = 32)
{
    MouseConfig c;
    c.commandSet = CommandSet::Hid560;
    c.reportLength = reportLength;
    return c;
}

template <size_t N>
Bytes bytesOf(const std::array<uint8_t, N> &a)
{
    return Bytes(a.begin(), a.end());
}

// The firmware's remark on the last frame it received.
std::string lastFrameNote(const VirtualR770 &mouse);

std::vector<Transfer> ofKind(const std::vector<Transfer> &log, TransferKind kind)
{
    std::vector<Transfer> out;
    for (const auto &t : log)
        if (t.kind == kind)
            out.push_back(t);
    return out;
}

std::string lastFrameNote(const VirtualR770 &mouse)
{
    const auto frames = ofKind(mouse.transfers(), TransferKind::FeatureOut);
    return frames.empty() ? std::string() : frames.back().note;
}

} // namespace

class TestVirtualR770 : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetBus(); }
    void cleanupTestCase() { resetBus(); }

    void checksumAndScrambling()
    {
        // The frame of 01H with 04H: sum 05H, complement FAH.
        QCOMPARE(int(frameChecksum(hostFrame(0x01, {0x04}).data())), 0xFA);

        // A block worked out by hand from the scrambling steps with the shipped code.
        uint8_t block[8] = {0, 1, 2, 3, 4, 5, 6, 7};
        scramble(block, "Bx7R70");
        const Bytes expected{0xCF, 0x6F, 0x6A, 0x72, 0x2B, 0x04, 0x6E, 0x1F};
        QCOMPARE(Bytes(block, block + 8), expected);

        // Unscrambling inverts scrambling for any block and code.
        std::srand(7);
        for (int round = 0; round < 500; ++round) {
            uint8_t b[8], copy[8];
            std::string code(6, ' ');
            for (auto &c : code)
                c = char(std::rand() & 0xFF);
            for (int i = 0; i < 8; ++i)
                copy[i] = b[i] = uint8_t(std::rand());
            scramble(b, code);
            unscramble(b, code);
            QVERIFY(std::equal(b, b + 8, copy));
        }
    }

    void enumeration()
    {
        VirtualR770 a = addMouse();
        MouseConfig other;
        other.pid = 0xC771;
        VirtualR770 b = addMouse(other);
        addOtherDevice(); // a keyboard

        auto collect = [](uint16_t vid, uint16_t pid) {
            std::vector<std::tuple<std::string, uint16_t, uint16_t>> found;
            hid_device_info *all = hid_enumerate(vid, pid);
            for (auto *i = all; i; i = i->next)
                found.emplace_back(i->path, i->usage_page, i->usage);
            hid_free_enumeration(all);
            return found;
        };

        auto first = collect(0x2E3C, 0xC770);
        QCOMPARE(first.size(), size_t(2));
        QCOMPARE(std::get<0>(first[0]), a.commandPath());
        QCOMPARE(std::get<1>(first[0]), uint16_t(0xFF00));
        QCOMPARE(std::get<0>(first[1]), a.notifyPath());
        QCOMPARE(std::get<1>(first[1]), uint16_t(0xFF01));
        QVERIFY(a.commandPath() != a.notifyPath());
        QVERIFY(a.commandPath() != b.commandPath());

        QCOMPARE(collect(0x2E3C, 0).size(), size_t(4));
        QCOMPARE(collect(0, 0).size(), size_t(5)); // both mice and the keyboard
        QCOMPARE(mice().size(), size_t(2));

        a.unplug();
        QCOMPARE(collect(0x2E3C, 0xC770).size(), size_t(0));
        QVERIFY(!hid_open_path(a.commandPath().c_str()));
        a.plug();
        QCOMPARE(collect(0x2E3C, 0xC770).size(), size_t(2));

        QVERIFY(!addMouse(MouseConfig{CommandSet::Hid553, 1, 1, 1, 1, 1, 1, 65}).isValid());

        // One interface for both jobs: one path, commands and the button on it.
        MouseConfig combined;
        combined.pid = 0xC772;
        combined.combinedInterface = true;
        VirtualR770 single = addMouse(combined);
        QCOMPARE(collect(0x2E3C, 0xC772).size(), size_t(1));
        QCOMPARE(single.notifyPath(), single.commandPath());
        QCOMPARE(Host(single).query(hostFrame(0x8B)), hostFrame(0x8B, {1}));
        single.pressDpiButton(2);
        hid_device *h = hid_open_path(single.notifyPath().c_str());
        uint8_t buf[4] = {};
        QCOMPARE(hid_read_timeout(h, buf, 4, 100), 4);
        QCOMPARE(int(buf[3]), 2);
        hid_close(h);
    }

    void challengeAnswers()
    {
        VirtualR770 mouse = addMouse();
        Host host(mouse);
        Bytes reply = host.query(hostFrame(0x00, {0x11, 0x22, 0x33, 0x44}));
        QCOMPARE(reply, hostFrame(0x00, {0x11, 0x22, 0x33, 0x44}));

        // On the wire both directions are scrambled.
        const auto log = mouse.transfers();
        const auto out = ofKind(log, TransferKind::FeatureOut).back();
        const auto in = ofKind(log, TransferKind::FeatureIn).back();
        QCOMPARE(out.frame, hostFrame(0x00, {0x11, 0x22, 0x33, 0x44}));
        QVERIFY(out.wire != out.frame);
        QVERIFY(in.wire != in.frame);

        // A host with another code gets garbage back, and the firmware says why.
        Host stranger(mouse, "739158");
        reply = stranger.query(hostFrame(0x00, {0x11, 0x22, 0x33, 0x44}));
        QCOMPARE(reply.size(), size_t(9));
        QVERIFY(!(reply[2] == 0x11 && reply[3] == 0x22 && reply[4] == 0x33 && reply[5] == 0x44));
        QVERIFY(ofKind(mouse.transfers(), TransferKind::FeatureOut).back().note.find("checksum") != std::string::npos);

        // Without scrambling the challenge travels in plain bytes.
        MouseConfig plain;
        plain.scrambling = false;
        VirtualR770 open = addMouse(plain);
        Host plainHost(open);
        QCOMPARE(plainHost.query(hostFrame(0x00, {1, 2, 3, 4})), hostFrame(0x00, {1, 2, 3, 4}));
        QCOMPARE(ofKind(open.transfers(), TransferKind::FeatureIn).back().wire, hostFrame(0x00, {1, 2, 3, 4}));
    }

    void hid553Commands()
    {
        VirtualR770 mouse = addMouse();
        Host host(mouse);
        QCOMPARE(host.send(hostFrame(0x01, {0x04})), 9);
        host.send(hostFrame(0x02, {0x01}));
        host.send(hostFrame(0x03, {1, 2, 3, 4}));
        host.send(hostFrame(0x04, {0, 5, 6, 7, 8}));
        host.send(hostFrame(0x07, {0, 3, 0x7D, 1}));
        host.send(hostFrame(0x0B, {0x05}));
        host.send(hostFrame(0x0C, {0xFF, 0x80, 0x10}));
        host.send(hostFrame(0x0D, {2, 9, 8}));
        MouseState s = mouse.state();
        QCOMPARE(int(s.reportRate), 4);
        QCOMPARE(int(s.currentKeyMatrix), 1);
        QCOMPARE(s.keyboardOptions, (std::array<uint8_t, 4>{1, 2, 3, 4}));
        QCOMPARE(s.gunData, (std::array<uint8_t, 4>{5, 6, 7, 8}));
        QCOMPARE(int(s.liftOffStage), 3);
        QCOMPARE(int(s.liftOffEnable), 1);
        QCOMPARE(int(s.currentDpi), 5);
        QCOMPARE(s.fixedLedColor, (std::array<uint8_t, 3>{0xFF, 0x80, 0x10}));
        QCOMPARE(int(s.ledEffect), 2);
        QCOMPARE(int(s.ledEffectOption1), 9);
        QCOMPARE(int(s.ledEffectOption2), 8);

        QCOMPARE(host.query(hostFrame(0x83)), hostFrame(0x83, {1, 2, 3, 4}));
        QCOMPARE(host.query(hostFrame(0x8B)), hostFrame(0x8B, {5}));

        // Commands of the other set are not this firmware's.
        host.send(hostFrame(0x0F, {1, 0x80}));
        QVERIFY(lastFrameNote(mouse).find("unknown command") != std::string::npos);
    }

    void blocksAreReassembled_data()
    {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<int>("reports");
        QTest::newRow("32") << 32 << 4;
        QTest::newRow("64") << 64 << 2;
        QTest::newRow("48, last report partly padding") << 48 << 3;
    }

    void blocksAreReassembled()
    {
        QFETCH(int, reportLength);
        QFETCH(int, reports);
        MouseConfig c;
        c.reportLength = reportLength;
        VirtualR770 mouse = addMouse(c);
        Host host(mouse);

        const Bytes macro = pattern(128, 3);
        QCOMPARE(host.sendBlock(hostFrame(0x13, {12, 0x80}), macro), 0);
        const auto writes = ofKind(mouse.transfers(), TransferKind::OutputReport);
        QCOMPARE(int(writes.size()), reports);
        QCOMPARE(int(writes.front().wire.size()), reportLength + 1);
        QCOMPARE(bytesOf(mouse.state().macros[11]), macro);

        // An 8-byte block in one padded report; a 4-byte colour block for type 2.
        host.sendBlock(hostFrame(0x11, {6, 0x08}), {1, 2, 3, 4, 5, 6, 7, 8});
        host.sendBlock(hostFrame(0x10, {2, 0x04}), {9, 8, 7, 6});
        host.sendBlock(hostFrame(0x12, {2, 0x40, 0x08}), pattern(64, 9));
        const MouseState s = mouse.state();
        QCOMPARE(int(s.dpiStageCount), 6);
        QCOMPARE(s.dpiStageCodes, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(s.ledStageColors.at(2), (Bytes{9, 8, 7, 6}));
        QCOMPARE(bytesOf(s.keyMatrices[1]), pattern(64, 9));
    }

    void blockFaults()
    {
        VirtualR770 mouse = addMouse();
        Host host(mouse);
        const Bytes block = pattern(128, 1);

        // A frame interrupting a block drops the half received one.
        host.send(hostFrame(0x13, {1, 0x80}));
        Bytes report(33, 0);
        std::copy_n(block.begin(), 32, report.begin() + 1);
        hid_device *h = hid_open_path(mouse.commandPath().c_str());
        QCOMPARE(hid_write(h, report.data(), report.size()), 33);
        hid_close(h);
        host.send(hostFrame(0x0B, {2}));
        QVERIFY(lastFrameNote(mouse).find("incomplete block") != std::string::npos);
        QCOMPARE(mouse.state().macros[0], (std::array<uint8_t, 128>{}));

        // Out-of-range slots and stray data are refused without touching state.
        host.sendBlock(hostFrame(0x13, {13, 0x80}), block);
        host.sendBlock(hostFrame(0x12, {0, 0x40, 0x08}), pattern(64, 2));
        const MouseState s = mouse.state();
        for (const auto &m : s.macros)
            QCOMPARE(m, (std::array<uint8_t, 128>{}));
        for (const auto &k : s.keyMatrices)
            QCOMPARE(k, (std::array<uint8_t, 64>{}));
        QVERIFY(ofKind(mouse.transfers(), TransferKind::OutputReport).back().note.find("unexpected output report") != std::string::npos);

        // Reports longer than the report length do not fit the interface.
        Bytes tooLong(34, 0);
        h = hid_open_path(mouse.commandPath().c_str());
        QCOMPARE(hid_write(h, tooLong.data(), tooLong.size()), -1);
        hid_close(h);
    }

    void hid560Profiles_data()
    {
        QTest::addColumn<int>("reportLength");
        QTest::newRow("32") << 32;
        QTest::newRow("64") << 64;
    }

    void hid560Profiles()
    {
        QFETCH(int, reportLength);
        VirtualR770 mouse = addMouse(hid560(reportLength));
        Host host(mouse);

        const Bytes profile = pattern(128, 40);
        host.sendBlock(hostFrame(0x0C, {3, 0x80}), profile);
        QCOMPARE(bytesOf(mouse.state().profiles[3]), profile);

        QCOMPARE(host.query(hostFrame(0x8C, {3})), hostFrame(0x8C, {3}));
        const auto reports = host.readInput(128 / reportLength + 1, 100);
        QCOMPARE(int(reports.size()), 128 / reportLength); // no report beyond the block
        Bytes read;
        for (const auto &r : reports) {
            QCOMPARE(int(r.size()), reportLength); // no report id byte
            read.insert(read.end(), r.begin(), r.end());
        }
        QCOMPARE(read, profile);

        // A new frame drops what the host did not read of an earlier block.
        host.query(hostFrame(0x8C, {3}));
        host.send(hostFrame(0x02, {2}));
        QCOMPARE(host.readInput(1, 10).size(), size_t(0));
    }

    void hid560Commands()
    {
        VirtualR770 mouse = addMouse(hid560());
        Host host(mouse);
        host.send(hostFrame(0x01, {0x08, 0x02}));
        host.send(hostFrame(0x02, {2}));
        for (uint8_t n = 1; n <= 4; ++n) {
            host.send(hostFrame(0x03, {n, uint8_t(n + 10)}));
            host.send(hostFrame(0x04, {n, uint8_t(n + 1)}));
        }
        host.sendBlock(hostFrame(0x0D, {4, 0x80}), pattern(128, 5));
        host.sendBlock(hostFrame(0x0F, {1, 0x80}), pattern(128, 6));
        const MouseState s = mouse.state();
        QCOMPARE(int(s.keyboardOptions[0]), 8);
        QCOMPARE(int(s.keyboardOptions[1]), 2);
        QCOMPARE(int(s.currentProfile), 2);
        QCOMPARE(s.profileReportRate, (std::array<uint8_t, 5>{0, 11, 12, 13, 14}));
        QCOMPARE(s.profileDpi, (std::array<uint8_t, 5>{1, 2, 3, 4, 5}));
        QCOMPARE(bytesOf(s.keyMatrixBlocks[3]), pattern(128, 5));
        QCOMPARE(bytesOf(s.macros[0]), pattern(128, 6));

        QCOMPARE(host.query(hostFrame(0x81)), hostFrame(0x81, {8, 2}));
        QCOMPARE(host.query(hostFrame(0x82)), hostFrame(0x82, {2}));
        QCOMPARE(host.query(hostFrame(0x84, {1})), hostFrame(0x84, {1, 2}));
        QCOMPARE(host.query(hostFrame(0x84, {4})), hostFrame(0x84, {4, 5}));

        // Profile slot 0 does not exist for the per-profile commands.
        host.send(hostFrame(0x04, {0, 9}));
        QCOMPARE(mouse.state().profileDpi[0], uint8_t(1));
    }

    void dpiButtonNotifies()
    {
        VirtualR770 mouse = addMouse();
        // Pressed while nothing is open: kept for the next open.
        mouse.pressDpiButton(3);
        QCOMPARE(int(mouse.state().currentDpi), 3);

        hid_device *h = hid_open_path(mouse.notifyPath().c_str());
        QVERIFY(h);
        uint8_t buf[4] = {};
        QCOMPARE(hid_read_timeout(h, buf, 4, 500), 4);
        QCOMPARE(Bytes(buf, buf + 4), (Bytes{0x06, 0x07, 0x00, 0x03}));

        // Nothing more: the read times out after at least its time-out.
        const auto start = std::chrono::steady_clock::now();
        QCOMPARE(hid_read_timeout(h, buf, 4, 50), 0);
        QVERIFY(std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(50));

        // A press from another thread wakes a blocking read.
        std::thread presser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            mouse.pressDpiButton(6);
        });
        QCOMPARE(hid_read_timeout(h, buf, 4, -1), 4);
        presser.join();
        QCOMPARE(int(buf[3]), 6);
        hid_close(h);

        const auto reads = ofKind(mouse.transfers(), TransferKind::NotificationRead);
        QCOMPARE(reads.size(), size_t(3));
        QCOMPARE(reads[1].note, std::string("time-out"));

        // On a hid560 mouse the button changes the current profile's stage.
        VirtualR770 m560 = addMouse(hid560());
        m560.setCurrentProfile(3);
        m560.pressDpiButton(4);
        QCOMPARE(int(m560.state().profileDpi[3]), 4);
    }

    void unplugWakesBlockedReads()
    {
        VirtualR770 mouse = addMouse();
        int calls = 0;
        setHotplugListener([&] { ++calls; });

        hid_device *h = hid_open_path(mouse.notifyPath().c_str());
        QVERIFY(h);
        std::atomic<int> result{1};
        std::thread reader([&] {
            uint8_t buf[4];
            result = hid_read_timeout(h, buf, 4, -1);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        mouse.unplug();
        reader.join();
        QCOMPARE(result.load(), -1);
        QCOMPARE(calls, 1);

        uint8_t frame[9] = {};
        QCOMPARE(hid_send_feature_report(h, frame, 9), -1);
        QVERIFY(!hid_open_path(mouse.commandPath().c_str()));
        mouse.pressDpiButton(2); // no power, no report

        // Plugged back: same paths, settings kept, the old handle stays dead.
        mouse.setKeyboardOptions({1, 2, 3, 4});
        mouse.plug();
        QCOMPARE(calls, 2);
        uint8_t buf[4];
        QCOMPARE(hid_read_timeout(h, buf, 4, 0), -1);
        hid_close(h);
        Host host(mouse);
        QCOMPARE(host.query(hostFrame(0x83)), hostFrame(0x83, {1, 2, 3, 4}));
        h = hid_open_path(mouse.notifyPath().c_str());
        QCOMPARE(hid_read_timeout(h, buf, 4, 0), 0); // the press while unplugged is lost
        hid_close(h);
    }

    void closeWakesReaderOnSameHandle()
    {
        VirtualR770 mouse = addMouse();
        hid_device *h = hid_open_path(mouse.notifyPath().c_str());
        std::atomic<int> result{1};
        std::thread reader([&] {
            uint8_t buf[4];
            result = hid_read_timeout(h, buf, 4, 5000);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        hid_close(h);
        reader.join();
        QCOMPARE(result.load(), -1);
    }

    void injectedFaults()
    {
        VirtualR770 mouse = addMouse(hid560());
        Host host(mouse);
        host.sendBlock(hostFrame(0x0C, {0, 0x80}), pattern(128, 1));

        // The 2nd read on the command interface fails; the first and third work.
        mouse.failCall(Interface::Command, Call::Read, 2);
        host.query(hostFrame(0x8C, {0}));
        QCOMPARE(host.readInput(4).size(), size_t(1));
        QCOMPARE(host.readInput(3).size(), size_t(3));

        // The next write fails, then writes work again.
        mouse.failCall(Interface::Command, Call::Write);
        QCOMPARE(host.sendBlock(hostFrame(0x0F, {2, 0x80}), pattern(128, 2)), -1);
        QCOMPARE(host.sendBlock(hostFrame(0x0F, {2, 0x80}), pattern(128, 2)), 0);

        mouse.failCall(Interface::Command, Call::GetFeatureReport);
        QVERIFY(host.query(hostFrame(0x82)).empty());
        mouse.failCall(Interface::Command, Call::SendFeatureReport);
        QCOMPARE(host.send(hostFrame(0x02, {3})), -1);

        mouse.failCall(Interface::Notification, Call::Open);
        QVERIFY(!hid_open_path(mouse.notifyPath().c_str()));
        mouse.setOpenRefused(true);
        QVERIFY(!hid_open_path(mouse.commandPath().c_str()));
        mouse.setOpenRefused(false);

        // Silence: the block is held back, a bounded read times out.
        mouse.setSilent(Interface::Command, true);
        host.query(hostFrame(0x8C, {0}));
        QCOMPARE(host.readInput(1, 30).size(), size_t(0));
        mouse.setSilent(Interface::Command, false);
        QCOMPARE(host.readInput(4, 30).size(), size_t(4));

        // A busy firmware ignores frames and data.
        mouse.setBusy(true);
        QCOMPARE(host.send(hostFrame(0x02, {4})), 9);
        QVERIFY(lastFrameNote(mouse).find("busy") != std::string::npos);
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

    void transferLog()
    {
        VirtualR770 mouse = addMouse();
        Host host(mouse);
        host.sendBlock(hostFrame(0x11, {2, 0x08}), pattern(8, 1));
        const auto log = mouse.transfers();
        std::vector<TransferKind> kinds;
        for (const auto &t : log)
            kinds.push_back(t.kind);
        const std::vector<TransferKind> expected{TransferKind::Open, TransferKind::FeatureOut, TransferKind::Close,
                                                 TransferKind::Open, TransferKind::OutputReport, TransferKind::Close};
        QVERIFY(kinds == expected);
        for (size_t i = 1; i < log.size(); ++i)
            QVERIFY(log[i].timeUs >= log[i - 1].timeUs);
        QCOMPARE(log[1].frame, hostFrame(0x11, {2, 0x08}));
        QCOMPARE(log[4].wire.size(), size_t(33));
        QVERIFY(log[4].interface == Interface::Command);
        QCOMPARE(mouse.receivedFrames(), std::vector<Bytes>{hostFrame(0x11, {2, 0x08})});

        clearTransferLog();
        QVERIFY(vr770::transferLog().empty());
    }

    void concurrentReaderAndCommands()
    {
        // The notification watch on one thread, commands on another.
        VirtualR770 mouse = addMouse();
        std::atomic<bool> stop{false};
        std::atomic<int> notices{0};
        std::thread watch([&] {
            while (!stop) {
                hid_device *h = hid_open_path(mouse.notifyPath().c_str());
                uint8_t buf[4];
                if (h && hid_read_timeout(h, buf, 4, 5) == 4)
                    ++notices;
                hid_close(h);
            }
        });
        Host host(mouse);
        for (uint8_t i = 1; i <= 20; ++i) {
            host.send(hostFrame(0x0B, {i}));
            mouse.pressDpiButton(i);
        }
        while (notices < 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        stop = true;
        watch.join();
        QCOMPARE(notices.load(), 20);
    }
};

QTEST_GUILESS_MAIN(TestVirtualR770)
#include "tst_virtual_r770.moc"
