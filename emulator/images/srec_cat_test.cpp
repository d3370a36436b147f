// The unit memory must equal what srec_cat makes of the same file with the same offset, filled
// with 0xFF over the part; a byte lane, and the file written for it, what srec_cat -split
// makes of the whole image. Generated images cover the three formats, non-zero offsets, holes,
// records in any order, repeated records and every addressing mode; the valid files of the
// corpus are compared too. Skipped when srec_cat is not installed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "testing/image_writer.h"
#include "emulator/images/lanes.h"
#include "testing/image_loading.h"
#include "text/hex.h"

namespace vanter::images {
namespace {

using vanter::testing::readBytes;
using vanter::testing::TestFolder;
using vanter::testing::writeBytes;

bool haveSrecCat() {
    static const bool found = [] {
        TestFolder folder;
        const std::string command =
            "srec_cat -version > \"" + (folder / "version").string() + "\" 2>&1";
        return std::system(command.c_str()) == 0;
    }();
    return found;
}

// srec_cat's flat memory of `file`: the record formats shifted down by the offset, binary
// shifted up by it, then filled with 0xFF from 0 to the part's size.
std::string srecCatMemory(const std::filesystem::path& file, parts::ImageFormat format,
                          std::uint32_t offset, std::uint32_t size, const TestFolder& folder) {
    std::string input;
    switch (format) {
    case parts::ImageFormat::binary:
        input = "-binary -offset " + text::hexText(offset);
        break;
    case parts::ImageFormat::intelHex:
        input = "-intel -offset -" + text::hexText(offset);
        break;
    case parts::ImageFormat::sRecord:
        input = "-motorola -offset -" + text::hexText(offset);
        break;
    }
    const auto out = folder / "srec_cat.bin";
    const std::string command = "srec_cat \"" + file.string() + "\" " + input + " -fill 0xFF 0 " +
                                text::hexText(size) + " -o \"" + out.string() + "\" -binary 2> \"" +
                                (folder / "srec_cat.log").string() + "\"";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << command << "\n" << readBytes(folder / "srec_cat.log");
        return {};
    }
    return readBytes(out);
}

void expectSameMemory(std::span<const std::uint8_t> ours, const std::string& theirs) {
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t a = 0; a < ours.size(); ++a) {
        ASSERT_EQ(ours[a], static_cast<std::uint8_t>(theirs[a])) << "first difference at " << a;
    }
}

enum class Kind { binary, hexNone, hexSegment, hexLinear, s1, s2, s3 };

struct Generated {
    const char* name;
    Kind kind;
    int memoryType;
    std::uint32_t offset;
    std::size_t recordSize;
    bool shuffled;
    bool repeated; // some records twice
};

void PrintTo(const Generated& g, std::ostream* out) {
    *out << g.name;
}

// Blocks of random data at random places of the part, with holes between them.
std::vector<writer::Block> blocksFor(const Generated& g, std::uint32_t size) {
    std::mt19937 random(static_cast<unsigned>(g.offset ^ size ^ g.recordSize));
    if (g.kind == Kind::binary) {
        return {{0, writer::randomBytes(size - size / 4 - 13, random())}};
    }
    std::vector<writer::Block> blocks;
    std::uint32_t at = std::uniform_int_distribution<std::uint32_t>(0, 64)(random);
    while (at < size) {
        const std::uint32_t room = size - at;
        const std::uint32_t length =
            std::min(room, std::uniform_int_distribution<std::uint32_t>(1, size / 6)(random));
        blocks.push_back({g.offset + at, writer::randomBytes(length, random())});
        at += length + std::uniform_int_distribution<std::uint32_t>(1, size / 10)(random);
    }
    return blocks;
}

std::string imageText(const Generated& g, const std::vector<writer::Block>& blocks) {
    if (g.kind == Kind::binary) {
        return {blocks[0].bytes.begin(), blocks[0].bytes.end()};
    }
    std::vector<writer::Record> list = writer::records(blocks, g.recordSize);
    if (g.repeated) {
        for (std::size_t i = 0; i < list.size(); i += 7) {
            list.push_back(list[i]);
        }
    }
    if (g.shuffled) {
        writer::shuffle(list, 1234);
    }
    switch (g.kind) {
    case Kind::hexNone:
        return writer::intelHex(list, writer::Addressing::none);
    case Kind::hexSegment:
        return writer::intelHex(list, writer::Addressing::segment);
    case Kind::hexLinear:
        return writer::intelHex(list, writer::Addressing::linear);
    case Kind::s1:
        return writer::sRecords(list, 2);
    case Kind::s2:
        return writer::sRecords(list, 3);
    case Kind::s3:
        return writer::sRecords(list, 4);
    case Kind::binary:
        break;
    }
    return {};
}

