#include "deviceeventtexts.h"
#include "fileops.h"
#include "filetestutil.h"
#include "gunstore.h"
#include "inivalue.h"
#include "langstrings.h"
#include "macrolibrary.h"
#include "namelists.h"
#include "profilefiles.h"
#include "testmodules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtTest>

using namespace filetest;

namespace {

// The ten long-lived profile objects, opened as the controller opens them.
struct Profiles
{
    QList<QSettings *> list;
    Profiles()
    {
        for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
            list << new QSettings(profilefiles::slotPath(slot), QSettings::IniFormat);
    }
    ~Profiles() { qDeleteAll(list); }
    QSettings *at(int slot) const { return list.at(slot); }
    QString text(int slot, const QString &key) const { return at(slot)->value(key).toString(); }
};

QStringList texts(const QVariant &stored)
{
    QStringList result;
    for (const QVariant &v : ini::toList(stored))
        result << v.toString();
    return result;
}

} // namespace

class TestPersistenceFiles : public QObject
{
    Q_OBJECT

private slots:
    void exportSlot();
    void resetAndCopySlots();
    void slotReplacementRefusalsKeepTheProfile();
    void replacedFileIsNeverTakenForCachedContent();
    void oneElementListReadsBackAsPlainString();

    void macroSteps();
    void unsafeMacroNamesAreRefusedEverywhere();
    void macroReadsAreBounded();
    void macroRename();
    void macroUnbind();
    void macroImportExport();

    void nameLists();
    void recoilStore();
    void recoilStoreAbsentOrMisused();

    void languageGroups();
    void otherGroupFeedsNotificationTexts();
};

void TestPersistenceFiles::exportSlot()
{
    TestModules tm;
    QVERIFY(tm.isValid());
    Profiles profiles;
    const QString target = tm.root() + "/export.pf";
    QVERIFY(writeFile(target, "[old]\nexport=that is longer than nothing\n"));

    profiles.at(2)->setValue("mouse/mouseRate", 99); // not yet flushed
    QVERIFY(profilefiles::exportSlot(profiles.list, 2, target));
    QCOMPARE(contents(target), contents(tm.path("setting/p3.bin")));
    QCOMPARE(freshRead(target, "mouse/mouseRate").text, QStringLiteral("99"));

    // Refusals leave the chosen file alone.
    QVERIFY(writeFile(target, "keep"));
    QVERIFY(!profilefiles::exportSlot(profiles.list, 10, target));
    QVERIFY(!profilefiles::exportSlot(profiles.list, -1, target));
    QVERIFY(QFile::remove(tm.path("setting/p4.bin")));
    QVERIFY(!profilefiles::exportSlot(profiles.list, 3, target));
    QCOMPARE(contents(target), QByteArray("keep"));
}

void TestPersistenceFiles::resetAndCopySlots()
{
    TestModules tm;
    Profiles profiles;
    const QByteArray factory = contents(tm.path("setting/pD.bin"));
    profiles.at(1)->setValue("mouse/scrollRate", 7); // pending at the reset
    QVERIFY(profilefiles::resetSlot(profiles.list, 1));
    QCOMPARE(profiles.text(1, "mouse/scrollRate"), QStringLiteral("3"));
    drainEvents();
    QCOMPARE(contents(tm.path("setting/p2.bin")), factory);
    QCOMPARE(contents(tm.path("setting/pD.bin")), factory);

    profiles.at(3)->setValue("extra/onlyInFour", "x");
    QVERIFY(profilefiles::copySlot(profiles.list, 0, 3));
    QCOMPARE(contents(tm.path("setting/p1.bin")), contents(tm.path("setting/p4.bin")));
    QCOMPARE(profiles.text(0, "extra/onlyInFour"), QStringLiteral("x"));

    profiles.at(0)->setValue("mouse/mouseRate", 22);
    QVERIFY(profilefiles::copySlot(profiles.list, 3, 0));
    QCOMPARE(contents(tm.path("setting/p4.bin")), contents(tm.path("setting/p1.bin")));
    QCOMPARE(profiles.text(3, "mouse/mouseRate"), QStringLiteral("22"));
}

