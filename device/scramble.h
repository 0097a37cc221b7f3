#pragma once

#include <QtGlobal>

// Scrambling of the eight bytes 1 to 8 of a command frame with the device's
// six-character secrecy code. Key bytes 1 to 6 hold the code; key bytes 0
// and 7 take no part.
namespace scramble {

constexpr int BlockSize = 8;
constexpr int FirstKeyPos = 1;
constexpr int LastKeyPos = 6;

// Shared with the device firmware; must match it byte for byte.
extern const uchar scrambleTable[BlockSize];

void encrypt(uchar block[BlockSize], const uchar key[BlockSize],
             const uchar table[BlockSize] = scrambleTable);
void decrypt(uchar block[BlockSize], const uchar key[BlockSize],
             const uchar table[BlockSize] = scrambleTable);

} // namespace scramble
