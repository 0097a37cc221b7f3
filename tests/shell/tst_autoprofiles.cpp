#include "activewindow.h"
#include "autoprofiles.h"
#include "autoprofileswitcher.h"
#include "../persistence/filetestutil.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Profiles that follow the application in front: the rules file, and the
// switcher under openbox with small X clients of different programs and
// WM_CLASS. The switch itself is the scene's flow, stood in for here.
class TestAutoProfiles : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QProcess windowManager;
    std::vector<std::unique_ptr<QProcess>> clients;
    // The scene as the switcher sees it.
    int current = 0;
    QString blocked;
    QList<int> switches;

    QString rulesPath() const { return dir.filePath(QStringLiteral("autoProfiles.bin")); }

    // Starts a client as program `program` (a copy of the test client).
    QString startClient(const QString &program, const QString &instance, const QString &wmClass, bool withPid)
    {
        const QString exe = dir.filePath(program);
        if (!QFile::exists(exe))
            QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/r770_autoprof_window"), exe);
        auto process = std::make_unique<QProcess>();
        QStringList arguments = {instance, wmClass};
        if (!withPid)
            arguments << QStringLiteral("--no-pid");
        process->start(exe, arguments);
        if (!process->waitForReadyRead(5000))
            return QString();
        const QString id = QString::fromLatin1(process->readLine()).trimmed();
        clients.push_back(std::move(process));
        return id;
    }

    static void activate(const QString &window)
    {
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), window});
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void cleanupTestCase()
    {
        for (auto &client : clients) {
            client->kill();
            client->waitForFinished();
        }
        if (windowManager.state() != QProcess::NotRunning) {
            windowManager.terminate();
            windowManager.waitForFinished(3000);
        }
    }

    void readsWritesAndMatchesRules()
    {
        autoprofiles::Rules rules;
        QVERIFY(rules.add(QStringLiteral("GameAlpha"), 2));
        QVERIFY(rules.add(QStringLiteral("betainst"), 3));
        QVERIFY(rules.add(QStringLiteral("gamealpha"), 4)); // replaces, ignoring case
        QVERIFY(!rules.add(QStringLiteral("a=b"), 1));
        QVERIFY(!rules.add(QStringLiteral("x"), 10));
        rules.fallback = 0;
        const std::optional<autoprofiles::Rules> back = autoprofiles::parse(autoprofiles::serialize(rules));
        QVERIFY(back);
        QVERIFY(*back == rules);
        QCOMPARE(back->rules.size(), 2);

        autoprofiles::Window window{QStringLiteral("GAMEALPHA"), QString(), QString(), QString()};
        QCOMPARE(autoprofiles::slotFor(rules, window), 4);
        window = {QStringLiteral("other"), QStringLiteral("BetaInst"), QStringLiteral("Beta"), QString()};
        QCOMPARE(autoprofiles::slotFor(rules, window), 3);
        window = {QStringLiteral("other"), QStringLiteral("x"), QStringLiteral("betainst"), QString()};
        QCOMPARE(autoprofiles::slotFor(rules, window), 3);
        QCOMPARE(autoprofiles::slotFor(rules, autoprofiles::Window()), 0);
        rules.fallback = -1;
        QCOMPARE(autoprofiles::slotFor(rules, autoprofiles::Window()), -1);
    }

    // A damaged, oversized or unreadable file turns switching off and stays
    // as it was until the user changes a rule, which starts it anew.
    void damagedFilesLeaveTheFeatureOffAndUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[autoProfiles]\n", 18);
        QTest::newRow("profile out of range") << QByteArray("[programs]\nfirefox=11\n");
        QTest::newRow("oversized") << QByteArray("[programs]\n") + QByteArray(70 * 1024, ';');
    }

    void damagedFilesLeaveTheFeatureOffAndUntouched()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(filetest::writeFile(rulesPath(), bytes));
        AutoProfileSwitcher::Scene scene{[] { return true; }, [] { return QString(); }, [] { return 0; },
                                         [this](int slot) { switches << slot; return true; }};
        AutoProfileSwitcher switcher(createActiveWindowSource(), scene, rulesPath());
        QVERIFY(!switcher.isOn());
        QVERIFY(switcher.notice().startsWith(QStringLiteral("damaged:")));
        QCOMPARE(filetest::contents(rulesPath()), bytes);

        QVERIFY(autoprofiles::change(rulesPath(), 1, [](autoprofiles::Rules &rules, QString *why) {
            return rules.add(QStringLiteral("firefox"), 2, why);
        }));
        const autoprofiles::Loaded loaded = autoprofiles::load(rulesPath());
        QCOMPARE(loaded.state, autoprofiles::State::Loaded);
        QCOMPARE(loaded.rules.fallback, 1);
        QCOMPARE(loaded.rules.rules.size(), 1);
        QFile::remove(rulesPath());
    }

    // Under openbox: each program's window in front puts its profile in use,
    // briefly focused windows do not, a quick run ends on the last one, and
    // unsaved edits hold a switch back until they are gone.
    void followsTheWindowInFront()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs openbox and xdotool (scripts/setup installs them)");
        windowManager.start(openbox, {QStringLiteral("--sm-disable")});
        QVERIFY(windowManager.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"),
                                     QStringLiteral("xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window")}) == 0,
                                 10000);

        autoprofiles::Rules rules;
        rules.fallback = 0;
        rules.add(QStringLiteral("gamealpha"), 2);   // the program's name
        rules.add(QStringLiteral("BetaInstance"), 3); // WM_CLASS instance
        rules.add(QStringLiteral("gammaprog"), 4);   // a program without _NET_WM_PID
        QVERIFY(autoprofiles::save(rulesPath(), rules));

        const QString alpha = startClient(QStringLiteral("gamealpha"), QStringLiteral("a"), QStringLiteral("A"), true);
        const QString beta = startClient(QStringLiteral("editorbeta"), QStringLiteral("betainstance"),
                                         QStringLiteral("Beta"), true);
        const QString gamma = startClient(QStringLiteral("gammaprog"), QStringLiteral("g"), QStringLiteral("G"), false);
        const QString plain = startClient(QStringLiteral("plainprog"), QStringLiteral("p"), QStringLiteral("P"), true);
        QVERIFY(!alpha.isEmpty() && !beta.isEmpty() && !gamma.isEmpty() && !plain.isEmpty());

        AutoProfileSwitcher::Scene scene{[] { return true; }, [this] { return blocked; }, [this] { return current; },
                                         [this](int slot) {
                                             switches << slot;
                                             current = slot;
                                             return true;
                                         }};
        AutoProfileSwitcher switcher(createActiveWindowSource(), scene, rulesPath());
        QCOMPARE(switcher.windows().reach(), ActiveWindowSource::Reach::All);
        QVERIFY(switcher.isOn());

        activate(alpha);
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({2}), 3000);
        activate(beta);
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({2, 3}), 3000);
        activate(gamma); // found through the X server's client ids
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({2, 3, 4}), 3000);
        activate(plain); // no rule: the fallback
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({2, 3, 4, 0}), 3000);

        // A quick run ends on its last window: the brief focuses before it
        // switch nothing.
        switches.clear();
        activate(alpha);
        QTest::qWait(100);
        activate(beta);
        QTest::qWait(100);
        activate(gamma);
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({4}), 3000);
        QTest::qWait(800);
        QCOMPARE(switches, QList<int>({4}));

        // Unsaved edits: it waits and says why, then follows.
        switches.clear();
        blocked = QStringLiteral("unsaved");
        activate(alpha);
        QTRY_COMPARE_WITH_TIMEOUT(switcher.waitReason(), QStringLiteral("unsaved"), 3000);
        QCOMPARE(switches, QList<int>());
        blocked.clear();
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({2}), 3000);
        QCOMPARE(switcher.waitReason(), QString());

        // Switched off in the file: nothing follows.
        QVERIFY(autoprofiles::change(rulesPath(), 0, [](autoprofiles::Rules &r, QString *) {
            r.enabled = false;
            return true;
        }));
        QTRY_VERIFY(!switcher.isOn());
        switches.clear();
        activate(beta);
        QTest::qWait(1000);
        QCOMPARE(switches, QList<int>());
    }
};

QTEST_MAIN(TestAutoProfiles)
#include "tst_autoprofiles.moc"