void TestPersistenceFiles::slotReplacementRefusalsKeepTheProfile()
{
    TestModules tm;
    Profiles profiles;
    const QByteArray p3 = contents(tm.path("setting/p3.bin"));
    QVERIFY(!profilefiles::copySlot(profiles.list, 2, 2));
    QVERIFY(!profilefiles::copySlot(profiles.list, 10, 2));
    QVERIFY(!profilefiles::copySlot(profiles.list, 2, -1));
    QVERIFY(!profilefiles::resetSlot(profiles.list, 10));
    QCOMPARE(contents(tm.path("setting/p3.bin")), p3);

    // A copy that cannot be made leaves the profile and its pending edit.
    profiles.at(4)->setValue("mouse/mouseRate", 55);
    QVERIFY(QDir().mkpath(tm.root() + "/folder.pf"));
    QVERIFY(!profilefiles::replaceSlot(profiles.list, 4, tm.root() + "/folder.pf"));
    QVERIFY(!profilefiles::replaceSlot(profiles.list, 4, tm.root() + "/missing.pf"));
    QVERIFY(writeFile(tm.root() + "/huge.pf", QByteArray(fileops::MaxIniFileBytes + 1, ';')));
    QVERIFY(!profilefiles::replaceSlot(profiles.list, 4, tm.root() + "/huge.pf"));
    QCOMPARE(profiles.text(4, "mouse/mouseRate"), QStringLiteral("55"));
    QCOMPARE(profiles.text(4, "mouse/dpiCount"), QStringLiteral("6"));

    // Importing the slot's own file keeps it.
    profiles.at(4)->sync();
    const QByteArray p5 = contents(tm.path("setting/p5.bin"));
    QVERIFY(profilefiles::replaceSlot(profiles.list, 4, "./modules/setting/../setting/p5.bin"));
    QCOMPARE(contents(tm.path("setting/p5.bin")), p5);
    QCOMPARE(profiles.text(4, "mouse/mouseRate"), QStringLiteral("55"));
}

void TestPersistenceFiles::replacedFileIsNeverTakenForCachedContent()
{
    // QSettings re-reads a file only when its size or time changed, and a
    // copy of equal size often lands in the millisecond of the last write:
    // repeat until that case has surely come up.
    TestModules tm;
    const QString target = tm.path("setting/p9.bin");
    const QString source = tm.root() + "/source.pf";
    QVERIFY(writeFile(source, "[mouse]\nmouseRate=1\n"));
    for (int round = 0; round < 200; ++round) {
        {
            QSettings before(target, QSettings::IniFormat);
            before.clear();
            before.setValue("mouse/mouseRate", 2);
        }
        QVERIFY(fileops::replaceWithCopy(source, target));
        QCOMPARE(QSettings(target, QSettings::IniFormat).value("mouse/mouseRate").toInt(), 1);
    }
}

void TestPersistenceFiles::oneElementListReadsBackAsPlainString()
{
    TestModules tm;
    Profiles profiles;
    ini::setValue(*profiles.at(0), "mouse/lightValue", QVariantList{7});
    profiles.at(0)->sync();
    const Fresh stored = freshRead(tm.path("setting/p1.bin"), "mouse/lightValue");
    QCOMPARE(stored.kind, Fresh::Text);
    QCOMPARE(stored.text, QStringLiteral("7"));
}

