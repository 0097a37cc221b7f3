// Scrambling of frame bytes 1 to 8: for any code, block and table, the
// descrambler undoes the scrambler and the scrambler undoes the descrambler,
// and with the shipped table the link and the virtual mouse's own copy
// agree in both directions. Input: six code bytes, eight block bytes, eight
// table bytes (missing bytes are zero).
#include "fuzzsupport.h"
#include "scramble.h"
#include "virtual_r770.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t CodeSize = 6, BlockSize = scramble::BlockSize;
    uint8_t in[CodeSize + 2 * BlockSize] = {};
    std::memcpy(in, data, std::min(size, sizeof in));
    uchar key[BlockSize] = {};
    std::memcpy(&key[scramble::FirstKeyPos], in, CodeSize);
    const uint8_t *block = in + CodeSize;
    const uint8_t *table = block + BlockSize;

    uchar b[BlockSize];
    std::memcpy(b, block, BlockSize);
    scramble::encrypt(b, key, table);
    scramble::decrypt(b, key, table);
    FUZZ_CHECK(std::memcmp(b, block, BlockSize) == 0);
    scramble::decrypt(b, key, table);
    scramble::encrypt(b, key, table);
    FUZZ_CHECK(std::memcmp(b, block, BlockSize) == 0);

    const std::string code(reinterpret_cast<const char *>(in), CodeSize);
    uint8_t mouse[BlockSize];
    std::memcpy(b, block, BlockSize);
    std::memcpy(mouse, block, BlockSize);
    scramble::encrypt(b, key);
    vr770::scramble(mouse, code);
    FUZZ_CHECK(std::memcmp(b, mouse, BlockSize) == 0);
    vr770::unscramble(mouse, code);
    FUZZ_CHECK(std::memcmp(mouse, block, BlockSize) == 0);
    scramble::decrypt(b, key);
    FUZZ_CHECK(std::memcmp(b, block, BlockSize) == 0);
    return 0;
}
