// Scene values to device bytes, checked against known byte sequences; the
// device tests cover the rest end to end.
#include "bytes.h"
#include "dpicodes.h"
#include "keymatrix.h"
#include "lighting.h"

#include <QtTest>

class TranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void shortSceneListReadsZeros()
    {
        // Ten values: entry 2 is cut short, the rest read as (0, 0, 0, 0).
        const auto m = keymatrix::deviceMatrix({0, 0, 0xF0, 0, 4, 0, 2, 0, 2, 1},
                                               CommandSet::hid553);
        QCOMPARE(hexBytes(m, 4, 12), QStringLiteral("09 00 03 00 00 01 00 00 01 00 00 00"));
        QCOMPARE(hexBytes(m, 60, 4), QStringLiteral("01 00 00 00"));
    }

    void dpiCodes_data()
    {
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("highBit");
        QTest::newRow("3360 500") << "3360" << 500 << 4 << false;
        QTest::newRow("3360 6000") << "3360" << 6000 << 59 << false;
        QTest::newRow("4090 5000") << "4090" << 5000 << 49 << false;
        QTest::newRow("4090 5001") << "4090" << 5001 << 0x59 << false;
        QTest::newRow("other text") << "abc" << 12000 << 0x7C << false;
        QTest::newRow("empty text") << "" << 800 << 7 << false;
        QTest::newRow("3050 250") << "3050" << 250 << 1 << false;
        QTest::newRow("3050 2001") << "3050" << 2001 << 0x45 << false;
        QTest::newRow("3050 4001") << "3050" << 4001 << 0 << false;
        QTest::newRow("3389 12750") << "3389" << 12750 << 0xFF << false;
        QTest::newRow("3389 12800") << "3389" << 12800 << 0 << true;
        QTest::newRow("3389 16000") << "3389" << 16000 << 0x40 << true;
        QTest::newRow("3327 7000") << "3327" << 7000 << 124 << false;
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
        // A ninth value is ignored; the ninth bits gather per stage.
        const auto s = dpicodes::encodeStages(
            "3389", {400, 800, 12800, 1600, 3200, 6400, 12750, 16000, 200});
        QCOMPARE(s.valueCount, 8);
        QCOMPARE(hexBytes(s.codes), QStringLiteral("08 10 00 20 40 80 FF 40"));
        QCOMPARE(int(s.highBits), 0x84);
        // Stages without a value stay 0, never disabled.
        const auto three = dpicodes::encodeStages("3360", {500, 1000, 1500});
        QCOMPARE(hexBytes(dpicodes::hid553Codes(three, 1)),
                 QStringLiteral("04 80 80 00 00 00 00 00"));
        QCOMPARE(int(dpicodes::stageMask(-2)), 0);
        QCOMPARE(int(dpicodes::stageMask(12)), 0xFF);
    }

    void effects_data()
    {
        QTest::addColumn<bool>("colourful");
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("option1");
        QTest::addColumn<int>("option2");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("colourful static") << true << 0 << 3 << 2 << "01 80 00";
        QTest::newRow("colourful breathing") << true << 1 << 0 << 4 << "03 00 0A";
        QTest::newRow("speed out of range") << true << 8 << 5 << 4 << "08 FF 00";
        QTest::newRow("unknown effect") << true << 11 << 1 << 1 << "00 00 00";
        QTest::newRow("simple breathing") << false << 1 << 2 << 0 << "02 03 01";
        QTest::newRow("simple single") << false << 4 << 0 << 0 << "02 01 03";
        QTest::newRow("simple off") << false << 3 << 1 << 1 << "00 00 00";
    }
    void effects()
    {
        QFETCH(bool, colourful);
        QFETCH(int, effect);
        QFETCH(int, option1);
        QFETCH(int, option2);
        QFETCH(QString, bytes);
        const auto e = colourful ? lighting::colourfulEffect(effect, option1, option2)
                                 : lighting::simpleEffect(effect, option1, option2);
        QCOMPARE(hexBytes(std::array<std::uint8_t, 3>{e.mode, e.value, e.third}), bytes);
    }

    void colourOrder()
    {
        // Complete triples turn to blue, green, red; missing values are 0,
        // values past the eighth colour are ignored.
        QCOMPARE(hexBytes(lighting::deviceColours({10, 20, 30, 40, 50}), 0, 6),
                 QStringLiteral("1E 14 0A 28 32 00"));
        std::vector<int> tooLong(30, 7);
        tooLong[24] = 99;
        QCOMPARE(hexBytes(lighting::deviceColours(tooLong), 21, 3), QStringLiteral("07 07 07"));
        QVERIFY(lighting::eighthColourBlack(lighting::deviceColours({1, 2, 3})));
    }
};

QTEST_APPLESS_MAIN(TranslationTest)
#include "tst_translation.moc"
