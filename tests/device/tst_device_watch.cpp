// The watch of the notification interface: the stage report, removal,
// stopping, and the keyboard option it switches on.
#include "linkrig.h"
#include "notifyreport.h"

#include "deviceeventtexts.h"

#include <QtTest>

using vr770::CommandSet;
using vr770::Interface;
using vr770::TransferKind;

// Opens and closes of the notification interface strictly alternate: never
// two handles at once, none left open.
static bool oneHandleAtATime(const LinkRig &rig)
{
    int open = 0;
    for (const vr770::Transfer &t : rig.mouse.transfers()) {
        if (t.interface != Interface::Notification)
            continue;
        if (t.kind == TransferKind::Open && t.result >= 0 && ++open > 1)
            return false;
        if (t.kind == TransferKind::Close && --open < 0)
            return false;
    }
    return open == 0;
}

static int notifyOpens(const LinkRig &rig)
{
    return int(rig.of(TransferKind::Open, Interface::Notification).size());
}

class TstDeviceWatch : public QObject
{
    Q_OBJECT

private slots:
    void notificationReports_data();
    void notificationReports();
    void stageReachesOwner();
    void optionBitSwitchedOn();
    void unplugEndsWatch();
    void stopWhileReading();
    void noNotificationInterface();
};

void TstDeviceWatch::notificationReports_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("stage");
    QTest::newRow("stage 3") << QByteArray::fromHex("06070003") << 4 << 3;
    QTest::newRow("byte 2 unused") << QByteArray::fromHex("0607ff09") << 4 << 9;
    QTest::newRow("other kind") << QByteArray::fromHex("06050003") << 4 << notify::NoStage;
    QTest::newRow("other id") << QByteArray::fromHex("05070003") << 4 << notify::NoStage;
    QTest::newRow("short read") << QByteArray::fromHex("06070003") << 3 << notify::NoStage;
    QTest::newRow("timeout") << QByteArray::fromHex("06070003") << 0 << notify::NoStage;
    QTest::newRow("error") << QByteArray::fromHex("06070003") << -1 << notify::NoStage;
}

void TstDeviceWatch::notificationReports()
{
    QFETCH(QByteArray, report);
    QFETCH(int, length);
    QFETCH(int, stage);
    QCOMPARE(notify::dpiStage(reinterpret_cast<const uchar *>(report.constData()), length), stage);
}

void TstDeviceWatch::stageReachesOwner()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    deviceEventTexts().reset();
    rig.link->startDeviceWatch(0);
    QVERIFY(rig.link->watchRunning);

    rig.mouse.pressDpiButton(3);
    QTRY_COMPARE(rig.owner.stages().size(), 1);
    QCOMPARE(rig.owner.stages().at(0), qMakePair(3, QString("DPI Switch to ")));

    // Stages 1..7 have their own text, any other stage the eighth.
    deviceEventTexts().replace({"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8"});
    for (int stage : {9, 7, 0})
        rig.mouse.pressDpiButton(uchar(stage));
    QTRY_COMPARE(rig.owner.stages().size(), 4);
    QCOMPARE(rig.owner.stages().mid(1), (QList<QPair<int, QString>>{{9, "t8 "}, {7, "t7 "}, {0, "t8 "}}));
    deviceEventTexts().reset();

    // Commands, a table swap and a second start beside the running loop.
    rig.link->hid553_0BH_SetCurrentDPI(5);
    QCOMPARE(int(rig.mouse.state().currentDpi), 5);
    rig.link->replaceDeviceList({entryFor(rig.mouse)});
    rig.link->startDeviceWatch(0);
    rig.mouse.pressDpiButton(2);
    QTRY_COMPARE(rig.owner.stages().size(), 5);
    QCOMPARE(rig.owner.stages().at(4).first, 2);

    QCOMPARE(rig.owner.removed(), 0);
    rig.link->stopDeviceWatch();
    rig.link->joinDeviceWatch();
    QVERIFY(oneHandleAtATime(rig));
}

