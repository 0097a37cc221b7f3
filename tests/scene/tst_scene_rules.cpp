// The scene's rules, loaded from the compiled-in modules with QJSEngine the
// way the command-line tool loads them: the key-code table, the value
// formulas and ranges, the name-list rules and the key descriptions.
#include <QJSEngine>
#include <QSettings>
#include <QtTest>

class TestSceneRules : public QObject
{
    Q_OBJECT

    QJSEngine engine;
    QJSValue keycodes, formulas, namelists, keyfunctions;

    QJSValue load(const char *file)
    {
        const QJSValue module = engine.importModule(QStringLiteral(":/modules/qml/basic/") + file);
        if (module.isError())
            qWarning("%s: %s", file, qPrintable(module.toString()));
        return module;
    }

    static QJSValue call(const QJSValue &module, const char *function, const QJSValueList &args = {})
    {
        QJSValue result = module.property(QString::fromLatin1(function)).call(args);
        if (result.isError())
            qWarning("%s: %s", function, qPrintable(result.toString()));
        return result;
    }

    QJSValue array(const QVariantList &values) { return engine.toScriptValue(values); }

    static QVariantList list(const QJSValue &value) { return value.toVariant().toList(); }

    static QStringList shippedKeyNames(const QString &language)
    {
        QSettings s(QStringLiteral(R770_SOURCE_I18N "/%1.ini").arg(language), QSettings::IniFormat);
        QStringList names;
        for (int i = 0; i < s.value("keyCode/total").toInt(); ++i)
            names << s.value(QStringLiteral("keyCode/%1").arg(i)).toString();
        return names;
    }

private slots:
    void initTestCase()
    {
        keycodes = load("keycodes.mjs");
        formulas = load("formulas.mjs");
        namelists = load("namelists.mjs");
        keyfunctions = load("keyfunctions.mjs");
        for (const QJSValue &m : {keycodes, formulas, namelists, keyfunctions})
            QVERIFY(m.isObject() && !m.isError());
    }

    void keyCodeTable()
    {
        const QVariantList codes = list(keycodes.property("codes"));
        const QVariantList names = list(keycodes.property("builtInNames"));
        QCOMPARE(codes.size(), 133);
        QSet<int> distinct;
        for (const QVariant &c : codes)
            distinct << c.toInt();
        QCOMPARE(distinct.size(), 133);
        QCOMPARE(codes.first().toInt(), 0x04);
        QCOMPARE(codes.at(codes.indexOf(0x73) + 1).toInt(), 0x85);
        QCOMPARE(codes.last().toInt(), 0xF4);
        // The built-in names are the English file's, position by position.
        QStringList builtIn;
        for (const QVariant &n : names)
            builtIn << n.toString();
        QCOMPARE(builtIn, shippedKeyNames("English"));

        QCOMPARE(call(keycodes, "codeOf", {"\\"}).toInt(), 0x31);
        QCOMPARE(call(keycodes, "nameOf", {0x32}).toString(), QStringLiteral("\\"));
        QCOMPARE(call(keycodes, "codeOf", {"A"}).toInt(), 0x04);
        QCOMPARE(call(keycodes, "codeOf", {"MS-B5"}).toInt(), 0xF4);
        QCOMPARE(call(keycodes, "codeOf", {"NoSuchKey"}).toInt(), 0);
        QCOMPARE(call(keycodes, "codeOf", {""}).toInt(), 0);
        QCOMPARE(call(keycodes, "nameOf", {0x74}).toString(), QString());
        QCOMPARE(call(keycodes, "nameOf", {0xE7}).toString(), QStringLiteral("RWin"));
    }

