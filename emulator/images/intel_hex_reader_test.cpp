#include "emulator/images/intel_hex_reader.h"

#include <gtest/gtest.h>

#include "testing/image_loading.h"
#include "testing/image_writer.h"

namespace vanter::images {
namespace {

using testing::At;
using testing::corpus;
using testing::failureOf;
using testing::GoodFile;
using testing::loadFile;
using testing::loadText;

constexpr auto kHex = parts::ImageFormat::intelHex;

class HexCorpus : public ::testing::TestWithParam<GoodFile> {};

TEST_P(HexCorpus, LoadsEveryByteWhereItBelongs) {
    testing::expectLoadsEveryByteWhereItBelongs(GetParam(), kHex);
}

INSTANTIATE_TEST_SUITE_P(
    Records, HexCorpus,
    ::testing::Values(
        // type 00 and 01 alone: 16-bit addresses.
        GoodFile{
            "plain16.hex", 0, 8 * parts::KiB, {{0, 1}, {3, 4}, {0x100, 0xAA}, {0x102, 0xCC}}, 7},
        // 02 and 03: segment 1000 puts 0010 at 10010; the record at FFFE wraps to the
        // segment's start.
        GoodFile{"segment.hex",
                 0x10000,
                 64 * parts::KiB,
                 {{0x10, 0x11}, {0x11, 0x22}, {0xFFFE, 0xA1}, {0xFFFF, 0xA2}, {0, 0xA3}, {1, 0xA4}},
                 6},
        // 04 and 05: the part sits at target address 08000000.
        GoodFile{"linear.hex",
                 0x08000000,
                 128 * parts::KiB,
                 {{0, 0x5A}, {1, 0xA5}, {0xFFF0, 1}, {0xFFF3, 1}, {0x10002, 0x77}},
                 7},
        // CR LF, lower-case digits, a blank line and a DOS end-of-file byte.
        GoodFile{"dos.hex", 0x20, 8 * parts::KiB, {{0, 0xC0}, {2, 0xEE}, {3, 0x01}}, 4}),
    [](const auto& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

class HexFailures : public ::testing::TestWithParam<testing::FailingFile> {};

TEST_P(HexFailures, FailWithTheirCodeAndLine) {
    testing::expectFailsWithItsCodeAndLine(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Records, HexFailures,
    ::testing::Values(
        testing::FailingFile{"no_colon.hex", kHex, 0, 1, LoadFailure::malformedRecord, 2},
        testing::FailingFile{"odd_digits.hex", kHex, 0, 1, LoadFailure::malformedRecord, 1},
        testing::FailingFile{"bad_digit.hex", kHex, 0, 1, LoadFailure::malformedRecord, 1},
        testing::FailingFile{"count_disagrees.hex", kHex, 0, 1, LoadFailure::malformedRecord, 1},
        testing::FailingFile{"eof_with_data.hex", kHex, 0, 1, LoadFailure::malformedRecord, 2},
        testing::FailingFile{"short_extended.hex", kHex, 0, 1, LoadFailure::malformedRecord, 1},
        testing::FailingFile{"bad_checksum.hex", kHex, 0, 1, LoadFailure::badChecksum, 2},
        testing::FailingFile{"type06.hex", kHex, 0, 1, LoadFailure::unknownRecordType, 1},
        testing::FailingFile{"contradiction.hex", kHex, 0, 1, LoadFailure::contradictoryData, 3},
        testing::FailingFile{"before_start.hex", kHex, 0x8000, 4, LoadFailure::beforePartStart, 2},
        // the same file fits a 27512 at 0 but not a 2764 at 0x8000 and up
        testing::FailingFile{"before_start.hex", kHex, 0, 1, LoadFailure::pastPartEnd, 1},
        testing::FailingFile{"too_large.hex", kHex, 0, 1, LoadFailure::imageTooLarge, 0}),
    [](const auto& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.')) + "_" + std::to_string(info.index);
    });

std::string record(unsigned type, unsigned address, std::vector<std::uint8_t> data) {
    return writer::hexRecord(type, address, data);
}
const std::string kEnd = ":00000001FF\n";

// The part starts at target address `offset`: a record at A lands at A - offset.
TEST(IntelHexReader, AddressRuleSubtractsTheOffset) {
    struct Case {
        std::string text;
        std::uint32_t offset;
        std::uint32_t memoryAddress;
    };
    const Case cases[] = {
        {record(0, 0x8010, {0x42}) + kEnd, 0x8000, 0x10},
        {record(2, 0, {0xF0, 0x00}) + record(0, 0x0005, {0x42}) + kEnd, 0xF0000, 0x5},
        {record(4, 0, {0xFF, 0xFF}) + record(0, 0xFFFF, {0x42}) + kEnd, 0xFFFF0000, 0xFFFF},
        {record(4, 0, {0x00, 0x01}) + record(2, 0, {0x00, 0x10}) + record(0, 3, {0x42}) + kEnd,
         0x100, 3}, // a later 02 replaces the 04 base
    };
    for (const Case& c : cases) {
        const LoadedImage image = loadText(kHex, c.text, c.offset, 64 * parts::KiB);
        EXPECT_EQ(image.memory.at(c.memoryAddress), 0x42) << c.text;
        EXPECT_EQ(image.memory.bytesLoaded(), 1u) << c.text;
    }
}

TEST(IntelHexReader, LinearRecordRunsOnAcross64KiB) {
    const auto image = loadText(kHex, record(0, 0xFFFE, {1, 2, 3, 4}) + kEnd, 0, 128 * parts::KiB);
    EXPECT_EQ(image.memory.at(0x10000), 3);
    EXPECT_EQ(image.memory.at(0x10001), 4);
}

TEST(IntelHexReader, DataPastFourGigabytesIsMalformed) {
    const auto e = failureOf(kHex, record(4, 0, {0xFF, 0xFF}) + record(0, 0xFFFE, {1, 2, 3}) + kEnd,
                             0xFFFF0000, 64 * parts::KiB);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->failure(), LoadFailure::malformedRecord);
    EXPECT_EQ(e->line(), 2u);
}

TEST(IntelHexReader, EndRecordEndsTheFile) {
    const auto image =
        loadText(kHex, record(0, 0, {1}) + kEnd + "not a record\n:0000000FF\n", 0, 8 * parts::KiB);
    EXPECT_EQ(image.memory.bytesLoaded(), 1u);
    EXPECT_TRUE(image.notes.warnings.empty());
}

TEST(IntelHexReader, MissingEndRecordLoadsWithAWarning) {
    const auto image = loadText(kHex, record(0, 0, {1, 2}), 0, 8 * parts::KiB);
    EXPECT_EQ(image.memory.bytesLoaded(), 2u);
    ASSERT_EQ(image.notes.warnings.size(), 1u);
    EXPECT_NE(image.notes.warnings[0].find("no end-of-file record"), std::string::npos);
}

TEST(IntelHexReader, MalformedLines) {
    struct Case {
        std::string line;
        std::string reason;
    };
    const Case cases[] = {
        {":", "too short"},
        {":00000001", "too short"},
        {":0000000", "odd number"},
        {":00000001FF:", "odd number"},
        {":0000 00001FF", "' ' at column 6"},
        {":0100000001", "byte count says 1"},
        {":" + std::string(2 * 261, '0'), "too long"},
        {"; comment", "starts with ':'"},
        {std::string(100 * 1024, 'x'), "longer than"},
        {":020000020000", "byte count says 2"},
        {":0400000300000000F9", ""}, // a valid start record: shows the table's framing works
    };
    for (const Case& c : cases) {
        const auto e = failureOf(kHex, c.line + "\n" + kEnd, 0, 8 * parts::KiB);
        if (c.reason.empty()) {
            EXPECT_FALSE(e) << c.line;
            continue;
        }
        ASSERT_TRUE(e) << c.line;
        EXPECT_EQ(e->failure(), LoadFailure::malformedRecord) << c.line;
        EXPECT_EQ(e->line(), 1u);
        EXPECT_NE(e->reason().find(c.reason), std::string::npos) << e->reason();
    }
}

TEST(IntelHexReader, WrongCountOfEachAddressRecordIsMalformed) {
    for (unsigned type : {0x01u, 0x02u, 0x03u, 0x04u, 0x05u}) {
        const auto e = failureOf(kHex, record(type, 0, {0, 0, 0}) + kEnd, 0, 8 * parts::KiB);
        ASSERT_TRUE(e) << type;
        EXPECT_EQ(e->failure(), LoadFailure::malformedRecord) << type;
    }
}

TEST(IntelHexReader, ChecksumFailureSaysWhatItShouldBe) {
    const auto e = failureOf(kHex, ":0100000042BE\n" + kEnd, 0, 8 * parts::KiB);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->failure(), LoadFailure::badChecksum);
    EXPECT_EQ(e->reason(), "checksum 0xbe, the bytes call for 0xbd");
    EXPECT_EQ(std::string(e->what()), "test.img: line 1: checksum 0xbe, the bytes call for 0xbd");
}

TEST(IntelHexReader, RangeFailuresNameTheRecordAndThePart) {
    // Out-of-range data does not hide a later syntax error.
    auto e = failureOf(kHex, record(0, 0x9000, {1}) + ":zz\n" + kEnd, 0x8000, 2 * parts::KiB);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->failure(), LoadFailure::malformedRecord);

    e = failureOf(kHex, record(0, 0x9000, {1, 2}) + record(0, 0x7FF0, {1}) + kEnd, 0x8000,
                  8 * parts::KiB);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->failure(), LoadFailure::beforePartStart);
    EXPECT_EQ(e->line(), 2u);
    EXPECT_EQ(e->reason(), "data at 0x7ff0 lies before the start of the part: with offset 0x8000 "
                           "the part covers 0x8000 to 0x9fff");

    e = failureOf(kHex, record(0, 0x9FFF, {1, 2}) + kEnd, 0x8000, 8 * parts::KiB);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->failure(), LoadFailure::pastPartEnd);
    EXPECT_NE(e->reason().find("0x9fff to 0xa000"), std::string::npos);
}

} // namespace
} // namespace vanter::images
