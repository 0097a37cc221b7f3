// Every shipped data file against the formats the program reads, and the
// device group against the virtual mouse's default configuration.

#include "filetestutil.h"
#include "langstrings.h"
#include "namelists.h"
#include "profilefiles.h"
#include "testmodules.h"
#include "virtual_r770.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QtTest>

using filetest::contents;

namespace {

QString shipped(const QString &relative)
{
    return TestModules::sourceModules() + '/' + relative;
}

// A stored list of integers; empty when a value is not an integer.
QList<int> intList(const QVariant &stored)
{
    QList<int> values;
    if (stored.metaType().id() != QMetaType::QStringList)
        return values;
    for (const QString &text : stored.toStringList()) {
        bool ok = false;
        values << text.toInt(&ok);
        if (!ok)
            return {};
    }
    return values;
}

uint hexValue(const QSettings &s, const QString &key)
{
    bool ok = false;
    const uint value = s.value(key).toString().toUInt(&ok, 16);
    return ok ? value : 0xFFFFFFFFu;
}

const QStringList languageGroups = {"main", "keyMatrix", "keyAssigment", "dpiSetting",
                                    "lightControl", "macroEditor", "systemSetting",
                                    "gunControl", "profile", "keyCode", "other"};

} // namespace

class TestShippedData : public QObject
{
    Q_OBJECT

private slots:
    void globalConfigMatchesVirtualMouse();
    void profilesHoldEveryKey_data();
    void profilesHoldEveryKey();
    void nameListsAndRecoilStore();
    void languageFilesAreComplete_data();
    void languageFilesAreComplete();
    void englishTextsAreTheSceneDefaults();
};

void TestShippedData::globalConfigMatchesVirtualMouse()
{
    QCOMPARE(contents(shipped("setting/apConfig.bin")), contents(shipped("setting/apConfigD.bin")));
    const QSettings s(shipped("setting/apConfig.bin"), QSettings::IniFormat);
    QCOMPARE(s.status(), QSettings::NoError);
    QCOMPARE(s.value("common/name").toString(), QStringLiteral("BRAXTEL SOLVAR MOUSE R770"));
    QCOMPARE(s.value("common/deviceCount").toInt(), 1);
    QVERIFY(QFile::exists(shipped("i18n/" + s.value("common/language").toString() + ".ini")));
    QVERIFY(s.value("common/url").toString().startsWith("https://"));

    const vr770::MouseConfig mouse;
    QCOMPARE(hexValue(s, "0/type"), 1u);
    QCOMPARE(hexValue(s, "0/vid"), uint(mouse.vid));
    QCOMPARE(hexValue(s, "0/pid"), uint(mouse.pid));
    QCOMPARE(hexValue(s, "0/usagePage"), uint(mouse.usagePage));
    QCOMPARE(hexValue(s, "0/usage"), uint(mouse.usage));
    QCOMPARE(hexValue(s, "0/usagePage2"), uint(mouse.usagePage2));
    QCOMPARE(hexValue(s, "0/usage2"), uint(mouse.usage2));
    QCOMPARE(s.value("0/reportLength").toInt(), mouse.reportLength);
    QCOMPARE(s.value("0/isEncode").toBool(), mouse.scrambling);
    QCOMPARE(s.value("0/sCode").toString(), QString::fromStdString(mouse.secrecyCode));
    QCOMPARE(s.value("mouse/icType").toString(),
             QString(mouse.commandSet == vr770::CommandSet::Hid560 ? "560" : "553"));

    QCOMPARE(intList(s.value("mouse/selectGun")), (QList<int>{0, 1, 2}));
    QVERIFY(s.value("mouse/minDPI").toInt() < s.value("mouse/maxDPI").toInt());
    QVERIFY(s.value("mouse/dpiBase").toInt() > 0);
}

void TestShippedData::profilesHoldEveryKey_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("pD") << QStringLiteral("setting/pD.bin");
    for (int i = 1; i <= profilefiles::SlotCount; ++i)
        QTest::newRow(qPrintable(QString("p%1").arg(i))) << QString("setting/p%1.bin").arg(i);
}