    void languageNamesReplaceTheBuiltInOnes()
    {
        const QStringList chinese = shippedKeyNames("ChineseSimplified");
        QCOMPARE(chinese.size(), 133);
        const QJSValue names = call(keycodes, "namesWith", {engine.toScriptValue(chinese)});
        const QVariantList codes = list(keycodes.property("codes"));
        for (int i : {0, 40, 78, 132}) {
            QCOMPARE(call(keycodes, "nameOf", {codes.at(i).toInt(), names}).toString(), chinese.at(i));
            QCOMPARE(call(keycodes, "codeOf", {chinese.at(i), names}).toInt(),
                     codes.at(chinese.indexOf(chinese.at(i))).toInt());
        }
        // A position the language leaves empty keeps the built-in name.
        QStringList partial(133, QString());
        partial[0] = QStringLiteral("Ä");
        const QJSValue mixed = call(keycodes, "namesWith", {engine.toScriptValue(partial)});
        QCOMPARE(call(keycodes, "nameOf", {0x04, mixed}).toString(), QStringLiteral("Ä"));
        QCOMPARE(call(keycodes, "codeOf", {"A", mixed}).toInt(), 0);
        QCOMPARE(call(keycodes, "codeOf", {"B", mixed}).toInt(), 0x05);
    }

    void liftOff()
    {
        QCOMPARE(call(formulas, "liftOffValue", {3}).toInt(), 125);
        QCOMPARE(call(formulas, "liftOffValue", {89}).toInt(), 90);
        QCOMPARE(call(formulas, "liftOffValue", {46}).toInt(), 108);
        QCOMPARE(call(formulas, "liftOffMillimetres", {3}).toString(), QStringLiteral("0.0"));
        QCOMPARE(call(formulas, "liftOffMillimetres", {35}).toString(), QStringLiteral("0.7"));
        QCOMPARE(call(formulas, "liftOffMillimetres", {89}).toString(), QStringLiteral("2.0"));
    }

    void dpiSlider()
    {
        const QJSValue bounds = call(formulas, "dpiBounds", {100, 16000, 50});
        QCOMPARE(call(formulas, "dpiFromPosition", {3, bounds}).toInt(), 100);
        QCOMPARE(call(formulas, "dpiFromPosition", {161, bounds}).toInt(), 16000);
        // int((79 - 3) * 15900 / 158 + 100) = 7748 -> 7700 on a 50 step
        QCOMPARE(call(formulas, "dpiFromPosition", {79, bounds}).toInt(), 7700);
        QCOMPARE(call(formulas, "dpiFromPosition", {500, bounds}).toInt(), 16000);
        QCOMPARE(call(formulas, "dpiFromRatio", {1, bounds}).toInt(), 16000);
        QCOMPARE(call(formulas, "dpiRatio", {8050, bounds}).toNumber(), 0.5);
        QCOMPARE(call(formulas, "dpiRatio", {99999, bounds}).toNumber(), 1.0);
        QCOMPARE(call(formulas, "dpiStep", {15980, 1, bounds}).toInt(), 16000);
        QCOMPARE(call(formulas, "dpiStep", {400, -1, bounds}).toInt(), 350);
        // Missing or inconsistent sensor keys still give usable bounds.
        const QJSValue broken = call(formulas, "dpiBounds", {QJSValue(), "x", 0});
        QCOMPARE(broken.property("min").toInt(), 100);
        QVERIFY(broken.property("max").toInt() > broken.property("min").toInt());
        QCOMPARE(broken.property("base").toInt(), 1);
    }

    void pointerOptions()
    {
        const QList<QPair<int, int>> positions = {{0, 0}, {3, 0}, {4, 1}, {171, 5}, {172, 6},
                                                  {337, 10}, {338, 10}, {2000, 10}};
        for (const auto &[x, step] : positions)
            QCOMPARE(call(formulas, "pointerIndex", {x}).toInt(), step);
        for (int step = 0; step <= 10; ++step)
            QCOMPARE(call(formulas, "pointerIndex", {call(formulas, "pointerPosition", {step})}).toInt(), step);
        QCOMPARE(call(formulas, "scrollValue", {0}).toInt(), 1);
        QCOMPARE(call(formulas, "scrollValue", {"150"}).toInt(), 100);
        QCOMPARE(call(formulas, "scrollValue", {1000}).toInt(), 1000);
        QCOMPARE(call(formulas, "scrollValue", {QJSValue()}).toInt(), 3);
    }

