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
    std::unique_ptr<myQQuickView> view;
    bool handshakeOk = false;

    explicit Rig(vr770::CommandSet set)
    {
        vr770::resetBus();
        vr770::MouseConfig config;
        config.commandSet = set;
        mouse = vr770::addMouse(config);
        view = std::make_unique<myQQuickView>();
        view->icType = set == vr770::CommandSet::Hid560 ? "560" : "553";
        handshakeOk = connectView(*view, link, owner, mouse);
        vr770::clearTransferLog();
    }
    ~Rig()
    {
        view.reset();
        vr770::resetBus();
    }

    // Command codes of the frames received since the last clear.
    QString commands() const
    {
        QStringList codes;
        for (const vr770::Bytes &f : mouse.receivedFrames())
            codes << hexBytes(f, 1, 1);
        return codes.join(' ');
    }
    // Byte 2 of every frame (the index, profile or slot argument).
    QString arguments() const
    {
        QStringList args;
        for (const vr770::Bytes &f : mouse.receivedFrames())
            args << hexBytes(f, 2, 1);
        return args.join(' ');
    }
    void clear() const { vr770::clearTransferLog(); }
};

QVariantList leftButtons()
{
    QVariantList src;
    for (int n = 0; n < 16; ++n)
        src << 0 << 0 << 0xF0 << 0;
    return src;
}

void put(QVariantList &src, int n, std::initializer_list<int> entry)
{
    int i = 0;
    for (int v : entry)
        src[n * 4 + i++] = v;
}

// A firmware default matrix (1, 0, n, 0) for every entry, in the current profile.
void storeFirmwareMatrix(myQQuickView &view)
{
    for (int n = 0; n < 16; ++n)
        view.setDataList(QStringLiteral("mouseFwKeyMatrix/%1").arg(n), {1, 0, n, 0});
}

template <std::size_t N>
QString entryOf(const std::array<uint8_t, N> &matrix, int n)
{
    return hexBytes(matrix, n * 4, 4);
}

