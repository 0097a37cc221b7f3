#include "fileops.h"
#include "filetestutil.h"
#include "gunstore.h"
#include "inivalue.h"
#include "langstrings.h"
#include "macrolibrary.h"
#include "namelists.h"
#include "profilefiles.h"
#include "testmodules.h"

#include <QDir>
#include <QtTest>

using namespace filetest;

namespace {

// A private runtime folder and the ten long-lived profile objects, opened as
// the controller opens them.
struct Fixture
{
    TestModules tm;
    QList<QSettings *> list;
    Fixture()
    {
        for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
            list << new QSettings(profilefiles::slotPath(slot), QSettings::IniFormat);
    }
    ~Fixture() { qDeleteAll(list); }
    QString text(int slot, const QString &key) const { return list.at(slot)->value(key).toString(); }
    QByteArray file(const QString &relative) const { return contents(tm.path(relative)); }
};

} // namespace

class TestPersistenceFiles : public QObject
{
    Q_OBJECT

private slots:
    // An edit pending at a reset does not land; one pending at a copy goes
    // with it. An import or export that cannot be made leaves the profile,
    // its pending edit and the chosen file as they were.
    void replaceSlots()
    {
        Fixture f;
        f.list[1]->setValue("mouse/scrollRate", 7);
        QVERIFY(profilefiles::resetSlot(f.list, 1));
        QCOMPARE(f.text(1, "mouse/scrollRate"), QStringLiteral("3"));
        drainEvents();
        QCOMPARE(f.file("setting/p2.bin"), f.file("setting/pD.bin"));
        f.list[0]->setValue("mouse/mouseRate", 23);
        QVERIFY(profilefiles::copySlot(f.list, 3, 0));
        QCOMPARE(f.file("setting/p4.bin"), f.file("setting/p1.bin"));
        QCOMPARE(f.text(3, "mouse/mouseRate"), QStringLiteral("23"));

        f.list[4]->setValue("mouse/mouseRate", 55);
        QVERIFY(QDir().mkpath(f.tm.root() + "/folder.pf"));
        QVERIFY(writeFile(f.tm.root() + "/huge.pf", QByteArray(fileops::MaxIniFileBytes + 1, ';')));
        for (const char *bad : {"/folder.pf", "/missing.pf", "/huge.pf"})
            QVERIFY2(!profilefiles::replaceSlot(f.list, 4, f.tm.root() + bad), bad);
        QCOMPARE(f.text(4, "mouse/mouseRate"), QStringLiteral("55"));
        const QString target = f.tm.root() + "/export.pf";
        QVERIFY(writeFile(target, "keep") && QFile::remove(f.tm.path("setting/p6.bin")));
        QVERIFY(!profilefiles::exportSlot(f.list, 5, target));
        QCOMPARE(contents(target), QByteArray("keep"));
    }

    void replacedFileIsNeverTakenForCachedContent()
    {
        // QSettings re-reads a file only when its size or time changed, and a
        // copy of equal size often lands in the millisecond of the last write:
        // repeat until that case has surely come up.
        TestModules tm;
        const QString target = tm.path("setting/p9.bin"), source = tm.root() + "/source.pf";
        QVERIFY(writeFile(source, "[mouse]\nmouseRate=1\n"));
        for (int round = 0; round < 200; ++round) {
            QSettings(target, QSettings::IniFormat).setValue("mouse/mouseRate", 2);
            QVERIFY(fileops::replaceWithCopy(source, target));
            QCOMPARE(QSettings(target, QSettings::IniFormat).value("mouse/mouseRate").toInt(), 1);
        }
    }

    // A shorter save drops the old steps; too many steps are refused. A file
    // holds more steps than the mouse takes, or fewer than it counts, or
    // gaps (read as "0"): what it holds is read.
    void macroSteps()
    {
        TestModules tm;
        const QString file = tm.path("macro/M.bin");
        QVERIFY(macrolibrary::create("M", 0));
        QVERIFY(macrolibrary::save("M", {"1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"}, 2));
        QVERIFY(macrolibrary::save("M", {"1,B", "0,30", "2,B"}, 5));
        QCOMPARE(freshRead(file, "macro/3"), QVariant());
        QVERIFY(!macrolibrary::save("M", QStringList(macrolibrary::MaxSteps + 1, "0,10"), 1));
        QCOMPARE(macrolibrary::load("M"), (QStringList{"1,B", "0,30", "2,B", "5"}));
        QByteArray longMacro = "[config]\ntotal=300\nrepeat=1\n[macro]\n";
        for (int i = 0; i < 300; ++i)
            longMacro += QByteArray::number(i) + "=2,A\n";
        QVERIFY(writeFile(file, longMacro));
        QCOMPARE(macrolibrary::load("M"), QStringList(300, "2,A") << "1");
        QVERIFY(writeFile(file, "[config]\ntotal=1000000000\nrepeat=3\n[macro]\n0=1,A\n2=2,A\n"));
        QCOMPARE(macrolibrary::load("M"), (QStringList{"1,A", "0", "2,A", "3"}));
    }