    void valuesReadFromFiles()
    {
        for (const QJSValue &v : {QJSValue("false"), QJSValue("0"), QJSValue(""), QJSValue(), QJSValue("FALSE")})
            QVERIFY(!call(formulas, "toBool", {v}).toBool());
        QVERIFY(call(formulas, "toBool", {"true"}).toBool());
        QCOMPARE(call(formulas, "boundedInt", {"200", 3, 89}).toInt(), 89);
        QCOMPARE(call(formulas, "boundedInt", {"-4", 3, 89}).toInt(), 3);
        QCOMPARE(call(formulas, "boundedInt", {"x", 3, 89, 40}).toInt(), 40);
        // Short lists take the fallbacks position by position.
        QCOMPARE(list(call(formulas, "boundedInts", {array({"5", "300"}), 4, 0, 255, array({1, 2, 3, 4})})),
                 QVariantList({5, 255, 3, 4}));
        QCOMPARE(list(call(formulas, "colourValues", {array({999})})).size(), 24);
        // A malformed key assignment takes the factory one.
        QCOMPARE(list(call(formulas, "keyCodes", {array({1, 2}), array({0, 0, 240, 0})})),
                 QVariantList({0, 0, 240, 0}));
        QCOMPARE(list(call(formulas, "keyCodes", {array({0, 0, 999, 0})})), QVariantList({0, 0, 255, 0}));
    }

    void lighting()
    {
        // An effect the simple model does not have becomes its first.
        const QJSValue simple = call(formulas, "lightValues", {array({7, 9, 0}), false});
        QCOMPARE(simple.property("effect").toInt(), 0);
        QCOMPARE(simple.property("speed").toInt(), 4);
        QCOMPARE(simple.property("brightness").toInt(), 0);
        const QJSValue colourful = call(formulas, "lightValues", {array({10, -1, 0}), true});
        QCOMPARE(colourful.property("effect").toInt(), 10);
        QCOMPARE(colourful.property("speed").toInt(), 0);
        QCOMPARE(colourful.property("brightness").toInt(), 1);

        QVariantList colours;
        for (int i = 0; i < 24; ++i)
            colours << 200;
        const QVariantList blanked = list(call(formulas, "sentColours", {array(colours), true, 1}));
        QCOMPARE(blanked.mid(0, 21), colours.mid(0, 21));
        QCOMPARE(blanked.mid(21), QVariantList({0, 0, 0}));
        QCOMPARE(list(call(formulas, "sentColours", {array(colours), true, 4})), colours);
        QCOMPARE(list(call(formulas, "sentColours", {array(colours), false, 1})), colours);
    }

    void profileEntries()
    {
        QCOMPARE(list(call(namelists, "withoutPadding", {array({"Standard0", "loadertolvik"})})),
                 QVariantList({"Standard0"}));
        QCOMPARE(list(call(namelists, "withoutPadding", {array({"a", "b"})})), QVariantList({"a", "b"}));
        // Texts without their digit and repeated numbers are left out.
        const QJSValue entries = call(namelists, "profileEntries",
                                      {array({"Standard0", "broken", "Work3", "Copy3", "profile_12"})});
        QCOMPARE(entries.property("length").toInt(), 3);
        QCOMPARE(entries.property(1).property("name").toString(), QStringLiteral("Work"));
        QCOMPARE(entries.property(1).property("number").toInt(), 3);
        QCOMPARE(entries.property(2).property("name").toString(), QStringLiteral("profile_1"));

        // A new entry takes the lowest free number and the first free name.
        const QJSValue taken = call(namelists, "profileEntries",
                                    {array({"Standard0", "profile_01", "profile_22"})});
        const QJSValue next = call(namelists, "newProfile", {taken});
        QCOMPARE(next.property("number").toInt(), 3);
        QCOMPARE(next.property("name").toString(), QStringLiteral("profile_1"));
        const QJSValue full = call(namelists, "profileEntries",
                                   {array({"S0", "a1", "b2", "c3", "d4", "e5"})});
        QVERIFY(call(namelists, "newProfile", {full}).isNull());

        // The selector: entry 0 named by the language, the standard profile
        // alone for an empty list; the stored number only when listed.
        const QJSValue shown = call(namelists, "selectorEntries", {array({"Std0", "Work3"}), "Standard"});
        QCOMPARE(shown.property(0).property("name").toString(), QStringLiteral("Standard"));
        QCOMPARE(shown.property(1).property("number").toInt(), 3);
        const QJSValue alone = call(namelists, "selectorEntries", {array({}), "Standard"});
        QCOMPARE(alone.property("length").toInt(), 1);
        QCOMPARE(alone.property(0).property("number").toInt(), 0);
        QCOMPARE(call(namelists, "activeProfile", {shown, "3"}).toInt(), 3);
        QCOMPARE(call(namelists, "activeProfile", {shown, 5}).toInt(), 0);
        QCOMPARE(call(namelists, "activeProfile", {shown, QJSValue()}).toInt(), 0);
    }

