// The copy-data channel: framing, the window-side warning check, and
// messages between a sender thread and the receiving hook.

#include "copydata.h"
#include "inputhook.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTest>
#include <atomic>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString title = QStringLiteral("copy-data test window");

// Stands for the host window: records what arrives and the warnings it would show.
struct Window
{
    QList<CopyData> received;
    QStringList warnings;
};

void onCopyData(const CopyData &data, void *context)
{
    auto *window = static_cast<Window *>(context);
    window->received.append(data);
    if (const auto text = copydata::warningText(data))
        window->warnings.append(*text);
}

CopyData message(quintptr kind, const QByteArray &bytes)
{
    CopyData data;
    data.dwData = kind;
    data.bytes = bytes;
    return data;
}

// Sends from another thread so that this one can serve the channel.
qintptr sendFromThread(const QString &to, const CopyData &data, const void *skip = nullptr)
{
    std::atomic<bool> done{false};
    qintptr result = -1;
    std::thread sender([&] {
        result = InputHook::sendCopyData(to, data, skip, 5000);
        done = true;
    });
    while (!done)
        QTest::qWait(5);
    sender.join();
    return result;
}

} // namespace

class TestInputCopyData : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<InputHook> hook;
    Window window;

    // Writes raw bytes on a connection of its own and returns the answer.
    QByteArray rawExchange(const QByteArray &bytes, bool waitForAnswer = true)
    {
        QLocalSocket socket;
        socket.connectToServer(copydata::serverName(title));
        if (!socket.waitForConnected(2000))
            return "no connection";
        socket.write(bytes);
        socket.flush();
        QByteArray answer;
        if (waitForAnswer) {
            (void)QTest::qWaitFor(
                [&] {
                    return socket.bytesAvailable() >= copydata::resultSize
                           || socket.state() != QLocalSocket::ConnectedState;
                },
                5000);
            answer = socket.readAll();
        }
        socket.disconnectFromServer();
        QTest::qWait(20);
        return answer;
    }

