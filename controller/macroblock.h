#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Macro and recoil data in the form the device receives.
namespace macroblock {

constexpr int blockSize = 128;
constexpr int slotCount = 12;

using Block = std::array<std::uint8_t, blockSize>;

// The scene's encoded macro bytes (low bytes), zero-filled to 128; values
// beyond 128 are ignored.
Block macroBlock(const std::vector<int> &macroData);

// The device's macro number of a 0-based slot (numbered from 1); none for
// slots that do not exist.
std::optional<std::uint8_t> macroId(unsigned slot);

// The four argument bytes of the hid553 recoil command: shots, X, Y (negated
// when the mouse's options ask for it) and the recoil mode counted from 0.
std::array<std::uint8_t, 4> hid553GunBytes(int shots, int x, unsigned y, int mode,
                                           bool negateY);

} // namespace macroblock
