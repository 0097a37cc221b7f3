#include "dpicodes.h"

#include <algorithm>

namespace dpicodes {

namespace {

constexpr std::string_view sensor3360 = "3360";
constexpr std::string_view sensor3050 = "3050";
constexpr std::string_view sensor3389 = "3389";
constexpr std::string_view sensor3327 = "3327";

// "3050": the first row whose limit is at least the value gives the code.
struct Step
{
    int limit;
    std::uint8_t code;
};
constexpr Step steps3050[] = {
    {250, 1},     {500, 2},     {750, 3},     {1000, 4},
    {1250, 5},    {1500, 6},    {1750, 7},    {2000, 8},
    {2500, 0x45}, {3000, 0x46}, {3500, 0x47}, {4000, 0x48},
};

constexpr int step3389 = 50;
constexpr int bits8 = 0xFF;
constexpr int limit3327 = 6200;
// Above this value the default sensors count in 200 steps with bit 6 set.
constexpr int fineLimit = 5000;
constexpr std::uint8_t coarseFlag = 0x40;

std::uint8_t low(int value)
{
    return static_cast<std::uint8_t>(value & bits8);
}

} // namespace

StageCode encode(std::string_view sensorType, int v)
{
    if (sensorType == sensor3360)
        return {low(v / 100 - 1), false};
    if (sensorType == sensor3050) {
        for (const Step &step : steps3050) {
            if (step.limit >= v)
                return {step.code, false};
        }
        return {0, false};
    }
    if (sensorType == sensor3389) {
        const int units = v / step3389;
        return {low(units), units > bits8};
    }
    if (sensorType == sensor3327)
        return {low(2 * (std::min(v, limit3327) / 100)), false};
    if (v <= fineLimit)
        return {low(v / 100 - 1), false};
    return {static_cast<std::uint8_t>(low(v / 200) | coarseFlag), false};
}

Stages encodeStages(std::string_view sensorType, const std::vector<int> &values)
{
    Stages stages;
    stages.valueCount = std::min<int>(static_cast<int>(values.size()), stageCount);
    for (int i = 0; i < stages.valueCount; ++i) {
        const StageCode c = encode(sensorType, values[i]);
        stages.codes[i] = c.code;
        if (c.highBit)
            stages.highBits |= static_cast<std::uint8_t>(1u << i);
    }
    return stages;
}

std::array<std::uint8_t, stageCount> hid553Codes(const Stages &stages, int dpiCount)
{
    std::array<std::uint8_t, stageCount> codes = stages.codes;
    for (int i = std::max(dpiCount, 0); i < stages.valueCount; ++i)
        codes[i] = disabledStage;
    return codes;
}

std::uint8_t stageMask(int dpiCount)
{
    const int count = std::clamp(dpiCount, 0, stageCount);
    return static_cast<std::uint8_t>((1u << count) - 1u);
}

bool usesHighBits(std::string_view sensorType)
{
    return sensorType == sensor3389;
}

} // namespace dpicodes
