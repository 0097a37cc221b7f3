// Every file-changing call of the saves fails in turn (a full disk, an I/O
// error, a half-written block): afterwards each file holds its old or its
// new content, a save reported done reached the disk, a refused one left
// the file as it was and nothing of it pending, and no temporary copy stays.

#include "faultinjection.h"
#include "fileops.h"
#include "filetestutil.h"
#include "gunstore.h"
#include "inivalue.h"
#include "macrolibrary.h"
#include "namelists.h"
#include "profilefiles.h"
#include "testmodules.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>
#include <functional>
#include <memory>

using namespace filetest;

namespace {

using Files = QMap<QString, QByteArray>;

struct Fixture
{
    TestModules tm;
    QList<QSettings *> list;
    Fixture()
    {
        for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
            list << new ini::CheckedSettings(profilefiles::slotPath(slot));
        macrolibrary::create(QStringLiteral("Burst"), 1);
        macrolibrary::save(QStringLiteral("Burst"), {QStringLiteral("1,4"), QStringLiteral("2,4")}, 1);
        list[0]->setValue(QStringLiteral("mouseMacroKey/1"), QStringLiteral("Burst"));
        list[0]->setValue(QStringLiteral("mouseKeyMatrix/3"), QStringList{"4", "0", "1", "0"});
        ini::flush(*list[0]);
        writeFile(tm.root() + "/in.pf", contents(profilefiles::factoryPath()) + "\n");
        writeFile(tm.root() + "/out.pf", "[mouse]\nold=export\n");
    }
    ~Fixture()
    {
        for (QSettings *settings : std::as_const(list))
            ini::flush(*settings);
        qDeleteAll(list);
    }
    // Every file of the folder with its bytes (lock files come and go).
    Files files() const
    {
        Files out;
        QDirIterator it(tm.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.endsWith(QLatin1String(".lock")))
                out.insert(path.mid(tm.root().size()), contents(path));
        }
        return out;
    }
};

struct Operation
{
    const char *name;
    std::function<bool(Fixture &)> run;
    // The one file a single-file operation changes; empty for several.
    QString file;
};

QList<Operation> operations()
{
    return {
        {"profile save",
         [](Fixture &f) {
             f.list[0]->setValue(QStringLiteral("mouse/dpiCount"), 3);
             return ini::flush(*f.list[0]);
         },
         "/modules/setting/p1.bin"},
        {"profile import", [](Fixture &f) { return profilefiles::replaceSlot(f.list, 1, f.tm.root() + "/in.pf"); },
         "/modules/setting/p2.bin"},
        {"profile export", [](Fixture &f) { return profilefiles::exportSlot(f.list, 0, f.tm.root() + "/out.pf"); },
         "/out.pf"},
        {"macro create", [](Fixture &) { return macrolibrary::create(QStringLiteral("Fresh"), 2); },
         "/modules/macro/Fresh.bin"},
        {"macro rename",
         [](Fixture &f) {
             return macrolibrary::rename(f.list, QStringLiteral("Burst"), QStringLiteral("Volley"))
                    && ini::flush(*f.list[0]);
         },
         QString()},
        {"macro delete",
         [](Fixture &f) {
             QSettings factory(profilefiles::factoryPath(), QSettings::IniFormat);
             return macrolibrary::unbindFromProfiles(f.list, &factory, QStringLiteral("Burst"))
                    && ini::flush(*f.list[0]) && macrolibrary::remove(QStringLiteral("Burst"));
         },
         QString()},
        {"recoil set",
         [](Fixture &) {
             return gunstore::saveSet(QStringLiteral("2"), {"Rifle", "1", "30", "2", "5", "20"});
         },
         "/modules/gun/gunData.bin"},
        {"name list", [](Fixture &) { return namelists::update(namelists::Macros, {"Burst", "Fresh"}); },
         "/modules/setting/name.bin"},
    };
}

QStringList leftovers(const Files &files)
{
    static const QRegularExpression temporary(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    QStringList out;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (it.key().startsWith(QLatin1String("/modules/")) && temporary.match(it.key()).hasMatch())
            out << it.key();
    return out;
}

} // namespace

