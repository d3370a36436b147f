#include "config/numbers.h"

#include <gtest/gtest.h>

#include "config/errors.h"
#include "text/hex.h"

namespace vanter {
namespace {

struct IntegerCase {
    const char* text;
    std::int32_t value;
};

TEST(ToInteger, AcceptsDecimalAndPrefixedHexadecimal) {
    const IntegerCase cases[] = {
        {"0", 0},
        {"700", 700},
        {"+700", 700},
        {"-700", -700},
        {"-0", 0},
        {"007", 7},
        {"   42", 42},
        {" -5", -5},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$2bc", 700},
        {"x2BC", 700},
        {"X2bc", 700},
        {"0x2bc", 700},
        {"0X2BC", 700},
        {"  $ff", 255},
        {"0x7FFFFFFF", 2147483647},
        {"0x80000000", -2147483647 - 1},
        {"$FFFFFFFF", -1},
        {"0x000000001", 1},
        {"0x0", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toInteger(c.text), c.value) << "text '" << c.text << "'";
    }
}

TEST(ToInteger, RefusesEverythingElseWithTheText) {
    const char* const cases[] = {
        "",       "   ",        "lpt1",        "usb",         "700 ", "\t700",
        "700\t",  "2147483648", "-2147483649", "0x100000000", "0x",   "$",
        "x",      "+",          "-",           "+0x10",       "-$10", "0x-1",
        "1 2",    "0x2bg",      "- 5",         "00x1",        "x 1",  "99999999999999999999",
        "0x2bc ", "1.0",        "0b1",
    };
    for (const char* text : cases) {
        try {
            toInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.text(), text);
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

struct ScanCase {
    const char* text;
    std::uint32_t value;
    std::size_t stop;
    bool overflow;
};

TEST(ScanHex, ValueStopAndOverflow) {
    const ScanCase cases[] = {
        {"", 0, 0, false},
        {"0", 0, 1, false},
        {"0x0000", 0, 6, false},
        {"0x", 0, 2, false},
        {"FFF0", 0xFFF0, 4, false},
        {"fff0", 0xFFF0, 4, false},
        {"0xFFF0", 0xFFF0, 6, false},
        {" FFF0", 0xFFF0, 5, false},
        {"\t\n\v\f\r 8000", 0x8000, 10, false},
        {"8000", 0x8000, 4, false},
        {"-1", 0xFFFFFFFF, 2, false},
        {"-FF", 0xFFFFFF01, 3, false},
        {"-0x10", 0xFFFFFFF0, 5, false},
        {"+0x10", 0x10, 5, false},
        {"00000000001", 1, 11, false},
        {"FFFFFFFF", 0xFFFFFFFF, 8, false},
        {"0x000000000FFFFFFFF", 0xFFFFFFFF, 19, false},
        // The digit that overflows is taken; the scan ends right after it.
        {"123456789", 0xFFFFFFFF, 9, true},
        {"123456789A", 0xFFFFFFFF, 9, true},
        {"FFFFFFFFFF", 0xFFFFFFFF, 9, true},
        {"-123456789", 0xFFFFFFFF, 10, true},
        // No digit at all: stop before any skipped white space.
        {"   ", 0, 0, false},
        {"-", 0, 0, false},
        {" +", 0, 0, false},
        {"x1F", 0, 0, false},
        {"G", 0, 0, false},
        // Partial scans.
        {"0xG", 0, 2, false},
        {"0x0x1", 0, 3, false},
        {"00x1", 0, 2, false},
        {"FF ", 0xFF, 2, false},
        {"1 2", 1, 1, false},
        {"8000zz", 0x8000, 4, false},
    };
    for (const auto& c : cases) {
        const HexScan scan = scanHex(c.text);
        EXPECT_EQ(scan.value, c.value) << "text '" << c.text << "'";
        EXPECT_EQ(scan.stop, c.stop) << "text '" << c.text << "'";
        EXPECT_EQ(scan.overflow, c.overflow) << "text '" << c.text << "'";
        EXPECT_EQ(offsetValue(c.text), c.value);
    }
}

TEST(OffsetCheck, AcceptsTextsTheScanConsumesAndThatFit) {
    const char* const accepted[] = {
        "",   "0",   "0x0000", "FFF0", "fff0", "0x1F",        "0X1f",     "0x",
        "0X", "-FF", "+0x10",  " FF",  "\tFF", "00000000001", "FFFFFFFF", "000000000FFFFFFFF"};
    for (const char* text : accepted) {
        EXPECT_TRUE(isAcceptableOffset(text)) << "text '" << text << "'";
    }
}

TEST(OffsetCheck, RefusesPartialScansAndOverflow) {
    const char* const refused[] = {
        "123456789", // nine significant digits: does not fit 32 bits
        "FF ",       " ",    "   ", "+",          "-",          "G",          "x1F",        "0xG",
        "0x0x1",     "00x1", "1 2", "123456789A", "FFFFFFFFFF", "-123456789", "0x100000000"};
    for (const char* text : refused) {
        EXPECT_FALSE(isAcceptableOffset(text)) << "text '" << text << "'";
    }
}

TEST(ToHex, LowerCaseUnsignedWithoutPrefixOrLeadingZeros) {
    EXPECT_EQ(text::toHex(0u), "0");
    EXPECT_EQ(text::toHex(0xFFF0u), "fff0");
    EXPECT_EQ(text::toHex(700u), "2bc");
    EXPECT_EQ(text::toHex(0xFFFFFFFFu), "ffffffff");
    EXPECT_EQ(text::toHex(std::int32_t{-1}), "ffffffff");
    EXPECT_EQ(text::toHex(std::int32_t{-2147483647 - 1}), "80000000");
}

} // namespace
} // namespace vanter