parts::ImageFormat formatOf(Kind kind) {
    switch (kind) {
    case Kind::binary:
        return parts::ImageFormat::binary;
    case Kind::hexNone:
    case Kind::hexSegment:
    case Kind::hexLinear:
        return parts::ImageFormat::intelHex;
    default:
        return parts::ImageFormat::sRecord;
    }
}

class SrecCatGenerated : public ::testing::TestWithParam<Generated> {};

TEST_P(SrecCatGenerated, MemoryEqualsSrecCat) {
    const Generated& g = GetParam();
    const std::uint32_t size = parts::partForCode(g.memoryType)->size;
    const auto blocks = blocksFor(g, size);
    TestFolder folder;
    const auto file = folder / "image";
    const std::string text = imageText(g, blocks);
    writeBytes(file, text);
    const LoadedImage image = testing::loadText(formatOf(g.kind), text, g.offset, size);

    // Against the blocks themselves first, so that the test means something without srec_cat.
    std::vector<std::uint8_t> expected(size, 0xFF);
    for (const auto& block : blocks) {
        const std::uint32_t at =
            g.kind == Kind::binary ? g.offset + block.address : block.address - g.offset;
        std::copy(block.bytes.begin(), block.bytes.end(), expected.begin() + at);
    }
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), image.memory.memory().begin()));
    EXPECT_TRUE(image.notes.warnings.empty());

    if (!haveSrecCat()) {
        GTEST_SKIP() << "srec_cat is not installed (Debian package srecord)";
    }
    expectSameMemory(image.memory.memory(),
                     srecCatMemory(file, formatOf(g.kind), g.offset, size, folder));
}

