// The link's exchanges and handshake against the virtual mouse: failures,
// pauses, the busy flag and nested commands.
#include "linkrig.h"

#include <QTimer>
#include <QtTest>

#include <array>

using vr770::Call;
using vr770::CommandSet;
using vr770::Interface;
using vr770::TransferKind;

class TstHidLink : public QObject
{
    Q_OBJECT

private slots:
    void handshake();
    void handshakeShortCodeUsesPreviousKey();
    void handshakePlain();
    void noPathOrBadEntryMakesNoHidCall();
    void failedOpenEmptiesPath();
    void hidErrorClosesAndFreesLink();
    void silentBlockReadIsBounded();
    void pausesBetweenReports();
    void busyLinkDropsCommands();
    void nestedCommandGivesUp();
    void seriesHoldsTheLink();
};

void TstHidLink::handshake()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    QCOMPARE(rig.link->currentIndex, 0);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&secrecyKey[1]), 6), QByteArray("Bx7R70"));

    // The mouse holds another code: its answer does not unscramble to the
    // challenge.
    vr770::MouseConfig other = rig.mouse.config();
    other.secrecyCode = "Qq9Zk1";
    rig.mouse.setConfig(other);
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));

    // Absent devices: unplugged, or an entry without a command path.
    other.secrecyCode = "Bx7R70";
    rig.mouse.setConfig(other);
    QVERIFY(rig.link->chkDeviceIsEnCode(0));
    rig.mouse.unplug();
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));
    rig.link->replaceDeviceList({entryFor(rig.mouse), DeviceEntry()});
    QVERIFY(!rig.link->chkDeviceIsEnCode(1));
    QCOMPARE(rig.link->currentIndex, 1);
    QVERIFY(rig.linkIdle());
}

void TstHidLink::handshakeShortCodeUsesPreviousKey()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DeviceEntry shortCode = entryFor(rig.mouse);
    shortCode.sCode = "Bx7R7";
    DeviceEntry wrong = entryFor(rig.mouse);
    wrong.sCode = "Zzzzzz";
    rig.link->replaceDeviceList({shortCode, wrong});

    // After the right key the five-character entry passes on it ...
    QVERIFY(rig.link->chkDeviceIsEnCode(0));
    // ... after a wrong one it fails on that.
    QVERIFY(!rig.link->chkDeviceIsEnCode(1));
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&secrecyKey[1]), 6), QByteArray("Zzzzzz"));
}

void TstHidLink::handshakePlain()
{
    vr770::MouseConfig plain;
    plain.scrambling = false;
    LinkRig rig(plain);
    QVERIFY(rig.handshakeOk);

    // The challenge travels in plain frame bytes 2 to 5.
    QVERIFY(rig.link->chkDeviceIsEnCode(0));
    const auto out = rig.of(TransferKind::FeatureOut);
    QCOMPARE(int(out.size()), 1);
    QCOMPARE(out[0].wire, out[0].frame);
    QCOMPARE(int(out[0].wire.at(1)), 0x00);

    // A scrambling entry against a plain mouse fails.
    DeviceEntry e = entryFor(rig.mouse);
    e.isEncode = true;
    rig.link->replaceDeviceList({e});
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));
}

void TstHidLink::noPathOrBadEntryMakesNoHidCall()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;
    DebugCapture::clear();

    DeviceEntry noPath = entryFor(rig.mouse);
    noPath.commandPath.clear();
    DeviceEntry tooLong = entryFor(rig.mouse);
    tooLong.reportLength = 65;
    DeviceEntry zeroLength = entryFor(rig.mouse);
    zeroLength.reportLength = 0;
    rig.link->replaceDeviceList({noPath, tooLong, zeroLength});

    uchar stage = 0x42;
    std::array<uchar, 128> block;
    block.fill(0x99);
    for (int index : {0, 1, 2, 7, -1}) {
        rig.link->currentIndex = index;
        rig.link->hid553_0BH_SetCurrentDPI(3);
        rig.link->hid553_8BH_GetCurrentDPI(stage);
        rig.link->hid560_8CH_readProfile(block.data(), 0);
        QVERIFY(rig.linkIdle());
    }
    QCOMPARE(int(stage), 0x42);
    QVERIFY(std::all_of(block.begin(), block.end(), [](uchar b) { return b == 0x99; }));
    QVERIFY(rig.mouse.transfers().empty());
    QVERIFY(DebugCapture::lines().isEmpty());
    QVERIFY(!rig.link->chkDeviceIsEnCode(1)); // such an entry never passes
}

