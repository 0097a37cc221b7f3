#include "commandframe.h"
#include "hid_thread.h"
#include "scramble.h"

#include <QRandomGenerator>
#include <QtTest>

#include <array>

using Block = std::array<uchar, scramble::BlockSize>;

static QByteArray hex(const uchar *bytes, int n)
{
    return QByteArray(reinterpret_cast<const char *>(bytes), n).toHex(' ').toUpper();
}

static Block randomBlock(QRandomGenerator &rng)
{
    Block b;
    for (uchar &x : b)
        x = uchar(rng.bounded(256));
    return b;
}

class TstFrameScramble : public QObject
{
    Q_OBJECT

private slots:
    void frames_data();
    void frames();
    void scrambleKnownBlock();
    void scrambleRoundTrip();
    void zeroKeyZeroTable();
    void keyTouchesOnlyMiddleBytes();
};

void TstFrameScramble::frames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("01H rate 4") << 0x01 << QByteArray::fromHex("04") << QByteArray("00 01 04 00 00 00 00 00 FA");
    QTest::newRow("04H gun") << 0x04 << QByteArray::fromHex("0001020304") << QByteArray("00 04 00 01 02 03 04 00 F1");
    QTest::newRow("84H 1") << 0x84 << QByteArray::fromHex("01") << QByteArray("00 84 01 00 00 00 00 00 7A");
    QTest::newRow("83H") << 0x83 << QByteArray() << QByteArray("00 83 00 00 00 00 00 00 7C");
    // Only the low 8 bits of the sum count.
    QTest::newRow("wraps") << 0xFF << QByteArray::fromHex("FFFFFFFFFFFF") << QByteArray("00 FF FF FF FF FF FF FF 06");
}

void TstFrameScramble::frames()
{
    QFETCH(int, code);
    QFETCH(QByteArray, params);
    QFETCH(QByteArray, expected);
    frame::Params p{};
    std::copy(params.begin(), params.end(), p.begin());
    frame::CommandFrame f = frame::build(uchar(code), p);
    QCOMPARE(hex(f.data(), frame::Size), expected);
    // The checksum slot takes the address of byte 1.
    Hid_Thread link;
    QCOMPARE(link.hidCS(&f[1]), f[8]);
}

void TstFrameScramble::scrambleKnownBlock()
{
    // Bytes 1..8 of the frame 00 01 04 .. FA under the shipped code.
    uchar key[8] = {0, 'B', 'x', '7', 'R', '7', '0', 0};
    Block b{0x01, 0x04, 0, 0, 0, 0, 0, 0xFA};
    Hid_Thread link;
    link.USBDataEncryption(b.data(), key);
    QCOMPARE(hex(b.data(), 8), QByteArray("A7 50 82 A2 43 FC 56 0F"));
    link.USBDataDecipher(b.data(), key);
    QCOMPARE(hex(b.data(), 8), QByteArray("01 04 00 00 00 00 00 FA"));
}

void TstFrameScramble::scrambleRoundTrip()
{
    QRandomGenerator rng(770);
    for (int round = 0; round < 2000; ++round) {
        const Block plain = randomBlock(rng), key = randomBlock(rng);
        Block b = plain;
        scramble::encrypt(b.data(), key.data());
        scramble::decrypt(b.data(), key.data());
        QCOMPARE(b, plain);
    }
}

void TstFrameScramble::zeroKeyZeroTable()
{
    // The exchange gives 55 44 77 66 11 00 33 22, then a 3-bit left rotation.
    const uchar zero[8] = {};
    Block b{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    scramble::encrypt(b.data(), zero, zero);
    QCOMPARE(hex(b.data(), 8), QByteArray("AA 23 BB 30 88 01 99 12"));
}

void TstFrameScramble::keyTouchesOnlyMiddleBytes()
{
    const uchar zero[8] = {};
    QRandomGenerator rng(553);
    for (int round = 0; round < 200; ++round) {
        const Block plain = randomBlock(rng), key = randomBlock(rng);

        // Without the table the key's whole effect is its bytes 1..6, in
        // block positions 1..6 after the exchange, rotated with the block:
        // positions 0 and 7 are never keyed and key bytes 0 and 7 unused.
        Block withKey = plain, without = plain;
        scramble::encrypt(withKey.data(), key.data(), zero);
        scramble::encrypt(without.data(), zero, zero);
        quint64 pattern = 0;
        for (int i = 1; i <= 6; ++i)
            pattern |= quint64(key[size_t(i)]) << (56 - 8 * i);
        const quint64 rotated = (pattern << 3) | (pattern >> 61);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(int(withKey[size_t(i)] ^ without[size_t(i)]), int((rotated >> (56 - 8 * i)) & 0xFF));
    }
}

QTEST_GUILESS_MAIN(TstFrameScramble)
#include "tst_frame_scramble.moc"