    void unsafeMacroNamesAreRefusedEverywhere()
    {
        Fixture f;
        QVERIFY(macrolibrary::create("Good", 0));
        const QString source = f.tm.root() + "/in.mc", target = f.tm.root() + "/out.mc";
        QVERIFY(writeFile(source, "[config]\ntotal=0\n") && writeFile(target, "keep"));
        for (const QString &name : {QString(), QString(".."), QString("../escape"), QString("a\\b"), QString(300, 'm')})
            QVERIFY2(!macrolibrary::create(name, 0) && !macrolibrary::save(name, {"1,A"}, 1)
                         && !macrolibrary::remove(name) && !macrolibrary::rename(f.list, name, "Other")
                         && !macrolibrary::rename(f.list, "Good", name) && !macrolibrary::importFrom(name, source)
                         && !macrolibrary::exportTo(name, target),
                     qPrintable(name));
        QCOMPARE(contents(target), QByteArray("keep"));
        QCOMPARE(QDir(f.tm.path("macro")).entryList(QDir::Files), QStringList{"Good.bin"});
    }

    void macroRenameAndUnbind()
    {
        Fixture f;
        QVERIFY(macrolibrary::create("Old", 0) && macrolibrary::create("Taken", 0));
        const auto ref = [&](int slot) { return f.text(slot, "mouseMacroKey/3"); };
        for (int slot : {0, 5, 6})
            f.list[slot]->setValue("mouseMacroKey/3", "Old");
        // A taken name changes nothing, neither references nor files.
        QVERIFY(!macrolibrary::rename(f.list, "Old", "Taken"));
        QVERIFY(ref(0) == "Old" && macrolibrary::exists("Old") && macrolibrary::exists("Taken"));
        QVERIFY(macrolibrary::rename(f.list, "Old", "New"));
        QCOMPARE(QStringList({ref(0), ref(5), ref(6)}), (QStringList{"New", "New", "Old"}));
        QVERIFY(!macrolibrary::exists("Old") && macrolibrary::exists("New"));

        // Unbinding resets only the keys that run exactly that macro.
        QSettings factory(profilefiles::factoryPath(), QSettings::IniFormat);
        const auto key = [](int k) { return QString("mouseKeyMatrix/%1").arg(k); };
        const auto assign = [&](int slot, int k, QVariantList codes, const char *macro) {
            ini::setValue(*f.list[slot], key(k), codes);
            f.list[slot]->setValue(QString("mouseMacroKey/%1").arg(codes.value(2).toInt()), macro);
        };
        assign(0, 2, {4, 0, 2, 0}, "M");  // runs M: reset
        assign(0, 3, {4, 1, 3, 0}, "MX"); // another macro: kept
        assign(0, 4, {1, 4, 2, 0}, "M");  // a fire key whose third code is 2: kept
        assign(6, 2, {4, 0, 2, 0}, "M");  // beyond the walked slots: kept
        assign(1, 5, {4, 0, 5, 0}, "A/B"); // no file could have this name
        QVERIFY(macrolibrary::unbindFromProfiles(f.list, &factory, "M"));
        QCOMPARE(f.list[0]->value(key(2)).toStringList(), factory.value(key(2)).toStringList());
        QCOMPARE(f.list[0]->value(key(3)).toStringList(), (QStringList{"4", "1", "3", "0"}));
        QCOMPARE(f.list[0]->value(key(4)).toStringList(), (QStringList{"1", "4", "2", "0"}));
        QCOMPARE(f.list[6]->value(key(2)).toStringList(), (QStringList{"4", "0", "2", "0"}));
        QVERIFY(!macrolibrary::unbindFromProfiles(f.list, &factory, QString()));
        QVERIFY(macrolibrary::unbindFromProfiles(f.list, &factory, "A/B"));
        QCOMPARE(f.list[1]->value(key(5)).toStringList(), factory.value(key(5)).toStringList());
    }