INSTANTIATE_TEST_SUITE_P(
    Images, SrecCatGenerated,
    ::testing::Values(
        // srec_cat is slow on records out of order: shuffled images stay small.
        Generated{"hex16bit", Kind::hexNone, 4, 0, 16, false, false},
        Generated{"hex16bitAt8000", Kind::hexNone, 3, 0x8000, 32, true, true},
        Generated{"hexSegment", Kind::hexSegment, 7, 0x80000, 16, false, false},
        Generated{"hexSegmentAt1C000", Kind::hexSegment, 2, 0x1C000, 255, true, true},
        Generated{"hexLinear", Kind::hexLinear, 9, 0x08000000, 32, false, false},
        Generated{"hexLinearTop", Kind::hexLinear, 4, 0xFFFF0000, 16, true, false},
        Generated{"s1", Kind::s1, 4, 0, 16, false, false},
        Generated{"s1AtE000", Kind::s1, 1, 0xE000, 32, true, true},
        Generated{"s2", Kind::s2, 6, 0x100000, 28, false, false},
        Generated{"s2Shuffled", Kind::s2, 4, 0xFF0000, 20, true, false},
        Generated{"s3", Kind::s3, 14, 0x80000000, 32, false, false},
        Generated{"s3Top", Kind::s3, 10, 0xFFFFE000, 250, true, true},
        Generated{"binary", Kind::binary, 4, 0x1234, 0, false, false},
        Generated{"binaryAt0", Kind::binary, 1, 0, 0, false, false},
        Generated{"binaryAt10000", Kind::binary, 13, 0x10000, 0, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct CorpusFile {
    const char* file;
    parts::ImageFormat format;
    std::uint32_t offset;
    int memoryType;
};

void PrintTo(const CorpusFile& c, std::ostream* out) {
    *out << c.file;
}

class SrecCatCorpus : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(SrecCatCorpus, MemoryEqualsSrecCat) {
    if (!haveSrecCat()) {
        GTEST_SKIP() << "srec_cat is not installed (Debian package srecord)";
    }
    const CorpusFile& c = GetParam();
    const std::uint32_t size = parts::partForCode(c.memoryType)->size;
    const LoadedImage image = testing::loadFile(testing::corpus(c.file), c.format, c.offset, size);
    TestFolder folder;
    expectSameMemory(image.memory.memory(),
                     srecCatMemory(testing::corpus(c.file), c.format, c.offset, size, folder));
}

INSTANTIATE_TEST_SUITE_P(
    Images, SrecCatCorpus,
    ::testing::Values(CorpusFile{"plain16.hex", parts::ImageFormat::intelHex, 0, 1},
                      CorpusFile{"segment.hex", parts::ImageFormat::intelHex, 0x10000, 4},
                      CorpusFile{"linear.hex", parts::ImageFormat::intelHex, 0x08000000, 5},
                      CorpusFile{"dos.hex", parts::ImageFormat::intelHex, 0x20, 1},
                      CorpusFile{"records.s19", parts::ImageFormat::sRecord, 0, 1},
                      CorpusFile{"records.s28", parts::ImageFormat::sRecord, 0x10000, 4},
                      CorpusFile{"records.s37", parts::ImageFormat::sRecord, 0x80000000, 1},
                      CorpusFile{"records.s37", parts::ImageFormat::binary, 0x10, 1}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& c : name) {
            c = c == '.' ? '_' : c;
        }
        return name + "_" + std::to_string(info.index);
    });

const char* srecCatFormat(parts::ImageFormat format) {
    switch (format) {
    case parts::ImageFormat::binary:
        return "-binary";
    case parts::ImageFormat::intelHex:
        return "-intel";
    case parts::ImageFormat::sRecord:
        return "-motorola";
    }
    return "";
}

struct SplitRow {
    Generated image; // its offset is the base address of the bus
    std::uint32_t lanes;
};

void PrintTo(const SplitRow& row, std::ostream* out) {
    *out << row.image.name << " in " << row.lanes << " lanes";
}

class SrecCatSplit : public ::testing::TestWithParam<SplitRow> {};

// Each lane of a random image of the bus, and the file written for it, read back by our
// reader and by srec_cat, equal srec_cat's `-split N k` of the image.
TEST_P(SrecCatSplit, LanesEqualSrecCatSplit) {
    if (!haveSrecCat()) {
        GTEST_SKIP() << "srec_cat is not installed (Debian package srecord)";
    }
    const SplitRow& row = GetParam();
    const Generated& g = row.image;
    const parts::ImageFormat format = formatOf(g.kind);
    const std::uint32_t laneSize = parts::partForCode(g.memoryType)->size;
    const std::uint32_t base = format == parts::ImageFormat::binary ? 0 : g.offset;
    TestFolder folder;
    const auto file = folder / "image";
    const std::string text = imageText(g, blocksFor(g, row.lanes * laneSize));
    writeBytes(file, text);
    const LoadedImage bus = testing::loadText(format, text, base, row.lanes * laneSize);

    for (std::uint32_t k = 0; k < row.lanes; ++k) {
        SCOPED_TRACE("lane " + std::to_string(k));
        const auto ours = folder / ("ours" + std::to_string(k));
        writeBytes(ours, imageFileText(laneOf(bus.memory, row.lanes, k), format, base / row.lanes));
        const auto theirs = folder / ("theirs" + std::to_string(k));
        const std::string command =
            "srec_cat \"" + file.string() + "\" " + srecCatFormat(format) + " -split " +
            std::to_string(row.lanes) + " " + std::to_string(k) + " -o \"" + theirs.string() +
            "\" " + srecCatFormat(format) + " 2> \"" + (folder / "split.log").string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        const std::string expected =
            srecCatMemory(theirs, format, base / row.lanes, laneSize, folder);
        expectSameMemory(
            testing::loadFile(ours, format, base / row.lanes, laneSize).memory.memory(), expected);
        const std::string read = srecCatMemory(ours, format, base / row.lanes, laneSize, folder);
        expectSameMemory(std::span(reinterpret_cast<const std::uint8_t*>(read.data()), read.size()),
                         expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Images, SrecCatSplit,
    ::testing::Values(SplitRow{{"binary", Kind::binary, 4, 0, 0, false, false}, 2},
                      SplitRow{{"binary", Kind::binary, 2, 0, 0, false, false}, 4},
                      SplitRow{{"hex16bit", Kind::hexNone, 1, 0, 16, true, false}, 2},
                      SplitRow{{"hexLinear", Kind::hexLinear, 4, 0x08000000, 32, false, false}, 4},
                      SplitRow{{"hexSegment", Kind::hexSegment, 2, 0x10000, 16, false, true}, 2},
                      SplitRow{{"s1", Kind::s1, 1, 0x8000, 16, false, false}, 4},
                      SplitRow{{"s2", Kind::s2, 4, 0x100000, 28, true, false}, 2},
                      SplitRow{{"s3", Kind::s3, 3, 0xFFF00000, 32, false, true}, 4}),
    [](const auto& info) {
        return std::string(info.param.image.name) + "_" + std::to_string(info.param.lanes);
    });

} // namespace
} // namespace vanter::images
