// The pure parts of r770ctl: the key-code table, the key functions in words
// and the scene's conversions it uses.
#include "keycodes.h"
#include "keyfunctions.h"
#include "scenerules.h"

#include <QSet>
#include <QtTest>

using Codes = keyfunctions::Codes;
Q_DECLARE_METATYPE(Codes)

class CtlRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void keyCodeTable()
    {
        QSet<int> codes;
        for (const keycodes::Key &key : keycodes::table())
            codes.insert(key.code);
        QCOMPARE(int(keycodes::table().size()), 133);
        QCOMPARE(codes.size(), 133);
        // The backslash is listed twice: the name gives the first code.
        QCOMPARE(keycodes::codeOf(u"\\"), 0x31);
        QCOMPARE(keycodes::nameOf(0x32), QString("\\"));
        QCOMPARE(keycodes::codeOf(u"KPEnter"), 0x58);
        QCOMPARE(keycodes::codeOf(u"F24"), 0x73);
        QCOMPARE(keycodes::codeOf(u"MS-B5"), 0xF4);
        QCOMPARE(keycodes::codeOf(u"nothing"), 0);
        QCOMPARE(keycodes::nameOf(0x74), QString());
    }

    void functionWords_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<Codes>("codes");
        QTest::newRow("fire") << "fire a 10 3" << Codes{1, 0x04, 10, 3};
        QTest::newRow("combination") << "keys ctrl+shift+c" << Codes{2, 0x03, 0x06, 0};
        QTest::newRow("right modifiers, two keys") << "keys rctrl+ralt+pageup+f5" << Codes{2, 0x50, 0x4B, 0x3E};
        QTest::newRow("modifier by key name") << "keys LWin+d" << Codes{2, 0x08, 0x07, 0};
        QTest::newRow("double fire") << "double-fire" << Codes{0, 0xF0, 0x1E, 0x02};
        QTest::newRow("player") << "media player" << Codes{3, 0, 0x83, 0x01};
        QTest::newRow("sniper") << "dpi sniper" << Codes{5, 0, 4, 0};
        QTest::newRow("maximise") << "desktop maximise" << Codes{6, 0x04, 0x2C, 0x1B};
        QTest::newRow("show desktop") << "desktop show-desktop" << Codes{6, 0, 0xE3, 0x07};
        QTest::newRow("select all") << "shortcut select-all" << Codes{7, 0, 0xE0, 0x04};
        QTest::newRow("recoil") << "recoil 3" << Codes{8, 0, 3, 0};
    }
    void functionWords()
    {
        QFETCH(QString, words);
        QFETCH(Codes, codes);
        const keyfunctions::Parsed parsed = keyfunctions::parse(words.split(' '));
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(*parsed.codes, codes);
        // What is shown is what can be typed back.
        QCOMPARE(*keyfunctions::parse(keyfunctions::describe(codes).split(' ')).codes, codes);
    }

    void liftOff()
    {
        QCOMPARE(int(scenerules::liftOffRate(3)), 125);
        QCOMPARE(int(scenerules::liftOffRate(89)), 90);
        QCOMPARE(scenerules::liftOffPosition(0.0), 3);
        QCOMPARE(scenerules::liftOffPosition(2.0), 89);
        // Every distance the slider shows leads back to a position showing it.
        for (int position = 3; position <= 89; ++position) {
            const QString shown = QString::number(scenerules::liftOffMillimetres(position), 'f', 1);
            const int back = scenerules::liftOffPosition(shown.toDouble());
            QCOMPARE(QString::number(scenerules::liftOffMillimetres(back), 'f', 1), shown);
        }
    }

    void eighthColour()
    {
        QVariantList colours;
        for (int i = 0; i < 24; ++i)
            colours << 200;
        QCOMPARE(scenerules::coloursToSend(colours, 0, true).mid(21), (QVariantList{0, 0, 0}));
        QCOMPARE(scenerules::coloursToSend(colours, 4, true), colours);
        QCOMPARE(scenerules::coloursToSend(colours, 0, false), colours);
    }
};

QTEST_GUILESS_MAIN(CtlRulesTest)
#include "tst_ctl_rules.moc"
