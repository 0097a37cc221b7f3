// Every command of both sets against the virtual mouse: the frame it
// received (descrambled by the firmware) and the state it changed.
#include "linkrig.h"

#include <QtTest>

#include <array>
#include <numeric>

using vr770::CommandSet;
using vr770::TransferKind;

template <size_t N>
static std::array<uchar, N> pattern(uchar start)
{
    std::array<uchar, N> a;
    std::iota(a.begin(), a.end(), start);
    return a;
}

template <size_t N>
static vr770::Bytes bytes(const std::array<uchar, N> &a, size_t n = N)
{
    return vr770::Bytes(a.begin(), a.begin() + n);
}

class TstHidCommands : public QObject
{
    Q_OBJECT

private slots:
    void hid553Sets();
    void hid553Queries();
    void hid560Sets();
    void hid560Series();
    void hid560Queries();
    void blockReportsAtReportLength_data();
    void blockReportsAtReportLength();
    void profileReadAcrossReports();
};

void TstHidCommands::hid553Sets()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    Hid_Thread &h = *rig.link;

    h.hid553_01H_SetReportRate(0x04);
    QCOMPARE(rig.lastFrame(), QByteArray("00 01 04 00 00 00 00 00 FA"));
    h.hid553_02H_SetCurrentKeyMatrix(3);
    QCOMPARE(rig.lastFrame(), QByteArray("00 02 03 00 00 00 00 00 FA"));
    h.hid553_03H_SetKeyboardoption(1, 2, 3, 4);
    QCOMPARE(rig.lastFrame(), QByteArray("00 03 01 02 03 04 00 00 F2"));
    h.hid553_04H_SetGunData(1, 2, 3, 4);
    QCOMPARE(rig.lastFrame(), QByteArray("00 04 00 01 02 03 04 00 F1"));
    h.hid553_07H_Lod(2, 1);
    QCOMPARE(rig.lastFrame(), QByteArray("00 07 00 02 7D 01 00 00 78"));
    h.hid553_0BH_SetCurrentDPI(5);
    QCOMPARE(rig.lastFrame(), QByteArray("00 0B 05 00 00 00 00 00 EF"));
    uchar rgb[3] = {0x10, 0x20, 0x30};
    h.hid553_0CH_SetFixLEDColor(rgb);
    QCOMPARE(rig.lastFrame(), QByteArray("00 0C 10 20 30 00 00 00 93"));
    h.hid553_0DH_SetRGBLedEffect(3, 4, 5);
    QCOMPARE(rig.lastFrame(), QByteArray("00 0D 03 04 05 00 00 00 E6"));

    // 10H: type 2 carries 4 colour bytes, any other type 24.
    auto colours = pattern<24>(0xA0);
    h.hid553_10H_SetLED8StageColor(2, colours.data());
    QCOMPARE(rig.lastFrame(), QByteArray("00 10 02 04 00 00 00 00 E9"));
    h.hid553_10H_SetLED8StageColor(1, colours.data());
    QCOMPARE(rig.lastFrame(), QByteArray("00 10 01 18 00 00 00 00 D6"));

    auto codes = pattern<8>(0x11);
    h.hid553_11H_SetDPISet(6, codes.data());
    QCOMPARE(rig.lastFrame(), QByteArray("00 11 06 08 00 00 00 00 E0"));
    auto matrix = pattern<64>(0x40);
    h.hid553_12H_SetKeyMatrix(matrix.data(), 2);
    QCOMPARE(rig.lastFrame(), QByteArray("00 12 02 40 08 00 00 00 A3"));
    auto macro = pattern<128>(0x01);
    h.hid553_13H_SetMacroKey(3, macro.data());
    QCOMPARE(rig.lastFrame(), QByteArray("00 13 03 80 00 00 00 00 69"));

    const vr770::MouseState s = rig.mouse.state();
    QCOMPARE(int(s.reportRate), 4);
    QCOMPARE(int(s.currentKeyMatrix), 3);
    QCOMPARE(s.keyboardOptions, (std::array<uint8_t, 4>{1, 2, 3, 4}));
    QCOMPARE(s.gunData, (std::array<uint8_t, 4>{1, 2, 3, 4}));
    QCOMPARE(int(s.liftOffStage), 2);
    QCOMPARE(int(s.liftOffEnable), 1);
    QCOMPARE(int(s.currentDpi), 5);
    QCOMPARE(s.fixedLedColor, (std::array<uint8_t, 3>{0x10, 0x20, 0x30}));
    QCOMPARE(int(s.ledEffect), 3);
    QCOMPARE(int(s.ledEffectOption1), 4);
    QCOMPARE(int(s.ledEffectOption2), 5);
    QCOMPARE(s.ledStageColors.at(2), bytes(colours, 4));
    QCOMPARE(s.ledStageColors.at(1), bytes(colours));
    QCOMPARE(int(s.dpiStageCount), 6);
    QCOMPARE(s.dpiStageCodes, codes);
    QCOMPARE(s.keyMatrices[1], matrix);
    QCOMPARE(s.macros[2], macro);
    QVERIFY(rig.linkIdle());
}

