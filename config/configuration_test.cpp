#include "config/configuration.h"

#include <gtest/gtest.h>

#include "config/errors.h"

namespace vanter {
namespace {

TEST(ListPosition, WholeTextWithLetterCaseIgnored) {
    EXPECT_EQ(listPosition(kPortEntries, "0x3BC"), 0);
    EXPECT_EQ(listPosition(kPortEntries, "0X3bc"), 0);
    EXPECT_EQ(listPosition(kPortEntries, "usb"), 4);
    EXPECT_EQ(listPosition(kPortEntries, " 0x378"), -1);
    EXPECT_EQ(listPosition(kPortEntries, "0x3780"), -1);
    EXPECT_EQ(listPosition(kPortEntries, "0x37"), -1);
    EXPECT_EQ(listPosition(kPortEntries, ""), -1);
    EXPECT_EQ(listPosition(kResetEntries, "HIGH"), 1);
    EXPECT_EQ(listPosition(kMemoryTypes, "2764"), 0);
    EXPECT_EQ(listPosition(kMemoryTypes, "28f040"), 7);
    EXPECT_EQ(listPosition(kMemoryTypes, "32m"), 14);
    EXPECT_EQ(listPosition(kFileFormats, "s-record"), kSRecordFormat);
}

TEST(FileCode, PositionPlusOneAndZeroForNone) {
    EXPECT_EQ(parts::scriptCode(-1), 0);
    EXPECT_EQ(parts::scriptCode(0), 1);   // "2764"
    EXPECT_EQ(parts::scriptCode(14), 15); // "32M"
}

TEST(PortNumber, ListEntryOrTypedValue) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"0x3BC", 1}, {"0x378", 2}, {"0x278", 3},       {"0x368", 4}, {"USB", 5},
        {"usb", 5},   {"0X378", 2}, {"0x2bc", 700},     {"700", 700}, {"$2BC", 700},
        {"3", 3},     {"-1", -1},   {"0xFFFFFFFF", -1},
    };
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(portNumber(text), number) << "port '" << text << "'";
    }
    for (const char* text : {"lpt1", "", "700 ", " usb"}) {
        EXPECT_THROW(portNumber(text), ConversionError) << "port '" << text << "'";
    }
}

TEST(Configuration, Defaults) {
    const Configuration config = Configuration::defaults();
    EXPECT_EQ(config.port, "0x3BC");
    EXPECT_EQ(portNumber(config.port), 1);
    EXPECT_EQ(config.resetLevel, 0);
    for (int k = 0; k < kSlotCount; ++k) {
        const SlotSettings& slot = config.slots[k];
        EXPECT_EQ(slot.enabled, k == 0);
        EXPECT_EQ(kMemoryTypes[slot.memoryType], "27010");
        EXPECT_EQ(kFileFormats[slot.fileFormat], "Binary");
        EXPECT_EQ(slot.offset, "0x0000");
        EXPECT_EQ(slot.fileName, "");
    }
}

TEST(Configuration, AnyEnabled) {
    Configuration config;
    EXPECT_FALSE(config.anyEnabled());
    config.slots[3].enabled = true;
    EXPECT_TRUE(config.anyEnabled());
    EXPECT_TRUE(Configuration::defaults().anyEnabled());
}

} // namespace
} // namespace vanter