private slots:
    void init()
    {
        window = Window();
        hook = std::make_unique<InputHook>(false);
        hook->setCopyDataCallback(onCopyData, QCoreApplication::instance(), &window, title);
    }

    void cleanup() { hook.reset(); }

    void warningNeedsKindAndExactLength_data()
    {
        QTest::addColumn<quintptr>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << quintptr(0x250F) << QByteArray("Firmware too old") << true
                               << "Firmware too old";
        QTest::newRow("multi-byte") << quintptr(0x250F) << QString("Grüße 警告").toUtf8()
                                    << true << "Grüße 警告";
        QTest::newRow("counts trailing zero")
            << quintptr(0x250F) << QByteArray("Hello", 6) << false << QString();
        QTest::newRow("zero inside") << quintptr(0x250F) << QByteArray("Hi\0there", 8) << false
                                     << QString();
        QTest::newRow("other kind") << quintptr(0x2510) << QByteArray("Hello") << false
                                    << QString();
        QTest::newRow("invalid utf-8") << quintptr(0x250F) << QByteArray("\xff\xfe") << false
                                       << QString();
    }

    void warningNeedsKindAndExactLength()
    {
        QFETCH(quintptr, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        const auto warning = copydata::warningText(message(kind, bytes));
        QCOMPARE(warning.has_value(), shown);
        if (shown)
            QCOMPARE(*warning, text);
    }

    void framesSplitAndJoin()
    {
        const CopyData first = message(0x250F, "abc");
        const CopyData second = message(7, QByteArray());
        QByteArray stream = copydata::encodeFrame(first) + copydata::encodeFrame(second);
        QCOMPARE(stream.left(12), QByteArray::fromHex("0f25000000000000" "03000000"));

        QByteArray partial = stream.left(13);
        CopyData out;
        QCOMPARE(copydata::takeFrame(partial, out), copydata::FrameResult::NeedMore);
        QCOMPARE(partial.size(), 13);

        QCOMPARE(copydata::takeFrame(stream, out), copydata::FrameResult::Message);
        QCOMPARE(out.dwData, quintptr(0x250F));
        QCOMPARE(out.bytes, QByteArray("abc"));
        QCOMPARE(copydata::takeFrame(stream, out), copydata::FrameResult::Message);
        QCOMPARE(out.dwData, quintptr(7));
        QVERIFY(out.bytes.isEmpty());
        QVERIFY(stream.isEmpty());

        QByteArray oversized = copydata::encodeFrame(message(1, QByteArray()));
        oversized[8] = char(0x01);
        oversized[10] = char(0x01); // 65537 bytes declared
        QCOMPARE(copydata::takeFrame(oversized, out), copydata::FrameResult::Malformed);
    }

    void messagesReachTheCallback()
    {
        const QByteArray text = QString("Zu alt: ä").toUtf8();
        QCOMPARE(sendFromThread(title, message(0x250F, text)), qintptr(1));
        QCOMPARE(window.received.size(), 1);
        QCOMPARE(window.received[0].bytes, text);
        QCOMPARE(window.warnings, QStringList{"Zu alt: ä"});

        // Consumed, but no warning.
        QCOMPARE(sendFromThread(title, message(0x250F, QByteArray("Hello", 6))), qintptr(1));
        QCOMPARE(sendFromThread(title, message(0x42, "Hello")), qintptr(1));
        QCOMPARE(window.received.size(), 3);
        QCOMPARE(window.warnings.size(), 1);
    }

    void noReceiverMeansZero()
    {
        QCOMPARE(sendFromThread("no such window", message(0x250F, "x")), qintptr(0));
        hook->setCopyDataCallback(nullptr, QCoreApplication::instance(), &window, title);
        QCOMPARE(sendFromThread(title, message(0x250F, "x")), qintptr(0));
        QVERIFY(window.received.isEmpty());
    }

    void ownWindowIsSkipped()
    {
        const qintptr result = InputHook::sendCopyData(title, message(0x250F, "x"), &window);
        QCOMPARE(result, reinterpret_cast<qintptr>(&window));
        QVERIFY(window.received.isEmpty());
        // Another window to skip does not stop the message.
        Window other;
        QCOMPARE(sendFromThread(title, message(0x250F, "x"), &other), qintptr(1));
        QCOMPARE(window.received.size(), 1);
    }

    void badInputIsDroppedAndTheChannelStays()
    {
        // Oversized payloads are refused before sending.
        QCOMPARE(sendFromThread(title, message(0x250F, QByteArray(copydata::maxBytes + 1, 'a'))),
                 qintptr(0));
        // A header announcing too much is answered 0 and the connection closed.
        QByteArray header = copydata::encodeFrame(message(0x250F, QByteArray()));
        header[11] = char(0x7F);
        QCOMPARE(copydata::decodeResult(rawExchange(header)), qint64(0));
        // A message cut short is never delivered.
        rawExchange(copydata::encodeFrame(message(0x250F, "complete")).left(15), false);
        QVERIFY(window.received.isEmpty());

        // Two messages on one connection get two answers; the largest size passes.
        const QByteArray largest(copydata::maxBytes, 'b');
        const QByteArray answers = rawExchange(copydata::encodeFrame(message(1, "one"))
                                               + copydata::encodeFrame(message(2, largest)));
        QTRY_COMPARE(window.received.size(), 2);
        QCOMPARE(window.received[1].bytes.size(), copydata::maxBytes);
        QCOMPARE(answers.left(copydata::resultSize), copydata::encodeResult(1));
    }

    void withoutXNothingIsCaptured()
    {
        // A program without an X display runs without capture.
        QVERIFY(!hook->installHooks());
    }

    void namesDependOnTitle()
    {
        QCOMPARE(copydata::serverName(title), copydata::serverName(title));
        QVERIFY(copydata::serverName(title) != copydata::serverName(title + " "));
        QVERIFY(copydata::serverName(title).startsWith("r770-copydata-"));
    }

    void liveChannelIsNotTakenOver()
    {
        // A second receiver for the same title does not steal a live channel.
        Window second;
        InputHook other(false);
        other.setCopyDataCallback(onCopyData, QCoreApplication::instance(), &second, title);
        QCOMPARE(sendFromThread(title, message(5, "x")), qintptr(1));
        QCOMPARE(window.received.size(), 1);
        QVERIFY(second.received.isEmpty());
    }

    void leftoverSocketFileIsReplaced()
    {
        hook.reset();
        // What a program that ended without closing its channel leaves behind:
        // a socket file nobody listens on.
        const QByteArray path = QDir::temp().filePath(copydata::serverName(title)).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        ::close(fd);
        QVERIFY(QFile::exists(QString::fromLocal8Bit(path)));
        init();
        QCOMPARE(sendFromThread(title, message(5, "x")), qintptr(1));
        QCOMPARE(window.received.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestInputCopyData)
#include "tst_input_copydata.moc"
