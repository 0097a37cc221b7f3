// Scrambling on its own, then every command of both sets against the virtual
// mouse: the frame the firmware received (descrambled), the blocks it got and
// the replies it gave.
#include "linkrig.h"
#include "scramble.h"

#include <QRandomGenerator>
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

// Runs each call and compares the frame the mouse received last.
static void runSteps(LinkRig &rig, const QList<QPair<std::function<void(Hid_Thread &)>, QString>> &steps)
{
    for (const auto &step : steps) {
        step.first(*rig.link);
        QCOMPARE(rig.lastFrame(), step.second);
    }
    QVERIFY(rig.linkIdle());
}

class TstHidCommands : public QObject
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
        const uchar shipped[8] = {0, 'B', 'x', '7', 'R', '7', '0', 0};
        // Zero key and table: the exchange (55 44 77 66 11 00 33 22), then a 3-bit left rotation.
        QCOMPARE(scrambled("0011223344556677", zero, zero), QString("AA 23 BB 30 88 01 99 12"));
        // Key bytes 0 and 7 are unused and block bytes 0 and 7 never keyed.
        QCOMPARE(scrambled("0000000000000000", full, zero), QString("07 FF FF FF FF FF F8 00"));
        QCOMPARE(scrambled("01040000000000FA", shipped, scramble::scrambleTable), QString("A7 50 82 A2 43 FC 56 0F"));

        QRandomGenerator rng(770);
        for (int round = 0; round < 2000; ++round) {
            quint64 plain[1], key[1];
            rng.fillRange(plain);
            rng.fillRange(key);
            quint64 b = plain[0];
            scramble::encrypt(reinterpret_cast<uchar *>(&b), reinterpret_cast<uchar *>(key));
            scramble::decrypt(reinterpret_cast<uchar *>(&b), reinterpret_cast<uchar *>(key));
            QCOMPARE(b, plain[0]);
        }
    }

    void hid553Commands()
    {
        LinkRig rig;
        QVERIFY(rig.handshakeOk);
        Block128 block = pattern(0x10);
        uchar *data = block.data();
        uchar o[4] = {}, stage = 0;
        rig.mouse.setKeyboardOptions({9, 8, 7, 6});
        runSteps(rig, {
            {[](Hid_Thread &h) { h.hid553_01H_SetReportRate(4); }, "00 01 04 00 00 00 00 00 FA"},
            {[](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(3); }, "00 02 03 00 00 00 00 00 FA"},
            {[&](Hid_Thread &h) { h.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]); }, "00 83 00 00 00 00 00 00 7C"},
            {[](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 4); }, "00 03 01 02 03 04 00 00 F2"},
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
        QCOMPARE(QList<int>({o[0], o[1], o[2], o[3], stage}), QList<int>({9, 8, 7, 6, 5}));
        const vr770::MouseState s = rig.mouse.state();
        QCOMPARE(s.ledStageColors.at(2), vr770::Bytes(block.begin(), block.begin() + 4));
        QVERIFY(std::equal(s.keyMatrices[1].begin(), s.keyMatrices[1].end(), block.begin()));
        // Scrambled on the wire, report id plain.
        const vr770::Transfer last = rig.of(TransferKind::FeatureOut).back();
        QVERIFY(last.wire != last.frame && last.wire.at(0) == 0);
    }

    void hid560Commands()
    {
        LinkRig rig(CommandSet::Hid560);
        QVERIFY(rig.handshakeOk);
        Block128 block = pattern(0x80);
        uchar *data = block.data();
        rig.mouse.setKeyboardOptions({0x21, 0x22, 0, 0});
        rig.mouse.setCurrentProfile(2);
        rig.mouse.setCurrentDpi(3);
        uchar o1 = 0, o2 = 0, current = 0x33, selector = 1, dpi = 0;
        runSteps(rig, {
            {[&](Hid_Thread &h) { h.hid560_81H_GetKeyboardoption(o1, o2); }, "00 81 00 00 00 00 00 00 7E"},
            // 82H sends nothing of its argument; 84H sends its selector.
            {[&](Hid_Thread &h) { h.hid560_82H_GetCurrentProfile(current); }, "00 82 00 00 00 00 00 00 7D"},
            {[&](Hid_Thread &h) { h.hid560_84H_GetCurrentDPI(selector, dpi); }, "00 84 01 00 00 00 00 00 7A"},
            {[](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(1, 2); }, "00 01 01 02 00 00 00 00 FB"},
            {[](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(3); }, "00 02 03 00 00 00 00 00 FA"},
            {[&](Hid_Thread &h) { h.hid560_0CH_setProfile(data, 1); }, "00 0C 01 80 00 00 00 00 72"},
            {[&](Hid_Thread &h) { h.hid560_0FH_SetMacroKey(3, data); }, "00 0F 03 80 00 00 00 00 6D"},
            {[&](Hid_Thread &h) { h.hid560_0DH_SetKeyMatrix(data, 2); }, "00 0D 02 80 00 00 00 00 70"},
        });
        QCOMPARE(QList<int>({o1, o2, current, selector, dpi}), QList<int>({0x21, 0x22, 2, 1, 3}));
        const vr770::MouseState s = rig.mouse.state();
        QCOMPARE(s.profiles[1], block);
        QCOMPARE(s.macros[2], block);
        // The key matrix travels as 128 bytes, the second half zero.
        std::fill(block.begin() + 64, block.end(), 0);
        QCOMPARE(s.keyMatrixBlocks[1], block);
    }

    void hid560Series()
    {
        LinkRig rig(CommandSet::Hid560);
        DebugCapture capture;
        // Without recoil support every target 1..4 gets its frame, and the
        // link is held for the whole series: a command due between its
        // frames gives up.
        QTimer::singleShot(200, rig.link.get(), [&rig] { rig.link->hid560_02H_SetCurrentProfile(4); });
        rig.link->hid560_04H_SetCurrentDPI(2);
        rig.link->hid560_03H_SetReportRate(7);
        QCOMPARE(rig.frames(), QStringList({"00 04 01 02 00 00 00 00 F8", "00 04 02 02 00 00 00 00 F7",
                                            "00 04 03 02 00 00 00 00 F6", "00 04 04 02 00 00 00 00 F5",
                                            "00 03 01 07 00 00 00 00 F4", "00 03 02 07 00 00 00 00 F3",
                                            "00 03 03 07 00 00 00 00 F2", "00 03 04 07 00 00 00 00 F1"}));
        QCOMPARE(capture.lines(), QStringList({"cmd Failed 02"}));

        // With recoil support only the first.
        rig.owner.isGun = true;
        vr770::clearTransferLog();
        rig.link->hid560_04H_SetCurrentDPI(3);
        rig.link->hid560_03H_SetReportRate(1);
        QCOMPARE(rig.frames(), QStringList({"00 04 01 03 00 00 00 00 F7", "00 03 01 01 00 00 00 00 FA"}));
        QVERIFY(rig.linkIdle());
    }

    void blockReports_data()
    {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<int>("blockLength");
        QTest::addColumn<int>("reports");
        QTest::newRow("128 at 32") << 32 << 128 << 4;
        QTest::newRow("128 at 64") << 64 << 128 << 2;
        QTest::newRow("8 at 32") << 32 << 8 << 1;
        QTest::newRow("24 at 20, last chunk cut") << 20 << 24 << 2;
    }
    void blockReports()
    {
        QFETCH(int, reportLength);
        QFETCH(int, blockLength);
        QFETCH(int, reports);
        LinkRig rig(CommandSet::Hid553, reportLength);
        Block128 block = pattern(0x01);
        if (blockLength == 128)
            rig.link->hid553_13H_SetMacroKey(1, block.data());
        else if (blockLength == 8)
            rig.link->hid553_11H_SetDPISet(8, block.data());
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
    }

    void profileReadAcrossReports()
    {
        LinkRig rig(CommandSet::Hid560, 64);
        const Block128 block = pattern(0x40);
        rig.mouse.setProfile(2, block);
        Block128 read{};
        rig.link->hid560_8CH_readProfile(read.data(), 2);
        QCOMPARE(rig.lastFrame(), QString("00 8C 02 00 00 00 00 00 71"));
        QCOMPARE(read, block);
        QCOMPARE(int(rig.of(TransferKind::InputReport).size()), 2);

        // A failure on the second read keeps the caller's bytes behind the
        // first chunk, and the path.
        rig.mouse.failCall(Interface::Command, Call::Read, 2);
        read.fill(0xEE);
        rig.link->hid560_8CH_readProfile(read.data(), 2);
        QVERIFY(std::equal(block.begin(), block.begin() + 64, read.begin()));
        QVERIFY(std::all_of(read.begin() + 64, read.end(), [](uchar b) { return b == 0xEE; }));
        QVERIFY(rig.linkIdle());
        QVERIFY(!rig.link->deviceEntry(0).commandPath.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstHidCommands)
#include "tst_hid_commands.moc"
