// The copy-data channel: the window-side warning check, messages between a
// sender thread and the receiving hook, well-formed or not, and the bounds
// on the connections a local server holds.

#include "connectionguard.h"
#include "copydata.h"
#include "inputhook.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <future>

namespace {

const QString title = QStringLiteral("copy-data test window");

// Stands for the host window: records per message the warning it would show,
// "-" for none.
void onCopyData(const CopyData &data, void *context)
{
    static_cast<QStringList *>(context)->append(copydata::warningText(data).value_or("-"));
}

// Sends from another thread so that this one can serve the channel.
qintptr send(const QString &to, quintptr kind, const QByteArray &bytes)
{
    auto result = std::async(std::launch::async, [&] {
        return InputHook::sendCopyData(to, CopyData{kind, bytes}, nullptr, 5000);
    });
    while (result.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        QTest::qWait(5);
    return result.get();
}

// Writes raw bytes on a connection of its own; returns what came back once
// answerSize bytes are there, the connection closed or a second passed.
QByteArray rawExchange(const QByteArray &bytes, int answerSize = copydata::resultSize)
{
    QLocalSocket socket;
    socket.connectToServer(copydata::serverName(title));
    if (!socket.waitForConnected(2000))
        return "no connection";
    socket.write(bytes);
    (void)QTest::qWaitFor([&] {
        return socket.bytesAvailable() >= answerSize
               || socket.state() != QLocalSocket::ConnectedState;
    }, 1000);
    return socket.readAll();
}

} // namespace

class TestInputCopyData : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<InputHook> hook;
    QStringList window; // what the window did with each message
    QTemporaryDir runtime; // the channels' folder, apart from other tests'

    template <size_t N>
    static int connected(const std::array<QLocalSocket, N> &peers)
    {
        return int(std::count_if(peers.begin(), peers.end(), [](const QLocalSocket &p) {
            return p.state() == QLocalSocket::ConnectedState;
        }));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }

    void init()
    {
        window.clear();
        hook = std::make_unique<InputHook>(false);
        hook->setCopyDataCallback(onCopyData, QCoreApplication::instance(), &window, title);
    }

    void cleanup() { hook.reset(); }

    void everyMessageIsConsumed()
    {
        // Only exact UTF-8 of the warning kind shows the warning (for any
        // bytes: fuzz_replay_copydata); every message is answered.
        QCOMPARE(send(title, 0x250F, QString("Zu alt: ä").toUtf8()), qintptr(1));
        QCOMPARE(send(title, 0x250F, QByteArray("Hi\0you", 6)), qintptr(1));
        QCOMPARE(send(title, 0x42, "Hello"), qintptr(1));
        QCOMPARE(window, (QStringList{"Zu alt: ä", "-", "-"}));

        // The window to skip gets nothing.
        QCOMPARE(InputHook::sendCopyData(title, CopyData{0x250F, "x"}, &window),
                 reinterpret_cast<qintptr>(&window));

        // No such window, or no callback: 0.
        QCOMPARE(send("no such window", 0x250F, "x"), qintptr(0));
        hook->setCopyDataCallback(nullptr, QCoreApplication::instance(), &window, title);
        QCOMPARE(send(title, 0x250F, "x"), qintptr(0));
        QCOMPARE(window.size(), 3);
    }

    void badInputIsDroppedAndTheChannelStays()
    {
        QCOMPARE(send(title, 0x250F, QByteArray(copydata::maxBytes + 1, 'a')), qintptr(0));
        // A header announcing too much is answered 0 and the connection closed.
        QByteArray header = copydata::encodeFrame(CopyData{0x250F, {}});
        header[11] = char(0x7F);
        QCOMPARE(rawExchange(header), copydata::encodeResult(0));
        // A message cut short is never delivered.
        rawExchange(copydata::encodeFrame(CopyData{0x250F, "complete"}).left(15));
        QVERIFY(window.isEmpty());
        // Two messages on one connection get two answers; the largest size passes.
        const QByteArray largest(copydata::maxBytes, 'b');
        QCOMPARE(rawExchange(copydata::encodeFrame(CopyData{1, "one"})
                                 + copydata::encodeFrame(CopyData{0x250F, largest}),
                             2 * copydata::resultSize),
                 copydata::encodeResult(1) + copydata::encodeResult(1));
        QCOMPARE(window, (QStringList{"-", largest}));
    }

    void liveChannelIsNotTakenOver()
    {
        // A second receiver for the same title leaves the live channel alone.
        QStringList second;
        InputHook other(false);
        other.setCopyDataCallback(onCopyData, QCoreApplication::instance(), &second, title);
        QCOMPARE(send(title, 5, "x"), qintptr(1));
        QCOMPARE(window.size(), 1);
        QVERIFY(second.isEmpty());
    }

    // Peers beyond the cap are closed at once, silent ones after the idle
    // time; the channel serves again once they are gone.
    void connectionsAreBounded()
    {
        QLocalServer server;
        QVERIFY(server.listen(runtime.path() + QStringLiteral("/guarded.sock")));
        ConnectionGuard guard(2, 300);
        connect(&server, &QLocalServer::newConnection, &guard, [&] {
            while (QLocalSocket *socket = server.nextPendingConnection())
                guard.admit(socket);
        });
        std::array<QLocalSocket, 3> peers;
        for (QLocalSocket &peer : peers)
            peer.connectToServer(server.fullServerName());
        QTRY_COMPARE(guard.held(), 2);
        QTRY_COMPARE(connected(peers), 2);
        QTRY_COMPARE(guard.held(), 0);
        QTRY_COMPARE(connected(peers), 0);

        std::array<QLocalSocket, 2 * ConnectionGuard::DefaultMaxConnections> idle;
        for (QLocalSocket &peer : idle)
            peer.connectToServer(copydata::serverName(title));
        QTRY_COMPARE(connected(idle), int(ConnectionGuard::DefaultMaxConnections));
        for (QLocalSocket &peer : idle)
            peer.abort();
        // The server learns of the closed peers as it processes their
        // sockets; a connection it takes before that is still beyond the cap.
        QTRY_COMPARE_WITH_TIMEOUT(send(title, 0x250F, "after"), qintptr(1), 10000);
    }

    void withoutXNothingIsCaptured() { QVERIFY(!hook->installHooks()); }
};

QTEST_GUILESS_MAIN(TestInputCopyData)
#include "tst_input_copydata.moc"
