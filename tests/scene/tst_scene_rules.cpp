// The scene's rules, loaded from the compiled-in modules with QJSEngine the
// way the command-line tool loads them: the value formulas and ranges, the
// name-list rules, the macro codec and editing, the key assignment.
#include "macrolibrary.h"

#include <QColor>
#include <QFile>
#include <QJSEngine>
#include <QRegularExpression>
#include <QtTest>

class TestSceneRules : public QObject
{
    Q_OBJECT

    QJSEngine engine;
    QJSValue keycodes, formulas, namelists, keyfunctions, macrocodec, macroedit;

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

    // --- Macros --------------------------------------------------------------------

    QVariantList encoded(const QStringList &steps, int repeat = 1, const QJSValue &codeOf = QJSValue())
    {
        QJSValueList args{engine.toScriptValue(steps), repeat};
        if (!codeOf.isUndefined())
            args << codeOf;
        const QJSValue result = call(macrocodec, "encode", args);
        if (!result.property("problem").toString().isEmpty())
            return {result.property("problem").toString(), result.property("step").toInt()};
        return list(result.property("bytes"));
    }

    int encodedLength(const QStringList &steps)
    {
        return call(macrocodec, "encodedLength", {engine.toScriptValue(steps)}).toInt();
    }

    // A macro of `pairs` presses and releases of A, `pauseMs` after each step.
    static QStringList keyPairs(int pairs, int pauseMs = 0)
    {
        QStringList steps;
        for (int i = 0; i < pairs; ++i) {
            steps << "1,A";
            if (pauseMs)
                steps << QStringLiteral("0,%1").arg(pauseMs);
            steps << "2,A";
            if (pauseMs)
                steps << QStringLiteral("0,%1").arg(pauseMs);
        }
        return steps;
    }

    QJSValue steps(const QStringList &texts) { return engine.toScriptValue(texts); }

    QPair<QStringList, int> edited(const QJSValue &result)
    {
        return {result.property("steps").toVariant().toStringList(), result.property("selected").toInt()};
    }

private slots:
    void initTestCase()
    {
        keycodes = load("keycodes.mjs");
        formulas = load("formulas.mjs");
        namelists = load("namelists.mjs");
        keyfunctions = load("keyfunctions.mjs");
        macrocodec = load("macrocodec.mjs");
        macroedit = load("macroedit.mjs");
        for (const QJSValue &m : {keycodes, formulas, namelists, keyfunctions, macrocodec, macroedit})
            QVERIFY(m.isObject() && !m.isError());
    }

    void liftOff()
    {
        QCOMPARE(call(formulas, "liftOffValue", {3}).toInt(), 125);
        QCOMPARE(call(formulas, "liftOffValue", {89}).toInt(), 90);
        // 125 - int(17 * 35 / 86): a position where a scale one off shows.
        QCOMPARE(call(formulas, "liftOffValue", {20}).toInt(), 119);
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
        // A stage value's own place gives it back, whatever the rounding.
        for (int dpi = 100; dpi <= 16000; dpi += 50)
            QCOMPARE(call(formulas, "dpiFromRatio", {call(formulas, "dpiRatio", {dpi, bounds}), bounds}).toInt(), dpi);
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
        for (const auto &[value, lines] : {std::pair{QJSValue(0), 1}, {QJSValue("150"), 100}, {QJSValue(1000), 1000},
                                           {QJSValue(), 3}})
            QCOMPARE(call(formulas, "scrollValue", {value}).toInt(), lines);
    }

