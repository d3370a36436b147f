#include "download.h"

#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "config/values.h"
#include "emulator/images/checksums.h"
#include "emulator/images/image_error.h"
#include "emulator/images/image_reader.h"
#include "testing/image_writer.h"
#include "manifest.h"
#include "parts/parts.h"
#include "result_codes.h"
#include "state_folder.h"
#include "testing/environment.h"
#include "testing/test_folder.h"
#include "text/hex.h"

namespace vanter::standin {
namespace {

using images::crc32;
using images::ImageError;
using images::LoadFailure;
using parts::formatForCode;
using parts::ImageFormat;
using parts::KiB;
using parts::partForCode;
using text::hexText;
namespace writer = images::writer;

using vanter::testing::readBytes;
using vanter::testing::ScopedEnv;
using vanter::testing::TestFolder;
using vanter::testing::writeBytes;

std::string hexImage(std::uint32_t address, std::vector<std::uint8_t> bytes) {
    return writer::intelHex(writer::records({{address, std::move(bytes)}}, 16),
                            writer::Addressing::linear);
}

std::span<const std::uint8_t> asBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

class UnitState : public ::testing::Test {
protected:
    TestFolder files;
    TestFolder state;
};

TEST_F(UnitState, ChainWritesEachMemoryWithItsManifest) {
    writeBytes(files / "a.hex", hexImage(0x8010, {1, 2, 3}));
    writeBytes(files / "b.bin", "\x11\x22");
    const UnitRecord units[] = {{0, 4, 2, 0x8000, (files / "a.hex").string()},
                                {2, 1, 1, 0x100, (files / "b.bin").string()}};
    downloadChain(units, state.path());

    const std::string unit0 = readBytes(unitMemoryPath(state.path(), 0));
    ASSERT_EQ(unit0.size(), 64 * KiB);
    EXPECT_EQ(unit0.substr(0x10, 3), "\x01\x02\x03");
    EXPECT_EQ(unit0[0x0F], '\xFF');
    const std::string unit2 = readBytes(unitMemoryPath(state.path(), 2));
    ASSERT_EQ(unit2.size(), 8 * KiB);
    EXPECT_EQ(unit2.substr(0x100, 2), "\x11\x22");
    EXPECT_FALSE(std::filesystem::exists(unitMemoryPath(state.path(), 1)));

    EXPECT_EQ(readBytes(unitManifestPath(state.path(), 0)),
              "slot: 0\n"
              "memory type: 27512 (code 4, 65536 bytes)\n"
              "format: Hex (code 2)\n"
              "source file: " +
                  (files / "a.hex").string() +
                  "\n"
                  "offset: 0x8000\n"
                  "bytes loaded: 3\n"
                  "lowest address: 0x10\n"
                  "highest address: 0x12\n"
                  "crc-32: " +
                  hexText(crc32(asBytes(unit0))) +
                  "\nbyte sum: " + hexText(images::byteSum(asBytes(unit0))) +
                  "\n"
                  "memory: unit0.bin\n");

    const auto manifest = readUnitManifest(state.path(), 2);
    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->memoryType, 1);
    EXPECT_EQ(manifest->fileFormat, 1);
    EXPECT_EQ(manifest->sourceFile, (files / "b.bin").string());
    EXPECT_EQ(manifest->offset, 0x100u);
    EXPECT_EQ(manifest->bytesLoaded, 2u);
    EXPECT_EQ(manifest->lowest, 0x100u);
    EXPECT_EQ(manifest->highest, 0x101u);
    EXPECT_EQ(manifest->crc, crc32(asBytes(unit2)));
    EXPECT_FALSE(readUnitManifest(state.path(), 1));
    // Only the four files: nothing staged is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(state.path()),
                            std::filesystem::directory_iterator()),
              4);
}

TEST_F(UnitState, EmptyImageHasNoLowestOrHighestAddress) {
    writeBytes(files / "empty.bin", "");
    const UnitRecord unit{3, 15, 1, 0, (files / "empty.bin").string()};
    const UnitMemory memory = loadUnitMemory(unit);
    EXPECT_EQ(memory.bytes.size(), 4096 * KiB);
    const std::string text = manifestText(memory);
    EXPECT_NE(text.find("lowest address: none\nhighest address: none\n"), std::string::npos);
    downloadChain(std::span(&unit, 1), state.path());
    const auto manifest = readUnitManifest(state.path(), 3);
    ASSERT_TRUE(manifest);
    EXPECT_FALSE(manifest->lowest);
    EXPECT_EQ(manifest->memoryType, 15);
}

