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

    // Every shipped profile is the factory one, with every list the
    // program reads at its length and DPI values the mouse takes.
    void profilesHoldEveryKey()
    {
        const QByteArray factory = filetest::contents(shipped("setting/pD.bin"));
        for (int i = 1; i <= profilefiles::SlotCount; ++i)
            QCOMPARE(filetest::contents(shipped(QString("setting/p%1.bin").arg(i))), factory);
        const QSettings global(shipped("setting/apConfig.bin"), QSettings::IniFormat);
        const QSettings s(shipped("setting/pD.bin"), QSettings::IniFormat);
        QList<QPair<QString, int>> lists = {
            {"mouse/dpiValueArray", 8}, {"mouse/lightValue", 3}, {"mouse/colorValue", 24}};
        for (int k = 0; k < profilefiles::KeyAssignmentCount; ++k)
            lists << qMakePair(QString("mouseKeyMatrix/%1").arg(k), 4)
                  << qMakePair(QString("mouseFwKeyMatrix/%1").arg(k), 4);
        for (const auto &[key, size] : lists)
            QVERIFY2(isIntList(s.value(key), size), qPrintable(key));
        for (const QString &dpi : s.value("mouse/dpiValueArray").toStringList())
            QVERIFY(dpi.toInt() >= global.value("mouse/minDPI").toInt()
                    && dpi.toInt() <= global.value("mouse/maxDPI").toInt()
                    && dpi.toInt() % global.value("mouse/dpiBase").toInt() == 0);
    }

    // Both language files hold every text English has, as UTF-8, key names
    // the INI format could mangle included.
    void languageFilesAreComplete()
    {
        const QSettings english(shipped("i18n/English.ini"), QSettings::IniFormat);
        for (const char *language : {"English", "ChineseSimplified"}) {
            const QString path = shipped(QString("i18n/%1.ini").arg(language));
            QStringDecoder utf8(QStringDecoder::Utf8);
            (void)utf8.decode(filetest::contents(path));
            QVERIFY(!utf8.hasError());
            QSettings s(path, QSettings::IniFormat);
            QCOMPARE(s.childGroups(), english.childGroups());
            for (const QString &group : s.childGroups()) {
                const int total = english.value(group + "/total").toInt();
                s.beginGroup(group);
                QVERIFY2(s.value("total").toInt() == total && s.childKeys().size() == total + 1, qPrintable(group));
                for (int i = 0; i < total; ++i) // a text with a comma, unquoted, reads as a list
                    QVERIFY2(s.value(QString::number(i)).typeId() == QMetaType::QString, qPrintable(group));
                s.endGroup();
            }
            QStringList punctuation;
            for (int code = 0x29; code <= 0x34; ++code)
                punctuation << s.value(QString("keyCode/%1").arg(code)).toString();
            QCOMPARE(punctuation, (QStringList{"-", "=", "[", "]", "\\", "\\", ";", "'", "`", ",", ".", "/"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shipped_data.moc"
