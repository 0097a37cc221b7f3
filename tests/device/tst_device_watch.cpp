// The watch of the notification interface: the stage report, removal,
// stopping, and the keyboard option it switches on.
#include "linkrig.h"
#include "notifyreport.h"

#include "deviceeventtexts.h"

#include <QtTest>

using vr770::CommandSet;
using vr770::Interface;
using vr770::TransferKind;

class TstDeviceWatch : public QObject
{
    Q_OBJECT

private slots:
    void notificationReports_data();
    void notificationReports();
    void eventTextIndex();
    void stageReachesOwner();
    void optionBitSwitchedOn();
    void unplugEndsWatch();
    void stopWhileReading();
    void noNotificationInterface();
    void oneLoopAtATime();

private:
    static std::vector<vr770::Transfer> notifyLog(const LinkRig &rig)
    {
        std::vector<vr770::Transfer> out;
        for (const vr770::Transfer &t : rig.mouse.transfers())
            if (t.interface == Interface::Notification)
                out.push_back(t);
        return out;
    }
    // Opens and closes of the notification interface strictly alternate:
    // never two handles at once, none left open.
    static bool alternates(const std::vector<vr770::Transfer> &log)
    {
        bool open = false;
        for (const vr770::Transfer &t : log) {
            if (t.kind == TransferKind::Open && t.result >= 0) {
                if (open)
                    return false;
                open = true;
            } else if (t.kind == TransferKind::Close) {
                if (!open)
                    return false;
                open = false;
            }
        }
        return !open;
    }
};

void TstDeviceWatch::notificationReports_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("stage");
    QTest::newRow("stage 3") << QByteArray::fromHex("06070003") << 4 << 3;
    QTest::newRow("stage 0") << QByteArray::fromHex("06070000") << 4 << 0;
    QTest::newRow("byte 2 ignored") << QByteArray::fromHex("0607ff09") << 4 << 9;
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

void TstDeviceWatch::eventTextIndex()
{
    QCOMPARE(notify::eventTextIndex(1), 0);
    QCOMPARE(notify::eventTextIndex(3), 2);
    QCOMPARE(notify::eventTextIndex(7), 6);
    QCOMPARE(notify::eventTextIndex(0), 7);
    QCOMPARE(notify::eventTextIndex(8), 7);
    QCOMPARE(notify::eventTextIndex(255), 7);
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

    deviceEventTexts().replace({"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8"});
    rig.mouse.pressDpiButton(9);
    QTRY_COMPARE(rig.owner.stages().size(), 2);
    QCOMPARE(rig.owner.stages().at(1), qMakePair(9, QString("t8 ")));
    rig.mouse.pressDpiButton(7);
    QTRY_COMPARE(rig.owner.stages().size(), 3);
    QCOMPARE(rig.owner.stages().at(2), qMakePair(7, QString("t7 ")));
    deviceEventTexts().reset();

    // Commands and a table swap on this thread while the loop reads.
    rig.link->hid553_0BH_SetCurrentDPI(5);
    QCOMPARE(int(rig.mouse.state().currentDpi), 5);
    rig.link->replaceDeviceList({entryFor(rig.mouse)});
    rig.mouse.pressDpiButton(2);
    QTRY_COMPARE(rig.owner.stages().size(), 4);
    QCOMPARE(rig.owner.stages().at(3).first, 2);

    QCOMPARE(rig.owner.removed(), 0);
    rig.link->stopDeviceWatch();
    rig.link->joinDeviceWatch();
    QVERIFY(alternates(notifyLog(rig)));
}

