// Every command of both sets against the virtual mouse: the frame the
// firmware received (descrambled) and the state it changed.
#include "linkrig.h"

#include <QtTest>

#include <array>
#include <functional>
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
static vr770::Bytes head(const std::array<uchar, N> &a, size_t n = N)
{
    return vr770::Bytes(a.begin(), a.begin() + n);
}

struct Step
{
    std::function<void(Hid_Thread &)> call;
    QByteArray frame;
};

static void runSteps(LinkRig &rig, const QList<Step> &steps)
{
    for (const Step &step : steps) {
        step.call(*rig.link);
        QCOMPARE(rig.lastFrame(), step.frame);
    }
    QVERIFY(rig.linkIdle());
}

class TstHidCommands : public QObject
{
    Q_OBJECT

private slots:
    void hid553Commands();
    void hid560Commands();
    void hid560Series();
    void blockReports_data();
    void blockReports();
    void profileReadAcrossReports();
};

void TstHidCommands::hid553Commands()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    auto rgb = pattern<3>(0x10);
    auto colours = pattern<24>(0xA0);
    auto codes = pattern<8>(0x11);
    auto matrix = pattern<64>(0x40);
    auto macro = pattern<128>(0x01);
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
        {[&](Hid_Thread &h) { h.hid553_0CH_SetFixLEDColor(rgb.data()); }, "00 0C 10 11 12 00 00 00 C0"},
        {[](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(3, 4, 5); }, "00 0D 03 04 05 00 00 00 E6"},
        // Type 2 carries 4 colour bytes, any other type 24.
        {[&](Hid_Thread &h) { h.hid553_10H_SetLED8StageColor(2, colours.data()); }, "00 10 02 04 00 00 00 00 E9"},
        {[&](Hid_Thread &h) { h.hid553_10H_SetLED8StageColor(1, colours.data()); }, "00 10 01 18 00 00 00 00 D6"},
        {[&](Hid_Thread &h) { h.hid553_11H_SetDPISet(6, codes.data()); }, "00 11 06 08 00 00 00 00 E0"},
        {[&](Hid_Thread &h) { h.hid553_12H_SetKeyMatrix(matrix.data(), 2); }, "00 12 02 40 08 00 00 00 A3"},
        {[&](Hid_Thread &h) { h.hid553_13H_SetMacroKey(3, macro.data()); }, "00 13 03 80 00 00 00 00 69"},
    });

    QCOMPARE(QList<int>({o[0], o[1], o[2], o[3]}), QList<int>({9, 8, 7, 6}));
    QCOMPARE(int(stage), 5);
    const vr770::MouseState s = rig.mouse.state();
    QCOMPARE(int(s.reportRate), 4);
    QCOMPARE(int(s.currentKeyMatrix), 3);
    QCOMPARE(s.keyboardOptions, (std::array<uint8_t, 4>{1, 2, 3, 4}));
    QCOMPARE(s.gunData, (std::array<uint8_t, 4>{1, 2, 3, 4}));
    QCOMPARE(QList<int>({s.liftOffStage, s.liftOffEnable}), QList<int>({2, 1}));
    QCOMPARE(s.fixedLedColor, rgb);
    QCOMPARE(QList<int>({s.ledEffect, s.ledEffectOption1, s.ledEffectOption2}), QList<int>({3, 4, 5}));
    QCOMPARE(s.ledStageColors.at(2), head(colours, 4));
    QCOMPARE(s.ledStageColors.at(1), head(colours));
    QCOMPARE(int(s.dpiStageCount), 6);
    QCOMPARE(s.dpiStageCodes, codes);
    QCOMPARE(s.keyMatrices[1], matrix);
    QCOMPARE(s.macros[2], macro);

    // Scrambled on the wire, report id plain.
    const auto out = rig.of(TransferKind::FeatureOut);
    QVERIFY(out.back().wire != out.back().frame);
    QCOMPARE(int(out.back().wire.at(0)), 0);
}

