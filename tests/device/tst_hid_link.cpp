// The link against the virtual mouse: scrambling and the handshake, every
// command of both sets (the frame the firmware received, descrambled, the
// blocks it got and the replies it gave), pauses, failures, the busy flag and
// nested commands.
#include "linkrig.h"
#include "scramble.h"

#include <QTimer>
#include <QtTest>

#include <array>
#include <functional>
#include <numeric>

using Block128 = std::array<uchar, Hid_Thread::MaxBlockLength>;

static Block128 pattern(uchar start)
{
    Block128 a;
    std::iota(a.begin(), a.end(), start);
    return a;
}

static bool allBytes(const Block128 &b, uchar v) { return std::all_of(b.begin(), b.end(), [v](uchar x) { return x == v; }); }

static QByteArray keyText() { return QByteArray(reinterpret_cast<const char *>(&secrecyKey[1]), 6); }

// Runs each call and compares the frame the mouse received last.
static void runSteps(LinkRig &rig, const QList<QPair<std::function<void(Hid_Thread &)>, QString>> &steps)
{
    for (const auto &step : steps) {
        step.first(*rig.link);
        QCOMPARE(rig.lastFrame(), step.second);
    }
    QVERIFY(rig.linkIdle());
}

class TstHidLink : public QObject
{
    Q_OBJECT

private slots:
    void scrambling()
    {
        const auto scrambled = [](const char *plainHex, const uchar *key, const uchar *table) {
            QByteArray b = QByteArray::fromHex(plainHex);
            scramble::encrypt(reinterpret_cast<uchar *>(b.data()), key, table);
            return QString(b.toHex(' ').toUpper());
        };
        const uchar zero[8] = {}, full[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        // Zero key and table: the exchange (55 44 77 66 11 00 33 22), then a 3-bit left rotation.
        QCOMPARE(scrambled("0011223344556677", zero, zero), QString("AA 23 BB 30 88 01 99 12"));
        // Key bytes 0 and 7 are unused and block bytes 0 and 7 never keyed.
        QCOMPARE(scrambled("0000000000000000", full, zero), QString("07 FF FF FF FF FF F8 00"));

        // The checksum covers the code and all six parameters (hand-computed).
        const frame::CommandFrame f = frame::build(0x11, {1, 2, 3, 4, 5, 6});
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size())).toHex(' ').toUpper(),
                 QByteArray("00 11 01 02 03 04 05 06 D9"));
        // That descrambling undoes scrambling: fuzz_replay_scramble.
    }

    void handshake()
    {
        LinkRig rig;
        QVERIFY(rig.handshakeOk);
        QCOMPARE(keyText(), QByteArray("Bx7R70"));

        // A five-character code is tried with the key of the previous
        // handshake; an index outside the table fails and keeps the key.
        DeviceEntry shortCode = entryFor(rig.mouse), wrong = shortCode;
        shortCode.sCode = "Bx7R7";
        wrong.sCode = "Zzzzzz";
        rig.link->replaceDeviceList({shortCode, wrong});
        QVERIFY(rig.link->chkDeviceIsEnCode(0));
        QVERIFY(!rig.link->chkDeviceIsEnCode(1));
        QVERIFY(!rig.link->chkDeviceIsEnCode(0));
        QVERIFY(!rig.link->chkDeviceIsEnCode(5));
        QCOMPARE(keyText(), QByteArray("Zzzzzz"));

        // An unplugged mouse fails.
        rig.link->replaceDeviceList({entryFor(rig.mouse)});
        rig.mouse.unplug();
        QVERIFY(!rig.link->chkDeviceIsEnCode(0));
        // A mouse without scrambling: the fault matrix's hid560 handshake.
    }

    void hid553Commands()
    {
        LinkRig rig;
        QVERIFY(rig.handshakeOk);
        Block128 block = pattern(0x10);
        uchar *data = block.data();
        uchar o[4] = {}, stage = 0;
        runSteps(rig, {
            {[](Hid_Thread &h) { h.hid553_01H_SetReportRate(4); }, "00 01 04 00 00 00 00 00 FA"},
            {[](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(3); }, "00 02 03 00 00 00 00 00 FA"},
            {[](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 4); }, "00 03 01 02 03 04 00 00 F2"},
            {[&](Hid_Thread &h) { h.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]); }, "00 83 00 00 00 00 00 00 7C"},
            {[](Hid_Thread &h) { h.hid553_04H_SetGunData(1, 2, 3, 4); }, "00 04 00 01 02 03 04 00 F1"},
            {[](Hid_Thread &h) { h.hid553_07H_Lod(2, 1); }, "00 07 00 02 7D 01 00 00 78"},
            {[](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(5); }, "00 0B 05 00 00 00 00 00 EF"},
            {[&](Hid_Thread &h) { h.hid553_8BH_GetCurrentDPI(stage); }, "00 8B 00 00 00 00 00 00 74"},
            {[&](Hid_Thread &h) { h.hid553_0CH_SetFixLEDColor(data); }, "00 0C 10 11 12 00 00 00 C0"},
            // Only the low 8 bits of the sum count.
            {[](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(0xF3, 4, 5); }, "00 0D F3 04 05 00 00 00 F6"},
            // Type 2 carries 4 colour bytes, any other type 24.
            {[&](Hid_Thread &h) { h.hid553_10H_SetLED8StageColor(2, data); }, "00 10 02 04 00 00 00 00 E9"},
            {[&](Hid_Thread &h) { h.hid553_10H_SetLED8StageColor(1, data); }, "00 10 01 18 00 00 00 00 D6"},
            {[&](Hid_Thread &h) { h.hid553_11H_SetDPISet(6, data); }, "00 11 06 08 00 00 00 00 E0"},
            {[&](Hid_Thread &h) { h.hid553_12H_SetKeyMatrix(data, 2); }, "00 12 02 40 08 00 00 00 A3"},
            {[&](Hid_Thread &h) { h.hid553_13H_SetMacroKey(3, data); }, "00 13 03 80 00 00 00 00 69"},
        });
        QCOMPARE(QList<int>({o[0], o[1], o[2], o[3], stage}), QList<int>({1, 2, 3, 4, 5}));
        const vr770::MouseState s = rig.mouse.state();
        QCOMPARE(s.ledStageColors.at(2), vr770::Bytes(block.begin(), block.begin() + 4));
        QVERIFY(std::equal(s.keyMatrices[1].begin(), s.keyMatrices[1].end(), block.begin()));
        // The recoil data is followed by one short pause and no settling.
        const PauseTally before = rig.link->pauses();
        rig.link->hid553_04H_SetGunData(1, 2, 3, 4);
        QCOMPARE(rig.link->pauses().milliseconds - before.milliseconds, 8ull);
    }

    void hid560Commands()
    {
        LinkRig rig(CommandSet::Hid560, 64);
        QVERIFY(rig.handshakeOk);
        Block128 block = pattern(0x80), read{};
        uchar *data = block.data();
        rig.mouse.setCurrentDpi(4);
        uchar o1 = 0, o2 = 0, current = 0x33, selector = 1, dpi = 0;
        runSteps(rig, {
            {[](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(1, 2); }, "00 01 01 02 00 00 00 00 FB"},
            {[&](Hid_Thread &h) { h.hid560_81H_GetKeyboardoption(o1, o2); }, "00 81 00 00 00 00 00 00 7E"},
            {[](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(3); }, "00 02 03 00 00 00 00 00 FA"},
            // 82H sends nothing of its argument; 84H sends its selector.
            {[&](Hid_Thread &h) { h.hid560_82H_GetCurrentProfile(current); }, "00 82 00 00 00 00 00 00 7D"},
            {[&](Hid_Thread &h) { h.hid560_84H_GetCurrentDPI(selector, dpi); }, "00 84 01 00 00 00 00 00 7A"},
            {[&](Hid_Thread &h) { h.hid560_0CH_setProfile(data, 1); }, "00 0C 01 80 00 00 00 00 72"},
            {[&](Hid_Thread &h) { h.hid560_8CH_readProfile(read.data(), 1); }, "00 8C 01 00 00 00 00 00 72"},
            {[&](Hid_Thread &h) { h.hid560_0FH_SetMacroKey(3, data); }, "00 0F 03 80 00 00 00 00 6D"},
            {[&](Hid_Thread &h) { h.hid560_0DH_SetKeyMatrix(data, 2); }, "00 0D 02 80 00 00 00 00 70"},
        });
        QCOMPARE(QList<int>({o1, o2, current, selector, dpi}), QList<int>({1, 2, 3, 1, 4}));
        // The profile read back in two input reports.
        QCOMPARE(read, block);
        QCOMPARE(rig.of(TransferKind::InputReport).size(), size_t(2));
        const vr770::MouseState s = rig.mouse.state();
        QCOMPARE(s.profiles[1], block);
        QCOMPARE(s.macros[2], block);
        // The key matrix travels as 128 bytes, the second half zero.
        std::fill(block.begin() + 64, block.end(), 0);
        QCOMPARE(s.keyMatrixBlocks[1], block);

        // Without recoil support 04H and 03H go to every target 1..4, and the
        // link is held for the whole series: a command due between its frames
        // gives up. With recoil support only the first target is sent.
        vr770::clearTransferLog();
        QTimer::singleShot(200, rig.link.get(), [&rig] { rig.link->hid560_02H_SetCurrentProfile(4); });
        rig.link->hid560_04H_SetCurrentDPI(2);
        rig.link->hid560_03H_SetReportRate(7);
        rig.owner.isGun = true;
        rig.link->hid560_04H_SetCurrentDPI(3);
        rig.link->hid560_03H_SetReportRate(1);
        QCOMPARE(rig.frames(), QStringList({"00 04 01 02 00 00 00 00 F8", "00 04 02 02 00 00 00 00 F7",
                                            "00 04 03 02 00 00 00 00 F6", "00 04 04 02 00 00 00 00 F5",
                                            "00 03 01 07 00 00 00 00 F4", "00 03 02 07 00 00 00 00 F3",
                                            "00 03 03 07 00 00 00 00 F2", "00 03 04 07 00 00 00 00 F1",
                                            "00 04 01 03 00 00 00 00 F7", "00 03 01 01 00 00 00 00 FA"}));
        QCOMPARE(rig.debug(), QStringList({"cmd Failed 02 "}));
        QVERIFY(rig.linkIdle());
    }

    void blockReports_data()
    {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<int>("blockLength");
        QTest::addColumn<int>("reports");
        QTest::newRow("128 at 32") << 32 << 128 << 4;
        QTest::newRow("24 at 20, last chunk cut") << 20 << 24 << 2;
        QTest::newRow("128 at 256") << 256 << 128 << 1;
    }
    void blockReports()
    {
        QFETCH(int, reportLength);
        QFETCH(int, blockLength);
        QFETCH(int, reports);
        LinkRig rig(CommandSet::Hid553, reportLength);
        Block128 block = pattern(0x01);
        const PauseTally before = rig.link->pauses();
        if (blockLength == 128)
            rig.link->hid553_13H_SetMacroKey(1, block.data());
        else
            rig.link->hid553_10H_SetLED8StageColor(0, block.data());

        // Each report: id 0, then its part of the block, zero-padded.
        const auto out = rig.of(TransferKind::OutputReport);
        QCOMPARE(int(out.size()), reports);
        std::fill(block.begin() + blockLength, block.end(), 0);
        for (int r = 0; r < reports; ++r) {
            vr770::Bytes wire(size_t(reportLength + 1), 0);
            std::copy_n(block.begin() + r * reportLength, std::min(reportLength, 128 - r * reportLength), wire.begin() + 1);
            QCOMPARE(out[size_t(r)].wire, wire);
        }
        // Lower bounds: settle pause after the frame, 120 ms after each
        // report, settle pause again at the end.
        const vr770::Transfer frame = rig.of(TransferKind::FeatureOut).back(), closed = rig.mouse.transfers().back();
        QVERIFY(out[0].timeUs - frame.timeUs >= 127000);
        for (size_t r = 1; r < out.size(); ++r)
            QVERIFY(out[r].timeUs - out[r - 1].timeUs >= 119000);
        QCOMPARE(closed.kind, TransferKind::Close);
        QVERIFY(closed.timeUs - out.back().timeUs >= 119000 + 127000);
        // The link counts exactly those pauses: two settle steps on each
        // side, one gap per report.
        QCOMPARE(rig.link->pauses().count - before.count, unsigned(2 + reports + 2));
        QCOMPARE(rig.link->pauses().milliseconds - before.milliseconds, 4 * 64ull + reports * 120ull);
    }

    // Nothing bounds the report length below the largest the link takes:
    // one report then carries a whole block each way.
    void reportsLongerThan64()
    {
        for (int reportLength : {256, Hid_Thread::MaxReportLength}) {
            LinkRig rig(CommandSet::Hid560, reportLength);
            QVERIFY(rig.handshakeOk);
            Block128 block = pattern(0x21), read{};
            rig.link->hid560_0CH_setProfile(block.data(), 3);
            rig.link->hid560_8CH_readProfile(read.data(), 3);
            QCOMPARE(read, block);
            QCOMPARE(rig.of(TransferKind::OutputReport).at(0).wire.size(), size_t(reportLength + 1));
            QCOMPARE(rig.of(TransferKind::InputReport).size(), size_t(1));
        }
    }

    // Every failure leaves the handle closed, the link free and the caller's
    // values as they were.
    void failuresLeaveLinkFree()
    {
        LinkRig rig(CommandSet::Hid560, 64);
        // No path, or a report length outside 1..4096: no HID call, no message.
        DeviceEntry noPath = entryFor(rig.mouse), tooLong = noPath, zeroLength = noPath;
        noPath.commandPath.clear();
        tooLong.reportLength = Hid_Thread::MaxReportLength + 1;
        zeroLength.reportLength = 0;
        rig.link->replaceDeviceList({noPath, tooLong, zeroLength});
        uchar b1 = 1, b2 = 2;
        Block128 block;
        block.fill(0x99);
        for (int index : {0, 1, 2, -1}) {
            rig.link->currentIndex = index;
            rig.link->hid560_02H_SetCurrentProfile(3);
            rig.link->hid560_81H_GetKeyboardoption(b1, b2);
            rig.link->hid560_8CH_readProfile(block.data(), 0);
            QVERIFY(rig.linkIdle());
        }
        QVERIFY(!rig.link->chkDeviceIsEnCode(1));
        QVERIFY(allBytes(block, 0x99));
        QVERIFY(rig.mouse.transfers().empty());
        QVERIFY(rig.debug().isEmpty());

        // Whichever HID call fails, the path is kept; a block read failing
        // on its second report keeps the caller's bytes behind the first.
        rig.link->replaceDeviceList({entryFor(rig.mouse)});
        rig.link->currentIndex = 0;
        const Block128 profile = pattern(0x40);
        rig.mouse.setProfile(2, profile);
        Hid_Thread::Reporting reporting = rig.link->reporting();
        for (Call call : {Call::SendFeatureReport, Call::Write, Call::GetFeatureReport, Call::Read}) {
            rig.mouse.failCall(Interface::Command, call, call == Call::Write || call == Call::Read ? 2 : 1);
            Exchange result;
            if (call == Call::GetFeatureReport)
                result = reporting.hid560_81H_GetKeyboardoption(b1, b2);
            else if (call == Call::Read)
                result = reporting.hid560_8CH_readProfile(block.data(), 2);
            else
                result = reporting.hid560_0FH_SetMacroKey(1, block.data());
            // The slots stay silent; their reporting forms return the failure.
            QVERIFY(result == Exchange::Failed);
            QVERIFY(rig.linkIdle());
            QVERIFY(!rig.link->deviceEntry(0).commandPath.isEmpty());
        }
        QCOMPARE(QList<int>({b1, b2}), QList<int>({1, 2}));
        QVERIFY(std::equal(profile.begin(), profile.begin() + 64, block.begin()));
        QVERIFY(std::all_of(block.begin() + 64, block.end(), [](uchar b) { return b == 0x99; }));
        QCOMPARE(rig.of(TransferKind::Open).size(), rig.of(TransferKind::Close).size());
        QCOMPARE(rig.of(TransferKind::OutputReport).size(), size_t(2)); // nothing after the failed write

        // A failed open empties that path only.
        rig.mouse.setOpenRefused(true);
        rig.link->hid560_02H_SetCurrentProfile(3);
        QVERIFY(rig.link->deviceEntry(0).commandPath.isEmpty());
        QVERIFY(!rig.link->deviceEntry(0).notifyPath.isEmpty());
        QVERIFY(rig.linkIdle());
    }

    void busyLink()
    {
        LinkRig rig(CommandSet::Hid560);
        // A command fired from the events the send routine processes while
        // another holds the link gives up.
        QTimer::singleShot(0, rig.link.get(), [&rig] { rig.link->hid560_02H_SetCurrentProfile(4); });
        Block128 block = pattern(1);
        rig.link->hid560_0FH_SetMacroKey(1, block.data());
        QCOMPARE(rig.debug(), QStringList({"cmd Failed 02 "}));
        QCOMPARE(rig.frames().size(), 1);
        QCOMPARE(rig.mouse.state().macros[0], block);
        QVERIFY(rig.linkIdle());

        // A busy link drops commands with their line and leaves the values.
        vr770::clearTransferLog();
        rig.link->hidReady = false;
        Hid_Thread::Reporting reporting = rig.link->reporting();
        QVERIFY(reporting.hid553_07H_Lod(1, 1) == Exchange::LinkBusy);
        uchar selector = 1, stage = 0x44;
        QVERIFY(reporting.hid560_84H_GetCurrentDPI(selector, stage) == Exchange::LinkBusy);
        QVERIFY(reporting.hid560_8CH_readProfile(block.data(), 0) == Exchange::LinkBusy);
        // A handshake that never got the link is no match.
        QVERIFY(!rig.link->chkDeviceIsEnCode(0));
        QCOMPARE(rig.debug(), QStringList({"cmd Failed 02 ", "hid553_07H_Lod ", "cmd Failed 84 ", "cmd Failed 8c ", "cmd Failed 00 "}));
        QCOMPARE(QList<int>({selector, stage}), QList<int>({1, 0x44}));
        QCOMPARE(block, pattern(1));
        QVERIFY(rig.mouse.transfers().empty());
        QVERIFY(!rig.link->hidReady); // a dropped command leaves the flag alone
    }
};

QTEST_GUILESS_MAIN(TstHidLink)
#include "tst_hid_link.moc"