class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void everyCallFails()
    {
        for (const Operation &op : operations()) {
            Files before, after;
            long total = 0;
            {
                Fixture f;
                before = f.files();
                faultinjection::arm(f.tm.root(), 0);
                QVERIFY2(op.run(f), op.name);
                total = faultinjection::calls();
                faultinjection::disarm();
                after = f.files();
            }
            QVERIFY2(total > 0, op.name);
            QVERIFY2(before != after, op.name);
            for (const faultinjection::Mode mode : {faultinjection::Once, faultinjection::Sticky}) {
                for (long at = 1; at <= total; ++at) {
                    Fixture f;
                    faultinjection::arm(f.tm.root(), at, mode);
                    const bool done = op.run(f);
                    faultinjection::disarm();
                    const Files now = f.files();
                    const QString where = QStringLiteral("%1, call %2 of %3, %4")
                                              .arg(op.name)
                                              .arg(at)
                                              .arg(total)
                                              .arg(mode == faultinjection::Once ? "once" : "disk full");
                    QVERIFY2(leftovers(now).isEmpty(), qPrintable(where + ": " + leftovers(now).join(' ')));
                    QStringList keys = before.keys() + after.keys() + now.keys();
                    keys.removeDuplicates();
                    for (const QString &key : keys) {
                        const bool oldOrNew = (now.contains(key) == before.contains(key) && now.value(key) == before.value(key))
                                              || (now.contains(key) == after.contains(key) && now.value(key) == after.value(key));
                        QVERIFY2(oldOrNew, qPrintable(where + ": torn " + key));
                    }
                    if (!op.file.isEmpty()) {
                        const bool stored = now.value(op.file) == after.value(op.file) && now.contains(op.file);
                        QVERIFY2(done == stored, qPrintable(where + (done ? ": reported done, not stored"
                                                                          : ": refused, yet stored")));
                    } else if (done) {
                        QVERIFY2(now == after, qPrintable(where + ": reported done, not all stored"));
                    }
                    if (!done && QString(op.name) == QLatin1String("profile save")) {
                        // The refused value is gone: shown no more, and not
                        // written by the next, unrelated save.
                        QCOMPARE(f.list[0]->value("mouse/dpiCount").toString(), QStringLiteral("6"));
                        f.list[0]->setValue(QStringLiteral("mouse/reportRate"), 2);
                        QString why;
                        QVERIFY2(ini::flush(*f.list[0], &why), qPrintable(where + ": " + why));
                        QCOMPARE(freshRead(profilefiles::slotPath(0), "mouse/dpiCount").toString(), QStringLiteral("6"));
                    }
                }
            }
        }
        // A failed sync fails the copy though its bytes read back; a source
        // that cannot be read is not copied.
        for (const char *call : {"fsync", "read"}) {
            Fixture f;
            const Files before = f.files();
            faultinjection::arm(f.tm.root(), 1, faultinjection::Once, call);
            QVERIFY2(!fileops::replaceWithCopy(f.tm.root() + "/in.pf", f.tm.root() + "/out.pf"), call);
            faultinjection::disarm();
            QVERIFY2(f.files() == before, call);
        }
    }

    // A macro rename cut short after the file was renamed: the list still
    // names the old file, the new one is unlisted, a key runs the old name.
    // The start repairs all three; a second start finds nothing to do.
    void macroRepairAtStart()
    {
        Fixture f;
        QVERIFY(namelists::update(namelists::Macros, {"Burst", "Spare"}));
        QVERIFY(macrolibrary::create("Spare", 2));
        QVERIFY(QFile::rename(macrolibrary::macroPath("Burst"), macrolibrary::macroPath("Volley")));
        const QVariant factoryKey = QSettings(profilefiles::factoryPath(), QSettings::IniFormat).value("mouseKeyMatrix/3");

        const QStringList notes = macrolibrary::repair();
        QCOMPARE(notes.size(), 3);
        QCOMPARE(ini::toList(namelists::read(namelists::Macros)), (QVariantList{"Spare", "Volley"}));
        QCOMPARE(freshRead(profilefiles::slotPath(0), "mouseKeyMatrix/3"), factoryKey);
        QVERIFY(macrolibrary::repair().isEmpty());
    }

    // A lock left by a crash (empty, or naming a dead process) is taken
    // over; copies an interrupted save left behind go at the next start,
    // young ones (a save in progress) stay. A lock that is a folder:
    // tst_damaged_files.
    void locks()
    {
        TestModules tm;
        const QString path = profilefiles::slotPath(0);
        QScopedPointer<QSettings> profile(new ini::CheckedSettings(path));
        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForFinished());
        const QByteArray deadOwner = QByteArray::number(gone.processId()) + "\nr770\n"
                                     + QSysInfo::machineHostName().toUtf8() + "\n";
        for (const QByteArray &lock : {QByteArray(), deadOwner}) {
            QVERIFY(writeFile(path + ".lock", lock));
            profile->setValue("mouse/mouseRate", lock.size());
            QVERIFY(ini::flush(*profile));
            QCOMPARE(freshRead(path, "mouse/mouseRate").toInt(), lock.size());
        }
        QFile old(path + ".Ab12Cd");
        QVERIFY(old.open(QIODevice::WriteOnly)
                && old.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        old.close();
        QVERIFY(writeFile(path + ".Xy34Zw", "young"));
        QCOMPARE(fileops::removeLeftovers("./modules/setting"), QStringList{"p1.bin.Ab12Cd"});
        QVERIFY(QFile::exists(path + ".Xy34Zw"));
    }
};

int main(int argc, char **argv)
{
    if (handleFreshRead(argc, argv))
        return 0;
    QCoreApplication app(argc, argv);
    TestSaveFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_save_faults.moc"
