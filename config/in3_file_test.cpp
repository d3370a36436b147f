#include "config/in3_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "config/errors.h"
#include "testing/configuration_text.h"
#include "testing/test_folder.h"

namespace vanter {
namespace {

using namespace std::string_literals;

// Port "0x378", reset "High"; slot #0 "27512", "Hex", "0x0000", C:\fw\main.hex;
// slot #2 "27010", "Binary", "8000", C:\fw\data.bin.
Configuration workedExample() {
    Configuration config;
    config.port = "0x378";
    config.resetLevel = 1;
    config.slots[0] = {true, 3, kHexFormat, "0x0000", R"(C:\fw\main.hex)"};
    config.slots[2] = {true, 4, kBinaryFormat, "8000", R"(C:\fw\data.bin)"};
    return config;
}

const std::string kWorkedExampleBytes = "2\r\n1\r\n0\r\n4\r\n2\r\n0\r\nC:\\fw\\main.hex\r\nY\r\n"
                                        "2\r\n5\r\n1\r\n8000\r\nC:\\fw\\data.bin\r\nN";

Configuration read(const std::string& text, Configuration config = {}) {
    std::istringstream in(text);
    readConfiguration(in, config);
    return config;
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\r'));
}

// ---- Writer ----

TEST(Writer, WorkedExampleGivesExactly69Bytes) {
    const std::string text = formatConfiguration(workedExample());
    EXPECT_EQ(text, kWorkedExampleBytes);
    EXPECT_EQ(text.size(), 69u);
}

TEST(Writer, DefaultConfigurationBytes) {
    const std::string expected = "\x31\x0D\x0A\x30\x0D\x0A\x30\x0D\x0A\x35\x0D\x0A\x31\x0D\x0A\x30"
                                 "\x0D\x0A\x0D\x0A\x4E";
    EXPECT_EQ(formatConfiguration(Configuration::defaults()), expected);
}

TEST(Writer, PortLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"0x3BC", "1"},     {"USB", "5"},
        {"usb", "5"},       {"0X378", "2"},
        {"700", "2bc"},     {"0x2BC", "2bc"},
        {"$2bc", "2bc"},    {"3", "3"},
        {"-1", "ffffffff"}, {"0x80000000", "80000000"},
    };
    for (const auto& [port, line] : cases) {
        Configuration config = Configuration::defaults();
        config.port = port;
        EXPECT_EQ(firstLine(formatConfiguration(config)), line) << "port '" << port << "'";
    }
}

TEST(Writer, NothingSelectedAndOffsetValues) {
    Configuration config;
    config.port = "USB";
    config.slots[1] = {true, -1, -1, "-FF", "a"};
    config.slots[3] = {true, 14, kSRecordFormat, "123456789", ""};
    EXPECT_EQ(formatConfiguration(config),
              "5\r\n-1\r\n1\r\n0\r\n0\r\nffffff01\r\na\r\nY\r\n3\r\n15\r\n3\r\nffffffff\r\n\r\nN");
    config.slots[3].offset = "";
    EXPECT_TRUE(formatConfiguration(config).ends_with("\r\n3\r\n0\r\n\r\nN"));
}

TEST(Writer, AllFourSlotsInAscendingOrder) {
    Configuration config = Configuration::defaults();
    for (SlotSettings& slot : config.slots) {
        slot.enabled = true;
    }
    EXPECT_EQ(formatConfiguration(config), "1\r\n0\r\n"
                                           "0\r\n5\r\n1\r\n0\r\n\r\nY\r\n"
                                           "1\r\n5\r\n1\r\n0\r\n\r\nY\r\n"
                                           "2\r\n5\r\n1\r\n0\r\n\r\nY\r\n"
                                           "3\r\n5\r\n1\r\n0\r\n\r\nN");
}

TEST(Writer, TypedPortThatDoesNotConvert) {
    Configuration config = Configuration::defaults();
    config.port = "lpt1";
    try {
        formatConfiguration(config);
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'lpt1' is not a valid integer value");
    }
}