    void listsInTheIniFormat()
    {
        Fixture f;
        const QString file = f.tm.path("setting/name.bin");
        const auto read = [](uint type) { return QVariant(namelists::read(type)).toStringList(); };
        QVERIFY(namelists::update(namelists::Macros, {"Macro_0"}));
        QCOMPARE(freshRead(file, "macro/macroName"), QVariant(QStringList{"Macro_0", "loadertolvik"}));
        QCOMPARE(read(namelists::Macros), (QStringList{"Macro_0", "loadertolvik"}));
        QVERIFY(namelists::update(namelists::Guns, {"M416", "AKM"}));
        QCOMPARE(freshRead(file, "gun/gunName"), QVariant(QStringList{"M416", "AKM"}));
        QVERIFY(namelists::update(namelists::Guns, {}));
        QCOMPARE(freshRead(file, "gun/gunName"), QVariant());
        const QByteArray before = contents(file);
        QVERIFY(namelists::update(7, {"x", "y"}));
        QCOMPARE(contents(file), before);
        QVERIFY(writeFile(file, "[profile]\nprofileName=Solo0\n"));
        QVERIFY(read(namelists::Profiles).isEmpty());
        // A list written as it is stored leaves the file alone (a rewrite
        // would drop the comment), also an absent one written empty.
        const QByteArray same = "; kept\n[profile]\nprofileName=Standard0, Work1\n[macro]\nmacroName=A, loadertolvik\n";
        QVERIFY(writeFile(file, same));
        QVERIFY(namelists::update(namelists::Profiles, {"Standard0", "Work1"}));
        QVERIFY(namelists::update(namelists::Macros, {"A"}));
        QVERIFY(namelists::update(namelists::Guns, {}));
        QCOMPARE(contents(file), same);

        // A one-element list in a profile is stored as a plain value.
        ini::setValue(*f.list[0], "mouse/lightValue", QVariantList{7});
        f.list[0]->sync();
        // (Variants of different types never compare equal.)
        QCOMPARE(freshRead(f.tm.path("setting/p1.bin"), "mouse/lightValue"), QVariant("7"));
    }

    // A malformed line in the file as it was says nothing about the write:
    // the new content lands and the result says so, also when it is as long
    // as the old and lands in the same millisecond (repeated until it has).
    void writeResults()
    {
        TestModules tm;
        const QString macro = tm.path("macro/M.bin");
        QVERIFY(writeFile(macro, "[config]\ntotal=0\nno equals sign\n"));
        QVERIFY(macrolibrary::save("M", {"1,A"}, 1));
        QCOMPARE(freshRead(macro, "macro/0"), QVariant("1,A"));
        const QByteArray clean = contents(macro);
        for (int round = 0; round < 200; ++round) {
            QVERIFY(writeFile(macro, clean + "x\n"));
            QVERIFY2(macrolibrary::save("M", {"1,A"}, 100), qPrintable(QString::number(round)));
            QCOMPARE(contents(macro).size(), clean.size() + 2);
        }
    }

    void recoilStore()
    {
        Fixture f;
        const QString file = f.tm.path("gun/gunData.bin");
        QVERIFY(gunstore::readSet("9").isEmpty());
        QVERIFY(gunstore::modify(gunstore::Rename, {"Groza", "L-Click", 8, 1, 6, 0, "M416"}));
        QCOMPARE(freshRead(file, "gunData/Groza"), QVariant(QStringList{"L-Click", "8", "1", "6", "0"}));
        // Short value lists and a removal of the whole group are refused.
        const QByteArray before = contents(file);
        QVERIFY(!gunstore::saveSet("0", {"M416", "L-Click", 10, 0, 10}));
        QVERIFY(!gunstore::modify(gunstore::Rename, {"Groza", "L-Click", 8, 1, 6, 0}));
        QVERIFY(!gunstore::modify(gunstore::Remove, {QString()}));
        QCOMPARE(contents(file), before);
        // Without the store nothing is created and reads are empty.
        QVERIFY(QFile::remove(file));
        QVERIFY(!gunstore::saveSet("0", {"M416", "L-Click", 10, 0, 10, 0}) && !QFile::exists(file));
        QVERIFY(gunstore::readSet("0").isEmpty() && gunstore::setKeys().isEmpty());
    }

    void languageGroups()
    {
        TestModules tm;
        QVERIFY(writeFile(tm.path("i18n/Test.ini"),
                          "[gap]\ntotal=3\n0=a\n2=c\n[zero]\ntotal=0\n0=x\n[none]\n0=x\n"
                          "[word]\ntotal=many\n0=x\n"
                          "[scripts]\ntotal=2\n0=宏编辑器, 宏\n1=Привет\n"));
        QCOMPARE(langstrings::read("gap", "Test"), (QStringList{"a", "", "c"}));
        for (const char *empty : {"zero", "none", "word"})
            QVERIFY2(langstrings::read(empty, "Test").isEmpty(), empty);
        QCOMPARE(langstrings::read("scripts", "Test"), (QStringList{"宏编辑器, 宏", "Привет"}));
        QVERIFY(langstrings::read("main", "../i18n/English").isEmpty());
        // How "other" sets the notification texts, and the bound on the
        // texts read: fuzz_replay_langfile, for any file.
    }
};

int main(int argc, char **argv)
{
    if (filetest::handleFreshRead(argc, argv))
        return 0;
    QCoreApplication app(argc, argv);
    TestPersistenceFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_persistence_files.moc"
