#pragma once

// Hexadecimal digits, for every reader of numbers in text: the configuration's rules and the
// image readers. At the bottom of the layering: anyone may include it, and it includes nothing
// but the standard library.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vanter::text {

// Value of each character as a hexadecimal digit; 0xFF for any other character.
inline constexpr std::array<std::uint8_t, 256> kHexDigitValue = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(0xFF);
    for (int c = '0'; c <= '9'; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - '0');
    }
    for (int c = 'a'; c <= 'f'; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - 'a' + 10);
        table[static_cast<std::size_t>(c - 'a' + 'A')] = static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return table;
}();

// The value of `c` as a hexadecimal digit; -1 when it is none.
constexpr int hexDigitValue(char c) noexcept {
    const std::uint8_t value = kHexDigitValue[static_cast<unsigned char>(c)];
    return value == 0xFF ? -1 : value;
}

} // namespace vanter::text
