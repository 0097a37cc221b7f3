// Every shipped data file against the formats the program reads. (That the
// device group finds the virtual mouse is shown by the discovery tests.)

#include "filetestutil.h"
#include "namelists.h"
#include "profilefiles.h"
#include "testmodules.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QtTest>

namespace {

QString shipped(const QString &relative)
{
    return TestModules::sourceModules() + '/' + relative;
}

// Whether a stored value is a list of `size` integers.
bool isIntList(const QVariant &stored, int size)
{
    const QStringList items = stored.toStringList();
    return stored.typeId() == QMetaType::QStringList && items.size() == size
           && items.filter(QRegularExpression("^-?\\d+$")).size() == size;
}

} // namespace

class TestShippedData : public QObject
{
    Q_OBJECT

private slots:
    void settingFiles()
    {
        QCOMPARE(filetest::contents(shipped("setting/apConfig.bin")),
                 filetest::contents(shipped("setting/apConfigD.bin")));
        const QSettings s(shipped("setting/apConfig.bin"), QSettings::IniFormat);
        QCOMPARE(s.status(), QSettings::NoError);
        QCOMPARE(s.value("common/name").toString(), QStringLiteral("BRAXTEL SOLVAR MOUSE R770"));
        QCOMPARE(s.value("common/deviceCount").toInt(), 1);
        QCOMPARE(s.value("0/type").toInt(), 1);
        const QSettings names(shipped("setting/name.bin"), QSettings::IniFormat);
        QCOMPARE(names.value("profile/profileName").toStringList(),
                 (QStringList{"Standard0", namelists::Padding}));
        QSettings guns(shipped("gun/gunData.bin"), QSettings::IniFormat);
        guns.beginGroup("gunData");
        QCOMPARE(guns.childKeys().size(), 6);
        for (const QString &set : guns.childKeys())
            QCOMPARE(guns.value(set).toStringList().size(), 6);
        QCOMPARE(guns.value("0").toStringList(), (QStringList{"M416", "L-Click", "10", "0", "10", "0"}));
    }

    void profilesHoldEveryKey_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addRow("pD") << QStringLiteral("setting/pD.bin");
        for (int i = 1; i <= profilefiles::SlotCount; ++i)
            QTest::addRow("p%d", i) << QString("setting/p%1.bin").arg(i);
    }
    void profilesHoldEveryKey()
    {
        QFETCH(QString, file);
        const QSettings global(shipped("setting/apConfig.bin"), QSettings::IniFormat);
        const QSettings s(shipped(file), QSettings::IniFormat);
        QCOMPARE(s.status(), QSettings::NoError);
        QList<QPair<QString, int>> lists = {
            {"mouse/dpiValueArray", 8}, {"mouse/lightValue", 3}, {"mouse/colorValue", 24}};
        for (int k = 0; k < profilefiles::KeyAssignmentCount; ++k)
            lists << qMakePair(QString("mouseKeyMatrix/%1").arg(k), 4)
                  << qMakePair(QString("mouseFwKeyMatrix/%1").arg(k), 4);
        for (const auto &[key, size] : lists)
            QVERIFY2(isIntList(s.value(key), size), qPrintable(key));
        QCOMPARE(s.value("mouseKeyMatrix/0").toStringList(), (QStringList{"0", "0", "240", "0"}));
        const int dpiCount = s.value("mouse/dpiCount").toInt();
        const int current = s.value("mouse/currentDpiCount").toInt();
        QVERIFY(dpiCount >= 1 && dpiCount <= 8 && current >= 1 && current <= dpiCount);
        for (const QString &dpi : s.value("mouse/dpiValueArray").toStringList())
            QVERIFY(dpi.toInt() >= global.value("mouse/minDPI").toInt()
                    && dpi.toInt() <= global.value("mouse/maxDPI").toInt()
                    && dpi.toInt() % global.value("mouse/dpiBase").toInt() == 0);
        for (const char *key : {"mouse/reportRate", "mouse/reportRateEn", "mouse/mouseRate",
                                "mouse/doubleRate", "mouse/scrollRate", "XYSensitive/1"})
            QVERIFY2(s.contains(key), key);
    }

    void languageFilesAreComplete_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"English", "ChineseSimplified"})
            QTest::addRow("%s", language) << QString(language);
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
        const QStringList groups = s.childGroups();
        QCOMPARE(groups, english.childGroups());
        for (const QString &group : groups) {
            s.beginGroup(group);
            const int total = s.value("total").toInt();
            QCOMPARE(s.childKeys().size(), total + 1);
            for (int i = 0; i < total; ++i)
                QVERIFY2(s.value(QString::number(i)).typeId() == QMetaType::QString, qPrintable(group));
            s.endGroup();
            QCOMPARE(total, english.value(group + "/total").toInt());
        }
        // Key names the INI format could mangle.
        QStringList punctuation;
        for (int code = 0x2D; code <= 0x38; ++code)
            punctuation << s.value(QString("keyCode/%1").arg(code - 4)).toString();
        QCOMPARE(punctuation, (QStringList{"-", "=", "[", "]", "\\", "\\", ";", "'", "`", ",", ".", "/"}));
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shipped_data.moc"