    void macroNames()
    {
        QStringList names;
        for (int i = 0; i < 99; ++i)
            names << (i == 0 ? QStringLiteral("Mine") : QStringLiteral("Macro_%1").arg(i));
        QCOMPARE(call(namelists, "newMacroName", {engine.toScriptValue(names)}).toString(), QStringLiteral("Macro_0"));
        names << QStringLiteral("Macro_0");
        QVERIFY(call(namelists, "newMacroName", {engine.toScriptValue(names)}).isNull());
    }

    // The device-table template compiled in beside the scene.
    void deviceTableTemplate()
    {
        QSettings devInfo(QStringLiteral(":/DevInfo.ini"), QSettings::IniFormat);
        QCOMPARE(devInfo.value("common/total").toInt(), 2);
        QCOMPARE(devInfo.value("0/type").toInt(), 0);
        QCOMPARE(devInfo.value("0/reportLength").toInt(), 64);
        QCOMPARE(devInfo.value("1/usagePage2").toString(), QStringLiteral("ff01"));
        QCOMPARE(devInfo.value("1/reportLength").toInt(), 32);
    }

    void keyDescriptions()
    {
        const QStringList texts = {"Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
                                   "Forward Key", "Back Key", "Double Fire"};
        QStringList all = texts;
        while (all.size() < 60)
            all << QStringLiteral("t%1").arg(all.size());
        const QJSValue keyName = engine.evaluate(
            "(c => ({4: 'A', 6: 'C', 0xE0: 'LCtrl', 0xE1: 'LShift'})[c] || '?')");
        const QJSValue macroName = engine.evaluate("(slot => slot === 5 ? 'Burst' : '')");
        const QJSValue units = engine.evaluate("({ ms: 'ms', endless: 'forever' })");
        auto describe = [&](const QVariantList &codes) {
            return call(keyfunctions, "describe",
                        {array(codes), engine.toScriptValue(all), keyName, macroName, units}).toString();
        };
        QCOMPARE(describe({0, 0, 0xF0, 0}), QStringLiteral("Left Key"));
        QCOMPARE(describe({0, 0, 0xF3, 0}), QStringLiteral("Back Key"));
        QCOMPARE(describe({0, 0xF0, 0x1E, 2}), QStringLiteral("Double Fire"));
        QCOMPARE(describe({5, 0, 3, 0}), QStringLiteral("t24"));
        QCOMPARE(describe({1, 4, 10, 3}), QStringLiteral("A  \u00D73  10 ms"));
        QCOMPARE(describe({1, 4, 10, 0}), QStringLiteral("A  forever  10 ms"));
        QCOMPARE(describe({2, 0x03, 0x06, 0}), QStringLiteral("LCtrl + LShift + C"));
        QCOMPARE(describe({4, 0, 5, 0}), QStringLiteral("Burst"));
        QCOMPARE(describe({4, 0, 6, 0}), QStringLiteral("t16"));
        QCOMPARE(describe({9, 1, 2, 3}), QStringLiteral("0x09 0x01 0x02 0x03"));
        QVERIFY(call(keyfunctions, "isLeftButton", {array({0, 0, 0xF0, 0})}).toBool());
        QVERIFY(!call(keyfunctions, "isLeftButton", {array({0, 0xF0, 0x1E, 2})}).toBool());
    }
};

QTEST_GUILESS_MAIN(TestSceneRules)
#include "tst_scene_rules.moc"
