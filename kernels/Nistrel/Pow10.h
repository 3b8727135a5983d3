#pragma once

#include <array>
#include <cstdint>

// 10^n for n = 0 .. 19, the powers of ten that fit in 64 bits.
inline constexpr std::array<std::uint64_t, 20> kPow10 = [] {
    std::array<std::uint64_t, 20> table{};
    std::uint64_t value = 1;
    for (std::size_t i = 0; i < table.size(); ++i, value *= 10)
        table[i] = value;
    return table;
}();