void TstHidLink::failedOpenEmptiesPath()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    rig.mouse.setOpenRefused(true);
    rig.link->hid553_0BH_SetCurrentDPI(3);
    QVERIFY(rig.link->deviceEntry(0).commandPath.isEmpty());
    QVERIFY(!rig.link->deviceEntry(0).notifyPath.isEmpty());
    QVERIFY(rig.linkIdle());

    // From then on nothing reaches the device, even when it would open.
    rig.mouse.setOpenRefused(false);
    vr770::clearTransferLog();
    rig.link->hid553_0BH_SetCurrentDPI(4);
    QVERIFY(rig.mouse.transfers().empty());

    // An open failing midway (the reopen before the feature report) ends
    // the exchange the same way.
    rig.link->replaceDeviceList({entryFor(rig.mouse)});
    rig.mouse.failCall(Interface::Command, Call::Open, 2);
    rig.link->hid553_0BH_SetCurrentDPI(5);
    QVERIFY(rig.of(TransferKind::FeatureOut).empty());
    QVERIFY(rig.link->deviceEntry(0).commandPath.isEmpty());
    QVERIFY(rig.linkIdle());
}

void TstHidLink::hidErrorClosesAndFreesLink()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    std::array<uchar, 128> macro{};
    macro.fill(0x5A);

    // Every kind of failing call: the handle is closed, the link freed, the
    // path kept.
    const QList<Call> calls{Call::SendFeatureReport, Call::Write, Call::GetFeatureReport};
    for (Call call : calls) {
        vr770::clearTransferLog();
        rig.mouse.failCall(Interface::Command, call, call == Call::Write ? 2 : 1);
        uchar b1 = 1, b2 = 2, b3 = 3, b4 = 4;
        if (call == Call::GetFeatureReport)
            rig.link->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
        else
            rig.link->hid553_13H_SetMacroKey(1, macro.data());
        QVERIFY(rig.linkIdle());
        QVERIFY(!rig.link->deviceEntry(0).commandPath.isEmpty());
        QCOMPARE(QList<int>({b1, b2, b3, b4}), QList<int>({1, 2, 3, 4}));
        QCOMPARE(rig.of(TransferKind::Open).size(), rig.of(TransferKind::Close).size());
    }
    // The write failing on the second report stops the block there.
    vr770::clearTransferLog();
    rig.mouse.failCall(Interface::Command, Call::Write, 2);
    rig.link->hid553_13H_SetMacroKey(1, macro.data());
    QCOMPARE(int(rig.of(TransferKind::OutputReport).size()), 2);

    // Every HID call goes to a handle opened for it.
    vr770::clearTransferLog();
    rig.link->hid553_11H_SetDPISet(2, macro.data());
    const std::vector<vr770::Transfer> log = rig.mouse.transfers();
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i].kind == TransferKind::FeatureOut || log[i].kind == TransferKind::OutputReport)
            QCOMPARE(log[i - 1].kind, TransferKind::Open);
    }
    QCOMPARE(log.back().kind, TransferKind::Close);
}

void TstHidLink::silentBlockReadIsBounded()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);
    rig.mouse.setSilent(Interface::Command, true);
    std::array<uchar, 128> block;
    block.fill(0x77);
    rig.link->hid560_8CH_readProfile(block.data(), 1);
    QVERIFY(std::all_of(block.begin(), block.end(), [](uchar b) { return b == 0x77; }));
    QVERIFY(rig.linkIdle());
    QCOMPARE(int(rig.of(TransferKind::FeatureIn).size()), 1);
}

