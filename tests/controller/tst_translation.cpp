// Scene values to device bytes, checked against known byte sequences.
#include "bytes.h"
#include "dpicodes.h"
#include "keymatrix.h"
#include "lighting.h"
#include "macroblock.h"
#include "pointersettings.h"
#include "profileimage.h"

#include <QtTest>
#include <algorithm>

using keymatrix::Entry;

namespace {
QString entryText(const Entry &e)
{
    return hexBytes(e);
}
QString entryOf(const keymatrix::Matrix &m, int n)
{
    return hexBytes(keymatrix::entryAt(m, n));
}
// A scene assignment of 16 entries, all left buttons unless given.
std::vector<int> sceneMatrix(std::initializer_list<std::pair<int, Entry>> entries)
{
    std::vector<int> src(keymatrix::matrixSize, 0);
    for (int n = 0; n < keymatrix::entryCount; ++n)
        src[n * 4 + 2] = 0xF0;
    for (const auto &[n, e] : entries)
        for (int i = 0; i < 4; ++i)
            src[n * 4 + i] = e[i];
    return src;
}
} // namespace

class TranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void keyEntries_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QString>("device");
        const int s553 = int(CommandSet::hid553);
        const int s560 = int(CommandSet::hid560);
        QTest::newRow("left button") << s553 << "00 00 F0 00" << "01 00 F0 00";
        QTest::newRow("double fire") << s553 << "00 F0 1E 02" << "0A F0 1E 02";
        QTest::newRow("fire") << s553 << "01 04 0A 03" << "0A 04 0A 03";
        QTest::newRow("group") << s553 << "02 03 06 00" << "00 03 06 00";
        QTest::newRow("media") << s553 << "03 00 CD 00" << "03 00 CD 00";
        QTest::newRow("macro slot 2") << s553 << "04 00 02 00" << "09 00 03 00";
        QTest::newRow("dpi up") << s553 << "05 00 01 00" << "07 00 01 00";
        QTest::newRow("sniper 553") << s553 << "05 00 04 00" << "07 00 04 02";
        QTest::newRow("sniper 560") << s560 << "05 00 04 00" << "0B 00 01 01";
        QTest::newRow("my computer") << s553 << "06 00 94 01" << "03 00 94 01";
        QTest::newRow("home") << s553 << "06 00 23 02" << "03 00 23 02";
        QTest::newRow("search") << s560 << "06 00 21 02" << "03 00 21 02";
        QTest::newRow("maximise") << s553 << "06 04 2C 1B" << "00 04 2C 1B";
        QTest::newRow("shortcut") << s553 << "07 00 E0 06" << "00 00 E0 06";
        QTest::newRow("recoil") << s560 << "08 00 02 00" << "08 00 02 00";
        QTest::newRow("fixed") << s553 << "FF 00 01 00" << "04 00 01 00";
        QTest::newRow("unknown type") << s553 << "09 01 02 03" << "09 01 02 03";
    }
    void keyEntries()
    {
        QFETCH(int, set);
        QFETCH(QString, scene);
        QFETCH(QString, device);
        Entry e{};
        const QStringList parts = scene.split(' ');
        for (int i = 0; i < 4; ++i)
            e[i] = std::uint8_t(parts[i].toUInt(nullptr, 16));
        QCOMPARE(entryText(keymatrix::translateEntry(e, CommandSet(set))), device);
    }

    void fixedPositions()
    {
        const auto src = sceneMatrix({{5, {5, 0, 4, 0}},
                                      {6, {3, 0, 0xCD, 0}},
                                      {7, {2, 1, 4, 0}},
                                      {8, {4, 0, 8, 0}},
                                      {9, {0, 0, 0xF3, 0}},
                                      {12, {1, 4, 10, 3}}});
        const auto m553 = keymatrix::deviceMatrix(src, CommandSet::hid553);
        QCOMPARE(entryOf(m553, 5), QStringLiteral("07 00 03 00"));
        QCOMPARE(entryOf(m553, 6), QStringLiteral("05 00 03 00"));
        QCOMPARE(entryOf(m553, 7), QStringLiteral("07 00 04 02"));
        QCOMPARE(entryOf(m553, 8), QStringLiteral("0D 00 00 00"));
        QCOMPARE(entryOf(m553, 9), QStringLiteral("0D 01 00 00"));
        QCOMPARE(entryOf(m553, 12), QStringLiteral("0E 00 00 00"));
        QCOMPARE(entryOf(m553, 0), QStringLiteral("01 00 F0 00"));
        const auto m560 = keymatrix::deviceMatrix(src, CommandSet::hid560);
        QCOMPARE(entryOf(m560, 7), QStringLiteral("0B 00 01 01"));
        QCOMPARE(entryOf(m560, 5), QStringLiteral("07 00 03 00"));
        QVERIFY(!keymatrix::hasRecoilKey(m553));
    }

    void shortSceneListReadsZeros()
    {
        // Ten values: entries 3 onwards are scene (0, 0, 0, 0).
        const std::vector<int> src = {0, 0, 0xF0, 0, 4, 0, 2, 0, 2, 1};
        const auto m = keymatrix::deviceMatrix(src, CommandSet::hid553);
        QCOMPARE(entryOf(m, 1), QStringLiteral("09 00 03 00"));
        QCOMPARE(entryOf(m, 2), QStringLiteral("00 01 00 00"));
        QCOMPARE(entryOf(m, 15), QStringLiteral("01 00 00 00"));
        QCOMPARE(hexBytes(keymatrix::matrixFromValues({}), 0, 8),
                 QStringLiteral("00 00 00 00 00 00 00 00"));
    }

    void recoilMatrices553()
    {
        const auto m = keymatrix::deviceMatrix(sceneMatrix({{2, {8, 0, 3, 0}}}),
                                               CommandSet::hid553);
        QVERIFY(keymatrix::hasRecoilKey(m));
        std::vector<int> fw(64);
        for (int i = 0; i < 64; ++i)
            fw[i] = i;
        const auto r = keymatrix::recoilSet(m, keymatrix::matrixFromValues(fw), {100, 300, 600},
                                            CommandSet::hid553);
        QCOMPARE(entryOf(r.m, 2), QStringLiteral("08 00 01 01"));
        QCOMPARE(entryOf(r.f, 2), QStringLiteral("08 00 01 02"));
        QCOMPARE(entryOf(r.f2, 2), QStringLiteral("08 00 01 03"));
        QCOMPARE(entryOf(r.f3, 2), QStringLiteral("08 00 01 00"));
        // Entry 0 of matrices 2 to 4: the periods' low bytes.
        QCOMPARE(entryOf(r.f, 0), QStringLiteral("0B 00 64 00"));
        QCOMPARE(entryOf(r.f2, 0), QStringLiteral("0B 01 2C 00"));
        QCOMPARE(entryOf(r.f3, 0), QStringLiteral("0B 02 58 00"));
        // Other entries are the firmware matrix; matrix 1 keeps entry 0.
        QCOMPARE(entryOf(r.f, 3), QStringLiteral("0C 0D 0E 0F"));
        QCOMPARE(entryOf(r.m, 0), QStringLiteral("01 00 F0 00"));
        QVERIFY(!r.recoilMask);

        const auto one = keymatrix::recoilSet(m, {}, {}, CommandSet::hid553);
        QCOMPARE(entryOf(one.f3, 0), QStringLiteral("0B 02 00 00"));
    }

    void recoilMatrices560_data()
    {
        QTest::addColumn<int>("modes");
        QTest::addColumn<QString>("f");
        QTest::addColumn<QString>("f2");
        QTest::addColumn<int>("mask");
        QTest::newRow("one") << 1 << "08 05 00 06" << "08 05 00 06" << 0x07;
        QTest::newRow("two") << 2 << "08 05 03 06" << "08 05 00 06" << 0x0F;
        QTest::newRow("three") << 3 << "08 05 03 06" << "08 05 03 06" << 0x1F;
    }
    void recoilMatrices560()
    {
        QFETCH(int, modes);
        QFETCH(QString, f);
        QFETCH(QString, f2);
        QFETCH(int, mask);
        const auto m = keymatrix::deviceMatrix(
            sceneMatrix({{4, {8, 5, std::uint8_t(modes), 6}}}), CommandSet::hid560);
        std::vector<int> fw(64, 0);
        fw[17] = 5; // entry 4, byte 1
        fw[19] = 6; // entry 4, byte 3
        const auto r = keymatrix::recoilSet(m, keymatrix::matrixFromValues(fw), {7},
                                            CommandSet::hid560);
        QCOMPARE(entryOf(r.m, 4), QStringLiteral("08 05 01 06"));
        QCOMPARE(entryOf(r.f, 4), f);
        QCOMPARE(entryOf(r.f2, 4), f2);
        QCOMPARE(entryOf(r.f3, 4), QStringLiteral("08 05 00 06"));
        QCOMPARE(int(r.recoilMask.value_or(0)), mask);
        // A short period list: missing periods are 0.
        QCOMPARE(entryOf(r.f, 0), QStringLiteral("0B 00 07 00"));
        QCOMPARE(entryOf(r.f2, 0), QStringLiteral("0B 01 00 00"));
    }

    void dpiCodes_data()
    {
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("highBit");
        const int v3360[] = {500, 1000, 1500, 2000, 3000, 4000, 5000, 6000};
        const int c3360[] = {4, 9, 14, 19, 29, 39, 49, 59};
        for (int i = 0; i < 8; ++i)
            QTest::addRow("3360 %d", v3360[i]) << "3360" << v3360[i] << c3360[i] << false;
        QTest::newRow("4090 5000") << "4090" << 5000 << 49 << false;
        QTest::newRow("4090 5001") << "4090" << 5001 << 0x59 << false;
        QTest::newRow("4090 12000") << "4090" << 12000 << 0x7C << false;
        QTest::newRow("other text") << "abc" << 12000 << 0x7C << false;
        QTest::newRow("empty text") << "" << 800 << 7 << false;
        QTest::newRow("3050 250") << "3050" << 250 << 1 << false;
        QTest::newRow("3050 251") << "3050" << 251 << 2 << false;
        QTest::newRow("3050 2000") << "3050" << 2000 << 8 << false;
        QTest::newRow("3050 2001") << "3050" << 2001 << 0x45 << false;
        QTest::newRow("3050 4000") << "3050" << 4000 << 0x48 << false;
        QTest::newRow("3050 4001") << "3050" << 4001 << 0 << false;
        QTest::newRow("3389 12750") << "3389" << 12750 << 0xFF << false;
        QTest::newRow("3389 12800") << "3389" << 12800 << 0 << true;
        QTest::newRow("3389 16000") << "3389" << 16000 << 0x40 << true;
        QTest::newRow("3327 7000") << "3327" << 7000 << 124 << false;
        QTest::newRow("3327 1650") << "3327" << 1650 << 32 << false;
    }
    void dpiCodes()
    {
        QFETCH(QString, sensor);
        QFETCH(int, value);
        QFETCH(int, code);
        QFETCH(bool, highBit);
        const dpicodes::StageCode c = dpicodes::encode(sensor.toStdString(), value);
        QCOMPARE(int(c.code), code);
        QCOMPARE(c.highBit, highBit);
    }

    void dpiStages()
    {
        const std::vector<int> eight = {400, 800, 12800, 1600, 3200, 6400, 12750, 16000};
        const auto s = dpicodes::encodeStages("3389", eight);
        QCOMPARE(hexBytes(s.codes), QStringLiteral("08 10 00 20 40 80 FF 40"));
        QCOMPARE(int(s.highBits), 0x84);
        QCOMPARE(hexBytes(dpicodes::hid553Codes(s, 4)), QStringLiteral("08 10 00 20 80 80 80 80"));
        QCOMPARE(hexBytes(dpicodes::hid553Codes(s, 8)), QStringLiteral("08 10 00 20 40 80 FF 40"));

        // Three values: the stages without a value stay 0, never disabled.
        const auto three = dpicodes::encodeStages("3360", {500, 1000, 1500});
        QCOMPARE(three.valueCount, 3);
        QCOMPARE(hexBytes(dpicodes::hid553Codes(three, 1)),
                 QStringLiteral("04 80 80 00 00 00 00 00"));
        // More than eight values: the rest are ignored.
        const auto ten = dpicodes::encodeStages("3360", std::vector<int>(10, 200));
        QCOMPARE(ten.valueCount, 8);
        QCOMPARE(dpicodes::encodeStages("3360", {}).valueCount, 0);

        QCOMPARE(int(dpicodes::stageMask(3)), 0x07);
        QCOMPARE(int(dpicodes::stageMask(0)), 0);
        QCOMPARE(int(dpicodes::stageMask(-2)), 0);
        QCOMPARE(int(dpicodes::stageMask(8)), 0xFF);
        QCOMPARE(int(dpicodes::stageMask(12)), 0xFF);
    }

    void colourfulEffects_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("option1");
        QTest::addColumn<int>("option2");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("static") << 0 << 3 << 2 << "01 80 00";
        QTest::newRow("breathing") << 1 << 0 << 4 << "03 00 0A";
        QTest::newRow("wave") << 2 << 4 << 4 << "04 00 01";
        QTest::newRow("off") << 3 << 2 << 2 << "00 00 00";
        QTest::newRow("effect 5") << 5 << 1 << 1 << "05 40 07";
        QTest::newRow("effect 8") << 8 << 2 << 4 << "08 FF 0F";
        QTest::newRow("effect 9") << 9 << 3 << 3 << "09 C0 07";
        QTest::newRow("effect 10") << 10 << 0 << 0 << "0A 00 1E";
        QTest::newRow("speed out of range") << 8 << 5 << 4 << "08 FF 00";
        QTest::newRow("unknown effect") << 11 << 1 << 1 << "00 00 00";
    }
    void colourfulEffects()
    {
        QFETCH(int, effect);
        QFETCH(int, option1);
        QFETCH(int, option2);
        QFETCH(QString, bytes);
        const auto e = lighting::colourfulEffect(effect, option1, option2);
        const std::uint8_t b[] = {e.mode, e.value, e.third};
        QCOMPARE(hexRaw(b, 3), bytes);
    }

    void simpleEffects()
    {
        const auto e0 = lighting::simpleEffect(0, 0, 3);
        QCOMPARE(hexBytes(std::array<std::uint8_t, 3>{e0.mode, e0.value, e0.third}),
                 QStringLiteral("01 07 01"));
        QCOMPARE(int(lighting::hid553SimpleThird(e0, false)), 2);
        QCOMPARE(int(lighting::hid553SimpleThird(e0, true)), 1);

        const auto e1 = lighting::simpleEffect(1, 2, 0);
        QCOMPARE(hexBytes(std::array<std::uint8_t, 3>{e1.mode, e1.value, e1.third}),
                 QStringLiteral("02 03 01"));
        const auto e2 = lighting::simpleEffect(2, 4, 0);
        QCOMPARE(hexBytes(std::array<std::uint8_t, 3>{e2.mode, e2.value, e2.third}),
                 QStringLiteral("03 06 01"));
        const auto e4 = lighting::simpleEffect(4, 0, 0);
        QCOMPARE(hexBytes(std::array<std::uint8_t, 3>{e4.mode, e4.value, e4.third}),
                 QStringLiteral("02 01 03"));
        QCOMPARE(int(lighting::hid553SimpleThird(e4, true)), 3);
        const auto e3 = lighting::simpleEffect(3, 1, 1);
        QCOMPARE(hexBytes(std::array<std::uint8_t, 3>{e3.mode, e3.value, e3.third}),
                 QStringLiteral("00 00 00"));
        QCOMPARE(int(lighting::simpleEffect(0, 0, 7).value), 0);
    }

    void colourOrder()
    {
        std::vector<int> src(24, 0);
        src[0] = 255;
        src[22] = 9;
        const auto c = lighting::deviceColours(src);
        QCOMPARE(hexBytes(c, 0, 3), QStringLiteral("00 00 FF"));
        QCOMPARE(hexBytes(c, 21, 3), QStringLiteral("00 09 00"));
        QVERIFY(!lighting::eighthColourBlack(c));
        QVERIFY(lighting::eighthColourBlack(lighting::deviceColours({1, 2, 3})));

        // Only complete triples are swapped; missing values are 0.
        QCOMPARE(hexBytes(lighting::deviceColours({10, 20, 30, 40, 50}), 0, 6),
                 QStringLiteral("1E 14 0A 28 32 00"));
        QCOMPARE(hexBytes(lighting::deviceColours({10, 20}), 0, 3),
                 QStringLiteral("0A 14 00"));
        // Values past the eighth colour are ignored.
        std::vector<int> long_(30, 7);
        long_[24] = 99;
        QCOMPARE(hexBytes(lighting::deviceColours(long_), 21, 3), QStringLiteral("07 07 07"));
    }

    void profileImageBytes()
    {
        profileimage::Block block = {};
        block[profileimage::offset::recoilFlags] = 0xFF;
        block[profileimage::offset::dpiHighBitsX] = 0x11;
        profileimage::writeRecoil(block, 10, 3, -5);
        QCOMPARE(hexRaw(block + 78, 4), QStringLiteral("F0 0A 03 FB"));
        QCOMPARE(int(block[65]), 0xFB);

        const auto stages = dpicodes::encodeStages("3389", {12800, 400});
        profileimage::writeDpi(block, stages, dpicodes::stageMask(2), false);
        QCOMPARE(hexRaw(block + 84, 16),
                 QStringLiteral("00 08 00 00 00 00 00 00 00 08 00 00 00 00 00 00"));
        QCOMPARE(int(block[100]), 0x03);
        QCOMPARE(int(block[82]), 0x11); // left alone without the ninth bits
        profileimage::writeDpi(block, stages, 0x03, true);
        QCOMPARE(hexRaw(block + 82, 2), QStringLiteral("01 01"));

        QCOMPARE(profileimage::blocksToSend(false), std::vector<int>({1}));
        QCOMPARE(profileimage::blocksToSend(true), std::vector<int>({1, 2, 3, 4}));
        QVERIFY(profileimage::isBlock(4));
        QVERIFY(!profileimage::isBlock(5));
    }

    void imageChanges()
    {
        profileimage::Images images = {};
        const auto simple = lighting::simpleEffect(0, 0, 3);
        QCOMPARE(profileimage::applyEffect(images, simple, false, false), std::vector<int>({1}));
        QCOMPARE(hexRaw(images[1] + 71, 3), QStringLiteral("01 07 03"));
        QCOMPARE(hexRaw(images[4] + 71, 3), QStringLiteral("01 07 02"));
        QCOMPARE(profileimage::applyEffect(images, simple, false, true),
                 std::vector<int>({1, 2, 3, 4}));
        QCOMPARE(hexRaw(images[1] + 71, 3), QStringLiteral("01 07 02"));
        const auto colourful = lighting::colourfulEffect(8, 2, 4);
        profileimage::applyEffect(images, colourful, true, false);
        QCOMPARE(hexRaw(images[1] + 71, 3), QStringLiteral("08 FF 0F"));
        QCOMPARE(hexRaw(images[0] + 71, 3), QStringLiteral("00 00 00"));

        const auto red = lighting::deviceColours({255, 0, 0});
        QCOMPARE(profileimage::applyColours(images, red, true), std::vector<int>({0}));
        QCOMPARE(hexRaw(images[0] + 24, 3), QStringLiteral("00 00 FF"));
        QCOMPARE(profileimage::applyColours(images, red, false), std::vector<int>({1}));
        QCOMPARE(hexRaw(images[1] + 104, 3), QStringLiteral("00 00 FF"));

        QCOMPARE(profileimage::applyRecoil(images, 3, 1, 2, 3), std::vector<int>({4}));
        QCOMPARE(hexRaw(images[4] + 78, 4), QStringLiteral("F0 01 02 03"));
        QVERIFY(profileimage::applyRecoil(images, 0, 1, 2, 3).empty());
        QVERIFY(profileimage::applyRecoil(images, 4, 1, 2, 3).empty());

        using lighting::Hid553ColourCommand;
        const auto eighth = lighting::deviceColours(std::vector<int>(24, 1));
        QCOMPARE(lighting::hid553ColourCommand(red, false), Hid553ColourCommand::stageColoursTwice);
        QCOMPARE(lighting::hid553ColourCommand(eighth, true), Hid553ColourCommand::stageColoursOnce);
        QCOMPARE(lighting::hid553ColourCommand(red, true), Hid553ColourCommand::fixedColour);
    }

    void macroAndGunBytes()
    {
        const auto block = macroblock::macroBlock({0, 1, 0x81, 0x04, 0x101});
        QCOMPARE(hexBytes(block, 0, 6), QStringLiteral("00 01 81 04 01 00"));
        QCOMPARE(std::count(block.begin() + 5, block.end(), 0), 123);
        std::vector<int> many(200, 5);
        many[128] = 9;
        const auto full = macroblock::macroBlock(many);
        QCOMPARE(std::count(full.begin(), full.end(), 5), 128);

        QCOMPARE(int(macroblock::macroId(0).value()), 1);
        QCOMPARE(int(macroblock::macroId(11).value()), 12);
        QVERIFY(!macroblock::macroId(12));

        QCOMPARE(hexBytes(macroblock::hid553GunBytes(10, 3, 5, 2, true)),
                 QStringLiteral("0A 03 FB 01"));
        QCOMPARE(hexBytes(macroblock::hid553GunBytes(10, 3, 5, 1, false)),
                 QStringLiteral("0A 03 05 00"));
    }

    void pointerValues()
    {
        QCOMPARE(pointervalues::windowsSpeed(0), 1u);
        QCOMPARE(pointervalues::windowsSpeed(1), 2u);
        QCOMPARE(pointervalues::windowsSpeed(10), 20u);
        QCOMPARE(pointervalues::doubleClickTime(0).value(), 900u);
        QCOMPARE(pointervalues::doubleClickTime(10).value(), 200u);
        QCOMPARE(pointervalues::doubleClickTime(12).value(), 60u);
        QVERIFY(!pointervalues::doubleClickTime(13));
        QCOMPARE(pointervalues::desktopSpeed(1), -1.0);
        QCOMPARE(pointervalues::desktopSpeed(10), 0.0);
        QCOMPARE(pointervalues::desktopSpeed(20), 1.0);
        QCOMPARE(pointervalues::desktopSpeed(40), 1.0);
    }
};

QTEST_APPLESS_MAIN(TranslationTest)
#include "tst_translation.moc"
