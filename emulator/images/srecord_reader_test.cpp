#include "emulator/images/srecord_reader.h"

#include <gtest/gtest.h>

#include "testing/image_loading.h"
#include "testing/image_writer.h"

namespace vanter::images {
namespace {

using testing::At;
using testing::corpus;
using testing::FailingFile;
using testing::failureOf;
using testing::GoodFile;
using testing::loadFile;
using testing::loadText;

constexpr auto kSrec = parts::ImageFormat::sRecord;

class SRecordCorpus : public ::testing::TestWithParam<GoodFile> {};

TEST_P(SRecordCorpus, LoadsEveryByteWhereItBelongs) {
    testing::expectLoadsEveryByteWhereItBelongs(GetParam(), kSrec);
}

INSTANTIATE_TEST_SUITE_P(
    Records, SRecordCorpus,
    ::testing::Values(
        // S0, S1, S5, S9
        GoodFile{"records.s19", 0, 64 * parts::KiB, {{0, 1}, {1, 2}, {0x10, 3}}, 3},
        // S2, S8 at target address 10000
        GoodFile{
            "records.s28", 0x10000, 64 * parts::KiB, {{0, 0xDE}, {1, 0xAD}, {0xFFFF, 0xEF}}, 3},
        // S3, S6, S7 at target address 80000000
        GoodFile{
            "records.s37", 0x80000000, 64 * parts::KiB, {{0, 0x12}, {2, 0x56}, {0x1000, 0x78}}, 4}),
    [](const auto& info) { return "s" + std::string(info.param.file).substr(8); });

class SRecordFailures : public ::testing::TestWithParam<FailingFile> {};

TEST_P(SRecordFailures, FailWithTheirCodeAndLine) {
    testing::expectFailsWithItsCodeAndLine(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Records, SRecordFailures,
    ::testing::Values(
        FailingFile{"no_s.s19", kSrec, 0, 1, LoadFailure::malformedRecord, 2},
        FailingFile{"short_address.s37", kSrec, 0, 1, LoadFailure::malformedRecord, 1},
        FailingFile{"bad_checksum.s19", kSrec, 0, 1, LoadFailure::badChecksum, 1},
        FailingFile{"reserved_s4.s19", kSrec, 0, 1, LoadFailure::unknownRecordType, 2},
        FailingFile{"not_a_type.s19", kSrec, 0, 1, LoadFailure::unknownRecordType, 1},
        FailingFile{"count_mismatch.s19", kSrec, 0, 1, LoadFailure::recordCountMismatch, 3},
        FailingFile{"count_mismatch.s28", kSrec, 0, 1, LoadFailure::recordCountMismatch, 2},
        FailingFile{"contradiction.s19", kSrec, 0, 1, LoadFailure::contradictoryData, 2},
        FailingFile{"past_end.s19", kSrec, 0, 1, LoadFailure::pastPartEnd, 2},
        FailingFile{"records.s28", kSrec, 0x10001, 4, LoadFailure::beforePartStart, 2},
        FailingFile{"records.s28", kSrec, 0x10000, 1, LoadFailure::imageTooLarge, 0}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& c : name) {
            c = c == '.' ? '_' : c;
        }
        return name + "_" + std::to_string(info.index);
    });

std::string s(int type, std::uint32_t address, int addressBytes, std::vector<std::uint8_t> data) {
    return writer::sRecord(type, address, addressBytes, data);
}

TEST(SRecordReader, AddressRuleSubtractsTheOffsetForEachAddressSize) {
    struct Case {
        std::string text;
        std::uint32_t offset;
        std::uint32_t memoryAddress;
    };
    const Case cases[] = {
        {s(1, 0xC123, 2, {0x42}) + s(9, 0, 2, {}), 0xC000, 0x123},
        {s(2, 0xABCDEF, 3, {0x42}) + s(8, 0, 3, {}), 0xAB0000, 0xCDEF},
        {s(3, 0xFFFFFFFF, 4, {0x42}) + s(7, 0, 4, {}), 0xFFFF0000, 0xFFFF},
        {s(3, 0x00001234, 4, {0x42}) + s(7, 0, 4, {}), 0, 0x1234},
    };
    for (const Case& c : cases) {
        const LoadedImage image = loadText(kSrec, c.text, c.offset, 64 * parts::KiB);
        EXPECT_EQ(image.memory.at(c.memoryAddress), 0x42) << c.text;
        EXPECT_EQ(image.memory.bytesLoaded(), 1u) << c.text;
    }
}

TEST(SRecordReader, CountRecordsCountTheDataRecordsBeforeThem) {
    const std::string d = s(1, 0, 2, {1});
    EXPECT_FALSE(failureOf(kSrec, s(5, 0, 2, {}) + d + d + s(5, 2, 2, {}) + d + s(6, 3, 3, {}), 0,
                           8 * parts::KiB));
    const auto e = failureOf(kSrec, d + s(0, 0, 2, {1}) + s(5, 2, 2, {}), 0, 8 * parts::KiB);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->failure(), LoadFailure::recordCountMismatch);
    EXPECT_EQ(e->reason(), "S5 counts 2 data records, the file has 1 before it");
}

TEST(SRecordReader, ToleratedOddities) {
    // No termination record; records after it; data in it: each loads, with a warning.
    struct Case {
        std::string text;
        std::string warning;
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {s(1, 0, 2, {1, 2}), "no termination record", 2},
        {s(1, 0, 2, {1}) + s(9, 0, 2, {}) + s(1, 1, 2, {2}), "after the termination record", 2},
        {s(1, 0, 2, {1}) + s(9, 0, 2, {7, 7}), "data in the termination record", 1},
    };
    for (const Case& c : cases) {
        const auto image = loadText(kSrec, c.text, 0, 8 * parts::KiB);
        EXPECT_EQ(image.memory.bytesLoaded(), c.bytes);
        ASSERT_EQ(image.notes.warnings.size(), 1u) << c.text;
        EXPECT_NE(image.notes.warnings[0].find(c.warning), std::string::npos)
            << image.notes.warnings[0];
    }
}

TEST(SRecordReader, EachOddityWarnsOncePerFile) {
    std::string text = s(1, 0, 2, {1});
    for (int i = 0; i < 1000; ++i) {
        text += s(9, 0, 2, {7, 7}) + s(1, 1, 2, {2});
    }
    const auto image = loadText(kSrec, text, 0, 8 * parts::KiB);
    ASSERT_EQ(image.notes.warnings.size(), 2u);
    EXPECT_NE(image.notes.warnings[0].find("line 2: data in the termination record"),
              std::string::npos)
        << image.notes.warnings[0];
    EXPECT_NE(image.notes.warnings[1].find("line 3: record after the termination record"),
              std::string::npos)
        << image.notes.warnings[1];
}

TEST(SRecordReader, MalformedRecords) {
    const std::string end = s(9, 0, 2, {});
    const std::string cases[] = {
        "S",              // no type
        "S1",             // no count
        "S1030000FC0",    // odd digits
        "S10400000102F8", // count says 4, 5 follow
        "S105000001F9",   // count says 5, 4 follow
        "S10200FD",       // a 16-bit address needs count 3 at least
        "S5050000AAAA",   // count record with data (checksum right or not)
        s(5, 1, 2, {0xAA}),
        "s1030000FC",                // lower-case S
        "S1030000FG",                // not a digit
        s(3, 0xFFFFFFFF, 4, {1, 2}), // runs past 4 GiB
    };
    for (const std::string& line : cases) {
        const auto e = failureOf(kSrec, line + "\n" + end, 0, 8 * parts::KiB);
        ASSERT_TRUE(e) << line;
        EXPECT_TRUE(e->failure() == LoadFailure::malformedRecord ||
                    (line == "S5050000AAAA" && e->failure() == LoadFailure::badChecksum))
            << line << ": " << e->what();
        EXPECT_EQ(e->line(), 1u) << line;
    }
}

TEST(SRecordReader, ChecksumIsTheOnesComplementOfTheSum) {
    EXPECT_FALSE(failureOf(kSrec, "S1050000AABB95\n", 0, 8 * parts::KiB));
    const auto e = failureOf(kSrec, "S1050000AABB94\n", 0, 8 * parts::KiB);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->failure(), LoadFailure::badChecksum);
    EXPECT_EQ(e->reason(), "checksum 0x94, the bytes call for 0x95");
}

} // namespace
} // namespace vanter::images
