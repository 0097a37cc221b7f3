#include "deviceeventtexts.h"
#include "fileops.h"
#include "freshread.h"
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
#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// The ten long-lived profile objects, opened as the controller opens them.
struct Slots
{
    QList<QSettings *> list;
    Slots()
    {
        for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
            list << new QSettings(profilefiles::slotPath(slot), QSettings::IniFormat);
    }
    ~Slots() { qDeleteAll(list); }
    QSettings *at(int slot) const { return list.at(slot); }
};

// Runs what the event loop would run later, deferred deletions included.
void drainEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QStringList listOf(const QVariantList &values)
{
    QStringList texts;
    for (const QVariant &v : values)
        texts << v.toString();
    return texts;
}

const QStringList unsafeNames = {
    QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../escape"),
    QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("tab\there"),
    QStringLiteral("nul") + QChar(0) + QStringLiteral("x"), QString(300, QLatin1Char('m')),
};

} // namespace

class TestPersistenceFiles : public QObject
{
    Q_OBJECT

private slots:
    // Profiles
    void exportCopiesSlotWithPendingEditsOverExistingFile();
    void exportRefusalsLeaveTargetAlone();
    void resetSlotTakesFactoryContentAndLeavesFactoryAlone();
    void copySlotCopiesExactlyBothWays();
    void copySlotRefusesEqualAndOutOfRangeSlots();
    void failedReplaceKeepsOldProfile();
    void replacingFromOwnFileKeepsIt();
    void oneElementListReadsBackAsPlainString();
    void replacedFileIsNeverTakenForCachedContent();

    // Macros
    void macroStepsRoundTrip();
    void missingMacroIsEmptyAndNotCreated();
    void unsafeMacroNamesAreRefusedEverywhere();
    void macroReadsAreBounded();
    void renameUpdatesSlotsZeroToFive();
    void renameToTakenNameChangesNothing();
    void unbindResetsOnlyKeysRunningThatMacro();
    void importAndExportMacro();

    // Name lists
    void nameListPadding();
    void nameListStorageForms();
    void unknownNameListTypeWritesNothing();

    // Recoil store
    void recoilStoreAbsentIsNeverCreated();
    void recoilSetsByPositionAndName();
    void recoilShortListsAndEmptyNamesRefused();
    void aimEntriesHaveDefaults();

    // Language files
    void languageGroupsReadDefensively();
    void languageTextsKeepTheirScript();
    void otherGroupFeedsNotificationTexts();
};

// ---------------------------------------------------------------- profiles

void TestPersistenceFiles::exportCopiesSlotWithPendingEditsOverExistingFile()
{
    TestModules tm;
    QVERIFY(tm.isValid());
    Slots profiles;
    const QString target = tm.root() + "/export.pf";
    QVERIFY(writeFile(target, "old export that is much longer than nothing\n"));

    profiles.at(2)->setValue("mouse/mouseRate", 99); // not yet flushed
    QVERIFY(profilefiles::exportSlot(profiles.list, 2, target));
    QCOMPARE(contents(target), contents(tm.path("setting/p3.bin")));
    QCOMPARE(FreshRead::read(target, "mouse/mouseRate").text, QStringLiteral("99"));
}

void TestPersistenceFiles::exportRefusalsLeaveTargetAlone()
{
    TestModules tm;
    Slots profiles;
    const QString target = tm.root() + "/keep.pf";
    QVERIFY(writeFile(target, "[keep]\nme=1\n"));

    QVERIFY(!profilefiles::exportSlot(profiles.list, 10, target));
    QVERIFY(!profilefiles::exportSlot(profiles.list, -1, target));
    QVERIFY(QFile::remove(tm.path("setting/p4.bin")));
    QVERIFY(!profilefiles::exportSlot(profiles.list, 3, target));
    QCOMPARE(contents(target), QByteArray("[keep]\nme=1\n"));
}

