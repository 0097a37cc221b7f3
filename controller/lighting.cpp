#include "lighting.h"

#include <utility>

namespace lighting {

namespace {

constexpr int levelCount = 5; // speed levels 0 to 4, brightness 0 to 4

constexpr std::uint8_t brightnessTable[levelCount] = {0, 0x40, 0x80, 0xC0, 0xFF};

// How the value byte of a row is derived from the scene's options.
enum class ValueRule { brightnessStep, speedPlusOne, speedStep };

struct ColourfulRow
{
    std::uint8_t mode;
    bool usesBrightness;
    std::array<std::uint8_t, levelCount> speeds; // by option1
};
constexpr std::array<std::uint8_t, levelCount> noSpeed = {0, 0, 0, 0, 0};
constexpr std::array<std::uint8_t, levelCount> normalSpeed = {10, 7, 5, 3, 1};
constexpr ColourfulRow colourfulTable[] = {
    {1, true, noSpeed},
    {3, false, normalSpeed},
    {4, false, normalSpeed},
    {0, false, noSpeed},
    {2, true, noSpeed},
    {5, true, normalSpeed},
    {6, false, noSpeed},
    {7, true, noSpeed},
    {8, true, {20, 17, 15, 13, 11}},
    {9, true, {15, 13, 10, 7, 5}},
    {10, true, {30, 27, 24, 22, 20}},
};

struct SimpleRow
{
    int effect;
    std::uint8_t mode;
    ValueRule rule;
    std::uint8_t extra;
};
constexpr SimpleRow simpleTable[] = {
    {0, 1, ValueRule::brightnessStep, 1},
    {1, 2, ValueRule::speedPlusOne, 1},
    {2, 3, ValueRule::speedStep, 1},
    {4, 2, ValueRule::speedPlusOne, 3},
};
// Simple model values by brightness level 0 to 4 and by speed level 0 to 4.
constexpr std::uint8_t simpleBrightness[levelCount] = {1, 3, 5, 7, 10};
constexpr std::uint8_t simpleSpeed[levelCount] = {30, 24, 18, 12, 6};
// The hid553 simple-model third byte on mice that are not 55328 ones.
constexpr std::uint8_t hid553SimpleDefaultThird = 2;

template <typename T, std::size_t N>
T byLevel(const T (&table)[N], int level)
{
    return level >= 0 && level < static_cast<int>(N) ? table[level] : T{};
}

template <typename T, std::size_t N>
T byLevel(const std::array<T, N> &table, int level)
{
    return level >= 0 && level < static_cast<int>(N) ? table[level] : T{};
}

constexpr int red = 0;
constexpr int blue = 2;

} // namespace

std::uint8_t brightness(int option2)
{
    return byLevel(brightnessTable, option2);
}

EffectBytes colourfulEffect(int effect, int option1, int option2)
{
    constexpr int rows = sizeof(colourfulTable) / sizeof(colourfulTable[0]);
    if (effect < 0 || effect >= rows)
        return {};
    const ColourfulRow &row = colourfulTable[effect];
    return {row.mode, row.usesBrightness ? brightness(option2) : std::uint8_t(0),
            byLevel(row.speeds, option1)};
}

EffectBytes simpleEffect(int effect, int option1, int option2)
{
    for (const SimpleRow &row : simpleTable) {
        if (row.effect != effect)
            continue;
        std::uint8_t value = 0;
        switch (row.rule) {
        case ValueRule::brightnessStep:
            value = byLevel(simpleBrightness, option2);
            break;
        case ValueRule::speedPlusOne:
            value = static_cast<std::uint8_t>(option1 + 1);
            break;
        case ValueRule::speedStep:
            value = byLevel(simpleSpeed, option1);
            break;
        }
        return {row.mode, value, row.extra};
    }
    return {};
}

std::uint8_t hid553SimpleThird(const EffectBytes &simple, bool is55328)
{
    return is55328 ? simple.third : hid553SimpleDefaultThird;
}

Colours deviceColours(const std::vector<int> &src24)
{
    Colours colours{};
    const int given = static_cast<int>(src24.size()) < colourBytes
                          ? static_cast<int>(src24.size())
                          : colourBytes;
    for (int i = 0; i < given; ++i)
        colours[i] = static_cast<std::uint8_t>(src24[i]);
    for (int start = 0; start + 3 <= given; start += 3)
        std::swap(colours[start + red], colours[start + blue]);
    return colours;
}

bool eighthColourBlack(const Colours &colours)
{
    const int last = colourBytes - 3;
    return colours[last] == 0 && colours[last + 1] == 0 && colours[last + 2] == 0;
}

Hid553ColourCommand hid553ColourCommand(const Colours &colours, bool is55328)
{
    if (!is55328)
        return Hid553ColourCommand::stageColoursTwice;
    return eighthColourBlack(colours) ? Hid553ColourCommand::fixedColour
                                      : Hid553ColourCommand::stageColoursOnce;
}

} // namespace lighting