void TstDeviceWatch::optionBitSwitchedOn()
{
    {
        LinkRig rig;
        QVERIFY(rig.handshakeOk);
        rig.mouse.setKeyboardOptions({0x10, 0x20, 0x30, 0x01});
        rig.link->startDeviceWatch(0);
        QCOMPARE(rig.mouse.state().keyboardOptions, (std::array<uint8_t, 4>{0x10, 0x20, 0x30, 0x41}));
        const std::vector<vr770::Bytes> frames = rig.mouse.receivedFrames();
        QCOMPARE(int(frames.size()), 2);
        QCOMPARE(int(frames[0][1]), 0x83);
        QCOMPARE(hexOf(frames[1]), QByteArray("00 03 10 20 30 41 00 00 5B"));
    }
    {
        LinkRig rig(mouseConfig(CommandSet::Hid560));
        QVERIFY(rig.handshakeOk);
        rig.mouse.setKeyboardOptions({0x00, 0x05, 0, 0});
        rig.link->startDeviceWatch(0);
        QCOMPARE(int(rig.mouse.state().keyboardOptions[0]), 0x08);
        QCOMPARE(int(rig.mouse.state().keyboardOptions[1]), 0x05);
        QCOMPARE(int(rig.mouse.receivedFrames().at(0)[1]), 0x81);
    }
    {
        // A failed query leaves the option bytes at zero: only the bit goes out.
        LinkRig rig;
        QVERIFY(rig.handshakeOk);
        rig.mouse.setKeyboardOptions({1, 2, 3, 4});
        rig.mouse.failCall(Interface::Command, vr770::Call::GetFeatureReport);
        rig.link->startDeviceWatch(0);
        QCOMPARE(rig.mouse.state().keyboardOptions, (std::array<uint8_t, 4>{0, 0, 0, 0x40}));
    }
}

void TstDeviceWatch::unplugEndsWatch()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;
    DebugCapture::clear();
    rig.link->startDeviceWatch(0);

    rig.mouse.unplug();
    QTRY_COMPARE(rig.owner.removed(), 1);
    QTRY_VERIFY(!rig.link->watchRunning);
    rig.link->joinDeviceWatch();
    QCOMPARE(DebugCapture::lines(), QStringList({"Device removed"}));
    QVERIFY(rig.link->deviceEntry(0).notifyPath.isEmpty());
    QVERIFY(rig.owner.stages().isEmpty());
    QVERIFY(alternates(notifyLog(rig)));
}

void TstDeviceWatch::stopWhileReading()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DebugCapture capture;
    DebugCapture::clear();
    rig.link->startDeviceWatch(0);
    // Let the loop get into its read.
    QTRY_VERIFY(!notifyLog(rig).empty());

    rig.link->stopDeviceWatch();
    rig.link->joinDeviceWatch();
    QVERIFY(rig.link->watchFuture.isFinished());
    QVERIFY(!rig.link->watchRunning);
    QVERIFY(DebugCapture::lines().isEmpty());
    QCOMPARE(rig.owner.removed(), 0);
    QVERIFY(!rig.link->deviceEntry(0).notifyPath.isEmpty());
    QVERIFY(alternates(notifyLog(rig)));

    // The destructor stops and joins a running loop by itself.
    rig.link->startDeviceWatch(0);
    QTRY_VERIFY(notifyLog(rig).size() > 2);
    rig.link.reset();
    QVERIFY(alternates(notifyLog(rig)));
}

void TstDeviceWatch::noNotificationInterface()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    DeviceEntry e = entryFor(rig.mouse);
    e.notifyPath.clear();
    rig.link->replaceDeviceList({e});
    QVERIFY(rig.link->chkDeviceIsEnCode(0));
    vr770::clearTransferLog();

    rig.link->startDeviceWatch(0);
    rig.link->joinDeviceWatch();
    // The loop ended at once, yet the watch still counts as running.
    QVERIFY(rig.link->watchRunning);
    QVERIFY(notifyLog(rig).empty());
    QCOMPARE(rig.owner.removed(), 0);
}

void TstDeviceWatch::oneLoopAtATime()
{
    LinkRig rig;
    QVERIFY(rig.handshakeOk);
    rig.link->startDeviceWatch(0);
    QTRY_VERIFY(!notifyLog(rig).empty());
    // A second start ends the first loop before its own begins.
    rig.link->startDeviceWatch(0);
    QTRY_VERIFY(notifyLog(rig).size() > 4);
    rig.mouse.pressDpiButton(2);
    QTRY_COMPARE(rig.owner.stages().size(), 1);

    // Discovery replacing the table while the loop is stopping waits for it.
    rig.link->stopDeviceWatch();
    rig.link->replaceDeviceList({});
    QVERIFY(rig.link->watchFuture.isFinished());
    QVERIFY(alternates(notifyLog(rig)));
    QCOMPARE(rig.owner.stages().size(), 1);
}

QTEST_GUILESS_MAIN(TstDeviceWatch)
#include "tst_device_watch.moc"