TEST(Writer, RefusesFileNamesThatWouldBreakTheLines) {
    for (const std::string& name :
         {"a\rb"s, "a\nb"s, "a\x1A"s, "\r\n"s, std::string(kMaxLineLength + 1, 'n')}) {
        Configuration config = Configuration::defaults();
        config.slots[2] = {true, 0, 0, "0", name};
        EXPECT_THROW(formatConfiguration(config), FileError);
        config.slots[2].enabled = false; // a slot that is not enabled is not stored
        EXPECT_NO_THROW(formatConfiguration(config));
    }
    Configuration config = Configuration::defaults();
    config.slots[0].fileName = std::string(kMaxLineLength, 'n');
    EXPECT_NO_THROW(formatConfiguration(config));
}

// ---- Reader ----

TEST(Reader, WorkedExampleIntoUncheckedRecord) {
    Configuration expected = workedExample();
    expected.slots[0].offset = "0";
    EXPECT_EQ(read(kWorkedExampleBytes), expected);
}

TEST(Reader, LineFeedsOnlyAndStrayCarriageReturns) {
    std::string lf = kWorkedExampleBytes;
    std::erase(lf, '\r');
    EXPECT_EQ(read(lf), read(kWorkedExampleBytes));
    EXPECT_EQ(read("\r2\r\n1\r\r\n0\n4\n2\n0\nC:\\fw\\ma\rin.hex\r\nN"),
              read(kWorkedExampleBytes.substr(0, 34) + "N"));
}

TEST(Reader, PortLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "0x3BC"},   {"3", "0x278"},   {"5", "USB"}, {"05", "USB"},    {"0", ""},
        {"ffffffff", ""}, {"80000000", ""}, {"6", "0x6"}, {"2bc", "0x2bc"}, {"2BC", "0x2BC"},
    };
    for (const auto& [line, port] : cases) {
        Configuration config;
        config.port = "before";
        EXPECT_EQ(read(line + "\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN"s, config).port, port)
            << "line '" << line << "'";
    }
}

TEST(Reader, PortLineThatDoesNotConvertLeavesTheRecordUntouched) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "'0x' is not a valid integer value"},
        {"lpt1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN", "'0xlpt1' is not a valid integer value"},
        {" 2bc\r\n1\r\n", "'0x 2bc' is not a valid integer value"},
        {"\r\n1\r\n0\r\n", "'0x' is not a valid integer value"},
        {"\x1A"
         "2\r\n1\r\n0",
         "'0x' is not a valid integer value"},
        {"-1\r\n1\r\n", "'0x-1' is not a valid integer value"},
        {"100000000\r\n", "'0x100000000' is not a valid integer value"},
    };
    const Configuration before = workedExample();
    for (const auto& [text, message] : cases) {
        Configuration config = before;
        std::istringstream in(text);
        try {
            readConfiguration(in, config);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.what(), message);
        }
        EXPECT_EQ(config, before);
    }
}

TEST(Reader, ResetLine) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0},
        {"1", 1},
        {"2", -1},
        {"-1", -1},
        {" +1", 1},
        {"1x", 1},
        {"", 0},
        {"x", 0},
        {"01", 1},
        {"99999999999999999999", -1},
        {"-99999999999999999999", -1},
    };
    for (const auto& [line, position] : cases) {
        EXPECT_EQ(read("1\r\n"s + line + "\r\n0\r\n5\r\n1\r\n0\r\n\r\nN").resetLevel, position)
            << "line '" << line << "'";
    }
}

TEST(Reader, MemoryTypeAndFormatCodes) {
    struct Case {
        const char* memoryLine;
        const char* formatLine;
        int memoryType;
        int fileFormat;
    };
    const Case cases[] = {
        {"1", "1", 0, 0},     {"15", "3", 14, 2},
        {"16", "4", -1, -1},  {"0", "0", -1, -1},
        {"-1", "-1", -1, -1}, {"", "", -1, -1},
        {"5abc", " 2", 4, 1}, {"-2147483648", "4294967297", -1, -1},
    };
    for (const auto& c : cases) {
        Configuration config = Configuration::defaults();
        config = read("1\r\n0\r\n0\r\n"s + c.memoryLine + "\r\n" + c.formatLine + "\r\n0\r\n\r\nN",
                      config);
        EXPECT_EQ(config.slots[0].memoryType, c.memoryType) << c.memoryLine;
        EXPECT_EQ(config.slots[0].fileFormat, c.fileFormat) << c.formatLine;
    }
}

TEST(Reader, OffsetAndFileNameExactlyAsRead) {
    const Configuration config =
        read("1\r\n0\r\n3\r\n1\r\n1\r\n 0x0010 \r\n  name with blanks \r\nN");
    EXPECT_EQ(config.slots[3].offset, " 0x0010 ");
    EXPECT_EQ(config.slots[3].fileName, "  name with blanks ");
}