void TestShippedData::profilesHoldEveryKey()
{
    QFETCH(QString, file);
    const QSettings global(shipped("setting/apConfig.bin"), QSettings::IniFormat);
    const QSettings s(shipped(file), QSettings::IniFormat);
    QCOMPARE(s.status(), QSettings::NoError);

    for (int k = 0; k < profilefiles::KeyAssignmentCount; ++k) {
        QCOMPARE(intList(s.value(QString("mouseKeyMatrix/%1").arg(k))).size(), 4);
        QCOMPARE(intList(s.value(QString("mouseFwKeyMatrix/%1").arg(k))).size(), 4);
    }
    QCOMPARE(intList(s.value("mouseKeyMatrix/0")), (QList<int>{0, 0, 0xF0, 0}));
    QCOMPARE(intList(s.value("mouseKeyMatrix/15")), (QList<int>{255, 0, 2, 0}));

    const int dpiCount = s.value("mouse/dpiCount").toInt();
    QVERIFY(dpiCount >= 1 && dpiCount <= 8);
    const int current = s.value("mouse/currentDpiCount").toInt();
    QVERIFY(current >= 1 && current <= dpiCount);
    const QList<int> dpi = intList(s.value("mouse/dpiValueArray"));
    QCOMPARE(dpi.size(), 8);
    for (int v : dpi) {
        QVERIFY(v >= global.value("mouse/minDPI").toInt() && v <= global.value("mouse/maxDPI").toInt());
        QCOMPARE(v % global.value("mouse/dpiBase").toInt(), 0);
    }
    QCOMPARE(intList(s.value("mouse/lightValue")).size(), 3);
    const QList<int> colours = intList(s.value("mouse/colorValue"));
    QCOMPARE(colours.size(), 24);
    for (int c : colours)
        QVERIFY(c >= 0 && c <= 255);
    const int lod = s.value("mouse/reportRate").toInt();
    QVERIFY(lod >= 3 && lod <= 89);
    for (const char *key : {"mouse/reportRateEn", "mouse/mouseRate", "mouse/doubleRate",
                            "mouse/scrollRate", "XYSensitive/0", "XYSensitive/1"})
        QVERIFY2(s.contains(key), key);
}

void TestShippedData::nameListsAndRecoilStore()
{
    const QSettings names(shipped("setting/name.bin"), QSettings::IniFormat);
    QCOMPARE(names.value("profile/profileName").toStringList(),
             (QStringList{"Standard0", QString::fromLatin1(namelists::Padding)}));
    QVERIFY(names.value("macro/macroName").toStringList().isEmpty());
    QVERIFY(QDir(shipped("macro")).entryList(QDir::Files).isEmpty());

    QSettings guns(shipped("gun/gunData.bin"), QSettings::IniFormat);
    guns.beginGroup("gunData");
    QCOMPARE(guns.childKeys().size(), 6);
    const QStringList builtIn = {"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"};
    for (int i = 0; i < builtIn.size(); ++i) {
        QCOMPARE(guns.value(QString::number(i)).toStringList(),
                 (QStringList{builtIn.at(i), "L-Click", "10", "0", "10", "0"}));
    }
}

void TestShippedData::languageFilesAreComplete_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("English");
    QTest::newRow("ChineseSimplified") << QStringLiteral("ChineseSimplified");
}

void TestShippedData::languageFilesAreComplete()
{
    QFETCH(QString, language);
    const QString path = shipped("i18n/" + language + ".ini");
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(contents(path));
    QVERIFY(!utf8.hasError());

    QSettings s(path, QSettings::IniFormat);
    QCOMPARE(s.status(), QSettings::NoError);
    QStringList groups = s.childGroups();
    QStringList expected = languageGroups;
    groups.sort();
    expected.sort();
    QCOMPARE(groups, expected);

    const QSettings english(shipped("i18n/English.ini"), QSettings::IniFormat);
    for (const QString &group : languageGroups) {
        s.beginGroup(group);
        const int total = s.value("total").toInt();
        QCOMPARE(s.childKeys().size(), total + 1);
        for (int i = 0; i < total; ++i) {
            const QVariant text = s.value(QString::number(i));
            QVERIFY2(text.metaType().id() == QMetaType::QString, qPrintable(group));
        }
        s.endGroup();
        QCOMPARE(total, english.value(group + "/total").toInt());
    }
    QCOMPARE(s.value("keyCode/total").toInt(), 133);
    QCOMPARE(s.value("other/total").toInt(), 8);
}

void TestShippedData::englishTextsAreTheSceneDefaults()
{
    // Texts the INI format could mangle, read as the program reads them.
    TestModules tm;
    QVERIFY(tm.isValid());
    const QStringList keyCode = langstrings::read("keyCode", "English");
    QCOMPARE(keyCode.size(), 133);
    QCOMPARE(keyCode.mid(0x2D - 4, 12),
             (QStringList{"-", "=", "[", "]", "\\", "\\", ";", "'", "`", ",", ".", "/"}));
    QCOMPARE(keyCode.at(0x4F - 4), QStringLiteral("►"));
    QCOMPARE(keyCode.mid(0x73 - 4, 2), (QStringList{"F24", "Keypad"}));
    QCOMPARE(keyCode.mid(128), (QStringList{"MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5"}));
    QCOMPARE(langstrings::read("keyMatrix", "English").first(), QStringLiteral("Key "));
    QCOMPARE(langstrings::read("main", "English").at(11), QString());
    // Entry 0 of the profile list is named after this text.
    QCOMPARE(langstrings::read("profile", "English").at(5), QStringLiteral("Standard"));
}

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shipped_data.moc"