    // The clamping of values read from a profile shows in the scene
    // (tst_scene handEditedProfile: what is sent); here what it cannot show.
    void valuesReadFromFiles()
    {
        for (const QJSValue &v : {QJSValue("false"), QJSValue("0"), QJSValue(""), QJSValue(), QJSValue("FALSE")})
            QVERIFY(!call(formulas, "toBool", {v}).toBool());
        QVERIFY(call(formulas, "toBool", {"true"}).toBool());
        QCOMPARE(list(call(formulas, "keyCodes", {array({0, 0, 999, 0})})), QVariantList({0, 0, 255, 0}));
        // An effect the simple model does not have becomes its first; the
        // colourful model keeps it. (The eighth colour sent black:
        // tst_scene eighthColourOf55328.)
        QCOMPARE(call(formulas, "lightValues", {array({7, 9, 0}), false}).property("effect").toInt(), 0);
        QCOMPARE(call(formulas, "lightValues", {array({10, -1, 0}), true}).property("effect").toInt(), 10);
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

    // The scene checks a macro name before the library would refuse it: the
    // two rules must agree on every name (the padding word aside, which only
    // the name lists reserve).
    void macroNameRule()
    {
        const auto scene = [&](const QString &name) { return call(namelists, "isMacroName", {name}).toBool(); };
        const QStringList good = {QStringLiteral("Burst"), QStringLiteral("Macro_7"), QStringLiteral("a,b"),
                                  QString::fromUtf8("连发"), QStringLiteral(" spaced "),
                                  // The file name may take 255 bytes: 251 for the name and ".bin".
                                  QString(251, QLatin1Char('x')), QString(83, QChar(0x8FDE))};
        const QStringList bad = {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("a/b"),
                                 QStringLiteral("a\\b"), QStringLiteral("tab\there"), QString(QChar(0x85)),
                                 QString(252, QLatin1Char('x')), QString(84, QChar(0x8FDE))};
        for (const QString &name : good) {
            QVERIFY2(scene(name), qPrintable(name));
            QVERIFY2(macrolibrary::isValidName(name), qPrintable(name));
        }
        for (const QString &name : bad) {
            QVERIFY2(!scene(name), qPrintable(name));
            QVERIFY2(!macrolibrary::isValidName(name), qPrintable(name));
        }
        QVERIFY(!scene(QStringLiteral("loadertolvik")));
    }

    void macroEncoding()
    {
        // One press and release 100 ms apart, played once.
        QCOMPARE(encoded({"1,A", "0,100", "2,A"}), QVariantList({0, 1, 10, 0x04, 0x81, 0x04, 0, 0}));
        // Delays alone: the repeat count only, high byte first.
        QCOMPARE(encoded({"0,50", "0,70"}, 258), QVariantList({1, 2}));
        QCOMPARE(encoded({}, 65535), QVariantList({0xFF, 0xFF}));
        // Leading delays go, delays between actions add up in milliseconds
        // before they are rounded down to 10 ms units, no delay is written
        // as 1, and the last action's delay is 1 whatever follows it.
        QCOMPARE(encoded({"0,500", "1,A", "0,0", "2,A", "0,35", "0,29", "1,B", "2,B", "0,999"}),
                 QVariantList({0, 1, 0x01, 0x04, 0x86, 0x04, 0x01, 0x05, 0x81, 0x05, 0, 0}));
        QCOMPARE(encoded({"1,A", "0,55", "0,55", "2,A"}).mid(2, 1), QVariantList({11}));
        // Two short delays that add up to a long one take the long form.
        QCOMPARE(encodedLength({"1,A", "0,635", "0,635", "2,A"}), 12);
        // The repeat count is two bytes, 0 included.
        QCOMPARE(encoded({"1,A"}, 0), QVariantList({0, 0, 0x01, 0x04, 0, 0}));
        // Mouse buttons, the backslash's first code, an unknown name as 0.
        QCOMPARE(encoded({"3,MS-L", "4,MS-L", "1,\\", "2,NoSuchKey"}),
                 QVariantList({0, 1, 0x01, 0xF0, 0x81, 0xF0, 0x01, 0x31, 0x81, 0x00, 0, 0}));
        // 126 units fit the control byte; from 127 on a zero delay (keeping
        // the release bit) is followed by unit and length pairs.
        QCOMPARE(encoded({"1,A", "0,1260", "2,A"}), QVariantList({0, 1, 126, 4, 0x81, 4, 0, 0}));
        QCOMPARE(encoded({"2,A", "0,1279", "1,A"}), QVariantList({0, 1, 0x80, 4, 0, 1, 0, 63, 0x01, 4, 0, 0}));
        QCOMPARE(encoded({"1,A", "0,3000000", "2,A"}).mid(4, 4), QVariantList({0, 3, 0x75, 0x30}));
        // 100 minutes have no form, also when two delays add up to it; a
        // step that does not parse; a repeat count beyond two bytes.
        QCOMPARE(encoded({"0,1", "1,A", "0,3000000", "0,3000000", "2,A"}), QVariantList({"delay", 1}));
        QCOMPARE(encoded({"1,A", "0,1x", "2,A"}), QVariantList({"step", 1}));
        QCOMPARE(encoded({"1,A"}, 65536), QVariantList({"repeat", -1}));
    }

    void macroLength()
    {
        // 4 bytes, 2 per action, 4 more per long delay; the length the
        // editor counts is the length encoded.
        for (const QStringList &steps : {keyPairs(1), keyPairs(3, 2000), QStringList{"0,9"},
                                        QStringList{"1,A", "0,1270", "2,A", "0,5", "1,B"}}) {
            const QVariantList bytes = encoded(steps);
            QCOMPARE(encodedLength(steps), bytes.size());
        }
        QCOMPARE(encodedLength(keyPairs(3, 2000)), 4 + 6 * 2 + 5 * 4);
        // 62 actions fill the mouse's 128 bytes; one pause more is too much.
        QCOMPARE(encoded(keyPairs(31)).size(), 128);
        QStringList over = keyPairs(31);
        over.insert(1, "0,2000");
        QCOMPARE(encoded(over), QVariantList({"length", -1}));
        QCOMPARE(encodedLength(over), 132);
    }

    void macroInsertPlacement()
    {
        const QStringList base{"1,A", "0,50", "2,A"};
        // Appended with the last step or none selected.
        for (int selected : {-1, 2})
            QCOMPARE((edited(call(macroedit, "insertPair", {steps(base), selected, 0x05, "B"}))),
                     (qMakePair(base + QStringList{"1,B", "2,B"}, 4)));
        // A key pair before the selected step, a button pair after it;
        // the selection moves so that the next pair follows.
        QCOMPARE((edited(call(macroedit, "insertPair", {steps(base), 1, 0x05, "B"}))),
                 (qMakePair(QStringList{"1,A", "1,B", "2,B", "0,50", "2,A"}, 3)));
        QCOMPARE((edited(call(macroedit, "insertPair", {steps(base), 0, 0xF2, "MS-M"}))),
                 (qMakePair(QStringList{"1,A", "3,MS-M", "4,MS-M", "0,50", "2,A"}, 2)));
        QCOMPARE((edited(call(macroedit, "insertDelay", {steps(base), 2}))),
                 (qMakePair(QStringList{"1,A", "0,50", "0,50", "2,A"}, 2)));
        QCOMPARE((edited(call(macroedit, "insertDelay", {steps({}), -1}))), (qMakePair(QStringList{"0,50"}, 0)));
        QCOMPARE((edited(call(macroedit, "removeStep", {steps(base), 2}))), (qMakePair(QStringList{"1,A", "0,50"}, 1)));
    }

    void macroEditLimits()
    {
        auto check = [&](const QStringList &before, const QStringList &after, bool adding) {
            return call(macroedit, "checkEdit", {steps(before), steps(after), adding}).toString();
        };
        // 61 actions: 126 bytes, nothing more is added.
        QStringList full = keyPairs(30) + QStringList{"1,B"};
        QCOMPARE(encodedLength(full), 126);
        QCOMPARE(check(full, full + QStringList{"2,B"}, true), QStringLiteral("full"));
        // From 124 a pair still fits (128), a pair after a long pause does not.
        const QStringList at124 = keyPairs(30);
        QCOMPARE(check(at124, at124 + QStringList{"1,B", "2,B"}, true), QString());
        QCOMPARE(check(at124, at124 + QStringList{"0,5000", "1,B", "2,B"}, true), QStringLiteral("length"));
        // Deleting a key can join two pauses into one of 100 minutes.
        const QStringList joined{"1,A", "0,3000000", "2,A", "0,3000000", "1,A"};
        QCOMPARE(check(joined, {"1,A", "0,3000000", "0,3000000", "1,A"}, false), QStringLiteral("delay"));
        // A macro refused already may still be mended.
        QCOMPARE(check({"1,A", "0,7000000", "2,A"}, {"1,A", "2,A"}, false), QString());
        // As many steps as the library keeps, and not one more.
        QStringList many(macrolibrary::MaxSteps, QStringLiteral("0,10"));
        QCOMPARE(check(many, many + QStringList{"0,50"}, true), QStringLiteral("steps"));
    }

    void macroRecording()
    {
        const QJSValue nameOf = engine.evaluate("(c => ({4: 'A', 5: 'B', 0xE0: 'LCtrl'})[c] || '')");
        QStringList recorded;
        QJSValue recording = call(macroedit, "startRecording", {1000});
        auto event = [&](bool down, int code, double now, bool withDelay = true) {
            const QJSValue name = nameOf.call({code});
            const QJSValue r = call(macroedit, "recordEvent",
                                    {steps(recorded), recording, down, code, name, now, withDelay});
            recorded = r.property("steps").toVariant().toStringList();
            recording = r.property("recording");
            return r.property("full").toBool() ? QStringLiteral("full")
                                               : QString::fromLatin1(r.property("taken").toBool() ? "taken" : "dropped");
        };
        // The first step takes no pause; pauses are whole 10 ms ticks.
        QCOMPARE(event(true, 4, 1500), QStringLiteral("taken"));
        QCOMPARE(event(false, 5, 1600), QStringLiteral("dropped"));    // never pressed
        QCOMPARE(event(true, 0x99, 1600), QStringLiteral("dropped"));  // not in the table
        QCOMPARE(event(false, 4, 1604), QStringLiteral("taken"));
        QCOMPARE(event(true, 0xE0, 1900, false), QStringLiteral("taken"));
        QCOMPARE(event(true, 5, 1700), QStringLiteral("taken"));       // clock stepped back
        QCOMPARE(recorded, QStringList({"1,A", "0,100", "2,A", "1,LCtrl", "1,B"}));
        // Stopping releases what is still held.
        const QStringList stopped =
            call(macroedit, "stopRecording", {steps(recorded), recording, nameOf}).toVariant().toStringList();
        QCOMPARE(stopped, (recorded + QStringList{"2,LCtrl", "2,B"}));
        // The key that ended it (B here) leaves no step.
        QCOMPARE(call(macroedit, "stopRecording", {steps(recorded), recording, nameOf, 5}).toVariant().toStringList(),
                 QStringList({"1,A", "0,100", "2,A", "1,LCtrl", "2,LCtrl"}));
        // ...nor does the pause before it.
        QCOMPARE(event(false, 5, 1800), QStringLiteral("taken"));
        QCOMPARE(event(true, 5, 1900), QStringLiteral("taken"));
        QCOMPARE(call(macroedit, "stopRecording", {steps(recorded), recording, nameOf, 5}).toVariant().toStringList(),
                 QStringList({"1,A", "0,100", "2,A", "1,LCtrl", "1,B", "0,100", "2,B", "2,LCtrl"}));

        // Near the end, a press keeps room for its release: from 124 bytes
        // a press after a long pause would leave none and is refused; a
        // release is always taken, without its pause if need be.
        const QStringList at122 = keyPairs(29) + QStringList{"1,B"};
        QCOMPARE(encodedLength(at122), 122);
        auto holdingB = [&](double since) {
            recorded = at122;
            recording = call(macroedit, "startRecording", {since});
            recording.setProperty("held", engine.toScriptValue(QVariantList{5}));
        };
        holdingB(0);
        QCOMPARE(event(true, 4, 5000), QStringLiteral("full"));
        QCOMPARE(recorded, at122);
        holdingB(4990);
        QCOMPARE(event(true, 4, 5000), QStringLiteral("taken"));
        QCOMPARE(encodedLength(recorded), 124);
        QCOMPARE(event(false, 5, 10000), QStringLiteral("taken"));
        QCOMPARE(recorded.mid(recorded.size() - 2), QStringList({"1,A", "2,B"}));
        QCOMPARE(encodedLength(recorded), 126);
        QCOMPARE(event(true, 5, 10010), QStringLiteral("full"));
        QCOMPARE(event(false, 4, 10020), QStringLiteral("taken"));
        QCOMPARE(encoded(recorded).size(), 128);

        // The key that started it in the editor: its press, reported late by
        // the capture, is not kept (nor then its release); a later press is,
        // as is a first press half a second after the start.
        recorded.clear();
        recording = call(macroedit, "startRecording", {1000, 4});
        QCOMPARE(event(true, 4, 1100), QStringLiteral("dropped"));
        QCOMPARE(event(false, 4, 1150), QStringLiteral("dropped"));
        QCOMPARE(event(true, 4, 1200), QStringLiteral("taken"));
        recorded.clear();
        recording = call(macroedit, "startRecording", {1000, 4});
        QCOMPARE(event(true, 4, 1500), QStringLiteral("taken"));
    }

    void macroTypedSteps()
    {
        const QJSValue names = keycodes.property("builtInNames");
        const QJSValue codes = keycodes.property("codes");
        const QJSValue lookup = call(macrocodec, "lookupIn", {engine.toScriptValue(QJSValueList{names})});
        auto typed = [&](const QString &text) {
            const QJSValue r = call(macroedit, "readTyped", {text, names, codes, lookup});
            return r.property("problem").isUndefined() ? r.property("text").toString()
                                                       : "refused " + r.property("problem").toString();
        };
        // A press or release of a button is a button step, and back.
        for (const auto &[text, read] : {std::pair{"0,50", "0,50"}, {" 0 , 0050 ", "0,50"}, {"1,a", "1,A"},
                                         {"2, space", "2,Space"}, {"1,,", "1,,"}, {"1,MS-L", "3,MS-L"},
                                         {"4,Enter", "2,Enter"}, {"0,6000000", "refused delay"},
                                         {"0,5999999", "0,5999999"}, {"1,NoSuchKey", "refused key"}})
            QCOMPARE(typed(QString::fromLatin1(text)), QString::fromLatin1(read));
        for (const char *bad : {"A", "5,A", "1,", "0,-5", "0,5.5", "0,abc", ",50", ""})
            QCOMPARE(typed(QString::fromLatin1(bad)), QStringLiteral("refused format"));
    }

    // The assignment dialog's rules: the group that shows an assignment, the
    // fire codes, and keys captured for fire and combinations.
    void keyAssignmentRules()
    {
        auto categoryOf = [&](const QVariantList &codes) {
            return call(keyfunctions, "categoryOf", {array(codes)}).toString();
        };
        // Listed functions by their type; the dialog shows the groups.
        // Not a button, not listed, and shown but never offered: no group.
        const QList<QPair<QVariantList, QString>> categories = {
            {{0, 0xF0, 0x1E, 2}, "mouse"}, {{0, 0, 0, 0}, ""}, {{3, 0, 0x83, 0}, ""}, {{7, 0, 0xE0, 0x04}, "shortcut"},
            {{0xFF, 0, 1, 0}, ""}};
        for (const auto &[codes, category] : categories)
            QCOMPARE(categoryOf(codes), category);

        auto fire = [&](const QJSValueList &args) { return list(call(keyfunctions, "fireCodes", args)); };
        QCOMPARE(fire({4, 10, 3}), QVariantList({1, 4, 10, 3}));
        QCOMPARE(fire({4, 0, 300}), QVariantList({1, 4, 1, 255}));
        QCOMPARE(fire({4, "x", 0}), QVariantList({1, 4, 10, 0}));

        // Events as (down, code); a capture's state after each.
        auto run = [&](const char *start, const char *event, const QList<QPair<bool, int>> &events) {
            QJSValue state = call(keyfunctions, start);
            for (const auto &[down, code] : events)
                state = call(keyfunctions, event, {state, down, code});
            return state;
        };
        // Fire: the first key pressed; a release before it is not a key,
        // and codes outside the key table or mouse buttons are refused
        // without ending the capture.
        QJSValue f = run("startFire", "fireEvent", {{false, 0x28}, {true, 0x74}});
        QCOMPARE(f.property("refused").toInt(), 0x74);
        QVERIFY(!f.property("done").toBool());
        f = run("startFire", "fireEvent", {{true, 0xF0}, {true, 0}, {true, 0x04}, {true, 0x05}});
        QCOMPARE(f.property("key").toInt(), 0x04);
        QCOMPARE(f.property("refused").toInt(), 0);
        QVERIFY(f.property("done").toBool());

        // Left Ctrl, left Shift, C; a third key is ignored; done once all
        // are released (the release of a key pressed before is not one).
        const QList<QPair<bool, int>> chord{{false, 0x2C}, {true, 0xE0}, {true, 0xE1}, {true, 0x06},
                                            {true, 0x07}, {true, 0x08}, {false, 0x06}, {false, 0x07},
                                            {false, 0x08}, {false, 0xE1}};
        QJSValue c = run("startCombination", "combinationEvent", chord);
        QCOMPARE(list(c.property("codes")), QVariantList({2, 0x03, 0x06, 0x07}));
        QVERIFY(!c.property("done").toBool()); // left Ctrl still held
        c = call(keyfunctions, "combinationEvent", {c, false, 0xE0});
        QVERIFY(c.property("done").toBool());
        c = call(keyfunctions, "combinationEvent", {c, true, 0x09}); // after the end: nothing
        QCOMPARE(list(c.property("codes")), QVariantList({2, 0x03, 0x06, 0x07}));
        c = run("startCombination", "combinationEvent",
                {{true, 0xE0}, {true, 0xE1}, {true, 0x06}, {true, 0x06}, {true, 0xE6}, {true, 0x74}});
        QCOMPARE(list(c.property("codes")), QVariantList({2, 0x43, 0x06, 0}));
        QCOMPARE(c.property("refused").toInt(), 0x74);
        c = call(keyfunctions, "combinationEvent", {c, false, 0x74}); // never taken
        QCOMPARE(list(c.property("held")), QVariantList({0xE0, 0xE1, 0x06, 0xE6}));
        QVERIFY(!call(keyfunctions, "hasKeys", {array({2, 0, 0, 0})}).toBool());
    }
    // Text against its background meets WCAG AA (4.5:1); the focus ring, the
    // outlines and the unsaved mark, as graphics, 3:1. The pairs are those
    // the scene draws; the colours are read from the Theme's source.
    void themeContrast()
    {
        QFile file(QStringLiteral(R770_SOURCE_QML "/basic/Theme.qml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QHash<QString, double> luminance;
        const QRegularExpression colour(QStringLiteral("property color (\\w+): \"(#[0-9a-fA-F]{6})\""));
        for (auto it = colour.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext();) {
            const auto m = it.next();
            const QColor c(m.captured(2));
            auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            luminance[m.captured(1)] = 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
        }
        const QStringList pairs = {
            "4.5 text: window titleBar card control controlHover controlPressed accentSoft",
            "4.5 textSecondary: window titleBar card control", "4.5 hint: window titleBar card control",
            "4.5 accent: window card control controlHover", "4.5 error: window card control",
            "4.5 accentText: accent accentPressed", "3 accent: window titleBar card control accentSoft",
            "3 outline: window titleBar card control", "3 outlineStrong: window titleBar card control controlHover",
            "3 unsaved: window card control"};
        QStringList failing;
        for (const QString &pair : pairs) {
            const QStringList words = pair.split(QRegularExpression("[: ]+"));
            for (const QString &back : words.mid(2)) {
                QVERIFY2(luminance.contains(words[1]) && luminance.contains(back), qPrintable(pair));
                const double a = luminance[words[1]], b = luminance[back];
                if ((std::max(a, b) + 0.05) / (std::min(a, b) + 0.05) < words[0].toDouble())
                    failing << words[1] + " on " + back;
            }
        }
        QCOMPARE(failing, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSceneRules)
#include "tst_scene_rules.moc"
