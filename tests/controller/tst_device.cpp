// The controller's device operations end to end: scene values in, bytes
// checked in the virtual mouse's state and received frames, for both
// command sets.
#include "bytes.h"
#include "testmodules.h"
#include "viewrig.h"

#include <QApplication>
#include <QtTest>

namespace {

// A controller on a private settings folder, linked to one virtual mouse.
struct Rig
{
    TestModules modules;
    vr770::VirtualR770 mouse;
    Hid_Thread link;
    ViewOwner owner;
    std::unique_ptr<myQQuickView> view = std::make_unique<myQQuickView>();
    bool handshakeOk = false;

    explicit Rig(vr770::CommandSet set)
    {
        vr770::resetBus();
        vr770::MouseConfig config;
        config.commandSet = set;
        mouse = vr770::addMouse(config);
        view->icType = set == vr770::CommandSet::Hid560 ? "560" : "553";
        handshakeOk = connectView(*view, link, owner, mouse);
        // The firmware default matrix (1, 0, n, 0) for every entry.
        for (int n = 0; n < 16; ++n)
            view->setDataList(QStringLiteral("mouseFwKeyMatrix/%1").arg(n), {1, 0, n, 0});
    }
    ~Rig()
    {
        view.reset();
        vr770::resetBus();
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

// A scene list of `entries` groups of `base`, with some groups replaced.
QVariantList sceneList(const std::vector<int> &base, int entries,
                       std::initializer_list<std::pair<int, std::vector<int>>> set)
{
    QVariantList list;
    for (int n = 0; n < entries; ++n)
        for (int v : base)
            list << v;
    for (const auto &[n, values] : set)
        for (std::size_t i = 0; i < values.size(); ++i)
            list[n * int(base.size()) + int(i)] = values[i];
    return list;
}
// Sixteen key assignments, left button unless given; eight colours, black
// unless given.
QVariantList keys(std::initializer_list<std::pair<int, std::vector<int>>> set)
{
    return sceneList({0, 0, 0xF0, 0}, 16, set);
}
QVariantList colours(std::initializer_list<std::pair<int, std::vector<int>>> set)
{
    return sceneList({0, 0, 0}, 8, set);
}

} // namespace

class Hid553Test : public QObject
{
    Q_OBJECT
    std::unique_ptr<Rig> rig;

private slots:
    void initTestCase()
    {
        rig = std::make_unique<Rig>(vr770::CommandSet::Hid553);
        QVERIFY(rig->handshakeOk);
    }
    void init() { vr770::clearTransferLog(); }
    void cleanupTestCase() { rig.reset(); }

    void keyMatrixWithoutRecoilKey()
    {
        // Positions 5, 6, 8, 9 and 12 are fixed whatever the scene holds
        // there; the assignment at 5 goes to 7.
        rig->view->mouseSetKeyMatrix(keys({{1, {4, 0, 2, 0}}, {2, {6, 0, 0x94, 1}},
                                           {3, {6, 0, 0x23, 2}}, {5, {5, 0, 4, 0}},
                                           {6, {3, 0, 0xCD, 0}}, {7, {2, 1, 4, 0}},
                                           {8, {4, 0, 8, 0}}, {12, {1, 4, 10, 3}}}),
                                     true, {100, 200, 300});
        QCOMPARE(rig->frames(), QStringLiteral("12 / 01"));
        QCOMPARE(hexBytes(rig->mouse.state().keyMatrices[0]),
                 QStringLiteral("01 00 F0 00 09 00 03 00 03 00 94 01 03 00 23 02 "
                                "01 00 F0 00 07 00 03 00 05 00 03 00 07 00 04 02 "
                                "0D 00 00 00 0D 01 00 00 01 00 F0 00 01 00 F0 00 "
                                "0E 00 00 00 01 00 F0 00 01 00 F0 00 01 00 F0 00"));
    }

    void keyMatrixWithRecoilKey()
    {
        // Two periods only: the third reads 0.
        rig->view->mouseSetKeyMatrix(keys({{10, {8, 0, 2, 0}}}), true, {100, 300});
        QCOMPARE(rig->frames(), QStringLiteral("12 12 12 12 02 / 01 02 03 04 01"));
        const auto s = rig->mouse.state();
        QCOMPARE(hexBytes(s.keyMatrices[0], 40, 4), QStringLiteral("08 00 01 01"));
        QCOMPARE(hexBytes(s.keyMatrices[1], 40, 4), QStringLiteral("08 00 01 02"));
        QCOMPARE(hexBytes(s.keyMatrices[3], 40, 4), QStringLiteral("08 00 01 00"));
        // Entry 0 of matrices 2 to 4 holds the periods' low bytes; the rest
        // is the firmware matrix.
        QCOMPARE(hexBytes(s.keyMatrices[1], 0, 4), QStringLiteral("0B 00 64 00"));
        QCOMPARE(hexBytes(s.keyMatrices[2], 0, 4), QStringLiteral("0B 01 2C 00"));
        QCOMPARE(hexBytes(s.keyMatrices[3], 0, 4), QStringLiteral("0B 02 00 00"));
        QCOMPARE(hexBytes(s.keyMatrices[3], 24, 4), QStringLiteral("01 00 06 00"));
        QCOMPARE(int(s.currentKeyMatrix), 1);
    }