void TstDeviceWatch::optionBitSwitchedOn()
{
    {
        LinkRig rig;
        rig.mouse.setKeyboardOptions({0x10, 0x20, 0x30, 0x01});
        rig.link->startDeviceWatch(0);
        QCOMPARE(rig.mouse.state().keyboardOptions, (std::array<uint8_t, 4>{0x10, 0x20, 0x30, 0x41}));
        QCOMPARE(int(rig.mouse.receivedFrames().at(0)[1]), 0x83);
        QCOMPARE(rig.lastFrame(), QByteArray("00 03 10 20 30 41 00 00 5B"));
    }
    {
        LinkRig rig(mouseConfig(CommandSet::Hid560));
        rig.mouse.setKeyboardOptions({0x00, 0x05, 0, 0});
        rig.link->startDeviceWatch(0);
        QCOMPARE(int(rig.mouse.receivedFrames().at(0)[1]), 0x81);
        QCOMPARE(rig.lastFrame(), QByteArray("00 01 08 05 00 00 00 00 F1"));
    }
    {
        // A failed query leaves the bytes at zero: only the bit goes out.
        LinkRig rig;
        rig.mouse.setKeyboardOptions({1, 2, 3, 4});
        rig.mouse.failCall(Interface::Command, vr770::Call::GetFeatureReport);
        rig.link->startDeviceWatch(0);
        QCOMPARE(rig.mouse.state().keyboardOptions, (std::array<uint8_t, 4>{0, 0, 0, 0x40}));
    }
}

void TstDeviceWatch::unplugEndsWatch()
{
    LinkRig rig;
    DebugCapture capture;
    rig.link->startDeviceWatch(0);

    rig.mouse.unplug();
    QTRY_COMPARE(rig.owner.removed(), 1);
    QTRY_VERIFY(!rig.link->watchRunning);
    rig.link->joinDeviceWatch();
    QCOMPARE(capture.lines(), QStringList({"Device removed"}));
    QVERIFY(rig.link->deviceEntry(0).notifyPath.isEmpty());
    QVERIFY(rig.owner.stages().isEmpty());
    QVERIFY(oneHandleAtATime(rig));
}

void TstDeviceWatch::stopWhileReading()
{
    LinkRig rig;
    DebugCapture capture;
    rig.link->startDeviceWatch(0);
    QTRY_VERIFY(notifyOpens(rig) > 0); // the loop is in its read

    rig.link->stopDeviceWatch();
    rig.link->joinDeviceWatch();
    QVERIFY(!rig.link->watchRunning);
    QVERIFY(capture.lines().isEmpty());
    QCOMPARE(rig.owner.removed(), 0);
    QVERIFY(!rig.link->deviceEntry(0).notifyPath.isEmpty());

    // Discovery swapping the table while a loop is stopping waits for it.
    rig.link->startDeviceWatch(0);
    QTRY_VERIFY(notifyOpens(rig) > 2);
    rig.link->stopDeviceWatch();
    rig.link->replaceDeviceList({entryFor(rig.mouse)});
    QVERIFY(rig.link->watchFuture.isFinished());

    // The destructor stops and joins a running loop by itself.
    rig.link->startDeviceWatch(0);
    QTRY_VERIFY(notifyOpens(rig) > 4);
    rig.link.reset();
    QVERIFY(oneHandleAtATime(rig));
}

void TstDeviceWatch::noNotificationInterface()
{
    LinkRig rig;
    DeviceEntry e = entryFor(rig.mouse);
    e.notifyPath.clear();
    rig.link->replaceDeviceList({e});
    rig.link->startDeviceWatch(0);
    rig.link->joinDeviceWatch();
    // The loop ended at once, yet the watch still counts as running.
    QVERIFY(rig.link->watchRunning);
    QCOMPARE(notifyOpens(rig), 0);
    QCOMPARE(rig.owner.removed(), 0);
}

QTEST_GUILESS_MAIN(TstDeviceWatch)
#include "tst_device_watch.moc"
