// The integer conversion of a typed port against a plain reference model: the text is accepted
// exactly when the model accepts it, with the same value, and a refusal carries the text.

#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "config/errors.h"
#include "config/numbers.h"
#include "fuzz_check.h"
#include "text/hex.h"

namespace {

bool allOf(std::string_view digits, bool hex) {
    for (const char c : digits) {
        const bool decimal = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!decimal && !(hex && letter)) {
            return false;
        }
    }
    return !digits.empty();
}

// Blanks, then "$", "x", "X", "0x" or "0X" with hexadecimal digits up to FFFFFFFF, or an
// optional sign with decimal digits in the signed 32-bit range, and nothing else.
std::optional<std::int32_t> model(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    std::string_view hex;
    bool isHex = false;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        hex = text.substr(1);
        isHex = true;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
        isHex = true;
    }
    if (isHex) {
        std::uint64_t value = 0;
        if (!allOf(hex, true) ||
            std::from_chars(hex.data(), hex.data() + hex.size(), value, 16).ec != std::errc() ||
            value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    std::uint64_t value = 0;
    if (!allOf(text, false) ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc() ||
        value > (negative ? 2147483648u : 2147483647u)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                              : static_cast<std::int64_t>(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vanter::fuzz::asText(data, size);
    const std::optional<std::int32_t> expected = model(text);
    try {
        const std::int32_t value = vanter::toInteger(text);
        FUZZ_CHECK(expected.has_value());
        FUZZ_CHECK(value == *expected);
        // What the writer makes of it reads back to the same value.
        FUZZ_CHECK(vanter::toInteger("0x" + vanter::text::toHex(value)) == value);
    } catch (const vanter::ConversionError& e) {
        FUZZ_CHECK(!expected.has_value());
        FUZZ_CHECK(e.text() == text);
        // what() is a C string: a NUL in the text ends it there, the whole text is in text().
        const std::string message = "'" + std::string(text) + "' is not a valid integer value";
        FUZZ_CHECK(std::strcmp(e.what(), message.c_str()) == 0);
    }
    return 0;
}