// A chain loads all or nothing: the first failing unit stops the download before anything is
// written, and every unit keeps its previous memory.
TEST_F(UnitState, FailingUnitLeavesEveryMemoryAsItWas) {
    writeBytes(files / "good.hex", hexImage(0, {0xAA}));
    const UnitRecord first[] = {{0, 1, 2, 0, (files / "good.hex").string()},
                                {1, 1, 2, 0, (files / "good.hex").string()}};
    downloadChain(first, state.path());
    const std::string before0 = readBytes(unitMemoryPath(state.path(), 0));
    const std::string manifest1 = readBytes(unitManifestPath(state.path(), 1));

    writeBytes(files / "other.hex", hexImage(0, {0x55}));
    writeBytes(files / "bad.hex", ":0100000042BE\n");
    const UnitRecord second[] = {{0, 1, 2, 0, (files / "other.hex").string()},
                                 {1, 1, 2, 0, (files / "bad.hex").string()}};
    try {
        downloadChain(second, state.path());
        FAIL() << "loaded";
    } catch (const ChainError& e) {
        EXPECT_EQ(e.failure(), LoadFailure::badChecksum);
        EXPECT_EQ(e.file(), (files / "bad.hex").string());
    }
    EXPECT_EQ(readBytes(unitMemoryPath(state.path(), 0)), before0);
    EXPECT_EQ(readBytes(unitManifestPath(state.path(), 1)), manifest1);
}

// A write that fails part way leaves the units already staged untouched as well.
TEST_F(UnitState, FailedWriteLeavesEveryMemoryAsItWas) {
    writeBytes(files / "good.hex", hexImage(0, {0xAA}));
    const UnitRecord units[] = {{0, 1, 2, 0, (files / "good.hex").string()},
                                {1, 1, 2, 0, (files / "good.hex").string()}};
    downloadChain(units, state.path());
    const std::string before = readBytes(unitMemoryPath(state.path(), 0));

    writeBytes(files / "good.hex", hexImage(0, {0x00}));
    // unit 1's memory can't be staged: a folder sits where its staged file goes.
    std::filesystem::create_directory(state / "unit1.bin.new");
    std::filesystem::create_directory(state / "unit1.bin.new" / "x");
    try {
        downloadChain(units, state.path());
        FAIL() << "written";
    } catch (const ChainError& e) {
        EXPECT_FALSE(e.failure());
        EXPECT_EQ(e.code(), 0x4A);
    }
    EXPECT_EQ(readBytes(unitMemoryPath(state.path(), 0)), before);
    EXPECT_FALSE(std::filesystem::exists(state / "unit0.bin.new"));
    EXPECT_FALSE(std::filesystem::exists(state / "unit0.manifest.new"));
}

TEST_F(UnitState, StateFolderIsAFileFails) {
    writeBytes(files / "good.hex", hexImage(0, {0xAA}));
    writeBytes(state / "taken", "x");
    const UnitRecord unit{0, 1, 2, 0, (files / "good.hex").string()};
    try {
        downloadChain(std::span(&unit, 1), state / "taken");
        FAIL() << "written";
    } catch (const ChainError& e) {
        EXPECT_EQ(e.code(), kStateNotWritten);
        EXPECT_EQ(e.file(), (state / "taken").string());
    }
}

