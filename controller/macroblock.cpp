#include "macroblock.h"

#include <algorithm>

namespace macroblock {

Block macroBlock(const std::vector<int> &macroData)
{
    Block block{};
    const std::size_t count = std::min<std::size_t>(macroData.size(), blockSize);
    for (std::size_t i = 0; i < count; ++i)
        block[i] = static_cast<std::uint8_t>(macroData[i]);
    return block;
}

std::optional<std::uint8_t> macroId(unsigned slot)
{
    if (slot >= static_cast<unsigned>(slotCount))
        return std::nullopt;
    return static_cast<std::uint8_t>(slot + 1);
}

std::array<std::uint8_t, 4> hid553GunBytes(int shots, int x, unsigned y, int mode,
                                           bool negateY)
{
    const unsigned sentY = negateY ? 0u - y : y;
    return {static_cast<std::uint8_t>(shots), static_cast<std::uint8_t>(x),
            static_cast<std::uint8_t>(sentY), static_cast<std::uint8_t>(mode - 1)};
}

} // namespace macroblock