void TestPersistenceFiles::macroSteps()
{
    TestModules tm;
    QVERIFY(macrolibrary::load("Macro_0").isEmpty());
    QVERIFY(!macrolibrary::save("Macro_0", {"1,A"}, 1));
    QVERIFY(!QFile::exists(tm.path("macro/Macro_0.bin")));

    QVERIFY(macrolibrary::create("Macro_0", 0));
    QCOMPARE(macrolibrary::load("Macro_0"), QStringList{"1"});
    QVERIFY(macrolibrary::save("Macro_0", {"1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"}, 2));
    QVERIFY(macrolibrary::save("Macro_0", {"1,B", "0,30", "2,B"}, 5));
    const QString file = tm.path("macro/Macro_0.bin");
    QCOMPARE(freshRead(file, "config/total").text, QStringLiteral("3"));
    QCOMPARE(freshRead(file, "macro/2").text, QStringLiteral("2,B"));
    QCOMPARE(freshRead(file, "macro/3").kind, Fresh::Missing);
    QCOMPARE(macrolibrary::load("Macro_0"), (QStringList{"1,B", "0,30", "2,B", "5"}));

    QVERIFY(macrolibrary::save("Macro_0", {}, 1));
    QCOMPARE(freshRead(file, "macro/0").kind, Fresh::Missing);
    QCOMPARE(macrolibrary::load("Macro_0"), QStringList{"1"});

    QVERIFY(macrolibrary::remove("Macro_0"));
    QVERIFY(!macrolibrary::remove("Macro_0"));
    QVERIFY(macrolibrary::load("Macro_0").isEmpty());
}

void TestPersistenceFiles::unsafeMacroNamesAreRefusedEverywhere()
{
    TestModules tm;
    Profiles profiles;
    QVERIFY(macrolibrary::create("Good", 0));
    const QString source = tm.root() + "/in.mc";
    const QString target = tm.root() + "/out.mc";
    QVERIFY(writeFile(source, "[config]\ntotal=0\n"));
    QVERIFY(writeFile(target, "keep"));
    const QStringList names = {QString(), ".", "..", "../escape", "a/b", "a\\b", "tab\there",
                               QString(300, QLatin1Char('m'))};
    for (const QString &name : names) {
        QVERIFY2(!macrolibrary::create(name, 0), qPrintable(name));
        QVERIFY(!macrolibrary::save(name, {"1,A"}, 1));
        QVERIFY(macrolibrary::load(name).isEmpty());
        QVERIFY(!macrolibrary::remove(name));
        QVERIFY(!macrolibrary::rename(profiles.list, name, "Other"));
        QVERIFY(!macrolibrary::rename(profiles.list, "Good", name));
        QVERIFY(!macrolibrary::unbindFromProfiles(profiles.list, profiles.at(1), name));
        QVERIFY(!macrolibrary::importFrom(name, source));
        QVERIFY(!macrolibrary::exportTo(name, target));
    }
    QCOMPARE(contents(target), QByteArray("keep"));
    QCOMPARE(QDir(tm.root() + "/modules").entryList(QDir::Files), QStringList());
    QCOMPARE(QDir(tm.root()).entryList(QDir::Files), (QStringList{"in.mc", "out.mc"}));
    QCOMPARE(QDir(tm.path("macro")).entryList(QDir::Files), QStringList{"Good.bin"});
}

void TestPersistenceFiles::macroReadsAreBounded()
{
    TestModules tm;
    const QString file = tm.path("macro/Big.bin");
    // Steps written without quotes read back as lists: they come back whole.
    QVERIFY(writeFile(file, "[config]\ntotal=1000000000\nrepeat=3\n[macro]\n0=1,A\n"));
    const QStringList capped = macrolibrary::load("Big");
    QCOMPARE(capped.size(), macrolibrary::MaxSteps + 1);
    QCOMPARE(capped.mid(0, 2), (QStringList{"1,A", "0"}));
    QCOMPARE(capped.last(), QStringLiteral("3"));

    QVERIFY(writeFile(file, "[config]\ntotal=lots\n"));
    QCOMPARE(macrolibrary::load("Big"), QStringList{"0"});
    QVERIFY(writeFile(file, noise(64 * 1024)));
    QVERIFY(macrolibrary::load("Big").size() <= macrolibrary::MaxSteps + 1);
    QVERIFY(writeFile(file, QByteArray(fileops::MaxIniFileBytes + 1, 'x')));
    QVERIFY(macrolibrary::load("Big").isEmpty());

    QVERIFY(macrolibrary::create("Full", 0));
    QVERIFY(macrolibrary::save("Full", {"1,A", "2,A"}, 1));
    QVERIFY(!macrolibrary::save("Full", QStringList(macrolibrary::MaxSteps + 1, "0,10"), 1));
    QCOMPARE(macrolibrary::load("Full"), (QStringList{"1,A", "2,A", "1"}));
}

