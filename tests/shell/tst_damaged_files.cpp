// The real program started against a runtime folder whose files are damaged
// (binary, huge counts, values of the wrong kind and broken UTF-8; files too
// large to read: tst_file_invokables): it starts, discovers the virtual
// mouse where the device table still names it, answers a second start, quits
// cleanly, and leaves every file byte for byte as it was, since nobody saved
// (but for the macro list, which the start brings in step with the macro
// files).
#include "../persistence/filetestutil.h"
#include "probeprocess.h"
#include "testmodules.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <functional>
#include <unistd.h>

namespace {

using Files = QMap<QString, QByteArray>; // path below modules/ -> bytes

Files filesBelow(const QString &root)
{
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path.mid(root.size() + 1), filetest::contents(path));
    }
    return files;
}

const QString deviceTable = QStringLiteral("setting/apConfig.bin");
const QString nameFile = QStringLiteral("setting/name.bin");
const QString macroList = QStringLiteral("macro/macroName");

// Rewrites each "key=value" line of an INI text; `f` gets the group, the key
// and the value and returns the new line (empty to drop it).
using LineEdit = std::function<QByteArray(const QByteArray &group, const QByteArray &key, const QByteArray &value)>;
QByteArray editLines(const QByteArray &text, const LineEdit &f, bool dropGroups = false)
{
    QByteArray out, group;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            group = trimmed.mid(1, trimmed.size() - 2);
            if (!dropGroups)
                out += line + '\n';
            continue;
        }
        const int eq = line.indexOf('=');
        if (eq < 0) {
            out += line + '\n';
            continue;
        }
        const QByteArray edited = f(group, line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
        if (!edited.isEmpty())
            out += edited + '\n';
    }
    return out;
}

// Keeps the device group and its count, so that the mouse is still found
// and the scene starts on the damaged rest.
bool keepsDiscovery(const QString &path, const QByteArray &group, const QByteArray &key)
{
    return path == deviceTable && (group == "0" || key == "deviceCount");
}

// The entries an INI text holds as the settings layer reads them, but some.
QMap<QString, QString> entriesBut(const QByteArray &text, const QStringList &except)
{
    QTemporaryFile file;
    if (!file.open())
        return {};
    file.write(text);
    file.close();
    const QSettings settings(file.fileName(), QSettings::IniFormat);
    QMap<QString, QString> entries;
    for (const QString &key : settings.allKeys()) {
        const QVariant value = settings.value(key);
        if (!except.contains(key))
            entries.insert(key, value.toStringList().join(QLatin1Char('\n')) + value.toString());
    }
    return entries;
}

using Damage = std::function<QByteArray(const QString &path, const QByteArray &original)>;

QByteArray binary(const QString &path, const QByteArray &original)
{
    QRandomGenerator random(qHash(path));
    QByteArray out(qMax<qsizetype>(original.size(), 64), '\0');
    for (char &c : out)
        c = char(random.bounded(256));
    // Some structure for the parser to trip over.
    return "[common]\n" + out + "\n[0]\n=\n[]\n\0=\0\n";
}

QByteArray hugeCounts(const QString &path, const QByteArray &original)
{
    QByteArray out = editLines(original, [&](const QByteArray &group, const QByteArray &key, const QByteArray &value) {
        if (key == "deviceCount")
            return key + "=2147483647";
        if (keepsDiscovery(path, group, key))
            return key + '=' + value;
        if (key == "total" || key == "keyCount" || key == "index" || key == "repeat" || key == "profileNo")
            return key + "=2147483647";
        return key + "=99999999999999999999, -2147483648, 4294967296";
    });
    if (path == nameFile) {
        QByteArray names = "[macro]\nmacroName=";
        for (int i = 0; i < 50000; ++i)
            names += "M" + QByteArray::number(i) + ", ";
        out += names + "M\n";
    }
    return out;
}

QByteArray wrongKinds(const QString &path, const QByteArray &original)
{
    static const QByteArrayList odd = {"@Invalid()", "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x2)", "a, b, c", "",
                                       "@ByteArray(\\xff\\0)", "-1", "1e999", "@Rect(1 2 3 4)", "\"\"\"",
                                       "../../setting/apConfig", "x\xff\xfe\xc3(\xed\xa0\x80\xf4\x90\x80\x80"};
    int n = 0;
    QByteArray out = editLines(original, [&](const QByteArray &group, const QByteArray &key, const QByteArray &value) {
        if (keepsDiscovery(path, group, key))
            return key + '=' + value;
        return key + '=' + odd.at(n++ % odd.size());
    });
    if (path == deviceTable)
        out += "[mouse]\nicType=560, 553\nisGun=@Variant(\\0\\0\\0\\x7f)\nlanguage=../../setting/apConfig\n";
    return out + "[\xc3\x28]\n\xff=\xfe\n"; // broken UTF-8 in a group and a key too
}

} // namespace

class TestDamagedFiles : public QObject
{
    Q_OBJECT

    // The programs started here keep their lock and channels in a folder of
    // their own.
    QTemporaryDir runtime;

