// The stand-in as a simulator of unit memories: SayHello loads every unit's image, all or
// nothing, and keeps the memories in the state folder; CheckVT compares the memory type.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/images/image_error.h"
#include "testing/image_writer.h"
#include "emulator/portgate.h"
#include "emulator/script_path.h"
#include "result_codes.h"
#include "state_folder.h"
#include "testing/environment.h"
#include "testing/standin_environment.h"
#include "testing/test_folder.h"

namespace {

using namespace vanter::standin;
using vanter::images::LoadFailure;
using vanter::testing::readBytes;
using vanter::testing::ScopedEnv;
using vanter::testing::writeBytes;
namespace writer = vanter::images::writer;

struct Unit {
    int slot;
    int memoryType; // script code
    int format;     // script code
    std::string offset;
    std::string file;
};

class SimulatorTest : public ::testing::Test, protected vanter::testing::StandinEnvironment {
protected:
    ScopedEnv transcriptFile{"VANTER_SIM_TRANSCRIPT", (runtime / "transcript.log").string()};
    std::filesystem::path stateFolder = runtime / "state";

    std::string file(const std::string& name, const std::string& bytes) const {
        writeBytes(runtime / name, bytes);
        return (runtime / name).string();
    }

    std::int32_t download(const std::vector<Unit>& list) const {
        std::string script = "5\r\n0";
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Unit& u = list[i];
            script += "\r\n" + std::to_string(u.slot) + "\r\n" + std::to_string(u.memoryType) +
                      "\r\n" + std::to_string(u.format) + "\r\n" + u.offset + "\r\n" + u.file +
                      "\r\n" + (i + 1 < list.size() ? "Y" : "N");
        }
        writeBytes(vanter::downloadScriptPath(), script);
        return SayHello();
    }

    std::string memory(int slot) const { return readBytes(unitMemoryPath(stateFolder, slot)); }
    std::string manifest(int slot) const { return readBytes(unitManifestPath(stateFolder, slot)); }
    // The transcript's last reason line, without "  reason: ".
    std::string lastReason() const {
        const std::string log = readBytes(runtime / "transcript.log");
        const auto at = log.rfind("  reason: ");
        return at == std::string::npos ? std::string()
                                       : log.substr(at + 10, log.find('\n', at) - at - 10);
    }
};

std::string hexOf(std::uint32_t address, std::vector<std::uint8_t> bytes) {
    return writer::intelHex(writer::records({{address, std::move(bytes)}}, 16),
                            writer::Addressing::linear);
}

TEST_F(SimulatorTest, EachUnitGetsItsMemoryAndManifest) {
    const std::string hex = file("main.hex", hexOf(0x8000, {0xDE, 0xAD}));
    const std::string srec = file("data.s28", writer::sRecords({{0x123456, {0x42}}}, 3));
    const std::string bin = file("boot.bin", "\x01\x02");
    ASSERT_EQ(
        download({{0, 4, 2, "8000", hex}, {1, 15, 3, "100000", srec}, {3, 1, 1, "1ffe", bin}}),
        kOk);

    const std::string unit0 = memory(0);
    ASSERT_EQ(unit0.size(), 64u * 1024);
    EXPECT_EQ(unit0.substr(0, 3), "\xDE\xAD\xFF");
    const std::string unit1 = memory(1);
    ASSERT_EQ(unit1.size(), 4096u * 1024);
    EXPECT_EQ(unit1[0x23456], '\x42');
    EXPECT_EQ(memory(3).substr(0x1FFE), "\x01\x02");
    EXPECT_FALSE(std::filesystem::exists(unitMemoryPath(stateFolder, 2)));

    const std::string text = manifest(0);
    for (const std::string& line : std::vector<std::string>{
             "memory type: 27512 (code 4, 65536 bytes)", "format: Hex (code 2)",
             "source file: " + hex, "offset: 0x8000", "bytes loaded: 2", "lowest address: 0x0",
             "highest address: 0x1"}) {
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << line << " in\n" << text;
    }
    EXPECT_NE(readBytes(runtime / "transcript.log")
                  .find("  note: unit memories in " + stateFolder.string()),
              std::string::npos);
}

