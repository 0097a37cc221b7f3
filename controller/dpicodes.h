#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// DPI stage values turned into the one-byte codes of the sensor in use.
namespace dpicodes {

constexpr int stageCount = 8;
// A stage the hid553 set leaves out.
constexpr std::uint8_t disabledStage = 0x80;

struct StageCode
{
    std::uint8_t code = 0;
    // Set when the value needs a ninth code bit (sensor "3389" only).
    bool highBit = false;
};

// The code of one value for the sensor named by sensorType.
StageCode encode(std::string_view sensorType, int value);

struct Stages
{
    std::array<std::uint8_t, stageCount> codes{};
    // Bit i = ninth bit of stage i+1's code.
    std::uint8_t highBits = 0;
    // How many values were given (at most stageCount).
    int valueCount = 0;
};

// Codes of up to eight stage values; further values are ignored, stages
// without a value keep code 0.
Stages encodeStages(std::string_view sensorType, const std::vector<int> &values);

// The hid553 form: stages from dpiCount up to the last given value are
// marked disabled.
std::array<std::uint8_t, stageCount> hid553Codes(const Stages &stages, int dpiCount);

// Stage-enable mask of the hid560 profile image: bits 0 to dpiCount-1.
std::uint8_t stageMask(int dpiCount);

// Whether the sensor's codes carry the ninth bit in the profile image.
bool usesHighBits(std::string_view sensorType);

} // namespace dpicodes
