#pragma once

#include "dpicodes.h"
#include "lighting.h"

#include <array>
#include <cstdint>
#include <vector>

// The hid560 device profile image: five 128-byte blocks, block n being
// device profile n. Only the bytes named here are ever written; all others
// keep what the device last reported.
namespace profileimage {

constexpr int blockSize = 128;
constexpr int blockCount = 5;

// Blocks with a meaning of their own.
constexpr int colourfulBlock = 0; // colourful-model colours, recoil-mode mask
constexpr int mainBlock = 1;      // the profile used without recoil modes
constexpr int firstRecoilBlock = 2;
constexpr int lastRecoilBlock = 4;

// Byte offsets within a block.
namespace offset {
constexpr int recoilMask = 2;
constexpr int colourfulColours = 24;
constexpr int recoilFlags = 65;
constexpr int lightMode = 71;
constexpr int lightValue = 72;
constexpr int lightThird = 73;
constexpr int recoil = 78; // marker, shots, X, Y
constexpr int dpiHighBitsX = 82;
constexpr int dpiHighBitsY = 83;
constexpr int dpiCodesX = 84;
constexpr int dpiCodesY = 92;
constexpr int dpiMask = 100;
constexpr int simpleColours = 104;
} // namespace offset

using Block = std::uint8_t[blockSize];
using Images = std::uint8_t[blockCount][blockSize];

bool isBlock(unsigned profileNo);

// DPI codes, their stage-enable mask and, when withHighBits, the ninth bits.
void writeDpi(std::uint8_t *block, const dpicodes::Stages &stages, std::uint8_t mask,
              bool withHighBits);
void writeEffect(std::uint8_t *block, const lighting::EffectBytes &effect);
void writeColours(std::uint8_t *block, int at, const lighting::Colours &colours);
// One recoil data set: shots, X offset, Y offset (low bytes).
void writeRecoil(std::uint8_t *block, int shots, int x, int y);

// The image sending rule: block 1, and blocks 2 to 4 too on mice with
// recoil profiles.
std::vector<int> blocksToSend(bool isGun);

// Whole changes of the images. Each writes its bytes into the blocks it
// concerns and returns the blocks to send, in order.

// DPI codes of one sensor into blocks 1 to 4.
std::vector<int> applyDpi(Images &images, const dpicodes::Stages &stages, int dpiCount,
                          bool withHighBits, bool isGun);
// A lighting effect into blocks 1 to 4. The simple model carries a fixed
// third byte instead of its extra byte.
std::vector<int> applyEffect(Images &images, lighting::EffectBytes effect, bool isColorful,
                             bool isGun);
// The colours go to block 0 (colourful model) or block 1 (simple model).
std::vector<int> applyColours(Images &images, const lighting::Colours &colours,
                              bool isColorful);
// One recoil data set for recoil mode 1 to 3 (blocks 2 to 4); nothing for
// other modes.
std::vector<int> applyRecoil(Images &images, int mode, int shots, int x, int y);

// Blocks still to go to the mouse, each with the bytes it is to carry: those
// held back while a flow of several operations runs, and those whose send
// failed.
class UnsentBlocks
{
public:
    // Marks a block with the bytes it is to carry, replacing earlier ones.
    void mark(int block, const std::uint8_t *bytes);
    void clear(int block);
    // The marked blocks, lowest first.
    std::vector<int> marked() const;
    const std::uint8_t *bytes(int block) const { return held[block]; }

private:
    Images held{};
    std::array<bool, blockCount> isMarked{};
};

} // namespace profileimage
