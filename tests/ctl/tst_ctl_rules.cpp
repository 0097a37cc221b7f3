// r770ctl's words for key functions, on the scene's own rules: every word
// names a function of the scene's lists, and what is shown can be typed back.
#include "keyfunctions.h"
#include "scenerules.h"

#include <QtTest>

using Codes = keyfunctions::Codes;
Q_DECLARE_METATYPE(Codes)

class CtlRulesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<SceneRules> rules;

private slots:
    void initTestCase()
    {
        rules = std::make_unique<SceneRules>();
        QVERIFY2(rules->error().isEmpty(), qPrintable(rules->error()));
    }

    void functionWords_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<Codes>("codes");
        QTest::newRow("fire") << "fire a 10 3" << Codes{1, 0x04, 10, 3};
        QTest::newRow("combination") << "keys ctrl+shift+c" << Codes{2, 0x03, 0x06, 0};
        QTest::newRow("right modifiers, two keys") << "keys rctrl+ralt+pageup+f5" << Codes{2, 0x50, 0x4B, 0x3E};
        QTest::newRow("modifier by key name") << "keys LWin+d" << Codes{2, 0x08, 0x07, 0};
        QTest::newRow("backslash") << "keys backslash" << Codes{2, 0, 0x31, 0};
        QTest::newRow("double fire") << "double-fire" << Codes{0, 0xF0, 0x1E, 0x02};
    }
    void functionWords()
    {
        QFETCH(QString, words);
        QFETCH(Codes, codes);
        const keyfunctions::Parsed parsed = keyfunctions::parse(words.split(' '), *rules);
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(*parsed.codes, codes);
        // What is shown is what can be typed back.
        QCOMPARE(*keyfunctions::parse(keyfunctions::describe(codes, *rules).split(' '), *rules).codes, codes);
    }

    // Each word of a category stands for one entry of the scene's list, and
    // every entry has a word.
    void everyListedFunctionHasAWord()
    {
        const struct { const char *word, *list; } categories[] = {
            {"button", "buttons"}, {"media", "media"}, {"dpi", "dpi"},
            {"desktop", "windows"}, {"shortcut", "shortcuts"}, {"recoil", "guns"}};
        for (const auto &c : categories)
            for (const Codes &codes : rules->keyFunctions(c.list)) {
                const QString words = keyfunctions::describe(codes, *rules);
                QVERIFY2(words.startsWith(QLatin1String(c.word) + ' '), qPrintable(words));
                QCOMPARE(*keyfunctions::parse(words.split(' '), *rules).codes, codes);
            }
    }

    // The macro store's encoding: key names are found in each list in turn,
    // the last stored text is the repeat count.
    void macroEncoding()
    {
        QStringList chinese = rules->keyNamesWith({});
        chinese[chinese.indexOf("Enter")] = QString::fromUtf8("\u56DE\u8F66");
        const SceneRules::MacroEncoding e = rules->encodeMacro(
            {"1,A", "0,100", QString::fromUtf8("2,\u56DE\u8F66"), "2"}, {rules->keyNamesWith({}), chinese});
        QVERIFY2(e.problem.isEmpty(), qPrintable(e.problem + rules->error()));
        QCOMPARE(e.bytes, (QVariantList{0, 2, 10, 4, 0x81, 0x28, 0, 0}));
        QCOMPARE(rules->encodeMacro({"1,A", "x", "1"}, {}).problem, QString("step"));
        QCOMPARE(rules->encodeMacro({"1,A", "x", "1"}, {}).step, 1);
    }

    void keyNames()
    {
        QCOMPARE(keyfunctions::keyCode("ESC", *rules), 0x29);
        QCOMPARE(keyfunctions::keyCode("escape", *rules), 0x29);
        QCOMPARE(keyfunctions::keyCode("KP1", *rules), 0x59);
        QCOMPARE(keyfunctions::keyCode("up", *rules), 0x52);
        // Mouse buttons are no keyboard keys; unknown names are nothing.
        QCOMPARE(keyfunctions::keyCode("MS-L", *rules), 0);
        QCOMPARE(keyfunctions::keyCode("nothing", *rules), 0);
    }
};

QTEST_GUILESS_MAIN(CtlRulesTest)
#include "tst_ctl_rules.moc"
