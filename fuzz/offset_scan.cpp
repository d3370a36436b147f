// The hexadecimal scan of a loading offset and the offset check, against the scan rules written
// out plainly: white space, one sign, an optional "0x" whose "0" counts as a digit, hexadecimal
// digits up to the first other character, the value modulo 2^32 after a "-", FFFFFFFF and a stop
// right after the digit that carries the value past 32 bits.

#include <cstdint>
#include <string>
#include <string_view>

#include "config/numbers.h"
#include "fuzz_check.h"
#include "text/hex.h"

namespace {

struct Expected {
    std::uint32_t value = 0;
    std::size_t stop = 0;
    bool overflow = false;
};

int digitValue(char c) {
    const std::string_view digits = "0123456789abcdef";
    const char lower = (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
    const std::size_t at = digits.find(lower);
    return at == std::string_view::npos || c == '\0' ? -1 : static_cast<int>(at);
}

Expected model(std::string_view text) {
    std::size_t i = text.find_first_not_of(std::string_view(" \t\n\v\f\r"));
    if (i == std::string_view::npos) {
        return {};
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    std::size_t digits = 0;
    if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X") {
        i += 2;
        digits = 1;
    }
    // 64 bits hold eight significant digits and one more with room to spare.
    std::uint64_t value = 0;
    for (; i < text.size() && digitValue(text[i]) >= 0; ++i) {
        ++digits;
        value = value * 16 + static_cast<std::uint64_t>(digitValue(text[i]));
        if (value > 0xFFFFFFFFu) {
            return {0xFFFFFFFFu, i + 1, true};
        }
    }
    if (digits == 0) {
        return {};
    }
    const auto low = static_cast<std::uint32_t>(value);
    return {negative ? 0u - low : low, i, false};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vanter::fuzz::asText(data, size);
    const vanter::HexScan scan = vanter::scanHex(text);
    const Expected expected = model(text);
    FUZZ_CHECK(scan.value == expected.value);
    FUZZ_CHECK(scan.stop == expected.stop);
    FUZZ_CHECK(scan.overflow == expected.overflow);
    FUZZ_CHECK(scan.stop <= text.size());
    FUZZ_CHECK(vanter::offsetValue(text) == scan.value);
    FUZZ_CHECK(vanter::isAcceptableOffset(text) == (scan.stop == text.size() && !scan.overflow));

    // The scan decides on what it has taken: the text cut at the stop scans the same.
    if (scan.stop > 0) {
        const vanter::HexScan cut = vanter::scanHex(text.substr(0, scan.stop));
        FUZZ_CHECK(cut.value == scan.value && cut.stop == scan.stop);
    }
    // What the writer stores for the text is accepted and reads back as the same value.
    const std::string stored = vanter::text::toHex(scan.value);
    FUZZ_CHECK(vanter::isAcceptableOffset(stored));
    FUZZ_CHECK(vanter::offsetValue(stored) == scan.value);
    FUZZ_CHECK(stored.size() >= 1 && stored.size() <= 8);
    return 0;
}
