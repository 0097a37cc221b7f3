#pragma once

#include <cstddef>
#include <vector>

// Reading positions of value lists that may be shorter than the caller
// expects: a missing position reads as 0, nothing past the end is touched.
namespace listvalues {

template <typename T>
T at(const std::vector<T> &values, std::size_t index)
{
    return index < values.size() ? values[index] : T{};
}

} // namespace listvalues
