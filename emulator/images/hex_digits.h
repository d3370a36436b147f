#pragma once

// Decoding the hexadecimal digit pairs of text records (internal to the readers).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vanter::images::detail {

// Value of each character as a hexadecimal digit; 0xFF for any other character.
inline constexpr std::array<std::uint8_t, 256> kHexValue = [] {
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

// Decodes digits.size() / 2 bytes (digits.size() even) into out. Returns the index of the first
// character that is not a hexadecimal digit, or digits.size() when all are.
inline std::size_t decodeHex(std::string_view digits, std::uint8_t* out) noexcept {
    const std::size_t count = digits.size() / 2;
    unsigned bad = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned high = kHexValue[static_cast<unsigned char>(digits[2 * i])];
        const unsigned low = kHexValue[static_cast<unsigned char>(digits[2 * i + 1])];
        bad |= high | low;
        out[i] = static_cast<std::uint8_t>((high << 4) | (low & 0x0F));
    }
    if ((bad & 0xF0) == 0) {
        return digits.size();
    }
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (kHexValue[static_cast<unsigned char>(digits[i])] == 0xFF) {
            return i;
        }
    }
    return digits.size();
}

// The character at `index` of a line as the failure text shows it: 'x', or its code.
inline std::string describeChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
        return std::string("'") + c + "'";
    }
    constexpr char digits[] = "0123456789abcdef";
    return std::string("byte 0x") + digits[u >> 4] + digits[u & 0x0F];
}

} // namespace vanter::images::detail
