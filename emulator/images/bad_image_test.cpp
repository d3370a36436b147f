// Malformed image files of each format: garbage, NUL bytes, endless lines and sources, millions
// of lines, Ctrl-Z, numbers at the ends of their ranges. Each loads or fails with its result
// code, in bounded time and memory; big inputs are made on the fly and never held whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>

#include "emulator/images/binary_reader.h"
#include "emulator/images/image_error.h"
#include "testing/image_writer.h"
#include "testing/image_loading.h"
#include "testing/generated_bytes.h"
#include "testing/test_names.h"

namespace vanter::images {
namespace {

using namespace std::string_literals;
using writer::hexRecord;
using writer::sRecord;

// A file made while it is read (see GeneratedBytes). `claimedSize` is what it says its size is
// (a device says 0), nullopt for a pipe.
class GeneratedSource : public ByteSource {
public:
    static constexpr std::uint64_t kForever = vanter::testing::GeneratedBytes::kForever;

    GeneratedSource(std::string head, std::string unit, std::uint64_t count, std::string tail,
                    std::optional<std::uint64_t> claimedSize)
        : bytes_(std::move(head), std::move(unit), count, std::move(tail)),
          claimedSize_(claimedSize) {}

    std::size_t read(std::span<char> buffer) override { return bytes_.read(buffer); }
    std::optional<std::uint64_t> size() const override { return claimedSize_; }
    const std::string& name() const override { return name_; }

