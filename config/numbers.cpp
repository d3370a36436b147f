#include "config/numbers.h"

#include <charconv>

#include "config/errors.h"
#include "text/hex_digits.h"

namespace vanter {

namespace {

using text::hexDigitValue;

bool isDecimalDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

bool isWhiteSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::int32_t toInteger(std::string_view text) {
    const auto fail = [text] {
        return ConversionError(text);
    };
    std::size_t i = 0;
    // Only the blank counts: a tab is "any other character".
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (i == text.size()) {
        throw fail();
    }

    bool hex = false;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        hex = true;
        i += 1;
    } else if (text[i] == '0' && i + 1 < text.size() &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    if (hex) {
        if (i == text.size()) {
            throw fail();
        }
        std::uint64_t value = 0;
        for (; i < text.size(); ++i) {
            const int d = hexDigitValue(text[i]);
            if (d < 0) {
                throw fail();
            }
            value = value * 16 + static_cast<std::uint64_t>(d);
            if (value > 0xFFFFFFFFu) {
                throw fail();
            }
        }
        // 80000000 and above are the negative numbers of the same 32 bits.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        throw fail();
    }
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!isDecimalDigit(text[i])) {
            throw fail();
        }
        value = value * 10 + (text[i] - '0');
        if (value > limit) {
            throw fail();
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

HexScan scanHex(std::string_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool anyDigit = false;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        i += 2; // the "0" of the prefix is a digit already
        anyDigit = true;
    }

    HexScan scan;
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = hexDigitValue(text[i]);
        if (d < 0) {
            break;
        }
        anyDigit = true;
        if (value > 0x0FFFFFFFu) {
            // The digit that overflows is taken, and the scan ends right after it.
            scan.value = 0xFFFFFFFFu;
            scan.stop = i + 1;
            scan.overflow = true;
            return scan;
        }
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    if (!anyDigit) {
        return scan; // nothing converted: the scan stops before any skipped white space
    }
    scan.value = negative ? 0u - value : value;
    scan.stop = i;
    return scan;
}

bool isAcceptableOffset(std::string_view text) noexcept {
    const HexScan scan = scanHex(text);
    return scan.stop == text.size() && !scan.overflow;
}

} // namespace vanter
