#include "emulator/images/text_record.h"

#include <gtest/gtest.h>

#include <cctype>

namespace vanter::images::detail {
namespace {

// Every character at every place of 16- and 18-digit runs (word-wise and character-wise
// decoding): hexadecimal digits decode to their value, anything else is found where it is.
TEST(HexDigits, EveryCharacterAtEveryPlace) {
    for (const std::string& base :
         {std::string("0123456789abcdef"), std::string("FEDCBA9876543210aB")}) {
        for (std::size_t place = 0; place < base.size(); ++place) {
            for (int c = 0; c < 256; ++c) {
                std::string digits = base;
                digits[place] = static_cast<char>(c);
                std::uint8_t out[16] = {};
                unsigned sum = 0;
                const std::size_t bad = decodeHex(digits, out, sum);
                if (!std::isxdigit(c)) {
                    ASSERT_EQ(bad, place) << "character " << c << " at " << place;
                    continue;
                }
                ASSERT_EQ(bad, digits.size()) << "character " << c << " at " << place;
                unsigned expectedSum = 0;
                for (std::size_t i = 0; i < digits.size() / 2; ++i) {
                    const auto expected =
                        static_cast<std::uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
                    ASSERT_EQ(out[i], expected) << digits;
                    expectedSum += expected;
                }
                ASSERT_EQ(sum, expectedSum) << digits;
            }
        }
    }
}

} // namespace
} // namespace vanter::images::detail
