#pragma once

// Layout of the nine-byte command frame as the firmware sees it.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vr770 {

using Bytes = std::vector<uint8_t>;

namespace frame {

constexpr size_t Size = 9;        // report id + 8-byte block
constexpr size_t BlockSize = 8;   // the scrambled part: bytes 1..8
constexpr int ReportId = 0;
constexpr int Code = 1;
constexpr int FirstParam = 2;     // parameter bytes 2..7
constexpr int BlockLength = 3;    // data-block length of block commands
constexpr int Checksum = 8;
constexpr size_t MaxBlock = 128;  // largest data block the firmware takes

// Frame with report id 0, the code, parameters from byte 2 and its checksum.
Bytes build(uint8_t code, std::initializer_list<uint8_t> params = {});

} // namespace frame
} // namespace vr770
