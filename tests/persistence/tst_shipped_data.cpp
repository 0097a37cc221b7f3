// Every shipped data file against the formats the program reads, and the
// device group against the virtual mouse's default configuration.

#include "filetestutil.h"
#include "langstrings.h"
#include "namelists.h"
#include "profilefiles.h"
#include "testmodules.h"
#include "virtual_r770.h"

#include <QDir>
#include <QStringDecoder>
#include <QtTest>

namespace {

QString shipped(const QString &relative)
{
    return TestModules::sourceModules() + '/' + relative;
}

// A stored list of integers; empty when a value is not an integer.
QList<int> intList(const QVariant &stored)
{
    QList<int> values;
    for (const QString &text : stored.typeId() == QMetaType::QStringList ? stored.toStringList() : QStringList()) {
        bool ok = false;
        values << text.toInt(&ok);
        if (!ok)
            return {};
    }
    return values;
}

} // namespace

class TestShippedData : public QObject
{
    Q_OBJECT

private slots:
    void globalConfigMatchesVirtualMouse()
    {
        QCOMPARE(filetest::contents(shipped("setting/apConfig.bin")),
                 filetest::contents(shipped("setting/apConfigD.bin")));
        const QSettings s(shipped("setting/apConfig.bin"), QSettings::IniFormat);
        QCOMPARE(s.status(), QSettings::NoError);
        QCOMPARE(s.value("common/name").toString(), QStringLiteral("BRAXTEL SOLVAR MOUSE R770"));
        QVERIFY(QFile::exists(shipped("i18n/" + s.value("common/language").toString() + ".ini")));
        const vr770::MouseConfig mouse;
        const QList<QPair<const char *, uint>> ids = {
            {"0/type", 1}, {"0/vid", mouse.vid}, {"0/pid", mouse.pid},
            {"0/usagePage", mouse.usagePage}, {"0/usage", mouse.usage},
            {"0/usagePage2", mouse.usagePage2}, {"0/usage2", mouse.usage2}};
        for (const auto &[key, id] : ids)
            QCOMPARE(s.value(key).toString().toUInt(nullptr, 16), id);
        QCOMPARE(s.value("0/reportLength").toInt(), mouse.reportLength);
        QCOMPARE(s.value("0/isEncode").toBool(), mouse.scrambling);
        QCOMPARE(s.value("0/sCode").toString(), QString::fromStdString(mouse.secrecyCode));
        QCOMPARE(s.value("mouse/icType").toString(), QStringLiteral("553"));
        QCOMPARE(mouse.commandSet, vr770::CommandSet::Hid553);
    }

    void profilesHoldEveryKey_data()
    {
        QTest::addColumn<QString>("file");
        for (int i = 0; i <= profilefiles::SlotCount; ++i)
            QTest::addRow("p%s", i ? qPrintable(QString::number(i)) : "D") << (i ? QString("setting/p%1.bin").arg(i) : "setting/pD.bin");
    }
    void profilesHoldEveryKey()
    {
        QFETCH(QString, file);
        const QSettings global(shipped("setting/apConfig.bin"), QSettings::IniFormat);
        const QSettings s(shipped(file), QSettings::IniFormat);
        QCOMPARE(s.status(), QSettings::NoError);
        for (int k = 0; k < profilefiles::KeyAssignmentCount; ++k) {
            QCOMPARE(intList(s.value(QString("mouseKeyMatrix/%1").arg(k))).size(), 4);
            QCOMPARE(intList(s.value(QString("mouseFwKeyMatrix/%1").arg(k))).size(), 4);
        }
        QCOMPARE(intList(s.value("mouseKeyMatrix/0")), (QList<int>{0, 0, 0xF0, 0})); // left button
        const int dpiCount = s.value("mouse/dpiCount").toInt();
        const int current = s.value("mouse/currentDpiCount").toInt();
        QVERIFY(dpiCount >= 1 && dpiCount <= 8 && current >= 1 && current <= dpiCount);
        const QList<int> dpi = intList(s.value("mouse/dpiValueArray"));
        QCOMPARE(dpi.size(), 8);
        for (int v : dpi) {
            QVERIFY(v >= global.value("mouse/minDPI").toInt() && v <= global.value("mouse/maxDPI").toInt());
            QCOMPARE(v % global.value("mouse/dpiBase").toInt(), 0);
        }
        QCOMPARE(intList(s.value("mouse/lightValue")).size(), 3);
        QCOMPARE(intList(s.value("mouse/colorValue")).size(), 24);
        for (const char *key : {"mouse/reportRate", "mouse/reportRateEn", "mouse/mouseRate",
                                "mouse/doubleRate", "mouse/scrollRate", "XYSensitive/1"})
            QVERIFY2(s.contains(key), key);
    }

    void nameListsAndRecoilStore()
    {
        const QSettings names(shipped("setting/name.bin"), QSettings::IniFormat);
        QCOMPARE(names.value("profile/profileName").toStringList(),
                 (QStringList{"Standard0", namelists::Padding}));
        QVERIFY(QDir(shipped("macro")).entryList(QDir::Files).isEmpty());
        QSettings guns(shipped("gun/gunData.bin"), QSettings::IniFormat);
        guns.beginGroup("gunData");
        QCOMPARE(guns.childKeys().size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(guns.value(QString::number(i)).toStringList().size(), 6);
        QCOMPARE(guns.value("0").toStringList(), (QStringList{"M416", "L-Click", "10", "0", "10", "0"}));
    }

    void languageFilesAreComplete_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << QStringLiteral("English");
        QTest::newRow("ChineseSimplified") << QStringLiteral("ChineseSimplified");
    }
    void languageFilesAreComplete()
    {
        QFETCH(QString, language);
        const QString path = shipped("i18n/" + language + ".ini");
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)utf8.decode(filetest::contents(path));
        QVERIFY(!utf8.hasError());
        QSettings s(path, QSettings::IniFormat);
        const QSettings english(shipped("i18n/English.ini"), QSettings::IniFormat);
        QStringList groups = s.childGroups(), expected = {"main", "keyMatrix", "keyAssigment",
            "dpiSetting", "lightControl", "macroEditor", "systemSetting", "gunControl", "profile",
            "keyCode", "other"};
        groups.sort();
        expected.sort();
        QCOMPARE(groups, expected);
        for (const QString &group : groups) {
            s.beginGroup(group);
            const int total = s.value("total").toInt();
            QCOMPARE(s.childKeys().size(), total + 1);
            for (int i = 0; i < total; ++i)
                QVERIFY2(s.value(QString::number(i)).typeId() == QMetaType::QString, qPrintable(group));
            s.endGroup();
            QCOMPARE(total, english.value(group + "/total").toInt());
        }
        QCOMPARE(s.value("keyCode/total").toInt(), 133);
        QCOMPARE(s.value("other/total").toInt(), 8);
    }

    void textsTheIniFormatCouldMangle()
    {
        TestModules tm;
        QVERIFY(tm.isValid());
        const QStringList keyCode = langstrings::read("keyCode", "English");
        QCOMPARE(keyCode.size(), 133);
        QCOMPARE(keyCode.mid(0x2D - 4, 12),
                 (QStringList{"-", "=", "[", "]", "\\", "\\", ";", "'", "`", ",", ".", "/"}));
        QCOMPARE(keyCode.mid(128), (QStringList{"MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5"}));
        QCOMPARE(langstrings::read("keyMatrix", "English").first(), QStringLiteral("Key "));
        // Entry 0 of the profile list is named after this text.
        QCOMPARE(langstrings::read("profile", "English").at(5), QStringLiteral("Standard"));
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shipped_data.moc"
