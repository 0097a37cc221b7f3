// The link's exchanges and handshake against the virtual mouse: failures,
// pauses, the busy flag and nested commands.
#include "linkrig.h"

#include <QTimer>
#include <QtTest>

#include <array>

static QByteArray keyText() { return QByteArray(reinterpret_cast<const char *>(&secrecyKey[1]), 6); }

using Block128 = std::array<uchar, Hid_Thread::MaxBlockLength>;
static bool allBytes(const Block128 &b, uchar v) { return std::all_of(b.begin(), b.end(), [v](uchar x) { return x == v; }); }

class TstHidLink : public QObject
{
    Q_OBJECT

private slots:
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

        // Plain frames: the challenge travels in bytes 2 to 5 as it is.
        rig.mouse.plug();
        vr770::MouseConfig config = rig.mouse.config();
        config.scrambling = false;
        rig.mouse.setConfig(config);
        rig.link->replaceDeviceList({entryFor(rig.mouse)});
        vr770::clearTransferLog();
        QVERIFY(rig.link->chkDeviceIsEnCode(0));
        QCOMPARE(rig.of(TransferKind::FeatureOut).at(0).wire, rig.of(TransferKind::FeatureOut).at(0).frame);
        QVERIFY(rig.linkIdle());
    }

    // No path, or a report length outside 1..64: no HID call, no message,
    // the caller's values kept, the link free.
    void unusableEntryMakesNoHidCall()
    {
        LinkRig rig;
        DebugCapture capture;
        DeviceEntry noPath = entryFor(rig.mouse), tooLong = noPath, zeroLength = noPath;
        noPath.commandPath.clear();
        tooLong.reportLength = 65;
        zeroLength.reportLength = 0;
        rig.link->replaceDeviceList({noPath, tooLong, zeroLength});
        uchar stage = 0x42;
        Block128 block;
        block.fill(0x99);
        for (int index : {0, 1, 2, -1}) {
            rig.link->currentIndex = index;
            rig.link->hid553_0BH_SetCurrentDPI(3);
            rig.link->hid553_8BH_GetCurrentDPI(stage);
            rig.link->hid560_8CH_readProfile(block.data(), 0);
            QVERIFY(rig.linkIdle());
        }
        QCOMPARE(int(stage), 0x42);
        QVERIFY(allBytes(block, 0x99));
        QVERIFY(!rig.link->chkDeviceIsEnCode(1));
        QVERIFY(rig.mouse.transfers().empty());
        QVERIFY(capture.lines().isEmpty());
    }

    // Whichever call fails: handle closed, link free, path kept, the
    // caller's values untouched.
    void hidErrorsAndFailedOpen()
    {
        LinkRig rig(CommandSet::Hid560);
        Block128 block{};
        for (Call call : {Call::SendFeatureReport, Call::Write, Call::GetFeatureReport}) {
            vr770::clearTransferLog();
            rig.mouse.failCall(Interface::Command, call, call == Call::Write ? 2 : 1);
            uchar b1 = 1, b2 = 2;
            if (call == Call::GetFeatureReport)
                rig.link->hid560_81H_GetKeyboardoption(b1, b2);
            else
                rig.link->hid560_0FH_SetMacroKey(1, block.data());
            QVERIFY(rig.linkIdle());
            QVERIFY(!rig.link->deviceEntry(0).commandPath.isEmpty());
            QCOMPARE(QList<int>({b1, b2}), QList<int>({1, 2}));
            QCOMPARE(rig.of(TransferKind::Open).size(), rig.of(TransferKind::Close).size());
        }

        // A silent mouse: the block read gives up instead of blocking.
        rig.mouse.setSilent(Interface::Command, true);
        block.fill(0x77);
        rig.link->hid560_8CH_readProfile(block.data(), 1);
        QVERIFY(allBytes(block, 0x77));
        QVERIFY(rig.linkIdle());

        // A failed open empties that path only.
        rig.mouse.setOpenRefused(true);
        rig.link->hid560_02H_SetCurrentProfile(3);
        QVERIFY(rig.link->deviceEntry(0).commandPath.isEmpty());
        QVERIFY(!rig.link->deviceEntry(0).notifyPath.isEmpty());
        QVERIFY(rig.linkIdle());
    }

    void pausesBetweenReports()
    {
        LinkRig rig;
        Block128 macro{};
        rig.link->hid553_13H_SetMacroKey(2, macro.data());
        const auto log = rig.mouse.transfers();
        const auto frame = rig.of(TransferKind::FeatureOut);
        const auto reports = rig.of(TransferKind::OutputReport);
        QCOMPARE(int(reports.size()), 4);
        // Lower bounds: settle pause after the frame, 120 ms after each
        // report, settle pause again at the end.
        QVERIFY(reports[0].timeUs - frame[0].timeUs >= 127000);
        for (size_t i = 1; i < reports.size(); ++i)
            QVERIFY(reports[i].timeUs - reports[i - 1].timeUs >= 119000);
        QCOMPARE(log.back().kind, TransferKind::Close);
        QVERIFY(log.back().timeUs - reports.back().timeUs >= 119000 + 127000);
    }

    void busyLinkDropsCommands()
    {
        LinkRig rig(CommandSet::Hid560);
        DebugCapture capture;
        rig.link->hidReady = false;
        rig.link->hid553_07H_Lod(1, 1);
        uchar selector = 1, stage = 0x44;
        rig.link->hid560_84H_GetCurrentDPI(selector, stage);
        Block128 block;
        block.fill(0x31);
        rig.link->hid560_8CH_readProfile(block.data(), 0);
        // A handshake that never got the link is no match.
        QVERIFY(!rig.link->chkDeviceIsEnCode(0));

        QCOMPARE(capture.lines(), QStringList({"hid553_07H_Lod", "cmd Failed 84", "cmd Failed 8c", "cmd Failed 00"}));
        QCOMPARE(QList<int>({selector, stage}), QList<int>({1, 0x44}));
        QVERIFY(allBytes(block, 0x31));
        QVERIFY(rig.mouse.transfers().empty());
        QVERIFY(!rig.link->hidReady); // a dropped command leaves the flag alone
    }

    void nestedCommandGivesUp()
    {
        LinkRig rig;
        DebugCapture capture;
        // Fired from the events the send routine processes while the outer
        // command holds the link.
        QTimer::singleShot(0, rig.link.get(), [&rig] { rig.link->hid553_0BH_SetCurrentDPI(6); });
        std::array<uchar, 8> codes{1, 2, 3, 4, 5, 6, 7, 8};
        rig.link->hid553_11H_SetDPISet(8, codes.data());

        QCOMPARE(capture.lines(), QStringList({"cmd Failed 0B"}));
        QCOMPARE(rig.frames().size(), 1);
        QCOMPARE(rig.mouse.state().dpiStageCodes, codes);
        QVERIFY(rig.linkIdle());
    }
};

QTEST_GUILESS_MAIN(TstHidLink)
#include "tst_hid_link.moc"
