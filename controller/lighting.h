#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Lighting: the scene's effect, speed and brightness levels as device
// bytes, and the colour list in the device's byte order.
namespace lighting {

// The three device bytes of an effect: mode, value, and a third byte (the
// speed in the colourful model, an extra byte in the simple one).
struct EffectBytes
{
    std::uint8_t mode = 0;
    std::uint8_t value = 0;
    std::uint8_t third = 0;
};

// Brightness level 1 to 4 as a device value; other levels give 0.
std::uint8_t brightness(int option2);

// Colourful model (isColorful true): effect index, speed level 0 to 4,
// brightness level 1 to 4.
EffectBytes colourfulEffect(int effect, int option1, int option2);

// Simple model (isColorful false): third is the model's extra byte.
EffectBytes simpleEffect(int effect, int option1, int option2);

// Third byte of the hid553 effect command in the simple model.
std::uint8_t hid553SimpleThird(const EffectBytes &simple, bool is55328);

// hid560, simple model: third byte of the profile images; the one block
// sent when the mouse has no recoil profiles gets its own.
constexpr std::uint8_t image560SimpleThird = 2;
constexpr std::uint8_t image560SimpleThirdSingle = 3;

constexpr int colourCount = 8;
constexpr int colourBytes = colourCount * 3;
using Colours = std::array<std::uint8_t, colourBytes>;

// Up to 24 red, green, blue values as device bytes: each complete triple is
// stored blue, green, red; missing values are 0, further values ignored.
Colours deviceColours(const std::vector<int> &src24);

// Whether the eighth colour is black (all three bytes 0).
bool eighthColourBlack(const Colours &colours);

// How the hid553 set sends the colours: the eight colours twice (the usual
// mice), once as type 0 (55328 mice with an eighth colour), or only the
// first colour as the fixed colour (55328 mice whose eighth colour is black).
enum class Hid553ColourCommand { stageColoursTwice, stageColoursOnce, fixedColour };
Hid553ColourCommand hid553ColourCommand(const Colours &colours, bool is55328);
// The type byte of the single stage-colour command of 55328 mice.
constexpr std::uint8_t singleStageColourType = 0;

} // namespace lighting