void TstHidLink::pausesBetweenReports()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    std::array<uchar, 128> macro{};
    rig.link->hid553_13H_SetMacroKey(2, macro.data());
    const auto frame = rig.of(TransferKind::FeatureOut);
    const auto reports = rig.of(TransferKind::OutputReport);
    QCOMPARE(int(frame.size()), 1);
    QCOMPARE(int(reports.size()), 4);
    // Settle pause after the frame, 120 ms after each data report.
    QVERIFY(reports[0].timeUs - frame[0].timeUs >= 127000);
    for (size_t i = 1; i < reports.size(); ++i)
        QVERIFY(reports[i].timeUs - reports[i - 1].timeUs >= 119000);
    // And the final settle pause before the interface is closed.
    const auto closes = rig.of(TransferKind::Close);
    QVERIFY(closes.back().timeUs - reports.back().timeUs >= 120000 + 127000);
}

void TstHidLink::busyLinkDropsCommands()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;
    DebugCapture::clear();

    rig.link->hidReady = false;
    rig.link->hid553_07H_Lod(1, 1);
    uchar selector = 1, stage = 0x44;
    rig.link->hid560_84H_GetCurrentDPI(selector, stage);
    std::array<uchar, 128> block;
    block.fill(0x31);
    rig.link->hid560_8CH_readProfile(block.data(), 0);
    // A handshake that never got the link is no match.
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));

    QCOMPARE(DebugCapture::lines(),
             QStringList({"hid553_07H_Lod", "cmd Failed 84", "cmd Failed 8c", "cmd Failed 00"}));
    QCOMPARE(int(selector), 1);
    QCOMPARE(int(stage), 0x44);
    QVERIFY(std::all_of(block.begin(), block.end(), [](uchar b) { return b == 0x31; }));
    QVERIFY(rig.mouse.transfers().empty());
    QVERIFY(!rig.link->hidReady); // a dropped command does not touch the flag
}

void TstHidLink::nestedCommandGivesUp()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;
    DebugCapture::clear();

    // Fired from the events the sending routine processes while the outer
    // command holds the link.
    QTimer::singleShot(0, rig.link.get(), [&rig] { rig.link->hid553_0BH_SetCurrentDPI(6); });
    std::array<uchar, 8> codes{1, 2, 3, 4, 5, 6, 7, 8};
    rig.link->hid553_11H_SetDPISet(8, codes.data());

    QCOMPARE(DebugCapture::lines(), QStringList({"cmd Failed 0B"}));
    QCOMPARE(int(rig.mouse.receivedFrames().size()), 1);
    QCOMPARE(rig.mouse.state().dpiStageCodes, codes);
    QCOMPARE(int(rig.mouse.state().currentDpi), 1);
    QVERIFY(rig.linkIdle());
}

void TstHidLink::seriesHoldsTheLink()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;
    DebugCapture::clear();

    // Due while the series is between its frames.
    QTimer::singleShot(200, rig.link.get(), [&rig] { rig.link->hid560_02H_SetCurrentProfile(4); });
    rig.link->hid560_04H_SetCurrentDPI(3);

    QCOMPARE(DebugCapture::lines(), QStringList({"cmd Failed 02"}));
    const std::vector<vr770::Bytes> frames = rig.mouse.receivedFrames();
    QCOMPARE(int(frames.size()), 4);
    for (int n = 0; n < 4; ++n) {
        QCOMPARE(int(frames[size_t(n)][1]), 0x04);
        QCOMPARE(int(frames[size_t(n)][2]), n + 1);
    }
    QCOMPARE(int(rig.mouse.state().currentProfile), 1);
    QVERIFY(rig.linkIdle());
}

QTEST_MAIN(TstHidLink)
#include "tst_hid_link.moc"
