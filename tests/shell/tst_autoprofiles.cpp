#include "activewindow.h"
#include "autoprofiles.h"
#include "autoprofileswitcher.h"
#include "xdotool.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Profiles that follow the application in front: the switcher under openbox
// with small X clients of different programs and WM_CLASS. The switch itself
// is the scene's flow, stood in for here. (The rules file's refusals and
// damage: tst_ctl's autoProfiles and tst_hostwindow.)
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

    // Starts a client as program `program` (a copy of the test client) and
    // returns its window id.
    QString startClient(const QString &program, const QStringList &arguments)
    {
        const QString exe = dir.filePath(program);
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/r770_autoprof_window"), exe);
        clients.push_back(std::make_unique<QProcess>());
        clients.back()->start(exe, arguments);
        clients.back()->waitForReadyRead(5000);
        return QString::fromLatin1(clients.back()->readLine()).trimmed();
    }

    // Puts the windows in front in turn, 100 ms apart, in one xdotool run:
    // a process start per window would stretch the gaps on a loaded machine
    // past the switcher's settle time.
    static bool activate(const QStringList &windows)
    {
        QStringList arguments;
        for (const QString &window : windows) {
            if (!arguments.isEmpty())
                arguments << QStringLiteral("sleep") << QStringLiteral("0.1");
            arguments << QStringLiteral("windowactivate") << window;
        }
        return xdotool(arguments);
    }

private slots:
    void cleanupTestCase()
    {
        for (auto &client : clients) {
            client->kill();
            client->waitForFinished();
        }
        windowManager.terminate();
        windowManager.waitForFinished(3000);
    }

    // The rule a window takes: its program's, else its WM_CLASS instance's,
    // else its class's, whatever their case; else the fallback.
    void matchingOrder()
    {
        autoprofiles::Rules rules;
        rules.fallback = 1;
        rules.add(QStringLiteral("Game"), 2);
        rules.add(QStringLiteral("steam"), 3);
        QCOMPARE(autoprofiles::slotFor(rules, {"game", "steam", "Steam", {}, 0}), 2);
        QCOMPARE(autoprofiles::slotFor(rules, {"launcher", "x", "STEAM", {}, 0}), 3);
        QCOMPARE(autoprofiles::slotFor(rules, {{}, {}, "other", {}, 0}), 1);
    }

    // Each program's window in front puts its profile in use, briefly
    // focused windows do not, a quick run ends on the last one, unsaved
    // edits hold a switch back until they are gone, and switching off in the
    // file stops it.
    void followsTheWindowInFront()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs openbox and xdotool (scripts/setup installs them)");
        QVERIFY(dir.isValid());
        windowManager.start(openbox, {QStringLiteral("--sm-disable")});
        QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"),
                                     QStringLiteral("xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window")}) == 0,
                                 10000);

        const QString rulesPath = dir.filePath(QStringLiteral("autoProfiles.bin"));
        autoprofiles::Rules rules;
        rules.fallback = 0;
        rules.add(QStringLiteral("gamealpha"), 2);   // the program's name
        rules.add(QStringLiteral("BetaInstance"), 3); // WM_CLASS instance
        rules.add(QStringLiteral("gammaprog"), 4);   // a program without _NET_WM_PID
        QVERIFY(autoprofiles::save(rulesPath, rules));
        const QString alpha = startClient(QStringLiteral("gamealpha"), {"a", "A"});
        const QString beta = startClient(QStringLiteral("editorbeta"), {"betainstance", "Beta"});
        const QString gamma = startClient(QStringLiteral("gammaprog"), {"g", "G", "--no-pid"});
        const QString plain = startClient(QStringLiteral("plainprog"), {"p", "P"});
        QVERIFY(!alpha.isEmpty() && !beta.isEmpty() && !gamma.isEmpty() && !plain.isEmpty());

        AutoProfileSwitcher::Scene scene{[] { return true; }, [this] { return blocked; }, [this] { return current; },
                                         [this](int slot) {
                                             switches << (current = slot);
                                             return true;
                                         }};
        AutoProfileSwitcher switcher(createActiveWindowSource(), scene, rulesPath);
        QCOMPARE(switcher.windows().reach(), ActiveWindowSource::Reach::All);
        QVERIFY(switcher.isOn());

        // The last: no rule, the fallback.
        QList<int> expected;
        for (const auto &[window, slot] : QList<std::pair<QString, int>>{{alpha, 2}, {beta, 3}, {gamma, 4}, {plain, 0}}) {
            QVERIFY(activate({window}));
            expected << slot;
            QTRY_COMPARE_WITH_TIMEOUT(switches, expected, 3000);
        }

        switches.clear();
        QVERIFY(activate({alpha, beta, gamma}));
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({4}), 3000);
        QTest::qWait(800);
        QCOMPARE(switches, QList<int>({4}));

        switches.clear();
        blocked = QStringLiteral("unsaved");
        QVERIFY(activate({alpha}));
        QTRY_COMPARE_WITH_TIMEOUT(switcher.waitReason(), QStringLiteral("unsaved"), 3000);
        QCOMPARE(switches, QList<int>());
        blocked.clear();
        QTRY_COMPARE_WITH_TIMEOUT(switches, QList<int>({2}), 3000);
        QCOMPARE(switcher.waitReason(), QString());

        QVERIFY(autoprofiles::change(rulesPath, 0, [](autoprofiles::Rules &r, QString *) {
            r.enabled = false;
            return true;
        }));
        QTRY_VERIFY(!switcher.isOn());
        switches.clear();
        QVERIFY(activate({beta}));
        QTest::qWait(1000);
        QCOMPARE(switches, QList<int>());
    }
};

QTEST_MAIN(TestAutoProfiles)
#include "tst_autoprofiles.moc"
