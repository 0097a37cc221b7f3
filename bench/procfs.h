#pragma once

#include <cstdint>

// What the kernel says about a running process.
namespace procfs {

// Resident set now and its peak (VmRSS, VmHWM), in KiB; 0 when unknown.
struct Memory
{
    std::int64_t residentKiB = 0;
    std::int64_t peakKiB = 0;
};
Memory memory(std::int64_t pid);

// CPU time (user and system) of the whole process so far, ended threads
// included, in nanoseconds at clock-tick resolution; -1 when unknown.
std::int64_t cpuTimeNs(std::int64_t pid);

// The monotonic clock both the benchmark and the program report against.
std::int64_t nowNs();

} // namespace procfs
