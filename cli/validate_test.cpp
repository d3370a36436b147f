#include "validate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/test_folder.h"

namespace vanter::cli {
namespace {

using vanter::testing::TestFolder;
using vanter::testing::writeBytes;

constexpr int k2764 = 0;  // 8 KiB
constexpr int k27512 = 3; // 64 KiB

class ValidateTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(folder / "four.hex", ":0400000001020304F2\n:00000001FF\n");
        writeBytes(folder / "bad.hex", ":0400000001020304F2\n:0400040001020304F3\n:00000001FF\n");
        writeBytes(folder / "sixteen.bin", std::string(16, '\x5a'));
    }

    std::string file(std::string_view name) const { return (folder / name).string(); }

    Configuration withSlot(int k, SlotSettings slot) const {
        Configuration config;
        config.port = "USB";
        config.resetLevel = 0;
        config.slots[static_cast<std::size_t>(k)] = std::move(slot);
        return config;
    }

    TestFolder folder;
};

TEST_F(ValidateTest, ImagesThatFitAreReportedWithWhereTheyGo) {
    Configuration config;
    config.port = "0x378";
    config.slots[0] = {true, k27512, kHexFormat, "0", file("four.hex")};
    config.slots[2] = {true, k2764, kBinaryFormat, "1ff0", file("sixteen.bin")};
    const Validation validation = validateConfiguration(config);
    ASSERT_TRUE(validation.ok());
    ASSERT_EQ(validation.slots.size(), 2u);
    EXPECT_EQ(validation.slots[0].slot, 0);
    EXPECT_EQ(validation.slots[0].text,
              file("four.hex") + " fits the 27512 (65536 bytes): 4 bytes at memory addresses "
                                 "0x0 to 0x3");
    EXPECT_EQ(validation.slots[1].slot, 2);
    EXPECT_EQ(validation.slots[1].text,
              file("sixteen.bin") + " fits the 2764 (8192 bytes): 16 bytes at memory addresses "
                                    "0x1ff0 to 0x1fff");

    const ValidationReport report = formatValidation(validation);
    // The checksums as zlib's crc32 and a plain sum give them for the erased parts.
    EXPECT_EQ(report.out,
              "VANTER #0: " + validation.slots[0].text +
                  "\nVANTER #0: checksums of the whole part: byte sum 0xfc0e, CRC-32 0x17de6742"
                  "\nVANTER #2: " +
                  validation.slots[1].text +
                  "\nVANTER #2: checksums of the whole part: byte sum 0xd5b0, CRC-32 0xe327147b"
                  "\nValidation OK\n");
    EXPECT_EQ(report.err, "");
}

struct Problem {
    const char* what;
    SlotSettings slot;
    std::string expectedStart; // the finding's text starts with this ("@" = the folder)
};

TEST_F(ValidateTest, EachProblemNamesTheSlotFileLineAndWhat) {
    const std::string dir = folder.path().string();
    const std::vector<Problem> cases = {
        {"no memory type",
         {true, -1, kHexFormat, "0", file("four.hex")},
         "no memory type selected"},
        {"no format", {true, k27512, -1, "0", file("four.hex")}, "no file format selected"},
        {"no name", {true, k27512, kHexFormat, "0", ""}, "no image file named"},
        {"offset text",
         {true, k27512, kHexFormat, "12zz", file("four.hex")},
         "the loading offset '12zz' is not a hexadecimal number"},
        {"missing", {true, k27512, kHexFormat, "0", file("none.hex")}, file("none.hex") + ": "},
        {"folder", {true, k27512, kHexFormat, "0", dir}, dir + ": "},
        {"checksum",
         {true, k27512, kHexFormat, "0", file("bad.hex")},
         file("bad.hex") + ": line 2: "},
        // Hex: the offset is the part's first target address; the data lies below it.
        {"before part",
         {true, k27512, kHexFormat, "8000", file("four.hex")},
         file("four.hex") + ": line 1: "},
        {"past end",
         {true, k2764, kBinaryFormat, "1ff8", file("sixteen.bin")},
         file("sixteen.bin") + ": "},
    };
    for (const Problem& c : cases) {
        SCOPED_TRACE(c.what);
        const Validation validation = validateConfiguration(withSlot(1, c.slot));
        ASSERT_EQ(validation.slots.size(), 1u);
        EXPECT_FALSE(validation.ok());
        EXPECT_FALSE(validation.slots[0].ok);
        EXPECT_EQ(validation.slots[0].text.substr(0, c.expectedStart.size()), c.expectedStart)
            << validation.slots[0].text;
        if (c.expectedStart.ends_with(": ")) { // the reader's reason follows
            EXPECT_GT(validation.slots[0].text.size(), c.expectedStart.size());
        } else {
            EXPECT_EQ(validation.slots[0].text, c.expectedStart);
        }

        const ValidationReport report = formatValidation(validation);
        EXPECT_EQ(report.out, "");
        EXPECT_EQ(report.err, "VANTER #1: " + validation.slots[0].text + "\nValidation failed\n");
    }
}

TEST_F(ValidateTest, EverySlotIsReadEvenAfterAProblem) {
    Configuration config;
    config.port = "0x3BC";
    config.slots[0] = {true, k27512, kHexFormat, "0", file("bad.hex")};
    config.slots[1] = {true, k27512, kHexFormat, "0", file("four.hex")};
    config.slots[3] = {true, k27512, kHexFormat, "0", file("gone.hex")};
    const Validation validation = validateConfiguration(config);
    ASSERT_EQ(validation.slots.size(), 3u);
    EXPECT_FALSE(validation.slots[0].ok);
    EXPECT_TRUE(validation.slots[1].ok);
    EXPECT_FALSE(validation.slots[2].ok);
    EXPECT_EQ(validation.slots[2].slot, 3);

    const ValidationReport report = formatValidation(validation);
    EXPECT_EQ(report.out, "VANTER #1: " + validation.slots[1].text +
                              "\nVANTER #1: checksums of the whole part: byte sum 0xfc0e, "
                              "CRC-32 0x17de6742\n");
    EXPECT_EQ(report.err, "VANTER #0: " + validation.slots[0].text +
                              "\nVANTER #3: " + validation.slots[2].text + "\nValidation failed\n");
}

TEST_F(ValidateTest, APortTheDownloadCannotConvertIsAProblem) {
    Configuration config = withSlot(0, {true, k27512, kHexFormat, "0", file("four.hex")});
    config.port = "";
    const Validation validation = validateConfiguration(config);
    EXPECT_FALSE(validation.ok());
    EXPECT_EQ(validation.problems, std::vector<std::string>{"'' is not a valid integer value"});
    EXPECT_TRUE(validation.slots[0].ok);
    EXPECT_EQ(formatValidation(validation).err,
              "'' is not a valid integer value\nValidation failed\n");
}

TEST_F(ValidateTest, DisabledSlotsAreNotRead) {
    Configuration config = withSlot(2, {true, k27512, kHexFormat, "0", file("four.hex")});
    config.slots[0] = {false, k27512, kHexFormat, "0", file("none.hex")};
    const Validation validation = validateConfiguration(config);
    EXPECT_TRUE(validation.ok());
    ASSERT_EQ(validation.slots.size(), 1u);
    EXPECT_EQ(validation.slots[0].slot, 2);
}

} // namespace
} // namespace vanter::cli
