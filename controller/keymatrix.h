#pragma once

#include "commandset.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Key assignment: the scene's 16 four-byte entries turned into the device's
// key matrices. Plain data in, bytes out.
namespace keymatrix {

constexpr int entryCount = 16;
constexpr int entrySize = 4;
constexpr int matrixSize = entryCount * entrySize;

// The device's matrices: 1 is the normal assignment, 2 to 4 belong to the
// recoil modes.
constexpr int mainMatrix = 1;
constexpr int firstRecoilMatrix = 2;
constexpr int lastMatrix = 4;

using Entry = std::array<std::uint8_t, entrySize>;
using Matrix = std::array<std::uint8_t, matrixSize>;

// Scene entry types (byte 0 of a scene entry).
namespace scene {
constexpr std::uint8_t mouseButton = 0;
constexpr std::uint8_t fire = 1;
constexpr std::uint8_t group = 2;
constexpr std::uint8_t media = 3;
constexpr std::uint8_t macro = 4;
constexpr std::uint8_t dpi = 5;
constexpr std::uint8_t window = 6;
constexpr std::uint8_t shortcut = 7;
constexpr std::uint8_t recoil = 8;
constexpr std::uint8_t fixed = 0xFF;
} // namespace scene

// Device entry type of the recoil-mode key.
constexpr std::uint8_t deviceRecoil = 8;

Entry entryAt(const Matrix &matrix, int index);
void setEntry(Matrix &matrix, int index, const Entry &entry);

// One scene entry in device form.
Entry translateEntry(Entry sceneEntry, CommandSet set);

// The device matrix 1 of a scene assignment: every entry translated, then
// the fixed positions applied. Missing values of a short list count as 0.
Matrix deviceMatrix(const std::vector<int> &src64, CommandSet set);

// The 64 bytes of the firmware default matrix (zero where values are missing).
Matrix matrixFromValues(const std::vector<int> &values);

bool hasRecoilKey(const Matrix &matrix);

// What a matrix with a recoil-mode key is sent as: matrices 1 to 4, and for
// hid560 the recoil-mode mask of profile image block 0 (if one was decided).
struct RecoilSet
{
    Matrix m{};
    Matrix f{};
    Matrix f2{};
    Matrix f3{};
    std::optional<std::uint8_t> recoilMask;
};

// Derives matrices 2 to 4 from the firmware matrix; otherParam holds the
// periods of the three selected recoil patterns (missing ones count as 0).
RecoilSet recoilSet(const Matrix &m, const Matrix &firmware,
                    const std::vector<unsigned> &otherParam, CommandSet set);

} // namespace keymatrix