void TestPersistenceFiles::macroRename()
{
    TestModules tm;
    Profiles profiles;
    QVERIFY(macrolibrary::create("Old", 0));
    QVERIFY(macrolibrary::create("Taken", 0));
    profiles.at(0)->setValue("mouseMacroKey/3", "Old");
    profiles.at(0)->setValue("mouseMacroKey/7", "Old");
    profiles.at(0)->setValue("mouseMacroKey/4", "old");
    profiles.at(5)->setValue("mouseMacroKey/1", "Old");
    profiles.at(6)->setValue("mouseMacroKey/2", "Old");

    // A taken name changes nothing, neither references nor files.
    QVERIFY(!macrolibrary::rename(profiles.list, "Old", "Taken"));
    QVERIFY(!macrolibrary::rename(profiles.list, "Old", "Old"));
    QCOMPARE(profiles.text(0, "mouseMacroKey/3"), QStringLiteral("Old"));
    QVERIFY(macrolibrary::exists("Old") && macrolibrary::exists("Taken"));

    QVERIFY(macrolibrary::rename(profiles.list, "Old", "New"));
    QCOMPARE(profiles.text(0, "mouseMacroKey/3"), QStringLiteral("New"));
    QCOMPARE(profiles.text(0, "mouseMacroKey/7"), QStringLiteral("New"));
    QCOMPARE(profiles.text(0, "mouseMacroKey/4"), QStringLiteral("old"));
    QCOMPARE(profiles.text(5, "mouseMacroKey/1"), QStringLiteral("New"));
    QCOMPARE(profiles.text(6, "mouseMacroKey/2"), QStringLiteral("Old"));
    QVERIFY(!macrolibrary::exists("Old") && macrolibrary::exists("New"));
}

void TestPersistenceFiles::macroUnbind()
{
    TestModules tm;
    Profiles profiles;
    QSettings factory(profilefiles::factoryPath(), QSettings::IniFormat);
    const auto assign = [&](int slot, int key, QVariantList codes, const char *macro) {
        ini::setValue(*profiles.at(slot), QString("mouseKeyMatrix/%1").arg(key), codes);
        profiles.at(slot)->setValue(QString("mouseMacroKey/%1").arg(codes.value(2).toInt()), macro);
    };
    const auto codes = [&](int slot, int key) {
        return texts(profiles.at(slot)->value(QString("mouseKeyMatrix/%1").arg(key)));
    };
    assign(0, 2, {4, 0, 2, 0}, "M");  // runs M: reset
    assign(0, 3, {4, 1, 3, 0}, "MX"); // another macro: kept
    assign(0, 4, {1, 4, 2, 0}, "M");  // a fire key whose third code is 2: kept
    assign(0, 5, {4, 0}, "M");        // too short to name a slot: kept
    assign(5, 6, {4, 0, 6, 0}, "M");
    assign(6, 2, {4, 0, 2, 0}, "M");  // beyond the walked slots: kept

    QVERIFY(macrolibrary::unbindFromProfiles(profiles.list, &factory, "M"));
    QCOMPARE(codes(0, 2), texts(factory.value("mouseKeyMatrix/2")));
    QCOMPARE(codes(0, 3), (QStringList{"4", "1", "3", "0"}));
    QCOMPARE(codes(0, 4), (QStringList{"1", "4", "2", "0"}));
    QCOMPARE(codes(0, 5), (QStringList{"4", "0"}));
    QCOMPARE(codes(5, 6), texts(factory.value("mouseKeyMatrix/6")));
    QCOMPARE(codes(6, 2), (QStringList{"4", "0", "2", "0"}));
    QCOMPARE(profiles.text(0, "mouseMacroKey/2"), QStringLiteral("M"));
}

