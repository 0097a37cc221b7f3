// Frame checksum and the payload scrambling of the R770 firmware.
#include "frame.h"

#include "virtual_r770.h"

namespace vr770 {

namespace {

// The firmware's copy of the scramble table, one byte per block position.
constexpr std::array<uint8_t, frame::BlockSize> scrambleTable{
    0x5A, 0xC3, 0x17, 0x8E, 0x29, 0xB4, 0x6D, 0xF0};

constexpr uint8_t nibbleSwap(uint8_t x) { return uint8_t((x << 4) | (x >> 4)); }

// Pairs of block positions exchanged by the first step.
constexpr std::array<std::pair<int, int>, 4> exchanges{{{0, 5}, {1, 4}, {2, 7}, {3, 6}}};

void exchangePairs(uint8_t b[8])
{
    for (auto [i, j] : exchanges)
        std::swap(b[i], b[j]);
}

// Bytes 1 to 6 of the key: the code's characters; a short code leaves zeros.
std::array<uint8_t, frame::BlockSize> keyFromCode(const std::string &code)
{
    std::array<uint8_t, frame::BlockSize> key{};
    for (size_t i = 0; i < 6 && i < code.size(); ++i)
        key[i + 1] = uint8_t(code[i]);
    return key;
}

void xorKey(uint8_t b[8], const std::array<uint8_t, frame::BlockSize> &key)
{
    for (int i = 1; i <= 6; ++i)
        b[i] ^= key[i];
}

} // namespace

uint8_t frameChecksum(const uint8_t *frame9)
{
    unsigned sum = 0;
    for (int i = frame::Code; i < frame::Checksum; ++i)
        sum += frame9[i];
    return uint8_t(~sum);
}

void scramble(uint8_t b[8], const std::string &code)
{
    const auto key = keyFromCode(code);
    exchangePairs(b);
    xorKey(b, key);
    const uint8_t first = b[0];
    for (int i = 0; i < 7; ++i)
        b[i] = uint8_t((b[i] << 3) | (b[i + 1] >> 5));
    b[7] = uint8_t((b[7] << 3) | (first >> 5));
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t(b[i] + nibbleSwap(scrambleTable[i]));
}

void unscramble(uint8_t b[8], const std::string &code)
{
    const auto key = keyFromCode(code);
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t(b[i] - nibbleSwap(scrambleTable[i]));
    const uint8_t last = b[7];
    for (int i = 7; i > 0; --i)
        b[i] = uint8_t((b[i] >> 3) | (b[i - 1] << 5));
    b[0] = uint8_t((b[0] >> 3) | (last << 5));
    xorKey(b, key);
    exchangePairs(b);
}

namespace frame {

Bytes build(uint8_t code, std::initializer_list<uint8_t> params)
{
    Bytes f(Size, 0);
    f[Code] = code;
    int pos = FirstParam;
    for (uint8_t p : params) {
        if (pos >= Checksum)
            break;
        f[pos++] = p;
    }
    f[Checksum] = frameChecksum(f.data());
    return f;
}

} // namespace frame

} // namespace vr770
