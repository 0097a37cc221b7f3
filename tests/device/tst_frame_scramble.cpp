#include "commandframe.h"
#include "hid_thread.h"
#include "scramble.h"

#include <QRandomGenerator>
#include <QtTest>

#include <array>
#include <cstring>

using Block = std::array<uchar, scramble::BlockSize>;

static QByteArray hex(const uchar *bytes, int n)
{
    return QByteArray(reinterpret_cast<const char *>(bytes), n).toHex(' ').toUpper();
}

class TstFrameScramble : public QObject
{
    Q_OBJECT

private slots:
    void frames_data();
    void frames();
    void checksumSlotMatchesFrame();
    void scrambleKnownBlock();
    void scrambleRoundTrip();
    void zeroKeyZeroTableIsExchangeAndRotation();
    void keyTouchesOnlyMiddleBytes();
};

void TstFrameScramble::frames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("01H rate 4") << 0x01 << QByteArray::fromHex("04")
                                << QByteArray("00 01 04 00 00 00 00 00 FA");
    QTest::newRow("04H gun data") << 0x04 << QByteArray::fromHex("0001020304")
                                  << QByteArray("00 04 00 01 02 03 04 00 F1");
    QTest::newRow("84H selector 1") << 0x84 << QByteArray::fromHex("01")
                                    << QByteArray("00 84 01 00 00 00 00 00 7A");
    QTest::newRow("82H") << 0x82 << QByteArray() << QByteArray("00 82 00 00 00 00 00 00 7D");
    QTest::newRow("83H") << 0x83 << QByteArray() << QByteArray("00 83 00 00 00 00 00 00 7C");
    // The sum wraps: only its low 8 bits are complemented.
    QTest::newRow("sum wraps") << 0xFF << QByteArray::fromHex("FFFFFFFFFFFF")
                               << QByteArray("00 FF FF FF FF FF FF FF 06");
}

void TstFrameScramble::frames()
{
    QFETCH(int, code);
    QFETCH(QByteArray, params);
    QFETCH(QByteArray, expected);
    frame::Params p{};
    for (int i = 0; i < params.size(); ++i)
        p[i] = uchar(params.at(i));
    const frame::CommandFrame f = frame::build(uchar(code), p);
    QCOMPARE(hex(f.data(), frame::Size), expected);
}

void TstFrameScramble::checksumSlotMatchesFrame()
{
    Hid_Thread link;
    uchar bytes[frame::Size] = {0x00, 0x13, 0x05, 0x80, 0, 0, 0, 0, 0};
    QCOMPARE(int(link.hidCS(&bytes[1])), int(uchar(~(0x13 + 0x05 + 0x80))));
}

void TstFrameScramble::scrambleKnownBlock()
{
    // Block of the frame 00 01 04 .. FA with the shipped code "Bx7R70".
    uchar key[8] = {0, 'B', 'x', '7', 'R', '7', '0', 0};
    Block b{0x01, 0x04, 0, 0, 0, 0, 0, 0xFA};
    scramble::encrypt(b.data(), key);
    QCOMPARE(hex(b.data(), 8), QByteArray("A7 50 82 A2 43 FC 56 0F"));
    scramble::decrypt(b.data(), key);
    QCOMPARE(hex(b.data(), 8), QByteArray("01 04 00 00 00 00 00 FA"));

    // The slots are the same functions.
    Hid_Thread link;
    Block c{0x01, 0x04, 0, 0, 0, 0, 0, 0xFA};
    link.USBDataEncryption(c.data(), key);
    QCOMPARE(hex(c.data(), 8), QByteArray("A7 50 82 A2 43 FC 56 0F"));
    link.USBDataDecipher(c.data(), key);
    QCOMPARE(hex(c.data(), 8), QByteArray("01 04 00 00 00 00 00 FA"));
}

void TstFrameScramble::scrambleRoundTrip()
{
    QRandomGenerator rng(770);
    for (int round = 0; round < 2000; ++round) {
        Block plain, key;
        for (uchar &x : plain)
            x = uchar(rng.bounded(256));
        for (uchar &x : key)
            x = uchar(rng.bounded(256));
        Block b = plain;
        scramble::encrypt(b.data(), key.data());
        scramble::decrypt(b.data(), key.data());
        QCOMPARE(b, plain);
    }
}

void TstFrameScramble::zeroKeyZeroTableIsExchangeAndRotation()
{
    const uchar zero[8] = {};
    // Exchange gives 55 44 77 66 11 00 33 22; rotated left by 3 bits.
    Block b{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    scramble::encrypt(b.data(), zero, zero);
    QCOMPARE(hex(b.data(), 8), QByteArray("AA 23 BB 30 88 01 99 12"));
}

void TstFrameScramble::keyTouchesOnlyMiddleBytes()
{
    const uchar zero[8] = {};
    QRandomGenerator rng(553);
    for (int round = 0; round < 200; ++round) {
        Block plain, key;
        for (uchar &x : plain)
            x = uchar(rng.bounded(256));
        for (uchar &x : key)
            x = uchar(rng.bounded(256));

        // Key bytes 0 and 7 play no part.
        Block k2 = key;
        k2[0] ^= 0xFF;
        k2[7] ^= 0xFF;
        Block a = plain, c = plain;
        scramble::encrypt(a.data(), key.data());
        scramble::encrypt(c.data(), k2.data());
        QCOMPARE(a, c);

        // Without the table the key's whole effect is its bytes 1..6 rotated
        // with the block: the first and last byte after the exchange are
        // never keyed.
        Block withKey = plain, without = plain;
        scramble::encrypt(withKey.data(), key.data(), zero);
        scramble::encrypt(without.data(), zero, zero);
        Block diff;
        for (int i = 0; i < 8; ++i)
            diff[i] = withKey[i] ^ without[i];
        // diff must be the key pattern rotated left by 3 bits.
        const quint64 pattern = (quint64(key[1]) << 48) | (quint64(key[2]) << 40)
                                | (quint64(key[3]) << 32) | (quint64(key[4]) << 24)
                                | (quint64(key[5]) << 16) | (quint64(key[6]) << 8);
        const quint64 rotated = (pattern << 3) | (pattern >> 61);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(int(diff[i]), int((rotated >> (56 - 8 * i)) & 0xFF));
    }
}

QTEST_GUILESS_MAIN(TstFrameScramble)
#include "tst_frame_scramble.moc"
