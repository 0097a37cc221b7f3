#include <QCoreApplication>
#include <QProcess>
#include <QTest>

// Two starts of the same executable: the second hands over and leaves.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    QString probe() const
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/r770_instance_probe");
    }

    void startFirst(QProcess &first)
    {
        first.start(probe(), {});
        QVERIFY(first.waitForStarted());
        QVERIFY(first.waitForReadyRead(10000));
        QCOMPARE(first.readLine().trimmed(), QByteArray("first"));
    }

private slots:
    void secondStartHandsOverAndExitsWithOne()
    {
        QProcess first;
        startFirst(first);

        QProcess second;
        second.start(probe(), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 1);

        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.readAll().trimmed(), QByteArray("received:[]"));
        QCOMPARE(first.exitCode(), 0);
    }

    void staleLockOfCrashedInstanceDoesNotBlock()
    {
        QProcess crashed;
        startFirst(crashed);
        crashed.kill(); // no chance to release anything
        QVERIFY(crashed.waitForFinished(5000));

        QProcess next;
        startFirst(next);
        next.kill();
        next.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
