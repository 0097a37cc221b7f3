// The controller's device operations end to end: scene values in, bytes
// checked in the virtual mouse's state and received frames, for both
// command sets.
#include "testmodules.h"
#include "hexbytes.h"
#include "viewrig.h"

#include <QApplication>
#include <QtTest>

namespace {

using Values = QVariantList;

// A controller linked to one virtual mouse.
struct Rig
{
    vr770::VirtualR770 mouse;
    Hid_Thread link;
    ViewOwner owner;
    myQQuickView view;
    bool handshakeOk = false;

    explicit Rig(vr770::CommandSet set)
    {
        vr770::MouseConfig config;
        config.commandSet = set;
        mouse = vr770::addMouse(config);
        view.icType = set == vr770::CommandSet::Hid560 ? "560" : "553";
        handshakeOk = connectView(view, link, owner, mouse);
        // The firmware default matrix (1, 0, n, 0) for every entry.
        for (int n = 0; n < 16; ++n)
            view.setDataList(QStringLiteral("mouseFwKeyMatrix/%1").arg(n), {1, 0, n, 0});
    }

    // Command codes, then the index, profile or slot argument, of every frame
    // received since the last clear.
    QString frames() const
    {
        QStringList codes, args;
        for (const vr770::Bytes &f : mouse.receivedFrames()) {
            codes << hexBytes(f, 1, 1);
            args << hexBytes(f, 2, 1);
        }
        return codes.join(' ') + " / " + args.join(' ');
    }
};

// Sixteen key assignments, left button unless given.
QVariantList keys(std::initializer_list<std::pair<int, std::array<int, 4>>> set)
{
    QVariantList src;
    for (int n = 0; n < 16; ++n)
        src << 0 << 0 << 0xF0 << 0;
    for (const auto &[n, entry] : set)
        for (int i = 0; i < 4; ++i)
            src[n * 4 + i] = entry[i];
    return src;
}

} // namespace

class DeviceTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestModules> modules;
    std::unique_ptr<Rig> hid553, hid560;