void TestPersistenceFiles::resetSlotTakesFactoryContentAndLeavesFactoryAlone()
{
    TestModules tm;
    Slots profiles;
    const QByteArray factory = contents(tm.path("setting/pD.bin"));
    // Same length as the factory value: only the time stamp tells them apart.
    profiles.at(1)->setValue("mouse/dpiCount", 3);
    profiles.at(1)->sync();
    profiles.at(1)->setValue("mouse/scrollRate", 7); // pending at the reset

    QVERIFY(profilefiles::resetSlot(profiles.list, 1));
    QCOMPARE(profiles.at(1)->value("mouse/dpiCount").toString(), QStringLiteral("6"));
    QCOMPARE(profiles.at(1)->value("mouse/scrollRate").toString(), QStringLiteral("3"));
    drainEvents();
    QCOMPARE(contents(tm.path("setting/p2.bin")), factory);
    QCOMPARE(contents(tm.path("setting/pD.bin")), factory);
    QCOMPARE(FreshRead::read(tm.path("setting/p2.bin"), "mouse/scrollRate").text, QStringLiteral("3"));
}

void TestPersistenceFiles::copySlotCopiesExactlyBothWays()
{
    TestModules tm;
    Slots profiles;
    profiles.at(0)->setValue("mouse/mouseRate", 11);
    profiles.at(3)->setValue("mouse/doubleRate", 44);
    profiles.at(3)->setValue("extra/onlyInFour", "x");

    QVERIFY(profilefiles::copySlot(profiles.list, 0, 3));
    QCOMPARE(contents(tm.path("setting/p1.bin")), contents(tm.path("setting/p4.bin")));
    QCOMPARE(profiles.at(0)->value("extra/onlyInFour").toString(), QStringLiteral("x"));
    QCOMPARE(profiles.at(0)->value("mouse/mouseRate").toString(), QStringLiteral("172"));

    profiles.at(0)->setValue("mouse/mouseRate", 22);
    QVERIFY(profilefiles::copySlot(profiles.list, 3, 0));
    QCOMPARE(contents(tm.path("setting/p4.bin")), contents(tm.path("setting/p1.bin")));
    QCOMPARE(profiles.at(3)->value("mouse/mouseRate").toString(), QStringLiteral("22"));
}

void TestPersistenceFiles::copySlotRefusesEqualAndOutOfRangeSlots()
{
    TestModules tm;
    Slots profiles;
    const QByteArray before = contents(tm.path("setting/p3.bin"));
    QSettings *object = profiles.at(2);
    QVERIFY(!profilefiles::copySlot(profiles.list, 2, 2));
    QVERIFY(!profilefiles::copySlot(profiles.list, 10, 2));
    QVERIFY(!profilefiles::copySlot(profiles.list, 2, -1));
    QVERIFY(!profilefiles::resetSlot(profiles.list, 10));
    QCOMPARE(profiles.at(2), object);
    QCOMPARE(contents(tm.path("setting/p3.bin")), before);
}

void TestPersistenceFiles::failedReplaceKeepsOldProfile()
{
    TestModules tm;
    Slots profiles;
    profiles.at(4)->setValue("mouse/mouseRate", 55); // pending, must survive
    const QString directory = tm.root() + "/not-a-file.pf";
    QVERIFY(QDir().mkpath(directory));

    QVERIFY(!profilefiles::replaceSlot(profiles.list, 4, directory));
    QVERIFY(!profilefiles::replaceSlot(profiles.list, 4, tm.root() + "/missing.pf"));
    QVERIFY(profiles.at(4));
    QCOMPARE(profiles.at(4)->value("mouse/mouseRate").toString(), QStringLiteral("55"));
    QCOMPARE(profiles.at(4)->value("mouse/dpiCount").toString(), QStringLiteral("6"));
    drainEvents();
    QCOMPARE(FreshRead::read(tm.path("setting/p5.bin"), "mouse/mouseRate").text, QStringLiteral("55"));
}

void TestPersistenceFiles::replacingFromOwnFileKeepsIt()
{
    TestModules tm;
    Slots profiles;
    const QByteArray before = contents(tm.path("setting/p5.bin"));
    QVERIFY(profilefiles::replaceSlot(profiles.list, 4, tm.path("setting/p5.bin")));
    QVERIFY(profilefiles::replaceSlot(profiles.list, 4, "./modules/setting/../setting/p5.bin"));
    QCOMPARE(contents(tm.path("setting/p5.bin")), before);
    QCOMPARE(profiles.at(4)->value("mouse/dpiCount").toString(), QStringLiteral("6"));
}

