// The copy-data channel: the window-side warning check, and messages between a
// sender thread and the receiving hook, well-formed or not.

#include "copydata.h"
#include "inputhook.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTest>
#include <future>

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

// Sends from another thread so that this one can serve the channel.
qintptr send(const QString &to, quintptr kind, const QByteArray &bytes,
             const void *skip = nullptr)
{
    auto result = std::async(std::launch::async, [&] {
        return InputHook::sendCopyData(to, CopyData{kind, bytes}, skip, 5000);
    });
    while (result.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        QTest::qWait(5);
    return result.get();
}

// Writes raw bytes on a connection of its own; returns what came back.
QByteArray rawExchange(const QByteArray &bytes)
{
    QLocalSocket socket;
    socket.connectToServer(copydata::serverName(title));
    if (!socket.waitForConnected(2000))
        return "no connection";
    socket.write(bytes);
    (void)QTest::qWaitFor([&] {
        return socket.bytesAvailable() > 0 || socket.state() != QLocalSocket::ConnectedState;
    }, 500);
    return socket.readAll();
}

} // namespace

class TestInputCopyData : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<InputHook> hook;
    Window window;

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
        QTest::addColumn<QString>("shown");
        QTest::newRow("multi-byte") << quintptr(0x250F) << QString("Grüße 警告").toUtf8()
                                    << "Grüße 警告";
        QTest::newRow("counts trailing zero") << quintptr(0x250F) << QByteArray("Hi", 3) << "";
        QTest::newRow("zero inside") << quintptr(0x250F) << QByteArray("Hi\0you", 6) << "";
        QTest::newRow("invalid utf-8") << quintptr(0x250F) << QByteArray("\xff\xfe") << "";
        QTest::newRow("other kind") << quintptr(0x2510) << QByteArray("Hello") << "";
    }

    void warningNeedsKindAndExactLength()
    {
        QFETCH(quintptr, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(copydata::warningText(CopyData{kind, bytes}).value_or(""), shown);
    }

    void everyMessageIsConsumed()
    {
        const QByteArray text = QString("Zu alt: ä").toUtf8();
        QCOMPARE(send(title, 0x250F, text), qintptr(1));
        QCOMPARE(send(title, 0x250F, QByteArray("Hello", 6)), qintptr(1));
        QCOMPARE(send(title, 0x42, "Hello"), qintptr(1));
        QCOMPARE(window.received.size(), 3);
        QCOMPARE(window.received[0].bytes, text);
        QCOMPARE(window.warnings, QStringList{"Zu alt: ä"});

        // The window to skip gets nothing; another one does not stop the message.
        QCOMPARE(InputHook::sendCopyData(title, CopyData{0x250F, "x"}, &window),
                 reinterpret_cast<qintptr>(&window));
        Window other;
        QCOMPARE(send(title, 0x250F, "x", &other), qintptr(1));
        QCOMPARE(window.received.size(), 4);

        // No such window, or no callback: 0.
        QCOMPARE(send("no such window", 0x250F, "x"), qintptr(0));
        hook->setCopyDataCallback(nullptr, QCoreApplication::instance(), &window, title);
        QCOMPARE(send(title, 0x250F, "x"), qintptr(0));
        QCOMPARE(window.received.size(), 4);
    }

    void badInputIsDroppedAndTheChannelStays()
    {
        QCOMPARE(send(title, 0x250F, QByteArray(copydata::maxBytes + 1, 'a')), qintptr(0));
        // A header announcing too much is answered 0 and the connection closed.
        QByteArray header = copydata::encodeFrame(CopyData{0x250F, {}});
        header[11] = char(0x7F);
        QCOMPARE(copydata::decodeResult(rawExchange(header)), qint64(0));
        // A message cut short is never delivered.
        rawExchange(copydata::encodeFrame(CopyData{0x250F, "complete"}).left(15));
        QVERIFY(window.received.isEmpty());
        // Two messages on one connection get two answers; the largest size passes.
        QLocalSocket socket;
        socket.connectToServer(copydata::serverName(title));
        QVERIFY(socket.waitForConnected(2000));
        socket.write(copydata::encodeFrame(CopyData{1, "one"})
                     + copydata::encodeFrame(CopyData{2, QByteArray(copydata::maxBytes, 'b')}));
        QTRY_COMPARE(socket.bytesAvailable(), qint64(2 * copydata::resultSize));
        QCOMPARE(socket.readAll(), copydata::encodeResult(1) + copydata::encodeResult(1));
        QCOMPARE(window.received.size(), 2);
        QCOMPARE(window.received[1].bytes.size(), copydata::maxBytes);
    }

    void channelNameIsNotStolenButLeftoversAreReplaced()
    {
        // A second receiver for the same title leaves the live channel alone.
        Window second;
        auto other = std::make_unique<InputHook>(false);
        other->setCopyDataCallback(onCopyData, QCoreApplication::instance(), &second, title);
        QCOMPARE(send(title, 5, "x"), qintptr(1));
        QCOMPARE(window.received.size(), 1);
        QVERIFY(second.received.isEmpty());
        other.reset();
        hook.reset();

        // A program that ended without closing its channel leaves a socket
        // file nobody listens on.
        const QByteArray path = QDir::temp().filePath(copydata::serverName(title)).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        ::close(fd);
        QVERIFY(QFile::exists(QString::fromLocal8Bit(path)));
        init();
        QCOMPARE(send(title, 5, "x"), qintptr(1));
        QCOMPARE(window.received.size(), 1);
    }

    void withoutXNothingIsCaptured() { QVERIFY(!hook->installHooks()); }
};

QTEST_GUILESS_MAIN(TestInputCopyData)
#include "tst_input_copydata.moc"
