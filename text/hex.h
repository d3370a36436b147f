#pragma once

// The one formatter of numbers as lower-case hexadecimal, for messages, configuration files and
// scripts alike.

#include <charconv>
#include <concepts>
#include <string>
#include <type_traits>

namespace vanter::text {

// The value read as unsigned (a negative 32-bit value gives its 8 digits), lower-case
// hexadecimal, no prefix, no leading zeros.
template <std::integral T> std::string toHex(T value) {
    char buffer[2 * sizeof(T)];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer,
                                      static_cast<std::make_unsigned_t<T>>(value), 16);
    return std::string(buffer, result.ptr);
}

// The same with "0x" in front, as messages show addresses.
template <std::integral T> std::string hexText(T value) {
    return "0x" + toHex(value);
}

} // namespace vanter::text