void TestPersistenceFiles::oneElementListReadsBackAsPlainString()
{
    TestModules tm;
    Slots profiles;
    ini::setValue(*profiles.at(0), "mouse/lightValue", QVariantList{7});
    profiles.at(0)->sync();
    const FreshRead::Value stored = FreshRead::read(tm.path("setting/p1.bin"), "mouse/lightValue");
    QCOMPARE(stored.kind, FreshRead::Value::Text);
    QCOMPARE(stored.text, QStringLiteral("7"));
    QVERIFY(ini::toList(QVariant(stored.text)).isEmpty());
}

void TestPersistenceFiles::replacedFileIsNeverTakenForCachedContent()
{
    // QSettings re-reads a file only when its size or time changed. Copies
    // of equal size often land in the same millisecond as the last write;
    // repeat until that case has surely come up.
    TestModules tm;
    const QString target = tm.path("setting/p9.bin");
    const QString source = tm.root() + "/source.pf";
    QVERIFY(writeFile(source, "[mouse]\nmouseRate=1\n"));
    for (int round = 0; round < 400; ++round) {
        {
            QSettings before(target, QSettings::IniFormat);
            before.clear();
            before.setValue("mouse/mouseRate", 2);
        }
        QVERIFY(fileops::replaceWithCopy(source, target));
        const QSettings after(target, QSettings::IniFormat);
        QCOMPARE(after.value("mouse/mouseRate").toInt(), 1);
    }
}

// ------------------------------------------------------------------ macros

void TestPersistenceFiles::macroStepsRoundTrip()
{
    TestModules tm;
    QVERIFY(macrolibrary::create("Macro_0", 0));
    QCOMPARE(macrolibrary::load("Macro_0"), QStringList{"1"});

    const QStringList five = {"1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"};
    QVERIFY(macrolibrary::save("Macro_0", five, 2));
    QCOMPARE(macrolibrary::load("Macro_0"), five + QStringList{"2"});

    const QStringList three = {"1,B", "0,30", "2,B"};
    QVERIFY(macrolibrary::save("Macro_0", three, 5));
    const QString file = tm.path("macro/Macro_0.bin");
    QCOMPARE(FreshRead::read(file, "config/total").text, QStringLiteral("3"));
    QCOMPARE(FreshRead::read(file, "macro/2").text, QStringLiteral("2,B"));
    QCOMPARE(FreshRead::read(file, "macro/3").kind, FreshRead::Value::Missing);
    QCOMPARE(FreshRead::read(file, "macro/4").kind, FreshRead::Value::Missing);
    QCOMPARE(FreshRead::read(file, "config/did").text, QStringLiteral("-1"));

    QVERIFY(macrolibrary::save("Macro_0", {}, 1));
    QCOMPARE(FreshRead::read(file, "config/total").text, QStringLiteral("0"));
    QCOMPARE(FreshRead::read(file, "macro/0").kind, FreshRead::Value::Missing);
    QCOMPARE(macrolibrary::load("Macro_0"), QStringList{"1"});
}

void TestPersistenceFiles::missingMacroIsEmptyAndNotCreated()
{
    TestModules tm;
    QVERIFY(macrolibrary::load("Nothing").isEmpty());
    QVERIFY(!macrolibrary::save("Nothing", {"1,A"}, 1));
    QVERIFY(!macrolibrary::remove("Nothing"));
    QVERIFY(!QFile::exists(tm.path("macro/Nothing.bin")));

    QVERIFY(macrolibrary::create("Gone", 0));
    QVERIFY(macrolibrary::remove("Gone"));
    QVERIFY(!QFile::exists(tm.path("macro/Gone.bin")));
    QVERIFY(macrolibrary::load("Gone").isEmpty());
}