QVariantList colours(std::initializer_list<std::pair<int, std::array<int, 3>>> set)
{
    QVariantList list;
    for (int i = 0; i < 24; ++i)
        list << 0;
    for (const auto &[n, rgb] : set)
        for (int i = 0; i < 3; ++i)
            list[n * 3 + i] = rgb[i];
    return list;
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
    void init() { rig->clear(); }
    void cleanupTestCase() { rig.reset(); }

    void keyMatrixWithoutRecoilKey()
    {
        QVariantList src = leftButtons();
        put(src, 1, {4, 0, 2, 0});
        put(src, 2, {6, 0, 0x94, 1});
        put(src, 3, {6, 0, 0x23, 2});
        put(src, 5, {5, 0, 4, 0});
        rig->view->mouseSetKeyMatrix(src, true, {100, 200, 300});
        QCOMPARE(rig->commands(), QStringLiteral("12"));
        QCOMPARE(rig->arguments(), QStringLiteral("01"));
        const auto m = rig->mouse.state().keyMatrices[0];
        QCOMPARE(entryOf(m, 0), QStringLiteral("01 00 F0 00"));
        QCOMPARE(entryOf(m, 1), QStringLiteral("09 00 03 00"));
        QCOMPARE(entryOf(m, 2), QStringLiteral("03 00 94 01"));
        QCOMPARE(entryOf(m, 3), QStringLiteral("03 00 23 02"));
        QCOMPARE(entryOf(m, 5), QStringLiteral("07 00 03 00"));
        QCOMPARE(entryOf(m, 7), QStringLiteral("07 00 04 02"));
        QCOMPARE(rig->view->getDataList("mouseKeyMatrix/5", false).size(), 4);
    }

    void keyMatrixWithRecoilKey()
    {
        storeFirmwareMatrix(*rig->view);
        QVariantList src = leftButtons();
        put(src, 10, {8, 0, 2, 0});
        rig->view->mouseSetKeyMatrix(src, true, {100, 300, 600});
        QCOMPARE(rig->commands(), QStringLiteral("12 12 12 12 02"));
        QCOMPARE(rig->arguments(), QStringLiteral("01 02 03 04 01"));
        const auto s = rig->mouse.state();
        QCOMPARE(entryOf(s.keyMatrices[0], 10), QStringLiteral("08 00 01 01"));
        QCOMPARE(entryOf(s.keyMatrices[1], 10), QStringLiteral("08 00 01 02"));
        QCOMPARE(entryOf(s.keyMatrices[2], 10), QStringLiteral("08 00 01 00"));
        QCOMPARE(entryOf(s.keyMatrices[3], 10), QStringLiteral("08 00 01 00"));
        QCOMPARE(entryOf(s.keyMatrices[1], 0), QStringLiteral("0B 00 64 00"));
        QCOMPARE(entryOf(s.keyMatrices[2], 0), QStringLiteral("0B 01 2C 00"));
        QCOMPARE(entryOf(s.keyMatrices[3], 0), QStringLiteral("0B 02 58 00"));
        QCOMPARE(entryOf(s.keyMatrices[3], 6), QStringLiteral("01 00 06 00"));
        QCOMPARE(int(s.currentKeyMatrix), 1);
    }

    void resetAndSwitchKeyMatrix()
    {
        storeFirmwareMatrix(*rig->view);
        rig->view->mouseResetKeyMatrix();
        rig->view->mouseSwitchKeyMatrix(1);
        QCOMPARE(rig->commands(), QStringLiteral("12 12 12 02"));
        QCOMPARE(rig->arguments(), QStringLiteral("02 03 04 00"));
        const auto s = rig->mouse.state();
        QCOMPARE(entryOf(s.keyMatrices[3], 9), QStringLiteral("01 00 09 00"));
        QCOMPARE(int(s.currentKeyMatrix), 0);
    }

    void dpiStages()
    {
        rig->view->mouseSetDpi(4, "3360", {500, 1000, 1500, 2000, 3000, 4000, 5000, 6000});
        QCOMPARE(rig->commands(), QStringLiteral("11"));
        const auto s = rig->mouse.state();
        QCOMPARE(int(s.dpiStageCount), 4);
        QCOMPARE(hexBytes(s.dpiStageCodes), QStringLiteral("04 09 0E 13 80 80 80 80"));
    }

    void lightingEffect()
    {
        Rig &r = *rig;
        r.view->isColorful = false;
        r.view->is55328 = false;
        r.view->mouseSetRGBEffect(0, 0, 3);
        auto s = r.mouse.state();
        QCOMPARE(hexBytes(std::array<uint8_t, 3>{s.ledEffect, s.ledEffectOption1, s.ledEffectOption2}),
                 QStringLiteral("01 07 02"));
        r.view->is55328 = true;
        r.view->mouseSetRGBEffect(0, 0, 3);
        QCOMPARE(int(r.mouse.state().ledEffectOption2), 1);
        r.view->isColorful = true;
        r.view->mouseSetRGBEffect(8, 2, 4);
        s = r.mouse.state();
        QCOMPARE(hexBytes(std::array<uint8_t, 3>{s.ledEffect, s.ledEffectOption1, s.ledEffectOption2}),
                 QStringLiteral("08 FF 0F"));
        QCOMPARE(r.commands(), QStringLiteral("0D 0D 0D"));
    }

    void lightingColours()
    {
        Rig &r = *rig;
        r.view->is55328 = false;
        r.view->mouseSetRGBColor(1, colours({{0, {255, 0, 0}}, {7, {1, 2, 3}}}));
        QCOMPARE(r.commands(), QStringLiteral("10 10"));
        auto s = r.mouse.state();
        QCOMPARE(hexBytes(s.ledStageColors[1], 0, 3), QStringLiteral("00 00 FF"));
        QCOMPARE(hexBytes(s.ledStageColors[1], 21, 3), QStringLiteral("03 02 01"));

        // 55328 mice: the eighth colour decides between all colours and one.
        r.view->is55328 = true;
        r.clear();
        r.view->mouseSetRGBColor(1, colours({{0, {0, 0, 9}}, {7, {0, 5, 0}}}));
        QCOMPARE(r.commands(), QStringLiteral("10"));
        QCOMPARE(r.arguments(), QStringLiteral("00"));
        QCOMPARE(hexBytes(r.mouse.state().ledStageColors[0], 0, 3), QStringLiteral("09 00 00"));
        r.clear();
        r.view->mouseSetRGBColor(1, colours({{0, {255, 0, 0}}}));
        QCOMPARE(r.commands(), QStringLiteral("0C"));
        QCOMPARE(hexBytes(r.mouse.state().fixedLedColor), QStringLiteral("00 00 FF"));
    }

    void macroSlots()
    {
        Rig &r = *rig;
        QCOMPARE(r.view->mouseSendMacroData({0, 1, 0x81, 4, 1}, 11), QVariant(true));
        QCOMPARE(r.commands(), QStringLiteral("13"));
        QCOMPARE(r.arguments(), QStringLiteral("0C"));
        const auto macro = r.mouse.state().macros[11];
        QCOMPARE(hexBytes(macro, 0, 6), QStringLiteral("00 01 81 04 01 00"));
        QCOMPARE(std::count(macro.begin() + 5, macro.end(), 0), 123);
        r.clear();
        QCOMPARE(r.view->mouseSendMacroData({1, 2, 3}, 12), QVariant(true));
        QCOMPARE(r.commands(), QString());
    }

    void recoilData()
    {
        Rig &r = *rig;
        r.mouse.setKeyboardOptions({0, 0, 1, 0});
        r.view->isGun = false;
        r.view->mouseSendGundata(2, {10, 3, 5});
        QCOMPARE(r.commands(), QString());
        r.view->isGun = true;
        r.view->mouseSendGundata(2, {10, 3, 5});
        QCOMPARE(r.commands(), QStringLiteral("83 04"));
        QCOMPARE(hexBytes(r.mouse.state().gunData), QStringLiteral("0A 03 FB 01"));
        // Without the option the offset goes as it is; a short list reads 0.
        r.mouse.setKeyboardOptions({0, 0, 0, 0});
        r.view->mouseSendGundata(3, {7});
        QCOMPARE(hexBytes(r.mouse.state().gunData), QStringLiteral("07 00 00 02"));
    }

    void optionsStagesAndLiftOff()
    {
        Rig &r = *rig;
        r.view->mouseSetKeyboardoption(1, 2, 3, 4);
        QCOMPARE(hexBytes(r.mouse.state().keyboardOptions), QStringLiteral("01 02 03 04"));
        QCOMPARE(r.view->GetKeyboardoption(), QVariantList({1, 2, 3, 4}));
        r.view->mouseSetCurrentDPI(3);
        QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant(3));
        QTest::ignoreMessage(QtDebugMsg, "test 125 1");
        r.view->mouseSetReportRate(125, 1);
        const auto s = r.mouse.state();
        QCOMPARE(int(s.liftOffStage), 125);
        QCOMPARE(int(s.liftOffEnable), 1);
        QCOMPARE(r.commands(), QStringLiteral("03 83 0B 8B 07"));
    }

    void anyOtherChipTypeUsesHid553()
    {
        Rig &r = *rig;
        for (const char *type : {"", "55328", "5600"}) {
            r.view->icType = QString::fromLatin1(type);
            r.view->mouseSetCurrentDPI(2);
        }
        r.view->icType = QStringLiteral("553");
        QCOMPARE(r.commands(), QStringLiteral("0B 0B 0B"));
    }

    void clearHidBusyFreesTheLink()
    {
        Rig &r = *rig;
        r.link.hidReady = false;
        r.view->clearHidBusy();
        QVERIFY(r.link.hidReady);
        r.view->mouseSetCurrentDPI(1);
        QCOMPARE(r.commands(), QStringLiteral("0B"));
    }

    void withoutLinkNothingIsSent()
    {
        Rig &r = *rig;
        r.view->hidLink = nullptr;
        r.view->mouseSetDpi(2, "3360", {400, 800});
        r.view->mouseSetKeyMatrix(leftButtons(), true, {});
        QCOMPARE(r.view->mouseSendMacroData({1}, 0), QVariant(true));
        QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant(0));
        QCOMPARE(r.view->GetKeyboardoption(), QVariantList({0, 0, 0, 0}));
        r.view->hidLink = &r.link;
        QCOMPARE(r.commands(), QString());
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
        rig->clear();
        rig->view->isGun = false;
    }
    void cleanupTestCase() { rig.reset(); }

    void keyMatrixWithoutRecoilKey()
    {
        QVariantList src = leftButtons();
        put(src, 5, {5, 0, 4, 0});
        rig->view->mouseSetKeyMatrix(src, true, {});
        QCOMPARE(rig->commands(), QStringLiteral("0D"));
        const auto block = rig->mouse.state().keyMatrixBlocks[0];
        QCOMPARE(entryOf(block, 7), QStringLiteral("0B 00 01 01"));
        QCOMPARE(entryOf(block, 5), QStringLiteral("07 00 03 00"));
        QCOMPARE(std::count(block.begin() + 64, block.end(), 0), 64);
    }

    void keyMatrixWithRecoilKey()
    {
        storeFirmwareMatrix(*rig->view);
        QVariantList src = leftButtons();
        put(src, 10, {8, 0, 3, 0});
        rig->view->mouseSetKeyMatrix(src, true, {20, 40, 60});
        QCOMPARE(rig->commands(), QStringLiteral("0C 0D 0D 0D 0D 02"));
        QCOMPARE(rig->arguments(), QStringLiteral("00 01 02 03 04 01"));
        const auto s = rig->mouse.state();
        QCOMPARE(int(s.profiles[0][2]), 0x1F);
        QCOMPARE(entryOf(s.keyMatrixBlocks[0], 10), QStringLiteral("08 00 01 00"));
        QCOMPARE(entryOf(s.keyMatrixBlocks[1], 10), QStringLiteral("08 00 03 00"));
        QCOMPARE(entryOf(s.keyMatrixBlocks[2], 10), QStringLiteral("08 00 03 00"));
        QCOMPARE(entryOf(s.keyMatrixBlocks[3], 10), QStringLiteral("08 00 00 00"));
        QCOMPARE(entryOf(s.keyMatrixBlocks[2], 0), QStringLiteral("0B 01 28 00"));
        QCOMPARE(int(s.currentProfile), 1);
    }

    void dpiImagesAndSendingRule()
    {
        Rig &r = *rig;
        const QVariantList values = {12800, 400, 800, 1600, 3200, 6400, 12750, 16000};
        r.view->mouseSetDpi(3, "3389", values);
        QCOMPARE(r.commands(), QStringLiteral("0C"));
        QCOMPARE(r.arguments(), QStringLiteral("01"));
        auto p = r.mouse.state().profiles[1];
        QCOMPARE(hexBytes(p, 84, 8), QStringLiteral("00 08 10 20 40 80 FF 40"));
        QCOMPARE(hexBytes(p, 92, 8), QStringLiteral("00 08 10 20 40 80 FF 40"));
        QCOMPARE(int(p[100]), 0x07);
        QCOMPARE(hexBytes(p, 82, 2), QStringLiteral("81 81"));

        r.clear();
        r.view->isGun = true;
        r.view->mouseSetDpi(8, "3360", values);
        QCOMPARE(r.commands(), QStringLiteral("0C 0C 0C 0C"));
        QCOMPARE(r.arguments(), QStringLiteral("01 02 03 04"));
        p = r.mouse.state().profiles[4];
        QCOMPARE(int(p[100]), 0xFF);
        QCOMPARE(hexBytes(p, 84, 2), QStringLiteral("7F 03"));
        // The ninth bits belong to "3389" only: the last ones stay.
        QCOMPARE(hexBytes(p, 82, 2), QStringLiteral("81 81"));
    }

    void lightingImages()
    {
        Rig &r = *rig;
        r.view->isColorful = false;
        r.view->mouseSetRGBEffect(2, 1, 0);
        QCOMPARE(r.commands(), QStringLiteral("0C"));
        QCOMPARE(hexBytes(r.mouse.state().profiles[1], 71, 3), QStringLiteral("03 18 03"));
        r.clear();
        r.view->isGun = true;
        r.view->mouseSetRGBEffect(0, 0, 4);
        QCOMPARE(r.arguments(), QStringLiteral("01 02 03 04"));
        const auto s = r.mouse.state();
        QCOMPARE(hexBytes(s.profiles[1], 71, 3), QStringLiteral("01 0A 02"));
        QCOMPARE(hexBytes(s.profiles[4], 71, 3), QStringLiteral("01 0A 02"));

        r.clear();
        r.view->isGun = false;
        r.view->isColorful = true;
        r.view->mouseSetRGBEffect(9, 3, 3);
        QCOMPARE(hexBytes(r.mouse.state().profiles[1], 71, 3), QStringLiteral("09 C0 07"));

        r.clear();
        r.view->mouseSetRGBColor(0, colours({{0, {255, 0, 0}}}));
        QCOMPARE(r.commands(), QStringLiteral("0C"));
        QCOMPARE(r.arguments(), QStringLiteral("00"));
        QCOMPARE(hexBytes(r.mouse.state().profiles[0], 24, 3), QStringLiteral("00 00 FF"));
        r.clear();
        r.view->isColorful = false;
        r.view->mouseSetRGBColor(1, colours({{0, {0, 255, 1}}}));
        QCOMPARE(r.arguments(), QStringLiteral("01"));
        QCOMPARE(hexBytes(r.mouse.state().profiles[1], 104, 3), QStringLiteral("01 FF 00"));
    }

    void recoilDataInImages()
    {
        Rig &r = *rig;
        r.view->isGun = true;
        r.view->profileImages[2][65] = 0xFF;
        r.view->mouseSendGundata(1, {10, 3, 5});
        QCOMPARE(r.commands(), QStringLiteral("0C"));
        QCOMPARE(r.arguments(), QStringLiteral("02"));
        const auto p = r.mouse.state().profiles[2];
        QCOMPARE(hexBytes(p, 78, 4), QStringLiteral("F0 0A 03 05"));
        QCOMPARE(int(p[65]), 0xFB);
        // Recoil modes are 1 to 3 only.
        r.clear();
        QTest::ignoreMessage(QtDebugMsg, "mouseSendGundata refused 4");
        r.view->mouseSendGundata(4, {10, 3, 5});
        QCOMPARE(r.commands(), QString());
    }

    void profileReadKeepsDeviceBytes()
    {
        Rig &r = *rig;
        std::array<uint8_t, 128> stored{};
        for (int i = 0; i < 128; ++i)
            stored[i] = uint8_t(i + 1);
        r.mouse.setProfile(1, stored);
        r.view->mouseReadProfile(1);
        QCOMPARE(hexRaw(r.view->profileImages[1], 128), hexBytes(stored));
        r.view->mouseSetRGBEffect(3, 0, 0);
        const auto p = r.mouse.state().profiles[1];
        QCOMPARE(hexBytes(p, 0, 4), QStringLiteral("01 02 03 04"));
        QCOMPARE(int(p[84]), 85);

        // Only blocks 0 to 4 exist.
        r.clear();
        QTest::ignoreMessage(QtDebugMsg, "mouseReadProfile refused 5");
        r.view->mouseReadProfile(5);
        QTest::ignoreMessage(QtDebugMsg, "mouseSetProfile refused 7");
        r.view->mouseSetProfile(7);
        QCOMPARE(r.commands(), QString());
        r.view->mouseSetProfile(4);
        QCOMPARE(r.arguments(), QStringLiteral("04"));
    }

    void macroStagesAndProfile()
    {
        Rig &r = *rig;
        r.view->mouseSendMacroData({0, 2, 0x01, 0xF0}, 0);
        QCOMPARE(hexBytes(r.mouse.state().macros[0], 0, 5), QStringLiteral("00 02 01 F0 00"));
        r.view->isGun = true;
        r.view->mouseSetCurrentDPI(3);
        QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant(3));
        r.view->mouseSwitchKeyMatrix(2);
        QCOMPARE(r.view->mouseReadCurrentProfile(), QVariant(2));
        QCOMPARE(r.commands(), QStringLiteral("0F 04 84 02 82"));
        QCOMPARE(r.arguments(), QStringLiteral("01 01 01 02 00"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        Hid553Test t553;
        status |= QTest::qExec(&t553, argc, argv);
    }
    {
        Hid560Test t560;
        status |= QTest::qExec(&t560, argc, argv);
    }
    return status;
}

#include "tst_device.moc"