void TestPersistenceFiles::macroImportExport()
{
    TestModules tm;
    const QString source = tm.root() + "/in.mc";
    QVERIFY(writeFile(source, "[config]\ntotal=1\nrepeat=9\n[macro]\n0=1,Z\n"));
    QVERIFY(macrolibrary::importFrom("Fresh", source));
    QCOMPARE(macrolibrary::load("Fresh"), (QStringList{"1,Z", "9"}));

    QVERIFY(macrolibrary::create("Kept", 0));
    const QByteArray kept = contents(tm.path("macro/Kept.bin"));
    QVERIFY(macrolibrary::importFrom("Kept", source));
    QCOMPARE(contents(tm.path("macro/Kept.bin")), kept);
    QVERIFY(!macrolibrary::importFrom("NoSource", tm.root() + "/missing.mc"));
    QVERIFY(!macrolibrary::exists("NoSource"));

    const QString target = tm.root() + "/out.mc";
    QVERIFY(writeFile(target, "an older and longer export of something else\n"));
    QVERIFY(macrolibrary::exportTo("Fresh", target));
    QCOMPARE(contents(target), contents(source));
    QVERIFY(!macrolibrary::exportTo("NoSource", target));
    QCOMPARE(contents(target), contents(source));
}

void TestPersistenceFiles::nameLists()
{
    TestModules tm;
    const QString file = tm.path("setting/name.bin");
    const auto read = [](uint type) { return texts(QVariant(namelists::read(type))); };
    QCOMPARE(read(namelists::Profiles), (QStringList{"Standard0", "loadertolvik"}));

    QVERIFY(namelists::update(namelists::Macros, {"Macro_0"}));
    QCOMPARE(freshRead(file, "macro/macroName").items, (QStringList{"Macro_0", "loadertolvik"}));
    QVERIFY(namelists::update(namelists::Guns, {"M416", "AKM"}));
    QCOMPARE(freshRead(file, "gun/gunName").items, (QStringList{"M416", "AKM"}));
    QVERIFY(namelists::update(namelists::Guns, {}));
    QCOMPARE(freshRead(file, "gun/gunName").kind, Fresh::Missing);
    QVERIFY(read(namelists::Guns).isEmpty());
    QVERIFY(namelists::update(namelists::Macros, {"a,b", "c \"d\"", "e"}));
    QCOMPARE(read(namelists::Macros), (QStringList{"a,b", "c \"d\"", "e"}));

    const QByteArray before = contents(file);
    QVERIFY(namelists::update(7, {"x", "y"}));
    QCOMPARE(contents(file), before);
    QVERIFY(read(7).isEmpty());

    QVERIFY(writeFile(file, "[profile]\nprofileName=Solo0\n"));
    QVERIFY(read(namelists::Profiles).isEmpty());
}

void TestPersistenceFiles::recoilStore()
{
    TestModules tm;
    const QString file = tm.path("gun/gunData.bin");
    QVERIFY(gunstore::readSet("9").isEmpty());
    QVERIFY(gunstore::saveSet("1", {"AKM", "L-Click", 9, -2, 7, 3, "ignored"}));
    QCOMPARE(freshRead(file, "gunData/1").items, (QStringList{"AKM", "L-Click", "9", "-2", "7", "3"}));

    QVERIFY(gunstore::modify(gunstore::Rename, {"Groza", "L-Click", 8, 1, 6, 0, "M416"}));
    QCOMPARE(freshRead(file, "gunData/Groza").items, (QStringList{"L-Click", "8", "1", "6", "0"}));
    QCOMPARE(texts(gunstore::readSet("0")).value(0), QStringLiteral("M416"));
    QStringList keys = gunstore::setKeys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"0", "1", "2", "3", "4", "5", "Groza"}));
    QVERIFY(gunstore::modify(gunstore::Remove, {"Groza"}));
    QVERIFY(gunstore::readSet("Groza").isEmpty());

    Profiles profiles;
    profiles.at(0)->remove("XYSensitive");
    QCOMPARE(gunstore::xySensitive(profiles.at(0), "1").toInt(), 4);
    QCOMPARE(gunstore::selectGun(profiles.at(0), "0"), QVariant(QString()));
    gunstore::setSelectGun(profiles.at(0), "0", "AKM");
    QCOMPARE(gunstore::selectGun(profiles.at(0), "0").toString(), QStringLiteral("AKM"));
}

