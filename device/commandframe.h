#pragma once

#include <QtGlobal>
#include <array>

// The nine-byte feature report that carries one command, and the byte
// positions every command and reply share.
namespace frame {

constexpr int Size = 9;
constexpr int ReportIdPos = 0;
constexpr int CodePos = 1;
constexpr int FirstParamPos = 2;
constexpr int ParamCount = 6;
constexpr int ChecksumPos = 8;
// The checksum covers the code and the six parameters (bytes 1 to 7).
constexpr int ChecksumSpan = 7;
// Bytes 1 to 8 form the block that scrambling works on.
constexpr int ScrambledPos = 1;
constexpr uchar ReportId = 0;

using Params = std::array<uchar, ParamCount>;
using CommandFrame = std::array<uchar, Size>;

// Bitwise complement of the low 8 bits of the sum of the seven bytes at
// codeAndParams (frame bytes 1 to 7).
uchar checksum(const uchar *codeAndParams);

// Report id 0, code, the six parameters, checksum.
CommandFrame build(uchar code, const Params &params);

} // namespace frame