void TestPersistenceFiles::unsafeMacroNamesAreRefusedEverywhere()
{
    TestModules tm;
    Slots profiles;
    QVERIFY(macrolibrary::create("Good", 0));
    const QString source = tm.root() + "/in.mc";
    QVERIFY(writeFile(source, "[config]\ntotal=0\nrepeat=1\n"));
    const QString target = tm.root() + "/out.mc";
    QVERIFY(writeFile(target, "keep"));
    const QStringList before = QDir(tm.root() + "/modules").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    for (const QString &name : unsafeNames) {
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
    QVERIFY(macrolibrary::exists("Good"));
    QCOMPARE(contents(target), QByteArray("keep"));
    QCOMPARE(QDir(tm.root() + "/modules").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(QDir(tm.root() + "/modules/macro").entryList(QDir::Files), QStringList{"Good.bin"});
}

void TestPersistenceFiles::macroReadsAreBounded()
{
    TestModules tm;
    const QString file = tm.path("macro/Big.bin");
    QVERIFY(writeFile(file, "[config]\ntotal=1000000000\nrepeat=3\n[macro]\n0=1,A\n"));
    const QStringList capped = macrolibrary::load("Big");
    QCOMPARE(capped.size(), macrolibrary::MaxSteps + 1);
    QCOMPARE(capped.first(), QStringLiteral("1,A"));
    QCOMPARE(capped.at(1), QStringLiteral("0"));
    QCOMPARE(capped.last(), QStringLiteral("3"));

    QVERIFY(writeFile(file, "[config]\ntotal=lots\n"));
    QCOMPARE(macrolibrary::load("Big"), QStringList{"0"});

    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator gen(7);
    for (char &c : noise)
        c = char(gen.bounded(256));
    QVERIFY(writeFile(file, noise));
    QVERIFY(macrolibrary::load("Big").size() <= macrolibrary::MaxSteps + 1);

    QVERIFY(writeFile(file, QByteArray(fileops::MaxIniFileBytes + 1, 'x')));
    QVERIFY(macrolibrary::load("Big").isEmpty());

    // A step list beyond what the file may hold is refused, the old one kept.
    QVERIFY(macrolibrary::create("Full", 0));
    QVERIFY(macrolibrary::save("Full", {"1,A", "2,A"}, 1));
    QStringList tooMany;
    for (int i = 0; i <= macrolibrary::MaxSteps; ++i)
        tooMany << "0,10";
    QVERIFY(!macrolibrary::save("Full", tooMany, 1));
    QCOMPARE(macrolibrary::load("Full"), (QStringList{"1,A", "2,A", "1"}));
}

void TestPersistenceFiles::renameUpdatesSlotsZeroToFive()
{
    TestModules tm;
    Slots profiles;
    QVERIFY(macrolibrary::create("Old", 0));
    QVERIFY(macrolibrary::save("Old", {"1,A", "2,A"}, 4));
    profiles.at(0)->setValue("mouseMacroKey/3", "Old");
    profiles.at(0)->setValue("mouseMacroKey/7", "Old");
    profiles.at(0)->setValue("mouseMacroKey/4", "old");
    profiles.at(5)->setValue("mouseMacroKey/1", "Old");
    profiles.at(6)->setValue("mouseMacroKey/2", "Old");

    QVERIFY(macrolibrary::rename(profiles.list, "Old", "New"));
    QCOMPARE(profiles.at(0)->value("mouseMacroKey/3").toString(), QStringLiteral("New"));
    QCOMPARE(profiles.at(0)->value("mouseMacroKey/7").toString(), QStringLiteral("New"));
    QCOMPARE(profiles.at(0)->value("mouseMacroKey/4").toString(), QStringLiteral("old"));
    QCOMPARE(profiles.at(5)->value("mouseMacroKey/1").toString(), QStringLiteral("New"));
    QCOMPARE(profiles.at(6)->value("mouseMacroKey/2").toString(), QStringLiteral("Old"));
    QVERIFY(!macrolibrary::exists("Old"));
    QCOMPARE(macrolibrary::load("New"), (QStringList{"1,A", "2,A", "4"}));
}

void TestPersistenceFiles::renameToTakenNameChangesNothing()
{
    TestModules tm;
    Slots profiles;
    QVERIFY(macrolibrary::create("A", 0));
    QVERIFY(macrolibrary::create("B", 0));
    QVERIFY(macrolibrary::save("B", {"1,B", "2,B"}, 1));
    profiles.at(0)->setValue("mouseMacroKey/2", "A");

    QVERIFY(!macrolibrary::rename(profiles.list, "A", "B"));
    QVERIFY(!macrolibrary::rename(profiles.list, "A", "A"));
    QCOMPARE(profiles.at(0)->value("mouseMacroKey/2").toString(), QStringLiteral("A"));
    QCOMPARE(macrolibrary::load("A"), QStringList{"1"});
    QCOMPARE(macrolibrary::load("B"), (QStringList{"1,B", "2,B", "1"}));
}

void TestPersistenceFiles::unbindResetsOnlyKeysRunningThatMacro()
{
    TestModules tm;
    Slots profiles;
    QSettings factory(profilefiles::factoryPath(), QSettings::IniFormat);
    const auto assign = [](QSettings *s, int key, QVariantList codes) {
        ini::setValue(*s, QStringLiteral("mouseKeyMatrix/%1").arg(key), codes);
    };
    const auto codes = [](QSettings *s, int key) {
        return listOf(ini::toList(s->value(QStringLiteral("mouseKeyMatrix/%1").arg(key))));
    };
    QSettings *p0 = profiles.at(0);
    p0->setValue("mouseMacroKey/2", "M");
    p0->setValue("mouseMacroKey/3", "MX");
    assign(p0, 2, {4, 0, 2, 0});  // runs M: reset
    assign(p0, 3, {4, 1, 3, 0});  // runs MX: kept
    assign(p0, 4, {1, 4, 2, 0});  // fire key that happens to carry 2: kept
    assign(p0, 5, {4, 0});        // too short to name a slot: kept
    assign(profiles.at(5), 6, {4, 0, 2, 0});
    profiles.at(5)->setValue("mouseMacroKey/2", "M");
    assign(profiles.at(6), 2, {4, 0, 2, 0});
    profiles.at(6)->setValue("mouseMacroKey/2", "M");

    QVERIFY(macrolibrary::unbindFromProfiles(profiles.list, &factory, "M"));
    QCOMPARE(codes(p0, 2), listOf(ini::toList(factory.value("mouseKeyMatrix/2"))));
    QCOMPARE(codes(p0, 3), (QStringList{"4", "1", "3", "0"}));
    QCOMPARE(codes(p0, 4), (QStringList{"1", "4", "2", "0"}));
    QCOMPARE(codes(p0, 5), (QStringList{"4", "0"}));
    QCOMPARE(codes(profiles.at(5), 6), listOf(ini::toList(factory.value("mouseKeyMatrix/6"))));
    QCOMPARE(codes(profiles.at(6), 2), (QStringList{"4", "0", "2", "0"}));
    QCOMPARE(p0->value("mouseMacroKey/2").toString(), QStringLiteral("M"));
    // The empty name of an unbound slot is no macro name.
    assign(p0, 9, {4, 0, 11, 0});
    QVERIFY(!macrolibrary::unbindFromProfiles(profiles.list, &factory, QString()));
    QCOMPARE(codes(p0, 9), (QStringList{"4", "0", "11", "0"}));
}

void TestPersistenceFiles::importAndExportMacro()
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

// -------------------------------------------------------------- name lists

void TestPersistenceFiles::nameListPadding()
{
    TestModules tm;
    const QString file = tm.path("setting/name.bin");
    QVERIFY(namelists::update(namelists::Macros, {"Macro_0"}));
    const FreshRead::Value stored = FreshRead::read(file, "macro/macroName");
    QCOMPARE(stored.kind, FreshRead::Value::List);
    QCOMPARE(stored.items, (QStringList{"Macro_0", "loadertolvik"}));
    QCOMPARE(listOf(namelists::read(namelists::Macros)), (QStringList{"Macro_0", "loadertolvik"}));
    QCOMPARE(listOf(namelists::read(namelists::Profiles)), (QStringList{"Standard0", "loadertolvik"}));
}

void TestPersistenceFiles::nameListStorageForms()
{
    TestModules tm;
    const QString file = tm.path("setting/name.bin");
    QVERIFY(namelists::update(namelists::Guns, {"M416", "AKM"}));
    QCOMPARE(FreshRead::read(file, "gun/gunName").items, (QStringList{"M416", "AKM"}));

    QVERIFY(namelists::update(namelists::Guns, {}));
    QCOMPARE(FreshRead::read(file, "gun/gunName").kind, FreshRead::Value::Missing);
    QVERIFY(namelists::read(namelists::Guns).isEmpty());

    QVERIFY(namelists::update(namelists::Macros, {"a,b", "c \"d\"", "e"}));
    QCOMPARE(listOf(namelists::read(namelists::Macros)), (QStringList{"a,b", "c \"d\"", "e"}));

    QVERIFY(writeFile(file, "[profile]\nprofileName=Solo0\n"));
    QVERIFY(namelists::read(namelists::Profiles).isEmpty());
}

void TestPersistenceFiles::unknownNameListTypeWritesNothing()
{
    TestModules tm;
    const QByteArray before = contents(tm.path("setting/name.bin"));
    QVERIFY(namelists::update(7, {"x", "y"}));
    QVERIFY(namelists::update(uint(-1), {"x"}));
    QCOMPARE(contents(tm.path("setting/name.bin")), before);
    QVERIFY(namelists::read(7).isEmpty());
}

// ------------------------------------------------------------ recoil store

void TestPersistenceFiles::recoilStoreAbsentIsNeverCreated()
{
    TestModules tm;
    const QString file = tm.path("gun/gunData.bin");
    QVERIFY(QFile::remove(file));
    QVERIFY(!gunstore::saveSet("0", {"M416", "L-Click", 10, 0, 10, 0}));
    QVERIFY(!gunstore::modify(gunstore::Rename, {"X", "L-Click", 10, 0, 10, 0, "M416"}));
    QVERIFY(!gunstore::modify(gunstore::Remove, {"0"}));
    QVERIFY(!QFile::exists(file));
    QVERIFY(gunstore::readSet("0").isEmpty());
    QVERIFY(gunstore::setKeys().isEmpty());
}

void TestPersistenceFiles::recoilSetsByPositionAndName()
{
    TestModules tm;
    const QString file = tm.path("gun/gunData.bin");
    QVERIFY(gunstore::readSet("9").isEmpty());
    QCOMPARE(listOf(gunstore::readSet("1")), (QStringList{"AKM", "L-Click", "10", "0", "10", "0"}));

    QVERIFY(gunstore::saveSet("1", {"AKM", "L-Click", 9, -2, 7, 3, "ignored"}));
    QCOMPARE(FreshRead::read(file, "gunData/1").items, (QStringList{"AKM", "L-Click", "9", "-2", "7", "3"}));

    QVERIFY(gunstore::modify(gunstore::Rename, {"Groza", "L-Click", 8, 1, 6, 0, "M416"}));
    QCOMPARE(FreshRead::read(file, "gunData/Groza").items, (QStringList{"L-Click", "8", "1", "6", "0"}));
    QCOMPARE(FreshRead::read(file, "gunData/0").items.first(), QStringLiteral("M416"));
    QStringList keys = gunstore::setKeys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"0", "1", "2", "3", "4", "5", "Groza"}));

    QVERIFY(gunstore::modify(gunstore::Remove, {"Groza"}));
    QVERIFY(gunstore::readSet("Groza").isEmpty());
    QVERIFY(!gunstore::modify(5, {"0"}));
    QCOMPARE(gunstore::setKeys().size(), 6);
}

