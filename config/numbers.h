#pragma once

// The two free-text numbers of a configuration: the typed port (integer conversion)
// and the loading offset (hexadecimal scan).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vanter {

// Integer conversion of a typed port: leading blanks, then an optional sign with decimal
// digits (signed 32-bit range), or "$", "x", "X", "0x", "0X" with hexadecimal digits up to
// FFFFFFFF (80000000 and above become negative). Nothing may follow.
// Throws ConversionError("'<text>' is not a valid integer value").
std::int32_t toInteger(std::string_view text);

// Result of the hexadecimal scan of a loading offset text.
struct HexScan {
    std::uint32_t value = 0; // FFFFFFFF when the digits overflowed 32 bits
    std::size_t stop = 0;    // index of the first character not taken by the scan
    bool overflow = false;   // a digit carried the value past FFFFFFFF
};

// Leading white space, optional "+"/"-", optional "0x"/"0X", then hexadecimal digits up to the
// first other character. No digit at all: value 0, stop 0. A "-" negates modulo 2^32.
HexScan scanHex(std::string_view text) noexcept;

// The value a loading offset text stands for in the configuration file.
inline std::uint32_t offsetValue(std::string_view text) noexcept {
    return scanHex(text).value;
}

// Whether the offset check accepts the text: the scan consumes it to its end and the value
// fits in 32 bits.
bool isAcceptableOffset(std::string_view text) noexcept;

} // namespace vanter