// The whole download writes each unit while the next one loads; a failure anywhere keeps
// every unit's files as they were and leaves nothing staged behind.
TEST_F(UnitState, DownloadChainIsAllOrNothing) {
    writeBytes(files / "a.hex", hexImage(0, {0xAA}));
    writeBytes(files / "b.hex", hexImage(0, {0xBB}));
    const UnitRecord good[] = {{0, 1, 2, 0, (files / "a.hex").string()},
                               {1, 2, 2, 0, (files / "b.hex").string()},
                               {3, 15, 2, 0, (files / "a.hex").string()}};
    const auto memories = downloadChain(good, state.path());
    ASSERT_EQ(memories.size(), 3u);
    EXPECT_EQ(readBytes(unitMemoryPath(state.path(), 1)).substr(0, 2), "\xBB\xFF");
    EXPECT_EQ(readBytes(unitMemoryPath(state.path(), 3)).size(), 4096 * KiB);
    const auto before = [&] {
        std::string all;
        for (int slot : {0, 1, 3}) {
            all += readBytes(unitMemoryPath(state.path(), slot)) +
                   readBytes(unitManifestPath(state.path(), slot));
        }
        return all;
    }();

    writeBytes(files / "c.hex", hexImage(0, {0xCC}));
    writeBytes(files / "bad.hex", hexImage(0x2000, {1})); // past the end of a 2764
    const UnitRecord failing[] = {{0, 1, 2, 0, (files / "c.hex").string()},
                                  {1, 2, 2, 0, (files / "c.hex").string()},
                                  {3, 1, 2, 0, (files / "bad.hex").string()}};
    try {
        downloadChain(failing, state.path());
        FAIL() << "loaded";
    } catch (const ChainError& e) {
        EXPECT_EQ(e.slot(), 3);
        EXPECT_EQ(e.failure(), LoadFailure::pastPartEnd);
    }
    // A state that can't be written fails the same way, naming no unit.
    std::filesystem::create_directories(state / "unit1.manifest.new" / "x");
    try {
        downloadChain(std::span(failing).first(2), state.path());
        FAIL() << "written";
    } catch (const ChainError& e) {
        EXPECT_EQ(e.slot(), -1);
        EXPECT_EQ(e.code(), kStateNotWritten);
    }
    std::filesystem::remove_all(state / "unit1.manifest.new");

    std::string after;
    for (int slot : {0, 1, 3}) {
        after += readBytes(unitMemoryPath(state.path(), slot)) +
                 readBytes(unitManifestPath(state.path(), slot));
    }
    EXPECT_TRUE(after == before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(state.path()),
                            std::filesystem::directory_iterator()),
              6);
}

TEST(StateFolder,
     VariableThenCacheFolderThenHome){{ScopedEnv folder("VANTER_SIM_STATE_DIR", "/somewhere/state");
ScopedEnv cache("XDG_CACHE_HOME", "/cache");
EXPECT_EQ(stateFolder(), std::filesystem::path("/somewhere/state"));
} // namespace
#ifndef _WIN32
{
    ScopedEnv folder("VANTER_SIM_STATE_DIR", "");
    ScopedEnv cache("XDG_CACHE_HOME", "/cache");
    EXPECT_EQ(stateFolder(), std::filesystem::path("/cache/vanter3-sim"));
}
{
    ScopedEnv folder("VANTER_SIM_STATE_DIR", std::nullopt);
    ScopedEnv cache("XDG_CACHE_HOME", "relative"); // not absolute: ignored, as XDG says
    ScopedEnv home("HOME", "/home/dev");
    EXPECT_EQ(stateFolder(), std::filesystem::path("/home/dev/.cache/vanter3-sim"));
}
#endif
} // namespace vanter::standin

TEST(Parts, SizesAndNamesFollowTheMemoryTypeList) {
    const std::uint32_t sizes[] = {8,    16, 32, 64,  128, 256,  512, 512,
                                   1024, 8,  32, 128, 512, 2048, 4096};
    for (int code = 1; code <= 15; ++code) {
        const auto part = partForCode(code);
        ASSERT_TRUE(part);
        EXPECT_EQ(part->size, sizes[code - 1] * KiB) << part->name;
        EXPECT_EQ(part->name, vanter::kMemoryTypes[static_cast<std::size_t>(code - 1)]);
    }
    EXPECT_FALSE(partForCode(0));
    EXPECT_FALSE(partForCode(16));
    EXPECT_FALSE(formatForCode(0));
    EXPECT_EQ(formatForCode(3), ImageFormat::sRecord);
}

std::uint32_t bitwiseCrc(std::span<const std::uint8_t> data) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::uint8_t b : data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1) ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
        }
    }
    return ~crc;
}

TEST(Crc32, KnownValuesAndContinuation) {
    const std::string_view check = "123456789";
    const std::span<const std::uint8_t> text(reinterpret_cast<const std::uint8_t*>(check.data()),
                                             check.size());
    EXPECT_EQ(crc32(text), 0xCBF43926u);
    EXPECT_EQ(crc32({}), 0u);
    EXPECT_EQ(crc32(text.subspan(4), crc32(text.first(4))), 0xCBF43926u);
    // Every length around the eight-byte steps agrees with the plain bitwise form.
    std::vector<std::uint8_t> data(300);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    for (std::size_t n = 0; n < data.size(); n += 13) {
        EXPECT_EQ(crc32(std::span(data).first(n)), bitwiseCrc(std::span(data).first(n))) << n;
    }
    EXPECT_EQ(crc32(std::vector<std::uint8_t>(32 * KiB, 0xFF)),
              bitwiseCrc(std::vector<std::uint8_t>(32 * KiB, 0xFF)));
}

} // namespace
} // namespace vanter::standin