    static QString probe() { return QCoreApplication::applicationDirPath() + QStringLiteral("/r770_files_probe"); }

    // Starts the program beside the files of `modules` (it takes its folder
    // from where its executable lies) and checks it stays responsive: it
    // reaches its event loop, a second start hands its message over and
    // leaves, it then reports `found`, and SIGTERM ends it cleanly. Returns
    // what it wrote on standard error.
    static QByteArray runBeside(const TestModules &modules, const QByteArray &found)
    {
        const QString copy = modules.root() + QStringLiteral("/r770");
        if (::link(QFile::encodeName(probe()).constData(), QFile::encodeName(copy).constData()) != 0
            && !QFile::copy(probe(), copy)) {
            QTest::qFail("the program could not be placed beside the files", __FILE__, __LINE__);
            return {};
        }
        QProcess program;
        probeprocess::startOffscreen(program, copy);
        QByteArray out, log;
        const auto stop = qScopeGuard([&] {
            if (program.state() != QProcess::NotRunning) {
                program.kill();
                program.waitForFinished(5000);
            }
        });
        [&] {
            // (The messages show standard output only: reading standard
            // error here would take it from the log returned.)
            QVERIFY2(probeprocess::waitForLine(program, out, "running\n", 60000), qPrintable(out));
            QProcess second;
            probeprocess::startOffscreen(second, copy);
            QVERIFY(second.waitForFinished(30000));
            QCOMPARE(second.exitCode(), 1);
            QVERIFY2(probeprocess::waitForLine(program, out, found + '\n', 30000), qPrintable(out));
            program.terminate();
            QVERIFY(program.waitForFinished(30000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
            log = program.readAllStandardError();
        }();
        return log;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    }

    void startsAnswersAndLeavesTheFiles_data()
    {
        // Whether the mouse is still found: where the device group was kept.
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QByteArray>("found");
        const QByteArray accepted = "message, mouse accepted", none = "message, no mouse";
        QTest::newRow("binary") << Damage(binary) << none;
        QTest::newRow("huge counts") << Damage(hugeCounts) << accepted;
        QTest::newRow("wrong kinds of value, broken UTF-8") << Damage(wrongKinds) << accepted;
    }

    void startsAnswersAndLeavesTheFiles()
    {
        QFETCH(Damage, damage);
        QFETCH(QByteArray, found);
        TestModules modules;
        QVERIFY(modules.isValid());
        // A macro for the lists and profiles to name.
        QVERIFY(filetest::writeFile(modules.path("macro/M1.bin"),
                                    "[config]\nindex=1\ntotal=2\nrepeat=1\ndid=-1\n\n[macro]\n0=\"1,4\"\n1=0,50\n"));

        const QString root = modules.root() + QStringLiteral("/modules");
        Files files = filesBelow(root);
        for (auto it = files.begin(); it != files.end(); ++it) {
            if (it.key().endsWith(QLatin1String(".keep")))
                continue;
            it.value() = damage(it.key(), it.value());
            QVERIFY(filetest::writeFile(root + '/' + it.key(), it.value()));
        }

        runBeside(modules, found);
        if (QTest::currentTestFailed())
            return;

        // Nothing was saved: every file as it was, none added or removed.
        // The one exception is the start's own repair: the macro list is
        // brought in step with the macro files (here M1 alone); nothing else
        // of name.bin may change (the start writes none of its other lists).
        const Files after = filesBelow(root);
        QCOMPARE(after.keys(), files.keys());
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            if (it.key() == nameFile && after.value(it.key()) != it.value()) {
                QCOMPARE(entriesBut(after.value(it.key()), {macroList}),
                         entriesBut(it.value(), {macroList}));
                const QString macros = entriesBut(after.value(it.key()), {}).value(macroList);
                QVERIFY2(macros == QStringLiteral("M1\nloadertolvik"), qPrintable(macros));
                continue;
            }
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key() + QStringLiteral(" changed")));
        }
    }

    // Folders where locks (and a file) should be: the program starts, stays
    // responsive although the profile list cannot be written back, names
    // each damaged file, and leaves the others as they were.
    void foldersInPlace()
    {
        TestModules modules;
        QVERIFY(modules.isValid());
        const QString root = modules.root() + QStringLiteral("/modules");
        for (const char *folder : {"setting/name.bin.lock", "setting/p1.bin.lock", "setting/apConfig.bin.lock"})
            QVERIFY(QDir().mkpath(root + '/' + folder));
        QVERIFY(QFile::remove(root + "/setting/p7.bin") && QDir().mkpath(root + "/setting/p7.bin"));
        const Files files = filesBelow(root);
        const QByteArray log = runBeside(modules, "message, mouse accepted");
        if (QTest::currentTestFailed())
            return;
        for (const char *named : {"name.bin.lock", "p1.bin.lock", "apConfig.bin.lock", "p7.bin:"})
            QVERIFY2(log.contains(named), named);
        QCOMPARE(filesBelow(root), files);
    }
};

QTEST_GUILESS_MAIN(TestDamagedFiles)
#include "tst_damaged_files.moc"
