#include "keymatrix.h"

#include "listvalues.h"

namespace keymatrix {

namespace {

// Byte positions within one entry.
constexpr int typeByte = 0;
constexpr int code1Byte = 1;
constexpr int code2Byte = 2;
constexpr int code3Byte = 3;

// Device entry types.
namespace device {
constexpr std::uint8_t key = 0;
constexpr std::uint8_t mouseButton = 1;
constexpr std::uint8_t consumer = 3;
constexpr std::uint8_t fixed = 4;
constexpr std::uint8_t dpi = 7;
constexpr std::uint8_t macro = 9;
constexpr std::uint8_t fire = 0x0A;
constexpr std::uint8_t recoilPeriod = 0x0B;
} // namespace device

// Scene type -> device type; types not listed pass unchanged.
struct TypeMapping
{
    std::uint8_t sceneType;
    std::uint8_t deviceType;
};
constexpr TypeMapping typeTable[] = {
    {scene::mouseButton, device::mouseButton},
    {scene::fire, device::fire},
    {scene::group, device::key},
    {scene::media, device::consumer},
    {scene::macro, device::macro},
    {scene::dpi, device::dpi},
    {scene::window, device::key},
    {scene::shortcut, device::key},
    {scene::recoil, deviceRecoil},
    {scene::fixed, device::fixed},
};

// The mouse-button entry that means "double fire".
constexpr std::uint8_t doubleFireCode2 = 0x1E;
constexpr std::uint8_t doubleFireCode3 = 2;
// The DPI function "sniper" and its device forms.
constexpr std::uint8_t dpiSniper = 4;
constexpr Entry sniper560 = {0x0B, 0, 1, 1};
constexpr Entry sniper553 = {7, 0, 4, 2};

// Consumer usages (low, high) that the device handles as consumer keys
// whatever the scene type: search, home, my computer.
struct ConsumerUsage
{
    std::uint8_t low;
    std::uint8_t high;
};
constexpr ConsumerUsage consumerUsages[] = {{0x21, 2}, {0x23, 2}, {0x94, 1}};

// Positions whose device content is fixed by the firmware layout.
constexpr int dpiKeyPosition = 5;
constexpr int dpiKeyMovedTo = 7;
struct FixedEntry
{
    int position;
    Entry entry;
};
constexpr FixedEntry fixedEntries[] = {
    {5, {7, 0, 3, 0}},
    {6, {5, 0, 3, 0}},
    {8, {0x0D, 0, 0, 0}},
    {9, {0x0D, 1, 0, 0}},
    {12, {0x0E, 0, 0, 0}},
};

std::uint8_t deviceType(std::uint8_t sceneType)
{
    for (const TypeMapping &row : typeTable) {
        if (row.sceneType == sceneType)
            return row.deviceType;
    }
    return sceneType;
}

bool isConsumerUsage(std::uint8_t low, std::uint8_t high)
{
    for (const ConsumerUsage &usage : consumerUsages) {
        if (usage.low == low && usage.high == high)
            return true;
    }
    return false;
}

// The recoil-mode bytes of one recoil key with v modes, per matrix.
struct RecoilRow
{
    std::uint8_t m;
    std::uint8_t f;
    std::uint8_t f2;
    std::uint8_t f3;
    std::uint8_t mask; // hid560 only
};
// Index v - 1; hid553 puts these into byte 3, hid560 into byte 2.
constexpr RecoilRow recoil553[] = {
    {1, 0, 0, 0, 0},
    {1, 2, 0, 0, 0},
    {1, 2, 3, 0, 0},
};
constexpr RecoilRow recoil560[] = {
    {1, 0, 0, 0, 0x07},
    {1, 3, 0, 0, 0x0F},
    {1, 3, 3, 0, 0x1F},
};
constexpr int maxRecoilModes = 3;
// hid553 recoil keys always carry these in bytes 1 and 2.
constexpr std::uint8_t recoil553Code1 = 0;
constexpr std::uint8_t recoil553Code2 = 1;

} // namespace

Entry entryAt(const Matrix &matrix, int index)
{
    Entry entry{};
    for (int i = 0; i < entrySize; ++i)
        entry[i] = matrix[index * entrySize + i];
    return entry;
}

void setEntry(Matrix &matrix, int index, const Entry &entry)
{
    for (int i = 0; i < entrySize; ++i)
        matrix[index * entrySize + i] = entry[i];
}

Entry translateEntry(Entry e, CommandSet set)
{
    const std::uint8_t sceneType = e[typeByte];
    e[typeByte] = deviceType(sceneType);
    if (sceneType == scene::mouseButton && e[code2Byte] == doubleFireCode2
        && e[code3Byte] == doubleFireCode3) {
        e[typeByte] = device::fire;
    } else if (sceneType == scene::macro) {
        // The device numbers its macros from 1.
        ++e[code2Byte];
    } else if (sceneType == scene::dpi && e[code2Byte] == dpiSniper) {
        e = set == CommandSet::hid560 ? sniper560 : sniper553;
    }
    if (isConsumerUsage(e[code2Byte], e[code3Byte]))
        e[typeByte] = device::consumer;
    return e;
}

Matrix matrixFromValues(const std::vector<int> &values)
{
    Matrix matrix{};
    for (int i = 0; i < matrixSize; ++i)
        matrix[i] = static_cast<std::uint8_t>(listvalues::at(values, i));
    return matrix;
}

Matrix deviceMatrix(const std::vector<int> &src64, CommandSet set)
{
    const Matrix sceneMatrix = matrixFromValues(src64);
    Matrix m{};
    for (int n = 0; n < entryCount; ++n)
        setEntry(m, n, translateEntry(entryAt(sceneMatrix, n), set));
    setEntry(m, dpiKeyMovedTo, entryAt(m, dpiKeyPosition));
    for (const FixedEntry &fixed : fixedEntries)
        setEntry(m, fixed.position, fixed.entry);
    return m;
}

bool hasRecoilKey(const Matrix &matrix)
{
    for (int n = 0; n < entryCount; ++n) {
        if (matrix[n * entrySize + typeByte] == deviceRecoil)
            return true;
    }
    return false;
}

RecoilSet recoilSet(const Matrix &m, const Matrix &firmware,
                    const std::vector<unsigned> &otherParam, CommandSet set)
{
    RecoilSet out;
    out.m = m;
    out.f = firmware;
    out.f2 = firmware;
    out.f3 = firmware;
    Matrix *const matrices[] = {&out.m, &out.f, &out.f2, &out.f3};

    for (int n = 0; n < entryCount; ++n) {
        const int base = n * entrySize;
        if (m[base + typeByte] != deviceRecoil)
            continue;
        const int v = m[base + code2Byte];
        const bool known = v >= 1 && v <= maxRecoilModes;
        for (Matrix *matrix : matrices)
            (*matrix)[base + typeByte] = deviceRecoil;
        if (set == CommandSet::hid553) {
            for (Matrix *matrix : matrices) {
                (*matrix)[base + code1Byte] = recoil553Code1;
                (*matrix)[base + code2Byte] = recoil553Code2;
            }
        }
        if (!known)
            continue;
        const RecoilRow &row = (set == CommandSet::hid553 ? recoil553 : recoil560)[v - 1];
        const int modeByte = set == CommandSet::hid553 ? code3Byte : code2Byte;
        out.m[base + modeByte] = row.m;
        out.f[base + modeByte] = row.f;
        out.f2[base + modeByte] = row.f2;
        out.f3[base + modeByte] = row.f3;
        if (set == CommandSet::hid560)
            out.recoilMask = row.mask;
    }

    // Entry 0 of matrices 2 to 4 carries the period of recoil pattern 1 to 3.
    Matrix *const derived[] = {&out.f, &out.f2, &out.f3};
    for (int i = 0; i < maxRecoilModes; ++i) {
        const auto period = static_cast<std::uint8_t>(listvalues::at(otherParam, i));
        setEntry(*derived[i], 0, {device::recoilPeriod, static_cast<std::uint8_t>(i), period, 0});
    }
    return out;
}

} // namespace keymatrix