void TstHidCommands::hid553Queries()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    rig.mouse.setKeyboardOptions({9, 8, 7, 6});
    rig.mouse.setCurrentDpi(4);

    uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    rig.link->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
    QCOMPARE(rig.lastFrame(), QByteArray("00 83 00 00 00 00 00 00 7C"));
    QCOMPARE(QList<int>({b1, b2, b3, b4}), QList<int>({9, 8, 7, 6}));

    uchar stage = 0x55;
    rig.link->hid553_8BH_GetCurrentDPI(stage);
    QCOMPARE(rig.lastFrame(), QByteArray("00 8B 00 00 00 00 00 00 74"));
    QCOMPARE(int(stage), 4);

    // The scrambled frame on the wire is not the plain one.
    const auto out = rig.of(TransferKind::FeatureOut);
    QVERIFY(!out.empty());
    QVERIFY(out.back().wire != out.back().frame);
    QCOMPARE(int(out.back().wire.at(0)), 0); // the report id stays plain

    // The absent device leaves the caller's values.
    rig.link->replaceDeviceList({DeviceEntry()});
    stage = 0x55;
    rig.link->hid553_8BH_GetCurrentDPI(stage);
    QCOMPARE(int(stage), 0x55);
}

void TstHidCommands::hid560Sets()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);
    Hid_Thread &h = *rig.link;

    h.hid560_01H_SetKeyboardoption(1, 2);
    QCOMPARE(rig.lastFrame(), QByteArray("00 01 01 02 00 00 00 00 FB"));
    h.hid560_02H_SetCurrentProfile(3);
    QCOMPARE(rig.lastFrame(), QByteArray("00 02 03 00 00 00 00 00 FA"));
    auto profile = pattern<128>(0x80);
    h.hid560_0CH_setProfile(profile.data(), 1);
    QCOMPARE(rig.lastFrame(), QByteArray("00 0C 01 80 00 00 00 00 72"));

    // 0DH sends 128 bytes: the matrix, then 64 zeros.
    auto matrix = pattern<64>(0x21);
    vr770::clearTransferLog();
    h.hid560_0DH_SetKeyMatrix(matrix.data(), 2);
    QCOMPARE(rig.lastFrame(), QByteArray("00 0D 02 80 00 00 00 00 70"));
    const auto reports = rig.of(TransferKind::OutputReport);
    QCOMPARE(int(reports.size()), 4);
    QCOMPARE(int(reports.back().wire.size()), 33);
    QCOMPARE(reports.back().wire, vr770::Bytes(33, 0)); // the zero half

    auto macro = pattern<128>(0x03);
    h.hid560_0FH_SetMacroKey(3, macro.data());
    QCOMPARE(rig.lastFrame(), QByteArray("00 0F 03 80 00 00 00 00 6D"));

    const vr770::MouseState s = rig.mouse.state();
    QCOMPARE(int(s.keyboardOptions[0]), 1);
    QCOMPARE(int(s.keyboardOptions[1]), 2);
    QCOMPARE(int(s.currentProfile), 3);
    QCOMPARE(s.profiles[1], profile);
    std::array<uint8_t, 128> expectedBlock{};
    std::copy(matrix.begin(), matrix.end(), expectedBlock.begin());
    QCOMPARE(s.keyMatrixBlocks[1], expectedBlock);
    QCOMPARE(s.macros[2], macro);
    QVERIFY(rig.linkIdle());
}