TEST(Reader, SlotNumberOutsideTheRangeReadsNoValueLines) {
    Configuration before = Configuration::defaults();
    before.slots[1] = {false, 2, 2, "77", "keep"};
    for (const char* slot : {"4", "5", "-1", "99999999999"}) {
        // The line after the slot number is taken as the continuation line.
        const Configuration after =
            read("1\r\n0\r\n"s + slot + "\r\nY\r\n1\r\n3\r\n2\r\n10\r\nx.bin\r\nN", before);
        EXPECT_EQ(after.slots[1], (SlotSettings{true, 2, 1, "10", "x.bin"})) << "slot " << slot;
        EXPECT_EQ(read("1\r\n0\r\n"s + slot + "\r\n4\r\n2\r\n0\r\nname\r\nN", before), before);
    }
}

TEST(Reader, OnlyLowerCaseYEndsTheRecords) {
    const std::string slot0 = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\na\r\n";
    const std::string slot1 = "\r\n1\r\n5\r\n1\r\n0\r\nb\r\nN";
    EXPECT_TRUE(read(slot0 + "Y" + slot1).slots[1].enabled);
    EXPECT_TRUE(read(slot0 + "Yes" + slot1).slots[1].enabled);
    EXPECT_FALSE(read(slot0 + "y" + slot1).slots[1].enabled);
    EXPECT_FALSE(read(slot0 + " Y" + slot1).slots[1].enabled);
    EXPECT_FALSE(read(slot0 + "" + slot1).slots[1].enabled);
}

TEST(Reader, NeverUnchecksAndSetsOnlyWhatTheFileNames) {
    Configuration before;
    before.slots[0] = {true, 1, 1, "100", "zero.bin"};
    before.slots[2] = {true, 2, 2, "200", "two.s"};
    before.slots[3] = {false, 3, 0, "300", "three.bin"};
    Configuration expected = before;
    expected.port = "0x368";
    expected.resetLevel = 0;
    expected.slots[1] = {true, 6, 0, "4000", "one.bin"};
    EXPECT_EQ(read("4\r\n0\r\n1\r\n7\r\n1\r\n4000\r\none.bin\r\nN", before), expected);
}

TEST(Reader, EmptyFileNameFollowedByAnotherSlot) {
    const Configuration config =
        read("1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nY\r\n1\r\n4\r\n2\r\nfff0\r\nb.hex\r\nN");
    EXPECT_EQ(config.slots[0], (SlotSettings{true, 4, 0, "0", ""}));
    EXPECT_EQ(config.slots[1], (SlotSettings{true, 3, 1, "fff0", "b.hex"}));
}

TEST(Reader, SlotNamedTwiceTheLaterRecordWins) {
    const Configuration config =
        read("1\r\n0\r\n2\r\n5\r\n1\r\n0\r\nfirst\r\nY\r\n2\r\n6\r\n2\r\n8\r\nsecond\r\nN");
    EXPECT_EQ(config.slots[2], (SlotSettings{true, 5, 1, "8", "second"}));
}

TEST(Reader, MissingLinesReadAsEmpty) {
    Configuration before;
    before.slots[0] = {false, 3, 2, "8000", "kept?"};
    before.slots[2] = {false, 3, 2, "8000", "kept"};
    const SlotSettings emptied{true, -1, -1, "", ""};

    // Ending right after the reset line: a missing slot number counts as slot #0.
    Configuration config = read("2\r\n1", before);
    EXPECT_EQ(config.slots[0], emptied);
    EXPECT_EQ(config.slots[2], before.slots[2]);

    // Ending right after a "Y".
    config = read("2\r\n1\r\n2\r\n5\r\n1\r\n0\r\nx\r\nY", before);
    EXPECT_EQ(config.slots[0], emptied);
    EXPECT_EQ(config.slots[2], (SlotSettings{true, 4, 0, "0", "x"}));

    // Ending in the middle of a record.
    config = read("2\r\n1\r\n2\r\n4", before);
    EXPECT_EQ(config.slots[2], (SlotSettings{true, 3, -1, "", ""}));
    EXPECT_EQ(config.slots[0], before.slots[0]);

    // Only the port line.
    config = read("2bc", before);
    EXPECT_EQ(config.port, "0x2bc");
    EXPECT_EQ(config.resetLevel, 0);
    EXPECT_EQ(config.slots[0], emptied);
}