private slots:
    void initTestCase()
    {
        modules = std::make_unique<TestModules>();
        vr770::resetBus();
        hid553 = std::make_unique<Rig>(vr770::CommandSet::Hid553);
        hid560 = std::make_unique<Rig>(vr770::CommandSet::Hid560);
        QVERIFY(hid553->handshakeOk && hid560->handshakeOk);
    }
    void init()
    {
        vr770::clearTransferLog();
        hid553->view.isGun = hid560->view.isGun = false;
    }
    void cleanupTestCase()
    {
        hid553.reset();
        hid560.reset();
        vr770::resetBus();
    }

    void hid553KeyMatrixWithoutRecoilKey_data()
    {
        QTest::addColumn<Values>("src64");
        QTest::addColumn<QString>("device");
        // Positions 5, 6, 8, 9 and 12 are fixed whatever the scene holds
        // there; the assignment at 5 goes to 7.
        QTest::newRow("examples")
            << keys({{1, {4, 0, 2, 0}}, {2, {6, 0, 0x94, 1}}, {3, {6, 0, 0x23, 2}},
                     {5, {5, 0, 4, 0}}, {6, {3, 0, 0xCD, 0}}, {7, {2, 1, 4, 0}},
                     {8, {4, 0, 8, 0}}, {12, {1, 4, 10, 3}}})
            << "01 00 F0 00 09 00 03 00 03 00 94 01 03 00 23 02 01 00 F0 00 07 00 03 00 "
               "05 00 03 00 07 00 04 02 0D 00 00 00 0D 01 00 00 01 00 F0 00 01 00 F0 00 "
               "0E 00 00 00 01 00 F0 00 01 00 F0 00 01 00 F0 00";
        // A short list reads (0, 0, 0, 0) past its end.
        QTest::newRow("short list") << Values{0, 0, 0xF0, 0, 4, 0, 2, 0, 2, 1}
                                    << "01 00 F0 00 09 00 03 00 00 01 00 00 01 00 00 00";
    }
    void hid553KeyMatrixWithoutRecoilKey()
    {
        QFETCH(Values, src64);
        QFETCH(QString, device);
        hid553->view.mouseSetKeyMatrix(src64, true, {100, 200, 300});
        QCOMPARE(hid553->frames(), QStringLiteral("12 / 01"));
        QCOMPARE(hexBytes(hid553->mouse.state().keyMatrices[0], 0, (device.size() + 1) / 3), device);
    }

    void hid553KeyMatrixWithRecoilKey()
    {
        // Two periods only: the third reads 0.
        hid553->view.mouseSetKeyMatrix(keys({{10, {8, 0, 2, 0}}}), true, {100, 300});
        QCOMPARE(hid553->frames(), QStringLiteral("12 12 12 12 02 / 01 02 03 04 01"));
        const auto s = hid553->mouse.state();
        QCOMPARE(hexBytes(s.keyMatrices[0], 40, 4), QStringLiteral("08 00 01 01"));
        QCOMPARE(hexBytes(s.keyMatrices[1], 40, 4), QStringLiteral("08 00 01 02"));
        // Entry 0 of matrices 2 to 4 holds the periods' low bytes; the rest
        // is the firmware matrix.
        QCOMPARE(hexBytes(s.keyMatrices[1], 0, 4), QStringLiteral("0B 00 64 00"));
        QCOMPARE(hexBytes(s.keyMatrices[2], 0, 4), QStringLiteral("0B 01 2C 00"));
        QCOMPARE(hexBytes(s.keyMatrices[3], 0, 4), QStringLiteral("0B 02 00 00"));
        QCOMPARE(hexBytes(s.keyMatrices[3], 24, 4), QStringLiteral("01 00 06 00"));
        QCOMPARE(int(s.currentKeyMatrix), 1);
    }

    void hid553DpiCodes_data()
    {
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<int>("count");
        QTest::addColumn<Values>("values");
        QTest::addColumn<QString>("codes");
        QTest::newRow("3360") << "3360" << 4 << Values{500, 1000, 1500, 2000, 3000, 4000, 5000, 6000}
                              << "04 09 0E 13 80 80 80 80";
        QTest::newRow("4090") << "4090" << 3 << Values{5000, 5001, 12000} << "31 59 7C 00 00 00 00 00";
        QTest::newRow("other") << "" << 2 << Values{12000, 800} << "7C 07 00 00 00 00 00 00";
        QTest::newRow("3050") << "3050" << 6 << Values{250, 251, 2000, 2001, 4000, 4001}
                              << "01 02 08 45 48 00 00 00";
        QTest::newRow("3327") << "3327" << 2 << Values{1650, 7000} << "20 7C 00 00 00 00 00 00";
        // Stages without a value stay 0, never disabled; a ninth value is ignored.
        QTest::newRow("short list") << "3360" << 1 << Values{500, 1000, 1500} << "04 80 80 00 00 00 00 00";
        QTest::newRow("nine values") << "3360" << 7 << Values(9, 500) << "04 04 04 04 04 04 04 80";
    }
    void hid553DpiCodes()
    {
        QFETCH(QString, sensor);
        QFETCH(int, count);
        QFETCH(Values, values);
        QFETCH(QString, codes);
        hid553->view.mouseSetDpi(count, sensor, values);
        QCOMPARE(hid553->frames(), QStringLiteral("11 / 0%1").arg(count));
        QCOMPARE(hexBytes(hid553->mouse.state().dpiStageCodes), codes);
    }

    void hid553Effects_data()
    {
        QTest::addColumn<bool>("colourful");
        QTest::addColumn<bool>("is55328");
        QTest::addColumn<Values>("scene");
        QTest::addColumn<QString>("device");
        QTest::newRow("colourful breathing") << true << false << Values{1, 0, 4} << "03 00 0A";
        QTest::newRow("speed out of range") << true << false << Values{8, 5, 4} << "08 FF 00";
        QTest::newRow("unknown effect") << true << false << Values{11, 1, 1} << "00 00 00";
        QTest::newRow("simple static") << false << false << Values{0, 0, 3} << "01 07 02";
        QTest::newRow("simple static 55328") << false << true << Values{0, 0, 3} << "01 07 01";
    }
    void hid553Effects()
    {
        QFETCH(bool, colourful);
        QFETCH(bool, is55328);
        QFETCH(Values, scene);
        QFETCH(QString, device);
        hid553->view.isColorful = colourful;
        hid553->view.is55328 = is55328;
        hid553->view.mouseSetRGBEffect(scene[0].toInt(), scene[1].toInt(), scene[2].toInt());
        const auto s = hid553->mouse.state();
        QCOMPARE(hexBytes(std::array<uint8_t, 3>{s.ledEffect, s.ledEffectOption1, s.ledEffectOption2}), device);
    }

    void hid553ColourOrder()
    {
        // Complete triples turn to blue, green, red; missing values are 0.
        hid553->view.is55328 = false;
        hid553->view.mouseSetRGBColor(1, {10, 20, 30, 40, 50});
        QCOMPARE(hexBytes(hid553->mouse.state().ledStageColors[1], 0, 9),
                 QStringLiteral("1E 14 0A 28 32 00 00 00 00"));
        // 55328 mice: the eighth colour decides between all colours and one.
        hid553->view.is55328 = true;
        QVariantList eighthSet(24, 0);
        eighthSet[2] = 9;
        eighthSet[22] = 5;
        hid553->view.mouseSetRGBColor(1, eighthSet);
        QCOMPARE(hexBytes(hid553->mouse.state().ledStageColors[0], 0, 3), QStringLiteral("09 00 00"));
        hid553->view.mouseSetRGBColor(1, {255, 0, 0});
        QCOMPARE(hexBytes(hid553->mouse.state().fixedLedColor), QStringLiteral("00 00 FF"));
        QCOMPARE(hid553->frames(), QStringLiteral("10 10 10 0C / 01 01 00 00"));
    }

    void hid553MacroSlots()
    {
        QCOMPARE(hid553->view.mouseSendMacroData({0, 1, 0x81, 4, 1}, 11), QVariant(true));
        const auto macro = hid553->mouse.state().macros[11];
        QCOMPARE(hexBytes(macro, 0, 6), QStringLiteral("00 01 81 04 01 00"));
        QCOMPARE(std::count(macro.begin() + 5, macro.end(), 0), 123);
        QCOMPARE(hid553->view.mouseSendMacroData({1, 2, 3}, 12), QVariant(true));
        QCOMPARE(hid553->frames(), QStringLiteral("13 / 0C"));
    }

    void hid553RecoilData()
    {
        hid553->mouse.setKeyboardOptions({0, 0, 1, 0});
        hid553->view.mouseSendGundata(2, {10, 3, 5});
        QCOMPARE(hid553->frames(), QStringLiteral(" / ")); // not a recoil mouse
        hid553->view.isGun = true;
        hid553->view.mouseSendGundata(2, {10, 3, 5});
        QCOMPARE(hexBytes(hid553->mouse.state().gunData), QStringLiteral("0A 03 FB 01"));
        // Without the option the offset goes as it is; a short list reads 0.
        hid553->mouse.setKeyboardOptions({0, 0, 0, 0});
        hid553->view.mouseSendGundata(3, {7});
        QCOMPARE(hexBytes(hid553->mouse.state().gunData), QStringLiteral("07 00 00 02"));
    }

    void hid560KeyMatrices()
    {
        hid560->view.mouseSetKeyMatrix(keys({{5, {5, 0, 4, 0}}}), true, {});
        QCOMPARE(hid560->frames(), QStringLiteral("0D / 01"));
        auto s = hid560->mouse.state();
        QCOMPARE(hexBytes(s.keyMatrixBlocks[0], 20, 12),
                 QStringLiteral("07 00 03 00 05 00 03 00 0B 00 01 01"));
        QCOMPARE(std::count(s.keyMatrixBlocks[0].begin() + 64, s.keyMatrixBlocks[0].end(), 0), 64);

        // A recoil key with three modes: the mask in profile block 0, then
        // the four matrices and the select.
        vr770::clearTransferLog();
        hid560->view.mouseSetKeyMatrix(keys({{10, {8, 0, 3, 0}}}), true, {20, 40, 60});
        QCOMPARE(hid560->frames(), QStringLiteral("0C 0D 0D 0D 0D 02 / 00 01 02 03 04 01"));
        s = hid560->mouse.state();
        QCOMPARE(int(s.profiles[0][2]), 0x1F);
        QCOMPARE(hexBytes(s.keyMatrixBlocks[0], 40, 4), QStringLiteral("08 00 01 00"));
        QCOMPARE(hexBytes(s.keyMatrixBlocks[1], 40, 4), QStringLiteral("08 00 03 00"));
        QCOMPARE(hexBytes(s.keyMatrixBlocks[3], 40, 4), QStringLiteral("08 00 00 00"));
        QCOMPARE(hexBytes(s.keyMatrixBlocks[2], 0, 4), QStringLiteral("0B 01 28 00"));
    }

    void hid560DpiImagesAndSendingRule()
    {
        const QVariantList values = {12800, 400, 800, 1600, 3200, 6400, 12750, 16000};
        hid560->view.mouseSetDpi(3, "3389", values);
        QCOMPARE(hid560->frames(), QStringLiteral("0C / 01"));
        auto p = hid560->mouse.state().profiles[1];
        QCOMPARE(hexBytes(p, 82, 19), QStringLiteral("81 81 00 08 10 20 40 80 FF 40 "
                                                "00 08 10 20 40 80 FF 40 07"));
        vr770::clearTransferLog();
        hid560->view.isGun = true;
        hid560->view.mouseSetDpi(8, "3360", values);
        QCOMPARE(hid560->frames(), QStringLiteral("0C 0C 0C 0C / 01 02 03 04"));
        p = hid560->mouse.state().profiles[4];
        QCOMPARE(int(p[100]), 0xFF);
        // The ninth bits belong to "3389" only: the last ones stay.
        QCOMPARE(hexBytes(p, 82, 4), QStringLiteral("81 81 7F 03"));
    }

    void hid560LightingImages()
    {
        hid560->view.isColorful = true;
        hid560->view.mouseSetRGBEffect(9, 3, 3);
        hid560->view.mouseSetRGBColor(0, {255, 0, 0});
        hid560->view.isColorful = false;
        hid560->view.mouseSetRGBColor(1, {0, 255, 1});
        QCOMPARE(hid560->frames(), QStringLiteral("0C 0C 0C / 01 00 01"));
        const auto s = hid560->mouse.state();
        QCOMPARE(hexBytes(s.profiles[1], 71, 3), QStringLiteral("09 C0 07"));
        QCOMPARE(hexBytes(s.profiles[0], 24, 3), QStringLiteral("00 00 FF"));
        QCOMPARE(hexBytes(s.profiles[1], 104, 3), QStringLiteral("01 FF 00"));
    }

    void hid560RecoilDataInImages()
    {
        hid560->view.isGun = true;
        hid560->view.profileImages[2][65] = 0xFF;
        hid560->view.mouseSendGundata(1, {10, 3, 5});
        const auto p = hid560->mouse.state().profiles[2];
        QCOMPARE(hexBytes(p, 78, 4), QStringLiteral("F0 0A 03 05"));
        QCOMPARE(int(p[65]), 0xFB);
        // Recoil modes are 1 to 3 only.
        QTest::ignoreMessage(QtDebugMsg, "mouseSendGundata refused 4 ");
        hid560->view.mouseSendGundata(4, {10, 3, 5});
        QCOMPARE(hid560->frames(), QStringLiteral("0C / 02"));
    }

    void hid553SingleCommandOperations()
    {
        Rig &r = *hid553;
        QTest::ignoreMessage(QtDebugMsg, "test 90 1 ");
        r.view.mouseSetReportRate(90, 1);
        r.view.mouseSetKeyboardoption(1, 2, 3, 4);
        QCOMPARE(r.view.GetKeyboardoption(), QVariantList({1, 2, 3, 4}));
        r.view.mouseSetCurrentDPI(3);
        QCOMPARE(r.view.mouseGetCurrentDPI(), QVariant(3));
        r.view.mouseResetKeyMatrix();
        r.view.mouseSwitchKeyMatrix(1);
        QCOMPARE(r.frames(), QStringLiteral("07 03 83 0B 8B 12 12 12 02 / 00 01 00 03 00 02 03 04 00"));
        const vr770::MouseState st = r.mouse.state();
        QCOMPARE(int(st.liftOffStage), 90);
        QCOMPARE(int(st.liftOffEnable), 1);
        // Matrices 2 to 4 hold the firmware defaults (1, 0, n, 0); 1 is untouched.
        QCOMPARE(hexBytes(st.keyMatrices[3], 60, 4), QStringLiteral("01 00 0F 00"));
        QCOMPARE(int(st.currentKeyMatrix), 0);
    }

    void hid560SingleCommandOperations()
    {
        Rig &r = *hid560;
        r.view.mouseSetReportRate(90, 1); // lift-off always goes the hid553 way
        r.view.mouseSetCurrentDPI(2);
        QCOMPARE(r.view.mouseGetCurrentDPI(), QVariant(2));
        r.view.mouseResetKeyMatrix();
        r.view.mouseSwitchKeyMatrix(1);
        QCOMPARE(r.view.mouseReadCurrentProfile(), QVariant(1));
        QCOMPARE(r.frames(), QStringLiteral("07 04 04 04 04 84 0D 0D 0D 02 82 / 00 01 02 03 04 01 02 03 04 01 00"));
        const vr770::MouseState st = r.mouse.state();
        QCOMPARE(int(st.profileDpi[4]), 2);
        QCOMPARE(hexBytes(st.keyMatrixBlocks[1], 60, 8), QStringLiteral("01 00 0F 00 00 00 00 00"));
    }

    // The operations return whether every exchange completed. A failed one
    // does not stop the rest of its operation; a hid560 image the mouse did
    // not take goes again with the next flow.
    void resultsReturned()
    {
        using vr770::Call;
        using vr770::Interface;
        Rig &r = *hid553;
        ControllerCore &core = r.view;
        r.view.is55328 = false; // the colours go twice
        r.mouse.failCall(Interface::Command, Call::SendFeatureReport, 1);
        QVERIFY(!core.mouseSetRGBColor(1, {10, 20, 30}));
        QCOMPARE(r.frames(), QStringLiteral("10 / 01"));
        QVERIFY(core.mouseSetRGBColor(1, {10, 20, 30}));
        r.mouse.setCurrentDpi(3);
        QVERIFY(core.readCurrentDPI() == std::optional<int>(3));
        r.mouse.failCall(Interface::Command, Call::GetFeatureReport, 1);
        QVERIFY(!core.readCurrentDPI());

        Rig &h = *hid560;
        ControllerCore &c = h.view;
        vr770::clearTransferLog();
        c.mouseBeginFlow();
        QVERIFY(c.mouseSetDpi(2, "3360", {400, 800})); // held until the flow ends
        h.mouse.failCall(Interface::Command, Call::Write, 1);
        QVERIFY(!c.mouseEndFlow());
        c.mouseBeginFlow();
        QVERIFY(c.mouseEndFlow());
        // The link follows the flags of the controller it was given.
        h.view.isGun = true;
        QVERIFY(c.mouseSetCurrentDPI(2));
        QCOMPARE(h.frames(), QStringLiteral("0C 0C 04 / 01 01 01"));
    }

    void hid560Profiles()
    {
        hid560->mouse.setProfile(3, std::array<uint8_t, 128>{1, 2, 3});
        hid560->view.mouseReadProfile(3);
        QCOMPARE(hexBytes(hid560->view.profileImages[3], 0, 4), QStringLiteral("01 02 03 00"));
        // Only blocks 0 to 4 exist.
        QTest::ignoreMessage(QtDebugMsg, "mouseReadProfile refused 5 ");
        hid560->view.mouseReadProfile(5);
        QTest::ignoreMessage(QtDebugMsg, "mouseSetProfile refused 7 ");
        hid560->view.mouseSetProfile(7);
        hid560->view.mouseSetProfile(4);
        QCOMPARE(hid560->frames(), QStringLiteral("8C 0C / 03 04"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    DeviceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_device.moc"
