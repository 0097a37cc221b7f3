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

static QByteArray keyText()
{
    return QByteArray(reinterpret_cast<const char *>(&secrecyKey[1]), 6);
}

class TstHidLink : public QObject
{
    Q_OBJECT

private slots:
    void handshake();
    void handshakeKeepsKeyForOtherCodeLengths();
    void noPathOrBadEntryMakesNoHidCall();
    void failedOpenEmptiesPath();
    void hidErrorClosesAndFreesLink();
    void pausesBetweenReports();
    void busyLinkDropsCommands();
    void nestedCommandGivesUp();
    void seriesHoldsTheLink();
};

void TstHidLink::handshake()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    QCOMPARE(keyText(), QByteArray("Bx7R70"));

    // Another code in the mouse: its answer does not unscramble to the challenge.
    vr770::MouseConfig config = rig.mouse.config();
    config.secrecyCode = "Qq9Zk1";
    rig.mouse.setConfig(config);
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));

    // Unplugged, or an entry without a command path.
    config.secrecyCode = "Bx7R70";
    rig.mouse.setConfig(config);
    rig.mouse.unplug();
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));
    rig.mouse.plug();
    QVERIFY(!rig.link->chkDeviceIsEnCode(0)); // the failed open emptied the path
    rig.link->replaceDeviceList({entryFor(rig.mouse)});
    QVERIFY(rig.link->chkDeviceIsEnCode(0));

    // Plain frames: the challenge travels in bytes 2 to 5 as it is.
    config.scrambling = false;
    rig.mouse.setConfig(config);
    DeviceEntry plain = entryFor(rig.mouse);
    rig.link->replaceDeviceList({plain});
    vr770::clearTransferLog();
    QVERIFY(rig.link->chkDeviceIsEnCode(0));
    const auto out = rig.of(TransferKind::FeatureOut);
    QCOMPARE(out.at(0).wire, out.at(0).frame);
    plain.isEncode = true;
    rig.link->replaceDeviceList({plain});
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));
    QVERIFY(rig.linkIdle());
}

void TstHidLink::handshakeKeepsKeyForOtherCodeLengths()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DeviceEntry shortCode = entryFor(rig.mouse);
    shortCode.sCode = "Bx7R7";
    DeviceEntry wrong = entryFor(rig.mouse);
    wrong.sCode = "Zzzzzz";
    rig.link->replaceDeviceList({shortCode, wrong});

    // The five-character entry is tested with the key of the previous handshake.
    QVERIFY(rig.link->chkDeviceIsEnCode(0));
    QVERIFY(!rig.link->chkDeviceIsEnCode(1));
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));
    // An index outside the table fails and leaves the key alone.
    QVERIFY(!rig.link->chkDeviceIsEnCode(5));
    QCOMPARE(rig.link->currentIndex, 5);
    QCOMPARE(keyText(), QByteArray("Zzzzzz"));
}

void TstHidLink::noPathOrBadEntryMakesNoHidCall()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;
    DeviceEntry noPath = entryFor(rig.mouse), tooLong = noPath, zeroLength = noPath;
    noPath.commandPath.clear();
    tooLong.reportLength = 65;
    zeroLength.reportLength = 0;
    rig.link->replaceDeviceList({noPath, tooLong, zeroLength});

    uchar stage = 0x42;
    std::array<uchar, 128> block;
    block.fill(0x99);
    const std::array<uchar, 128> before = block;
    for (int index : {0, 1, 2, 7, -1}) {
        rig.link->currentIndex = index;
        rig.link->hid553_0BH_SetCurrentDPI(3);
        rig.link->hid553_8BH_GetCurrentDPI(stage);
        rig.link->hid560_8CH_readProfile(block.data(), 0);
        QVERIFY(rig.linkIdle());
    }
    QCOMPARE(int(stage), 0x42);
    QCOMPARE(block, before);
    QVERIFY(rig.mouse.transfers().empty());
    QVERIFY(capture.lines().isEmpty());
    QVERIFY(!rig.link->chkDeviceIsEnCode(1));
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

    // A reopen failing midway ends the exchange the same way.
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

    // Whichever call fails: handle closed, link free, path kept, the
    // caller's values untouched.
    for (Call call : {Call::SendFeatureReport, Call::Write, Call::GetFeatureReport}) {
        vr770::clearTransferLog();
        rig.mouse.failCall(Interface::Command, call, call == Call::Write ? 2 : 1);
        uchar b[4] = {1, 2, 3, 4};
        if (call == Call::GetFeatureReport)
            rig.link->hid553_83H_GetKeyboardoption(b[0], b[1], b[2], b[3]);
        else
            rig.link->hid553_13H_SetMacroKey(1, macro.data());
        QVERIFY(rig.linkIdle());
        QVERIFY(!rig.link->deviceEntry(0).commandPath.isEmpty());
        QCOMPARE(QList<int>({b[0], b[1], b[2], b[3]}), QList<int>({1, 2, 3, 4}));
        QCOMPARE(rig.of(TransferKind::Open).size(), rig.of(TransferKind::Close).size());
        if (call == Call::Write)
            QCOMPARE(int(rig.of(TransferKind::OutputReport).size()), 2);
    }

    // A silent mouse: the block read gives up instead of blocking.
    LinkRig silent(mouseConfig(CommandSet::Hid560));
    silent.mouse.setSilent(Interface::Command, true);
    std::array<uchar, 128> block;
    block.fill(0x77);
    silent.link->hid560_8CH_readProfile(block.data(), 1);
    QVERIFY(std::all_of(block.begin(), block.end(), [](uchar b) { return b == 0x77; }));
    QVERIFY(silent.linkIdle());
}