    void dpiStagesAndLiftOff()
    {
        rig->view->mouseSetDpi(4, "3360", {500, 1000, 1500, 2000, 3000, 4000, 5000, 6000});
        QTest::ignoreMessage(QtDebugMsg, "test 125 1");
        rig->view->mouseSetReportRate(125, 1);
        QCOMPARE(rig->frames(), QStringLiteral("11 07 / 04 00"));
        const auto s = rig->mouse.state();
        QCOMPARE(hexBytes(s.dpiStageCodes), QStringLiteral("04 09 0E 13 80 80 80 80"));
        QCOMPARE(hexBytes(std::array<uint8_t, 3>{s.dpiStageCount, s.liftOffStage, s.liftOffEnable}),
                 QStringLiteral("04 7D 01"));
    }

    void lighting()
    {
        myQQuickView &v = *rig->view;
        const auto effect = [this] {
            const auto s = rig->mouse.state();
            return hexBytes(std::array<uint8_t, 3>{s.ledEffect, s.ledEffectOption1, s.ledEffectOption2});
        };
        v.isColorful = false;
        v.is55328 = false;
        v.mouseSetRGBEffect(0, 0, 3);
        QCOMPARE(effect(), QStringLiteral("01 07 02"));
        v.is55328 = true;
        v.mouseSetRGBEffect(0, 0, 3);
        QCOMPARE(effect(), QStringLiteral("01 07 01"));
        v.isColorful = true;
        v.mouseSetRGBEffect(8, 2, 4);
        QCOMPARE(effect(), QStringLiteral("08 FF 0F"));

        v.is55328 = false;
        v.mouseSetRGBColor(1, colours({{0, {255, 0, 0}}, {7, {1, 2, 3}}}));
        QCOMPARE(hexBytes(rig->mouse.state().ledStageColors[1], 0, 3), QStringLiteral("00 00 FF"));
        QCOMPARE(hexBytes(rig->mouse.state().ledStageColors[1], 21, 3), QStringLiteral("03 02 01"));
        // 55328 mice: the eighth colour decides between all colours and one.
        v.is55328 = true;
        v.mouseSetRGBColor(1, colours({{0, {0, 0, 9}}, {7, {0, 5, 0}}}));
        QCOMPARE(hexBytes(rig->mouse.state().ledStageColors[0], 0, 3), QStringLiteral("09 00 00"));
        v.mouseSetRGBColor(1, colours({{0, {255, 0, 0}}}));
        QCOMPARE(hexBytes(rig->mouse.state().fixedLedColor), QStringLiteral("00 00 FF"));
        QCOMPARE(rig->frames(), QStringLiteral("0D 0D 0D 10 10 10 0C / 01 01 08 01 01 00 00"));
    }

    void macroSlots()
    {
        QCOMPARE(rig->view->mouseSendMacroData({0, 1, 0x81, 4, 1}, 11), QVariant(true));
        const auto macro = rig->mouse.state().macros[11];
        QCOMPARE(hexBytes(macro, 0, 6), QStringLiteral("00 01 81 04 01 00"));
        QCOMPARE(std::count(macro.begin() + 5, macro.end(), 0), 123);
        QCOMPARE(rig->view->mouseSendMacroData({1, 2, 3}, 12), QVariant(true));
        QCOMPARE(rig->frames(), QStringLiteral("13 / 0C"));
    }

    void recoilData()
    {
        rig->mouse.setKeyboardOptions({0, 0, 1, 0});
        rig->view->isGun = false;
        rig->view->mouseSendGundata(2, {10, 3, 5});
        QCOMPARE(rig->frames(), QStringLiteral(" / "));
        rig->view->isGun = true;
        rig->view->mouseSendGundata(2, {10, 3, 5});
        QCOMPARE(hexBytes(rig->mouse.state().gunData), QStringLiteral("0A 03 FB 01"));
        // Without the option the offset goes as it is; a short list reads 0.
        rig->mouse.setKeyboardOptions({0, 0, 0, 0});
        rig->view->mouseSendGundata(3, {7});
        QCOMPARE(hexBytes(rig->mouse.state().gunData), QStringLiteral("07 00 00 02"));
    }
};

class Hid560Test : public QObject
{
    Q_OBJECT
    std::unique_ptr<Rig> rig;

private slots:
    void initTestCase()
    {
        rig = std::make_unique<Rig>(vr770::CommandSet::Hid560);
        QVERIFY(rig->handshakeOk);
    }
    void init()
    {
        vr770::clearTransferLog();
        rig->view->isGun = false;
    }
    void cleanupTestCase() { rig.reset(); }