void TstHidCommands::hid560Series()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);

    // Without recoil support every target 1..4 gets its frame.
    rig.owner.isGun = false;
    rig.link->hid560_04H_SetCurrentDPI(2);
    std::vector<vr770::Bytes> frames = rig.mouse.receivedFrames();
    QCOMPARE(int(frames.size()), 4);
    QCOMPARE(hexOf(frames[0]), QByteArray("00 04 01 02 00 00 00 00 F8"));
    QCOMPARE(hexOf(frames[1]), QByteArray("00 04 02 02 00 00 00 00 F7"));
    QCOMPARE(hexOf(frames[2]), QByteArray("00 04 03 02 00 00 00 00 F6"));
    QCOMPARE(hexOf(frames[3]), QByteArray("00 04 04 02 00 00 00 00 F5"));
    QCOMPARE(rig.mouse.state().profileDpi, (std::array<uint8_t, 5>{1, 2, 2, 2, 2}));

    rig.link->hid560_03H_SetReportRate(7);
    frames = rig.mouse.receivedFrames();
    QCOMPARE(int(frames.size()), 8);
    QCOMPARE(hexOf(frames[4]), QByteArray("00 03 01 07 00 00 00 00 F4"));
    QCOMPARE(hexOf(frames[7]), QByteArray("00 03 04 07 00 00 00 00 F1"));
    QCOMPARE(rig.mouse.state().profileReportRate, (std::array<uint8_t, 5>{0, 7, 7, 7, 7}));

    // With recoil support only the first.
    rig.owner.isGun = true;
    vr770::clearTransferLog();
    rig.link->hid560_04H_SetCurrentDPI(3);
    rig.link->hid560_03H_SetReportRate(1);
    frames = rig.mouse.receivedFrames();
    QCOMPARE(int(frames.size()), 2);
    QCOMPARE(hexOf(frames[0]), QByteArray("00 04 01 03 00 00 00 00 F7"));
    QCOMPARE(hexOf(frames[1]), QByteArray("00 03 01 01 00 00 00 00 FA"));
    QVERIFY(rig.linkIdle());

    // No owner reads as no recoil support.
    rig.link->owner = nullptr;
    vr770::clearTransferLog();
    rig.link->hid560_04H_SetCurrentDPI(1);
    QCOMPARE(int(rig.mouse.receivedFrames().size()), 4);
}

void TstHidCommands::hid560Queries()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);
    rig.mouse.setKeyboardOptions({0x21, 0x22, 0, 0});
    rig.mouse.setCurrentProfile(2);

    uchar b1 = 0, b2 = 0;
    rig.link->hid560_81H_GetKeyboardoption(b1, b2);
    QCOMPARE(rig.lastFrame(), QByteArray("00 81 00 00 00 00 00 00 7E"));
    QCOMPARE(int(b1), 0x21);
    QCOMPARE(int(b2), 0x22);

    uchar profile = 0x33; // not sent
    rig.link->hid560_82H_GetCurrentProfile(profile);
    QCOMPARE(rig.lastFrame(), QByteArray("00 82 00 00 00 00 00 00 7D"));
    QCOMPARE(int(profile), 2);

    // 84H sends its selector and reads both bytes back.
    uchar selector = 1, stage = 0;
    rig.mouse.setCurrentDpi(3);
    rig.link->hid560_84H_GetCurrentDPI(selector, stage);
    QCOMPARE(rig.lastFrame(), QByteArray("00 84 01 00 00 00 00 00 7A"));
    QCOMPARE(int(selector), 1);
    QCOMPARE(int(stage), 3);

    auto block = pattern<128>(0x10);
    rig.mouse.setProfile(2, block);
    std::array<uchar, 128> read{};
    rig.link->hid560_8CH_readProfile(read.data(), 2);
    QCOMPARE(rig.lastFrame(), QByteArray("00 8C 02 00 00 00 00 00 71"));
    QCOMPARE(read, block);
    QCOMPARE(int(rig.of(TransferKind::InputReport).size()), 4);
    QVERIFY(rig.linkIdle());
}