void TstHidLink::pausesBetweenReports()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    std::array<uchar, 128> macro{};
    rig.link->hid553_13H_SetMacroKey(2, macro.data());
    const auto log = rig.mouse.transfers();
    const auto frame = rig.of(TransferKind::FeatureOut);
    const auto reports = rig.of(TransferKind::OutputReport);
    QCOMPARE(int(reports.size()), 4);

    // Each HID call goes to a handle opened for it.
    for (size_t i = 1; i < log.size(); ++i)
        if (log[i].kind == TransferKind::FeatureOut || log[i].kind == TransferKind::OutputReport)
            QCOMPARE(log[i - 1].kind, TransferKind::Open);
    QCOMPARE(log.back().kind, TransferKind::Close);

    // Lower bounds: settle pause after the frame, 120 ms after each report,
    // settle pause again at the end.
    QVERIFY(reports[0].timeUs - frame[0].timeUs >= 127000);
    for (size_t i = 1; i < reports.size(); ++i)
        QVERIFY(reports[i].timeUs - reports[i - 1].timeUs >= 119000);
    QVERIFY(log.back().timeUs - reports.back().timeUs >= 119000 + 127000);
}

void TstHidLink::busyLinkDropsCommands()
{
    LinkRig rig(mouseConfig(CommandSet::Hid560));
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;

    rig.link->hidReady = false;
    rig.link->hid553_07H_Lod(1, 1);
    uchar selector = 1, stage = 0x44;
    rig.link->hid560_84H_GetCurrentDPI(selector, stage);
    std::array<uchar, 128> block;
    block.fill(0x31);
    rig.link->hid560_8CH_readProfile(block.data(), 0);
    // A handshake that never got the link is no match.
    QVERIFY(!rig.link->chkDeviceIsEnCode(0));

    QCOMPARE(capture.lines(), QStringList({"hid553_07H_Lod", "cmd Failed 84", "cmd Failed 8c", "cmd Failed 00"}));
    QCOMPARE(QList<int>({selector, stage}), QList<int>({1, 0x44}));
    QVERIFY(std::all_of(block.begin(), block.end(), [](uchar b) { return b == 0x31; }));
    QVERIFY(rig.mouse.transfers().empty());
    QVERIFY(!rig.link->hidReady); // a dropped command leaves the flag alone
}

void TstHidLink::nestedCommandGivesUp()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;

    // Fired from the events the send routine processes while the outer
    // command holds the link.
    QTimer::singleShot(0, rig.link.get(), [&rig] { rig.link->hid553_0BH_SetCurrentDPI(6); });
    std::array<uchar, 8> codes{1, 2, 3, 4, 5, 6, 7, 8};
    rig.link->hid553_11H_SetDPISet(8, codes.data());

    QCOMPARE(capture.lines(), QStringList({"cmd Failed 0B"}));
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

    // Due while the series is between its frames.
    QTimer::singleShot(200, rig.link.get(), [&rig] { rig.link->hid560_02H_SetCurrentProfile(4); });
    rig.link->hid560_04H_SetCurrentDPI(3);

    QCOMPARE(capture.lines(), QStringList({"cmd Failed 02"}));
    const std::vector<vr770::Bytes> frames = rig.mouse.receivedFrames();
    QCOMPARE(int(frames.size()), 4);
    for (int n = 0; n < 4; ++n)
        QCOMPARE(QList<int>({frames[size_t(n)][1], frames[size_t(n)][2]}), QList<int>({0x04, n + 1}));
    QCOMPARE(int(rig.mouse.state().currentProfile), 1);
    QVERIFY(rig.linkIdle());
}

QTEST_MAIN(TstHidLink)
#include "tst_hid_link.moc"
