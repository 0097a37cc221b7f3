#include "profileimage.h"

#include <algorithm>
#include <cstring>

namespace profileimage {

namespace {
constexpr std::uint8_t recoilMarker = 0xF0;
// Bit of the recoil-flags byte that a fresh recoil data set clears.
constexpr std::uint8_t recoilFlagCleared = 0x04;
} // namespace

bool isBlock(unsigned profileNo)
{
    return profileNo < static_cast<unsigned>(blockCount);
}

void writeDpi(std::uint8_t *block, const dpicodes::Stages &stages, std::uint8_t mask,
              bool withHighBits)
{
    std::copy(stages.codes.begin(), stages.codes.end(), block + offset::dpiCodesX);
    std::copy(stages.codes.begin(), stages.codes.end(), block + offset::dpiCodesY);
    block[offset::dpiMask] = mask;
    if (withHighBits) {
        block[offset::dpiHighBitsX] = stages.highBits;
        block[offset::dpiHighBitsY] = stages.highBits;
    }
}

void writeEffect(std::uint8_t *block, const lighting::EffectBytes &effect)
{
    block[offset::lightMode] = effect.mode;
    block[offset::lightValue] = effect.value;
    block[offset::lightThird] = effect.third;
}

void writeColours(std::uint8_t *block, int at, const lighting::Colours &colours)
{
    std::copy(colours.begin(), colours.end(), block + at);
}

void writeRecoil(std::uint8_t *block, int shots, int x, int y)
{
    block[offset::recoil] = recoilMarker;
    block[offset::recoil + 1] = static_cast<std::uint8_t>(shots);
    block[offset::recoil + 2] = static_cast<std::uint8_t>(x);
    block[offset::recoilFlags] &= static_cast<std::uint8_t>(~recoilFlagCleared);
    block[offset::recoil + 3] = static_cast<std::uint8_t>(y);
}

std::vector<int> blocksToSend(bool isGun)
{
    if (!isGun)
        return {mainBlock};
    std::vector<int> blocks;
    for (int b = mainBlock; b <= lastRecoilBlock; ++b)
        blocks.push_back(b);
    return blocks;
}

std::vector<int> applyDpi(Images &images, const dpicodes::Stages &stages, int dpiCount,
                          bool withHighBits, bool isGun)
{
    const std::uint8_t mask = dpicodes::stageMask(dpiCount);
    for (int b = mainBlock; b <= lastRecoilBlock; ++b)
        writeDpi(images[b], stages, mask, withHighBits);
    return blocksToSend(isGun);
}

std::vector<int> applyEffect(Images &images, lighting::EffectBytes effect, bool isColorful,
                             bool isGun)
{
    if (!isColorful)
        effect.third = lighting::image560SimpleThird;
    for (int b = mainBlock; b <= lastRecoilBlock; ++b)
        writeEffect(images[b], effect);
    if (!isColorful && !isGun)
        images[mainBlock][offset::lightThird] = lighting::image560SimpleThirdSingle;
    return blocksToSend(isGun);
}

std::vector<int> applyColours(Images &images, const lighting::Colours &colours,
                              bool isColorful)
{
    if (isColorful) {
        writeColours(images[colourfulBlock], offset::colourfulColours, colours);
        return {colourfulBlock};
    }
    writeColours(images[mainBlock], offset::simpleColours, colours);
    return {mainBlock};
}

std::vector<int> applyRecoil(Images &images, int mode, int shots, int x, int y)
{
    const int block = firstRecoilBlock + mode - 1;
    if (block < firstRecoilBlock || block > lastRecoilBlock)
        return {};
    writeRecoil(images[block], shots, x, y);
    return {block};
}

void UnsentBlocks::mark(int block, const std::uint8_t *bytes)
{
    std::memcpy(held[block], bytes, blockSize);
    isMarked[size_t(block)] = true;
}

void UnsentBlocks::clear(int block)
{
    isMarked[size_t(block)] = false;
}

std::vector<int> UnsentBlocks::marked() const
{
    std::vector<int> blocks;
    for (int b = 0; b < blockCount; ++b)
        if (isMarked[size_t(b)])
            blocks.push_back(b);
    return blocks;
}

} // namespace profileimage