void TestPersistenceFiles::recoilStoreAbsentOrMisused()
{
    TestModules tm;
    const QString file = tm.path("gun/gunData.bin");
    const QByteArray before = contents(file);
    QVERIFY(!gunstore::saveSet("0", {"M416", "L-Click", 10, 0, 10}));
    QVERIFY(!gunstore::modify(gunstore::Rename, {"Groza", "L-Click", 8, 1, 6, 0}));
    QVERIFY(!gunstore::modify(gunstore::Remove, {QString()})); // would be the whole group
    QVERIFY(!gunstore::modify(5, {"0"}));
    QCOMPARE(contents(file), before);

    QVERIFY(QFile::remove(file));
    QVERIFY(!gunstore::saveSet("0", {"M416", "L-Click", 10, 0, 10, 0}));
    QVERIFY(!gunstore::modify(gunstore::Remove, {"0"}));
    QVERIFY(!QFile::exists(file));
    QVERIFY(gunstore::readSet("0").isEmpty());
    QVERIFY(gunstore::setKeys().isEmpty());
}

void TestPersistenceFiles::languageGroups()
{
    TestModules tm;
    QVERIFY(writeFile(tm.path("i18n/Test.ini"),
                      "[gap]\ntotal=3\n0=a\n2=c\n[zero]\ntotal=0\n0=x\n[none]\n0=x\n"
                      "[huge]\ntotal=1000000000\n[word]\ntotal=many\n0=x\n"
                      "[comma]\ntotal=1\n0=Hello, world\n"
                      "[scripts]\ntotal=3\n0=宏编辑器\n1=Привет\n2=مرحبا\n"));
    QCOMPARE(langstrings::read("gap", "Test"), (QStringList{"a", "", "c"}));
    QVERIFY(langstrings::read("zero", "Test").isEmpty());
    QVERIFY(langstrings::read("none", "Test").isEmpty());
    QVERIFY(langstrings::read("word", "Test").isEmpty());
    QCOMPARE(langstrings::read("huge", "Test").size(), langstrings::MaxTexts);
    QCOMPARE(langstrings::read("comma", "Test"), QStringList{"Hello, world"});
    QCOMPARE(langstrings::read("scripts", "Test"), (QStringList{"宏编辑器", "Привет", "مرحبا"}));
    QVERIFY(langstrings::read("main", "NoSuchLanguage").isEmpty());
    QVERIFY(langstrings::read("main", "../i18n/English").isEmpty());
    QVERIFY(writeFile(tm.path("i18n/Noise.ini"), noise(64 * 1024)));
    QVERIFY(langstrings::read("main", "Noise").size() <= langstrings::MaxTexts);
}

void TestPersistenceFiles::otherGroupFeedsNotificationTexts()
{
    TestModules tm;
    deviceEventTexts().reset();
    const QStringList english = langstrings::read("other", "English");
    QCOMPARE(english.size(), DeviceEventTextTable::Count);
    for (int i = 0; i < DeviceEventTextTable::Count; ++i)
        QCOMPARE(deviceEventTexts().at(i), english.at(i));

    QVERIFY(writeFile(tm.path("i18n/Short.ini"), "[other]\ntotal=3\n0=one\n1=two\n2=three\n"));
    QCOMPARE(langstrings::read("other", "Short").size(), 3);
    QCOMPARE(deviceEventTexts().at(2), QStringLiteral("three"));
    QCOMPARE(deviceEventTexts().at(3), english.at(3));
    langstrings::read("other", "NoSuchLanguage");
    QCOMPARE(deviceEventTexts().at(0), QStringLiteral("one"));
    deviceEventTexts().reset();
}

int main(int argc, char **argv)
{
    int exitCode = 1;
    if (handleFreshRead(argc, argv, &exitCode))
        return exitCode;
    QCoreApplication app(argc, argv);
    TestPersistenceFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_persistence_files.moc"
