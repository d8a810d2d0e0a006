// What both fuzz targets check with: a broken expectation traps, so libFuzzer keeps the input.
#pragma once

#include <bit>
#include <cstdint>

inline void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

inline bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