void TstHidCommands::hid560Commands()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);
    auto profile = pattern<128>(0x80);
    auto matrix = pattern<64>(0x21);
    auto macro = pattern<128>(0x03);
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
        {[&](Hid_Thread &h) { h.hid560_0CH_setProfile(profile.data(), 1); }, "00 0C 01 80 00 00 00 00 72"},
        {[&](Hid_Thread &h) { h.hid560_0FH_SetMacroKey(3, macro.data()); }, "00 0F 03 80 00 00 00 00 6D"},
        {[&](Hid_Thread &h) { h.hid560_0DH_SetKeyMatrix(matrix.data(), 2); }, "00 0D 02 80 00 00 00 00 70"},
    });

    QCOMPARE(QList<int>({o1, o2, current, selector, dpi}), QList<int>({0x21, 0x22, 2, 1, 3}));
    const vr770::MouseState s = rig.mouse.state();
    QCOMPARE(QList<int>({s.keyboardOptions[0], s.keyboardOptions[1]}), QList<int>({1, 2}));
    QCOMPARE(int(s.currentProfile), 3);
    QCOMPARE(s.profiles[1], profile);
    QCOMPARE(s.macros[2], macro);
    // The key matrix travels as 128 bytes, the second half zero.
    std::array<uint8_t, 128> block{};
    std::copy(matrix.begin(), matrix.end(), block.begin());
    QCOMPARE(s.keyMatrixBlocks[1], block);
    QCOMPARE(rig.of(TransferKind::OutputReport).back().wire, vr770::Bytes(33, 0));
}

void TstHidCommands::hid560Series()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);

    // Without recoil support every target 1..4 gets its frame.
    rig.link->hid560_04H_SetCurrentDPI(2);
    rig.link->hid560_03H_SetReportRate(7);
    std::vector<vr770::Bytes> frames = rig.mouse.receivedFrames();
    QCOMPARE(int(frames.size()), 8);
    QCOMPARE(hexOf(frames[0]), QByteArray("00 04 01 02 00 00 00 00 F8"));
    QCOMPARE(hexOf(frames[1]), QByteArray("00 04 02 02 00 00 00 00 F7"));
    QCOMPARE(hexOf(frames[2]), QByteArray("00 04 03 02 00 00 00 00 F6"));
    QCOMPARE(hexOf(frames[3]), QByteArray("00 04 04 02 00 00 00 00 F5"));
    QCOMPARE(hexOf(frames[4]), QByteArray("00 03 01 07 00 00 00 00 F4"));
    QCOMPARE(hexOf(frames[7]), QByteArray("00 03 04 07 00 00 00 00 F1"));
    QCOMPARE(rig.mouse.state().profileDpi, (std::array<uint8_t, 5>{1, 2, 2, 2, 2}));
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
}

void TstHidCommands::blockReports_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("blockLength");
    QTest::addColumn<int>("reports");
    QTest::newRow("128 at 32") << 32 << 128 << 4;
    QTest::newRow("128 at 64") << 64 << 128 << 2;
    QTest::newRow("8 at 32") << 32 << 8 << 1;
    // The last chunk is cut to the bytes that remain.
    QTest::newRow("24 at 20") << 20 << 24 << 2;
}

void TstHidCommands::blockReports()
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

    // Report id 0, then the block in order, zero padding after it.
    const auto out = rig.of(TransferKind::OutputReport);
    QCOMPARE(int(out.size()), reports);
    vr770::Bytes joined;
    for (const vr770::Transfer &t : out) {
        QCOMPARE(int(t.wire.size()), reportLength + 1);
        QCOMPARE(int(t.wire.at(0)), 0);
        joined.insert(joined.end(), t.wire.begin() + 1, t.wire.end());
    }
    vr770::Bytes expected = head(block, size_t(blockLength));
    expected.resize(size_t(reports * reportLength), 0);
    QCOMPARE(joined, expected);

    const vr770::MouseState s = rig.mouse.state();
    const vr770::Bytes applied = blockLength == 128 ? head(s.macros[0])
                                 : blockLength == 8 ? head(s.dpiStageCodes)
                                                    : s.ledStageColors.at(0);
    QCOMPARE(applied, head(block, size_t(blockLength)));
}

void TstHidCommands::profileReadAcrossReports()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560, 64));
    QVERIFY(rig.handshakeOk);
    auto block = pattern<128>(0x40);
    rig.mouse.setProfile(2, block);

    std::array<uchar, 128> read{};
    rig.link->hid560_8CH_readProfile(read.data(), 2);
    QCOMPARE(rig.lastFrame(), QByteArray("00 8C 02 00 00 00 00 00 71"));
    QCOMPARE(read, block);
    QCOMPARE(int(rig.of(TransferKind::InputReport).size()), 2);

    // A failure on the second read keeps the caller's bytes behind the
    // first chunk, and the path.
    rig.mouse.failCall(vr770::Interface::Command, vr770::Call::Read, 2);
    std::array<uchar, 128> partial;
    partial.fill(0xEE);
    rig.link->hid560_8CH_readProfile(partial.data(), 2);
    std::array<uchar, 128> expected = block;
    std::fill(expected.begin() + 64, expected.end(), 0xEE);
    QCOMPARE(partial, expected);
    QVERIFY(rig.linkIdle());
    QVERIFY(!rig.link->deviceEntry(0).commandPath.isEmpty());
}

QTEST_GUILESS_MAIN(TstHidCommands)
#include "tst_hid_commands.moc"