void TestPersistenceFiles::recoilShortListsAndEmptyNamesRefused()
{
    TestModules tm;
    const QByteArray before = contents(tm.path("gun/gunData.bin"));
    QVERIFY(!gunstore::saveSet("0", {"M416", "L-Click", 10, 0, 10}));
    QVERIFY(!gunstore::modify(gunstore::Rename, {"Groza", "L-Click", 8, 1, 6, 0}));
    QVERIFY(!gunstore::modify(gunstore::Remove, {}));
    QVERIFY(!gunstore::modify(gunstore::Remove, {QString()})); // would be the whole group
    QVERIFY(!gunstore::saveSet("a/b", {"M416", "L-Click", 10, 0, 10, 0}));
    QCOMPARE(contents(tm.path("gun/gunData.bin")), before);
}

void TestPersistenceFiles::aimEntriesHaveDefaults()
{
    TestModules tm;
    Slots profiles;
    profiles.at(0)->remove("XYSensitive");
    QCOMPARE(gunstore::xySensitive(profiles.at(0), "1").toInt(), 4);
    QCOMPARE(gunstore::selectGun(profiles.at(0), "0"), QVariant(QString()));
    gunstore::setXYSensitive(profiles.at(0), "1", 9);
    gunstore::setSelectGun(profiles.at(0), "0", "AKM");
    QCOMPARE(gunstore::xySensitive(profiles.at(0), "1").toInt(), 9);
    QCOMPARE(gunstore::selectGun(profiles.at(0), "0").toString(), QStringLiteral("AKM"));
    QCOMPARE(gunstore::xySensitive(profiles.at(1), "1").toInt(), 4);
}

