#include "scramble.h"

#include <utility>

namespace scramble {

const uchar scrambleTable[BlockSize] = {0x5A, 0xC3, 0x17, 0x8E, 0x29, 0xB4, 0x6D, 0xF0};

namespace {

constexpr int RotateBits = 3;

uchar swapNibbles(uchar x)
{
    return uchar(((x << 4) | (x >> 4)) & 0xFF);
}

// Pairs exchanged first on the way in and last on the way out.
void exchangePairs(uchar b[BlockSize])
{
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}

void xorKey(uchar b[BlockSize], const uchar key[BlockSize])
{
    for (int i = FirstKeyPos; i <= LastKeyPos; ++i)
        b[i] ^= key[i];
}

// The block as one 64-bit number, b0 most significant.
void rotateLeft(uchar b[BlockSize])
{
    const uchar first = b[0];
    for (int i = 0; i < BlockSize - 1; ++i)
        b[i] = uchar(((b[i] << RotateBits) | (b[i + 1] >> (8 - RotateBits))) & 0xFF);
    b[BlockSize - 1] = uchar(((b[BlockSize - 1] << RotateBits) | (first >> (8 - RotateBits))) & 0xFF);
}

void rotateRight(uchar b[BlockSize])
{
    const uchar last = b[BlockSize - 1];
    for (int i = BlockSize - 1; i > 0; --i)
        b[i] = uchar(((b[i] >> RotateBits) | (b[i - 1] << (8 - RotateBits))) & 0xFF);
    b[0] = uchar(((b[0] >> RotateBits) | (last << (8 - RotateBits))) & 0xFF);
}

} // namespace

void encrypt(uchar block[BlockSize], const uchar key[BlockSize], const uchar table[BlockSize])
{
    exchangePairs(block);
    xorKey(block, key);
    rotateLeft(block);
    for (int i = 0; i < BlockSize; ++i)
        block[i] = uchar((block[i] + swapNibbles(table[i])) & 0xFF);
}

void decrypt(uchar block[BlockSize], const uchar key[BlockSize], const uchar table[BlockSize])
{
    for (int i = 0; i < BlockSize; ++i)
        block[i] = uchar((block[i] - swapNibbles(table[i])) & 0xFF);
    rotateRight(block);
    xorKey(block, key);
    exchangePairs(block);
}

} // namespace scramble