TEST(Reader, CtrlZEndsTheInput) {
    const Configuration config = read("1\r\n0\r\n0\r\n5\r\n1\r\n0\r\nab\x1A"
                                      "cd\r\nY\r\n1\r\n5\r\n1\r\n0\r\nb\r\nN");
    EXPECT_EQ(config.slots[0].fileName, "ab");
    EXPECT_FALSE(config.slots[1].enabled);
}

TEST(Reader, ReadsOnlyUpToTheFinalN) {
    const Configuration config = read(kWorkedExampleBytes + "\r\nY\r\n1\r\n1\r\n1\r\n0\r\nz\r\nN");
    EXPECT_FALSE(config.slots[1].enabled);
}

TEST(Reader, LongFileNamesRoundTrip) {
    for (const std::size_t length : {79u, 80u, 300u, 5000u, unsigned(kMaxLineLength)}) {
        Configuration config;
        config.port = "0x2bc";
        config.slots[0] = {true, 4, 0, "8000", std::string(length, 'p')};
        config.slots[1] = {true, 14, 2, "0", std::string(length, 'q')};
        EXPECT_EQ(read(formatConfiguration(config)), config) << "length " << length;
    }
}

TEST(Reader, OverlongLineIsAnErrorAndLeavesTheRecordUntouched) {
    const Configuration before = workedExample();
    Configuration config = before;
    std::istringstream in("1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n" + std::string(kMaxLineLength + 1, 'p') +
                          "\r\nN");
    try {
        readConfiguration(in, config);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Configuration line 7 is longer than 32768 characters");
    }
    EXPECT_EQ(config, before);
}

// Produces the same byte forever: the reader must give up without holding all of it.
class EndlessBuffer : public std::streambuf {
protected:
    int_type underflow() override {
        setg(block_, block_, block_ + sizeof block_);
        return traits_type::to_int_type(block_[0]);
    }

private:
    char block_[4096] = {};
};

TEST(Reader, EndlessLineIsAnErrorNotAHang) {
    EndlessBuffer buffer;
    std::istream in(&buffer);
    Configuration config;
    EXPECT_THROW(readConfiguration(in, config), FileError);
}

// ---- Files ----

TEST(ConfigurationFile, WriteThenRead) {
    testing::TestFolder folder;
    const auto file = folder / "Vanter.in3";
    writeConfigurationFile(file, workedExample());
    EXPECT_EQ(testing::readBytes(file), kWorkedExampleBytes);
    Configuration config;
    readConfigurationFile(file, config);
    EXPECT_EQ(config.slots[2], workedExample().slots[2]);
}

TEST(ConfigurationFile, FileThatCannotBeOpenedReadsAsEmpty) {
    testing::TestFolder folder;
    for (const auto& source : {folder / "missing.in3", folder.path()}) {
        Configuration config = workedExample();
        try {
            readConfigurationFile(source, config);
            ADD_FAILURE() << "no error for " << source;
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), "'0x' is not a valid integer value");
        }
        EXPECT_EQ(config, workedExample());
    }
}

TEST(ConfigurationFile, OverlongLineNamesTheFile) {
    testing::TestFolder folder;
    const auto file = folder / "long.in3";
    testing::writeBytes(file, "1\n0\n0\n5\n1\n0\n" + std::string(kMaxLineLength + 10, 'p'));
    Configuration config;
    try {
        readConfigurationFile(file, config);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.what(),
                  "Cannot read '" + file.string() + "': line 7 is longer than 32768 characters");
    }
}

TEST(ConfigurationFile, FailedWriteLeavesThePreviousFile) {
    testing::TestFolder folder;
    const auto file = folder / "Vanter.in3";
    testing::writeBytes(file, kWorkedExampleBytes);

    Configuration badPort = Configuration::defaults();
    badPort.port = "lpt1";
    EXPECT_THROW(writeConfigurationFile(file, badPort), ConversionError);
    Configuration badName = Configuration::defaults();
    badName.slots[0].fileName = "two\nlines";
    EXPECT_THROW(writeConfigurationFile(file, badName), FileError);

    EXPECT_EQ(testing::readBytes(file), kWorkedExampleBytes);
    EXPECT_EQ(folder.entryCount(), 1u);
}

} // namespace
} // namespace vanter