// ---------------------------------------------------------- language files

void TestPersistenceFiles::languageGroupsReadDefensively()
{
    TestModules tm;
    QVERIFY(writeFile(tm.path("i18n/Test.ini"),
                      "[gap]\ntotal=3\n0=a\n2=c\n"
                      "[zero]\ntotal=0\n0=never\n"
                      "[none]\n0=never\n"
                      "[huge]\ntotal=1000000000\n0=first\n"
                      "[word]\ntotal=many\n0=never\n"
                      "[comma]\ntotal=1\n0=Hello, world\n"));
    QCOMPARE(langstrings::read("gap", "Test"), (QStringList{"a", "", "c"}));
    QVERIFY(langstrings::read("zero", "Test").isEmpty());
    QVERIFY(langstrings::read("none", "Test").isEmpty());
    QVERIFY(langstrings::read("absent", "Test").isEmpty());
    QVERIFY(langstrings::read("word", "Test").isEmpty());
    QCOMPARE(langstrings::read("huge", "Test").size(), langstrings::MaxTexts);
    QCOMPARE(langstrings::read("comma", "Test"), QStringList{"Hello, world"});
    QVERIFY(langstrings::read("main", "NoSuchLanguage").isEmpty());
    QVERIFY(langstrings::read("main", "../i18n/English").isEmpty());

    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator gen(11);
    for (char &c : noise)
        c = char(gen.bounded(256));
    QVERIFY(writeFile(tm.path("i18n/Noise.ini"), noise));
    QVERIFY(langstrings::read("main", "Noise").size() <= langstrings::MaxTexts);
}

