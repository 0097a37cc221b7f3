// The watch of the notification interface: the stage report, removal,
// stopping, and the keyboard option it switches on.
#include "linkrig.h"

#include "deviceeventtexts.h"

#include <QtTest>

// Opens and closes of the notification interface strictly alternate: never
// two handles at once, none left open.
static bool oneHandleAtATime(const LinkRig &rig)
{
    int open = 0;
    for (const vr770::Transfer &t : rig.mouse.transfers()) {
        const bool notify = t.interface == Interface::Notification;
        open += notify && t.kind == TransferKind::Open && t.result >= 0;
        open -= notify && t.kind == TransferKind::Close;
        if (open < 0 || open > 1)
            return false;
    }
    return open == 0;
}

static int notifyOpens(const LinkRig &rig) { return int(rig.of(TransferKind::Open, Interface::Notification).size()); }

class TstDeviceWatch : public QObject
{
    Q_OBJECT

private slots:
    void stagesThenRemoval()
    {
        LinkRig rig;
        // A press before the watch listens is lost, as on hidraw.
        rig.mouse.pressDpiButton(5);
        // The presses below may fall between two cycles: keep them.
        rig.mouse.setReportsKeptWhileClosed(true);
        deviceEventTexts().replace({"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8"});
        rig.link->startDeviceWatch(0);
        // Stages 1..7 have their own text, any other stage the eighth.
        for (int stage : {3, 9, 7, 0})
            rig.mouse.pressDpiButton(uchar(stage));
        QTRY_COMPARE(rig.owner.stages(), (QList<StageEvent>{{3, "t3 "}, {9, "t8 "}, {7, "t7 "}, {0, "t8 "}}));
        deviceEventTexts().reset();

        // Commands, a table swap and a second start beside the running loop.
        rig.link->hid553_0BH_SetCurrentDPI(5);
        QCOMPARE(int(rig.mouse.state().currentDpi), 5);
        rig.link->replaceDeviceList({entryFor(rig.mouse)});
        rig.link->startDeviceWatch(0);
        rig.mouse.pressDpiButton(2);
        QTRY_COMPARE(rig.owner.stages().size(), 5);

        rig.mouse.unplug();
        QTRY_COMPARE(rig.owner.removed.load(), 1);
        QTRY_VERIFY(!rig.link->watchRunning);
        rig.link->joinDeviceWatch();
        QCOMPARE(rig.debug(), QStringList({"Device removed "}));
        QVERIFY(rig.link->deviceEntry(0).notifyPath.isEmpty());
        QVERIFY(oneHandleAtATime(rig));
    }

    void stopAndShutdown()
    {
        LinkRig rig;
        rig.link->startDeviceWatch(0);
        QTRY_VERIFY(notifyOpens(rig) > 0); // the loop is in its read
        // Discovery swapping the table while the loop stops waits for it.
        rig.link->stopDeviceWatch();
        rig.link->replaceDeviceList({entryFor(rig.mouse)});
        QVERIFY(rig.link->watchFuture.isFinished());

        // The destructor stops and joins a running loop by itself.
        rig.link->startDeviceWatch(0);
        QTRY_VERIFY(notifyOpens(rig) > 2);
        rig.link.reset();
        QVERIFY(oneHandleAtATime(rig));
        QCOMPARE(rig.owner.removed.load(), 0);
    }

    // The option bit goes on before the loop starts: 40H in the fourth
    // hid553 byte, 08H in the first hid560 byte.
    void startSwitchesOptionOn()
    {
        LinkRig rig;
        rig.mouse.setKeyboardOptions({0x10, 0x20, 0x30, 0x01});
        DeviceEntry noNotify = entryFor(rig.mouse);
        noNotify.notifyPath.clear();
        rig.link->replaceDeviceList({noNotify});
        rig.link->startDeviceWatch(0);
        QCOMPARE(rig.frames().at(0).left(5), QString("00 83"));
        QCOMPARE(rig.mouse.state().keyboardOptions, (std::array<uint8_t, 4>{0x10, 0x20, 0x30, 0x41}));
        // Without a notification interface the loop ends at once, yet the
        // watch still counts as running.
        rig.link->joinDeviceWatch();
        QVERIFY(rig.link->watchRunning);
        QCOMPARE(notifyOpens(rig), 0);

        LinkRig rig560(CommandSet::Hid560);
        rig560.mouse.setKeyboardOptions({0x00, 0x05, 0, 0});
        rig560.link->startDeviceWatch(0);
        QCOMPARE(rig560.frames().at(0).left(5), QString("00 81"));
        QCOMPARE(rig560.lastFrame(), QString("00 01 08 05 00 00 00 00 F1"));
    }

    // Options that were never read are not written back: the other bits
    // would be lost.
    void unreadOptionsAreNotWrittenBack()
    {
        for (CommandSet set : {CommandSet::Hid553, CommandSet::Hid560}) {
            LinkRig rig(set);
            const std::array<uint8_t, 4> options{0x10, 0x20, 0x30, 0x01};
            rig.mouse.setKeyboardOptions(options);
            rig.mouse.failCall(Interface::Command, Call::GetFeatureReport);
            rig.link->startDeviceWatch(0);
            QCOMPARE(rig.mouse.state().keyboardOptions, options);
            QCOMPARE(rig.frames().size(), 1); // the query alone
            QCOMPARE(rig.debug(), QStringList({"Keyboardoption not read, option bit not set "}));
            QVERIFY(rig.link->watchRunning);
        }
    }
};

QTEST_GUILESS_MAIN(TstDeviceWatch)
#include "tst_device_watch.moc"