// Every image failure has its code, and the transcript names unit, file, line and fault.
TEST_F(SimulatorTest, EachImageFailureHasItsCodeAndReason) {
    std::filesystem::create_directory(runtime / "folder");
    struct Row {
        std::string bytes; // written to the image file, unless the name is given
        int memoryType;
        int format;
        std::string offset;
        LoadFailure failure;
        std::string reason; // how the reason begins after "unit #0: <file>"
        std::string name = "image";
    };
    const std::string end = ":00000001FF\n";
    const std::vector<Row> rows = {
        {"", 1, 2, "0", LoadFailure::fileMissing, ": image file missing: no such file",
         "absent.hex"},
        {"", 1, 1, "0", LoadFailure::fileUnreadable, ": image file unreadable: is a folder",
         "folder"},
        {":0100000042\n" + end, 1, 2, "0", LoadFailure::malformedRecord,
         ": line 1: malformed record: the byte count says 1 data bytes, the record holds 0"},
        {":0100000042BE\n" + end, 1, 2, "0", LoadFailure::badChecksum,
         ": line 1: bad checksum: checksum 0xbe, the bytes call for 0xbd"},
        {":00000006FA\n" + end, 1, 2, "0", LoadFailure::unknownRecordType,
         ": line 1: unknown record type"},
        {writer::sRecord(1, 0, 2, {0x42}) + writer::sRecord(5, 2, 2, {}), 1, 3, "0",
         LoadFailure::recordCountMismatch,
         ": line 2: record count mismatch: S5 counts 2 data records, the file has 1"},
        {hexOf(0x7FFF, {1}), 1, 2, "8000", LoadFailure::beforePartStart,
         ": line 2: data before the start of the part: data at 0x7fff"},
        {hexOf(0x2000, {1}), 1, 2, "0", LoadFailure::pastPartEnd,
         ": line 2: data past the end of the part: data at 0x2000"},
        {":0100000042BD\n:0100000043BC\n" + end, 1, 2, "0", LoadFailure::contradictoryData,
         ": line 2: contradictory data: address 0x0 already holds 0x42"},
        {std::string(8193, 'x'), 1, 1, "0", LoadFailure::imageTooLarge,
         ": image larger than the part: the file holds 8193 bytes"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reason);
        const std::string path =
            row.bytes.empty() ? (runtime / row.name).string() : file(row.name, row.bytes);
        EXPECT_EQ(download({{0, row.memoryType, row.format, row.offset, path}}),
                  resultCode(row.failure));
        EXPECT_EQ(lastReason().rfind("unit #0: " + path + row.reason, 0), 0u) << lastReason();
        EXPECT_FALSE(std::filesystem::exists(unitMemoryPath(stateFolder, 0)));
    }
}

TEST_F(SimulatorTest, StateFolderThatCantBeWrittenFails) {
    writeBytes(stateFolder, "a file, not a folder");
    EXPECT_EQ(download({{0, 1, 1, "0", file("x.bin", "\x01")}}), kStateNotWritten);
    EXPECT_EQ(lastReason().rfind("unit memories not written: " + stateFolder.string(), 0), 0u)
        << lastReason();
}

// A failing unit stops the whole download: no unit's memory changes, also the ones before it.
TEST_F(SimulatorTest, DownloadLoadsAllOrNothing) {
    ASSERT_EQ(download({{0, 1, 2, "0", file("a.hex", hexOf(0, {0xAA}))},
                        {1, 1, 2, "0", file("b.hex", hexOf(0, {0xBB}))}}),
              kOk);
    const std::string memory0 = memory(0);
    const std::string manifest0 = manifest(0);
    const std::string memory1 = memory(1);

    EXPECT_EQ(download({{0, 1, 2, "0", file("c.hex", hexOf(0, {0xCC}))},
                        {1, 1, 2, "0", file("d.hex", ":0100000042BE\n")},
                        {2, 1, 2, "0", file("e.hex", hexOf(0, {0xEE}))}}),
              resultCode(LoadFailure::badChecksum));
    EXPECT_EQ(memory(0), memory0);
    EXPECT_EQ(manifest(0), manifest0);
    EXPECT_EQ(memory(1), memory1);
    EXPECT_FALSE(std::filesystem::exists(unitMemoryPath(stateFolder, 2)));

    // A later download of unit #1 alone leaves unit #0 as it was.
    ASSERT_EQ(download({{1, 2, 2, "0", file("f.hex", hexOf(0, {0xFF}))}}), kOk);
    EXPECT_EQ(memory(0), memory0);
    EXPECT_EQ(memory(1).size(), 16u * 1024);
}

TEST_F(SimulatorTest, CheckComparesTheMemoryTypeWithWhatTheUnitHolds) {
    ASSERT_EQ(download({{0, 5, 1, "0", file("x.bin", "\x01")}}), kOk); // 27010
    EXPECT_EQ(CheckVT(1, 0, 4, 0), kOk);                               // position 4: 27010
    EXPECT_EQ(CheckVT(1, 0, 3, 0), kMemoryTypeMismatch);
    EXPECT_EQ(lastReason(), "unit #0 holds an image for a 27010, the check names a 27512");
    EXPECT_EQ(CheckVT(1, 0, 3, 1), kOk); // unit #1 holds nothing
    // A unit's fault still shows when the type is right.
    ScopedEnv faulty("VANTER_SIM_FAULT", "0:10");
    EXPECT_EQ(CheckVT(1, 0, 4, 0), kMemoryFaultBase + 0x10);
}

} // namespace