    std::uint64_t taken() const noexcept { return bytes_.produced(); }

private:
    vanter::testing::GeneratedBytes bytes_;
    std::optional<std::uint64_t> claimedSize_;
    std::string name_ = "bad.img";
};

constexpr std::uint64_t kForever = GeneratedSource::kForever;
constexpr auto kBin = parts::ImageFormat::binary;
constexpr auto kHex = parts::ImageFormat::intelHex;
constexpr auto kSrec = parts::ImageFormat::sRecord;

std::string garbage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    bytes[0] = '\x80'; // no record starts so
    return bytes;
}

const std::string kHexEnd = hexRecord(0x01, 0, {});
const std::string kHex42 = hexRecord(0x00, 0, {0x42}); // 42 at address 0
const std::string kS9 = sRecord(9, 0, 2, {});
const std::string kS142 = sRecord(1, 0, 2, {0x42});

// At most this much of an endless text is read before the reader gives up on a line.
constexpr std::uint64_t kLineBound = LineReader::kMaxLine + 2 * LineReader::kBlockSize;

struct Case {
    const char* name;
    parts::ImageFormat format;
    std::string head;
    std::string unit;
    std::uint64_t count;
    std::string tail;
    std::uint32_t offset;
    std::optional<LoadFailure> failure; // nullopt: the file loads
    std::size_t line;                   // of the failure
    std::string says;                   // part of the failure's reason, or of the one warning
    std::uint64_t bytesLoaded;          // when it loads
    std::uint64_t mostTaken;            // 0: no bound checked
    std::optional<std::uint64_t> claimedSize;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

Case loads(const char* name, parts::ImageFormat format, std::string head, std::string unit,
           std::uint64_t count, std::string tail, std::uint64_t bytesLoaded,
           std::string warning = "", std::optional<std::uint64_t> claimedSize = std::nullopt) {
    return {name,         format, std::move(head),    std::move(unit), count, std::move(tail), 0,
            std::nullopt, 0,      std::move(warning), bytesLoaded,     0,     claimedSize};
}

Case fails(const char* name, parts::ImageFormat format, std::string head, std::string unit,
           std::uint64_t count, std::uint32_t offset, LoadFailure failure, std::size_t line,
           std::string says, std::uint64_t mostTaken = 0,
           std::optional<std::uint64_t> claimedSize = std::nullopt) {
    return {name,
            format,
            std::move(head),
            std::move(unit),
            count,
            "",
            offset,
            failure,
            line,
            std::move(says),
            0,
            mostTaken,
            claimedSize};
}

const Case kCases[] = {
    // Intel HEX
    loads("hex empty", kHex, "", "", 0, "", 0, "no end-of-file record"),
    loads("hex blanks and carriage returns only", kHex, "  \r\n\t\r\n\r\r\n", "", 0, "", 0,
          "no end-of-file record"),
    fails("hex binary garbage", kHex, garbage(64 * 1024, 1), "", 0, 0, LoadFailure::malformedRecord,
          1, "starts with ':'"),
    fails("hex NUL byte in a record", kHex, ":01000000\0"s + "2BD\n" + kHexEnd, "", 0, 0,
          LoadFailure::malformedRecord, 1, "byte 0x00 at column 10"),
    fails("hex endless NUL bytes", kHex, "", "\0"s, kForever, 0, LoadFailure::malformedRecord, 1,
          "longer than 65536", kLineBound),
    fails("hex endless record", kHex, kHex42 + ":", "0", kForever, 0, LoadFailure::malformedRecord,
          2, "longer than 65536", kLineBound),
    loads("hex a million blank lines", kHex, "", "\r\n", 1'000'000, kHex42 + kHexEnd, 1),
    loads("hex 300000 times the same record", kHex, "", kHex42, 300'000, kHexEnd, 1),
    loads("hex Ctrl-Z line ends the file", kHex, kHex42 + "\x1A" + garbage(100, 2), "", 0, "", 1,
          "no end-of-file record"),
    fails("hex Ctrl-Z inside a record", kHex,
          ":01000000\x1A"
          "2BD\n",
          "", 0, 0, LoadFailure::malformedRecord, 1, "byte 0x1a at column 10"),
    fails("hex byte count 255 without data", kHex, ":FF00000001\n", "", 0, 0,
          LoadFailure::malformedRecord, 1, "byte count says 255"),
    fails("hex record type ff", kHex, hexRecord(0xFF, 0, {}), "", 0, 0,
          LoadFailure::unknownRecordType, 1, "record type 0xff"),
    fails("hex data across 4 GiB", kHex,
          hexRecord(0x04, 0, {0xFF, 0xFF}) + hexRecord(0x00, 0xFFFF, {1, 2}), "", 0, 0,
          LoadFailure::malformedRecord, 2, "runs past address 0xffffffff"),
    // A file that says it is smaller than it is: the line buffer grows to the longest line.
    loads("hex record after 60000 blanks, said to hold 0 bytes", kHex, std::string(60'000, ' '), "",
          0, kHex42 + kHexEnd, 1, "", 0),
    fails("hex endless NUL bytes, said to hold 10", kHex, "", "\0"s, kForever, 0,
          LoadFailure::malformedRecord, 1, "longer than 65536", kLineBound, 10),
    fails("hex last address with offset 0", kHex,
          hexRecord(0x04, 0, {0xFF, 0xFF}) + hexRecord(0x00, 0xFFFF, {1}) + kHexEnd, "", 0, 0,
          LoadFailure::pastPartEnd, 2, "past the end of the part"),
    fails("hex address 0 with offset ffffffff", kHex, kHex42 + kHexEnd, "", 0, 0xFFFFFFFF,
          LoadFailure::beforePartStart, 1, "before the start of the part"),

    // S-records
    loads("srec empty", kSrec, "", "", 0, "", 0, "no termination record"),
    fails("srec binary garbage", kSrec, garbage(64 * 1024, 3), "", 0, 0,
          LoadFailure::malformedRecord, 1, "starts with 'S'"),
    fails("srec NUL byte in a record", kSrec, "S1040000\0"s + "2B5\n" + kS9, "", 0, 0,
          LoadFailure::malformedRecord, 1, "byte 0x00 at column 9"),
    fails("srec endless NUL bytes", kSrec, "", "\0"s, kForever, 0, LoadFailure::malformedRecord, 1,
          "longer than 65536", kLineBound),
    loads("srec a million blank lines", kSrec, "", "\n", 1'000'000, kS142 + kS9, 1),
    // More than 65535 data records: the 24-bit count record S6 counts them.
    loads("srec 300000 records with their S6 count", kSrec, "", kS142, 300'000,
          sRecord(6, 300'000, 3, {}) + kS9, 1),
    fails("srec S5 counting 65535 of 1", kSrec, kS142 + sRecord(5, 0xFFFF, 2, {}) + kS9, "", 0, 0,
          LoadFailure::recordCountMismatch, 2, "S5 counts 65535"),
    loads("srec Ctrl-Z line ends the file", kSrec, kS142 + "\x1A\n" + garbage(100, 4), "", 0, "", 1,
          "no termination record"),
    fails("srec reserved S4", kSrec, "S4030000FC\n", "", 0, 0, LoadFailure::unknownRecordType, 1,
          "S4"),
    fails("srec byte count 255 without data", kSrec, "S1FF0000\n", "", 0, 0,
          LoadFailure::malformedRecord, 1, "byte count says 255"),
    loads("srec records between long blank lines, said to hold 5000 bytes", kSrec, "",
          std::string(9'000, '\t') + kS142, 20, kS9, 1, "", 5'000),
    fails("srec last address with offset 0", kSrec, sRecord(3, 0xFFFFFFFF, 4, {1}) + kS9, "", 0, 0,
          LoadFailure::pastPartEnd, 1, "past the end of the part"),

    // Binary
    loads("bin empty", kBin, "", "", 0, "", 0),
    loads("bin garbage the size of the part", kBin, garbage(8 * parts::KiB, 5), "", 0, "",
          8 * parts::KiB),
    fails("bin endless pipe", kBin, "", "\0"s, kForever, 0, LoadFailure::imageTooLarge, 0,
          "at least", 8 * parts::KiB + 2 * 256 * parts::KiB),
    // A device says it holds 0 bytes and never ends.
    fails("bin endless device", kBin, "", "\xFF"s, kForever, 0, LoadFailure::imageTooLarge, 0,
          "at least", 8 * parts::KiB + 2 * 256 * parts::KiB, 0),
    fails("bin one byte at offset ffffffff", kBin, "x", "", 0, 0xFFFFFFFF, LoadFailure::pastPartEnd,
          0, "past the end of the part"),
};

class BadImage : public ::testing::TestWithParam<Case> {};

TEST_P(BadImage, LoadsOrFailsWithItsCode) {
    const Case& c = GetParam();
    GeneratedSource source(c.head, c.unit, c.count, c.tail, c.claimedSize);
    MemoryImage memory(8 * parts::KiB);
    try {
        const LoadNotes notes = makeReader(c.format)->load(source, c.offset, memory);
        ASSERT_FALSE(c.failure) << "loaded";
        EXPECT_EQ(memory.bytesLoaded(), c.bytesLoaded);
        if (c.says.empty()) {
            EXPECT_TRUE(notes.warnings.empty());
        } else {
            ASSERT_EQ(notes.warnings.size(), 1u);
            EXPECT_NE(notes.warnings[0].find(c.says), std::string::npos) << notes.warnings[0];
        }
        if (c.bytesLoaded == 1) {
            EXPECT_EQ(memory.at(0), 0x42);
        }
    } catch (const ImageError& e) {
        ASSERT_TRUE(c.failure) << e.what();
        EXPECT_EQ(e.failure(), *c.failure) << e.what();
        EXPECT_EQ(e.line(), c.line) << e.what();
        EXPECT_NE(e.reason().find(c.says), std::string::npos) << e.reason();
    }
    if (c.mostTaken != 0) {
        EXPECT_LE(source.taken(), c.mostTaken);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadImage, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return vanter::testing::testName(info.param.name);
                         });

} // namespace
} // namespace vanter::images