    void keyMatrices()
    {
        rig->view->mouseSetKeyMatrix(keys({{5, {5, 0, 4, 0}}}), true, {});
        QCOMPARE(rig->frames(), QStringLiteral("0D / 01"));
        auto s = rig->mouse.state();
        QCOMPARE(hexBytes(s.keyMatrixBlocks[0], 20, 12), QStringLiteral("07 00 03 00 05 00 03 00 0B 00 01 01"));
        QCOMPARE(std::count(s.keyMatrixBlocks[0].begin() + 64, s.keyMatrixBlocks[0].end(), 0), 64);

        // A recoil key with three modes: the mask in profile block 0, then
        // the four matrices and the select.
        vr770::clearTransferLog();
        rig->view->mouseSetKeyMatrix(keys({{10, {8, 0, 3, 0}}}), true, {20, 40, 60});
        QCOMPARE(rig->frames(), QStringLiteral("0C 0D 0D 0D 0D 02 / 00 01 02 03 04 01"));
        s = rig->mouse.state();
        QCOMPARE(int(s.profiles[0][2]), 0x1F);
        QCOMPARE(hexBytes(s.keyMatrixBlocks[0], 40, 4), QStringLiteral("08 00 01 00"));
        QCOMPARE(hexBytes(s.keyMatrixBlocks[1], 40, 4), QStringLiteral("08 00 03 00"));
        QCOMPARE(hexBytes(s.keyMatrixBlocks[3], 40, 4), QStringLiteral("08 00 00 00"));
        QCOMPARE(hexBytes(s.keyMatrixBlocks[2], 0, 4), QStringLiteral("0B 01 28 00"));
    }

    void dpiImagesAndSendingRule()
    {
        const QVariantList values = {12800, 400, 800, 1600, 3200, 6400, 12750, 16000};
        rig->view->mouseSetDpi(3, "3389", values);
        QCOMPARE(rig->frames(), QStringLiteral("0C / 01"));
        auto p = rig->mouse.state().profiles[1];
        QCOMPARE(hexBytes(p, 82, 19), QStringLiteral("81 81 00 08 10 20 40 80 FF 40 "
                                                     "00 08 10 20 40 80 FF 40 07"));
        vr770::clearTransferLog();
        rig->view->isGun = true;
        rig->view->mouseSetDpi(8, "3360", values);
        QCOMPARE(rig->frames(), QStringLiteral("0C 0C 0C 0C / 01 02 03 04"));
        p = rig->mouse.state().profiles[4];
        QCOMPARE(int(p[100]), 0xFF);
        // The ninth bits belong to "3389" only: the last ones stay.
        QCOMPARE(hexBytes(p, 82, 4), QStringLiteral("81 81 7F 03"));
    }

    void lightingImages()
    {
        rig->view->isColorful = true;
        rig->view->mouseSetRGBEffect(9, 3, 3);
        rig->view->mouseSetRGBColor(0, colours({{0, {255, 0, 0}}}));
        rig->view->isColorful = false;
        rig->view->mouseSetRGBColor(1, colours({{0, {0, 255, 1}}}));
        QCOMPARE(rig->frames(), QStringLiteral("0C 0C 0C / 01 00 01"));
        const auto s = rig->mouse.state();
        QCOMPARE(hexBytes(s.profiles[1], 71, 3), QStringLiteral("09 C0 07"));
        QCOMPARE(hexBytes(s.profiles[0], 24, 3), QStringLiteral("00 00 FF"));
        QCOMPARE(hexBytes(s.profiles[1], 104, 3), QStringLiteral("01 FF 00"));
    }

    void recoilDataInImages()
    {
        rig->view->isGun = true;
        rig->view->profileImages[2][65] = 0xFF;
        rig->view->mouseSendGundata(1, {10, 3, 5});
        const auto p = rig->mouse.state().profiles[2];
        QCOMPARE(hexBytes(p, 78, 4), QStringLiteral("F0 0A 03 05"));
        QCOMPARE(int(p[65]), 0xFB);
        // Recoil modes are 1 to 3 only.
        QTest::ignoreMessage(QtDebugMsg, "mouseSendGundata refused 4");
        rig->view->mouseSendGundata(4, {10, 3, 5});
        QCOMPARE(rig->frames(), QStringLiteral("0C / 02"));
    }

    void profilesReadAndSelected()
    {
        std::array<uint8_t, 128> stored{};
        for (int i = 0; i < 128; ++i)
            stored[i] = uint8_t(i + 1);
        rig->mouse.setProfile(1, stored);
        rig->view->mouseReadProfile(1);
        QCOMPARE(hexRaw(rig->view->profileImages[1], 128), hexBytes(stored));
        // Only blocks 0 to 4 exist.
        vr770::clearTransferLog();
        QTest::ignoreMessage(QtDebugMsg, "mouseReadProfile refused 5");
        rig->view->mouseReadProfile(5);
        QTest::ignoreMessage(QtDebugMsg, "mouseSetProfile refused 7");
        rig->view->mouseSetProfile(7);
        rig->view->mouseSetProfile(4);
        rig->view->mouseSwitchKeyMatrix(2);
        QCOMPARE(rig->view->mouseReadCurrentProfile(), QVariant(2));
        QCOMPARE(rig->frames(), QStringLiteral("0C 02 82 / 04 02 00"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Hid553Test t553;
    Hid560Test t560;
    return QTest::qExec(&t553, argc, argv) | QTest::qExec(&t560, argc, argv);
}

#include "tst_device.moc"