void TestPersistenceFiles::languageTextsKeepTheirScript()
{
    TestModules tm;
    const QString texts[] = {QStringLiteral("宏编辑器"), QStringLiteral("Привет"),
                             QStringLiteral("مرحبا"), QStringLiteral("ÄÖÜ ß €")};
    QByteArray file = "[g]\ntotal=4\n";
    for (int i = 0; i < 4; ++i)
        file += QByteArray::number(i) + '=' + texts[i].toUtf8() + '\n';
    QVERIFY(writeFile(tm.path("i18n/Mixed.ini"), file));
    const QStringList read = langstrings::read("g", "Mixed");
    QCOMPARE(read, (QStringList{texts[0], texts[1], texts[2], texts[3]}));
    QCOMPARE(langstrings::read("main", "ChineseSimplified").value(1), QStringLiteral("宏编辑器"));
}

void TestPersistenceFiles::otherGroupFeedsNotificationTexts()
{
    TestModules tm;
    deviceEventTexts().reset();
    for (int i = 0; i < DeviceEventTextTable::Count; ++i)
        QCOMPARE(deviceEventTexts().at(i), QStringLiteral("DPI Switch to"));

    const QStringList english = langstrings::read("other", "English");
    QCOMPARE(english.size(), DeviceEventTextTable::Count);
    for (int i = 0; i < DeviceEventTextTable::Count; ++i)
        QCOMPARE(deviceEventTexts().at(i), english.at(i));

    QVERIFY(writeFile(tm.path("i18n/Short.ini"), "[other]\ntotal=3\n0=one\n1=two\n2=three\n"));
    QCOMPARE(langstrings::read("other", "Short").size(), 3);
    QCOMPARE(deviceEventTexts().at(2), QStringLiteral("three"));
    QCOMPARE(deviceEventTexts().at(3), english.at(3));
    QCOMPARE(deviceEventTexts().at(7), english.at(7));

    // Other groups and missing files leave the table alone.
    langstrings::read("main", "Short");
    langstrings::read("other", "NoSuchLanguage");
    QCOMPARE(deviceEventTexts().at(0), QStringLiteral("one"));
    deviceEventTexts().reset();
}

int main(int argc, char **argv)
{
    int exitCode = 1;
    if (FreshRead::handle(argc, argv, &exitCode))
        return exitCode;
    QCoreApplication app(argc, argv);
    TestPersistenceFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_persistence_files.moc"