void TstHidCommands::blockReportsAtReportLength_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("blockLength");
    QTest::addColumn<int>("reports");
    QTest::newRow("128 at 32") << 32 << 128 << 4;
    QTest::newRow("128 at 64") << 64 << 128 << 2;
    QTest::newRow("8 at 32") << 32 << 8 << 1;
    // The last chunk is cut to the 24 bytes that remain.
    QTest::newRow("24 at 20") << 20 << 24 << 2;
}

void TstHidCommands::blockReportsAtReportLength()
{
    QFETCH(int, reportLength);
    QFETCH(int, blockLength);
    QFETCH(int, reports);
    LinkRig rig(mouseConfig(CommandSet::Hid553, reportLength));
    QVERIFY(rig.handshakeOk);

    auto block = pattern<128>(0x01);
    if (blockLength == 128)
        rig.link->hid553_13H_SetMacroKey(1, block.data());
    else if (blockLength == 8)
        rig.link->hid553_11H_SetDPISet(8, block.data());
    else
        rig.link->hid553_10H_SetLED8StageColor(0, block.data());

    const auto out = rig.of(TransferKind::OutputReport);
    QCOMPARE(int(out.size()), reports);
    vr770::Bytes joined;
    for (const vr770::Transfer &t : out) {
        QCOMPARE(int(t.wire.size()), reportLength + 1);
        QCOMPARE(int(t.wire.at(0)), 0);
        joined.insert(joined.end(), t.wire.begin() + 1, t.wire.end());
    }
    // The block in order, zero padding after it.
    vr770::Bytes expected(block.begin(), block.begin() + blockLength);
    expected.resize(size_t(reports * reportLength), 0);
    QCOMPARE(joined, expected);

    const vr770::MouseState s = rig.mouse.state();
    if (blockLength == 128)
        QCOMPARE(s.macros[0], block);
    else if (blockLength == 8)
        QCOMPARE(bytes(s.dpiStageCodes), bytes(block, 8));
    else
        QCOMPARE(s.ledStageColors.at(0), bytes(block, 24));
}

void TstHidCommands::profileReadAcrossReports()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560, 64));
    QVERIFY(rig.handshakeOk);
    auto block = pattern<128>(0x40);
    rig.mouse.setProfile(0, block);

    std::array<uchar, 128> read{};
    rig.link->hid560_8CH_readProfile(read.data(), 0);
    QCOMPARE(read, block);
    const auto in = rig.of(TransferKind::InputReport);
    QCOMPARE(int(in.size()), 2);

    // A failure on the second read keeps the caller's bytes behind the
    // first chunk.
    rig.mouse.failCall(vr770::Interface::Command, vr770::Call::Read, 2);
    std::array<uchar, 128> partial;
    partial.fill(0xEE);
    rig.link->hid560_8CH_readProfile(partial.data(), 0);
    QVERIFY(std::equal(partial.begin(), partial.begin() + 64, block.begin()));
    QVERIFY(std::all_of(partial.begin() + 64, partial.end(), [](uchar b) { return b == 0xEE; }));
    QVERIFY(rig.linkIdle());
    QVERIFY(!rig.link->deviceEntry(0).commandPath.isEmpty()); // a HID error keeps the path
}

QTEST_GUILESS_MAIN(TstHidCommands)
#include "tst_hid_commands.moc"
