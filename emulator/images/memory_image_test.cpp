#include "emulator/images/memory_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "parts/parts.h"

namespace vanter::images {
namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> list) {
    std::vector<std::uint8_t> out;
    for (int b : list) {
        out.push_back(static_cast<std::uint8_t>(b));
    }
    return out;
}

TEST(MemoryImage, StartsErasedWithNothingLoaded) {
    MemoryImage m(8 * parts::KiB);
    EXPECT_EQ(m.size(), 8 * parts::KiB);
    EXPECT_EQ(m.bytesLoaded(), 0u);
    EXPECT_FALSE(m.lowest());
    EXPECT_FALSE(m.highest());
    for (std::uint8_t b : m.memory()) {
        ASSERT_EQ(b, 0xFF);
    }
}

TEST(MemoryImage, KeepsBytesAndTheirSpan) {
    MemoryImage m(256);
    EXPECT_FALSE(m.put(0x10, bytes({1, 2, 3})));
    EXPECT_FALSE(m.put(0x80, bytes({0xFF})));
    EXPECT_EQ(m.at(0x10), 1);
    EXPECT_EQ(m.at(0x12), 3);
    EXPECT_EQ(m.at(0x13), 0xFF);
    EXPECT_TRUE(m.isLoaded(0x80));  // an explicit 0xFF is loaded data
    EXPECT_FALSE(m.isLoaded(0x81)); // an erased byte is not
    EXPECT_EQ(m.bytesLoaded(), 4u);
    EXPECT_EQ(m.lowest(), 0x10u);
    EXPECT_EQ(m.highest(), 0x80u);
}

TEST(MemoryImage, SameByteTwiceIsFineAndCountedOnce) {
    MemoryImage m(256);
    ASSERT_FALSE(m.put(0, bytes({1, 2, 3, 4})));
    EXPECT_FALSE(m.put(2, bytes({3, 4, 5, 6}))); // overlaps with equal values
    EXPECT_EQ(m.bytesLoaded(), 6u);
    EXPECT_EQ(m.at(5), 6);
}

TEST(MemoryImage, ContradictionNamesFirstByteAndStoresNothing) {
    MemoryImage m(256);
    ASSERT_FALSE(m.put(0x20, bytes({1, 2, 3, 4})));
    const auto conflict = m.put(0x1E, bytes({9, 9, 1, 2, 7, 4, 8}));
    ASSERT_TRUE(conflict);
    EXPECT_EQ(conflict->address, 0x22u);
    EXPECT_EQ(conflict->loaded, 3);
    EXPECT_EQ(conflict->offered, 7);
    EXPECT_FALSE(m.isLoaded(0x1E));
    EXPECT_EQ(m.at(0x25), 0xFF);
    EXPECT_EQ(m.bytesLoaded(), 4u);
}

// Runs that start and end on either side of the 64-bit words of the loaded-map.
TEST(MemoryImage, LoadedMapIsExactAcrossWordEdges) {
    struct Case {
        std::uint32_t address;
        std::uint32_t count;
    };
    for (const Case c : {Case{0, 1}, Case{0, 64}, Case{63, 2}, Case{1, 63}, Case{60, 196},
                         Case{64, 128}, Case{127, 1}, Case{5, 250}, Case{192, 64}}) {
        MemoryImage m(256);
        ASSERT_FALSE(m.put(c.address, std::vector<std::uint8_t>(c.count, 0x5A)));
        for (std::uint32_t a = 0; a < 256; ++a) {
            const bool inside = a >= c.address && a < c.address + c.count;
            ASSERT_EQ(m.isLoaded(a), inside)
                << "run " << c.address << "+" << c.count << " at " << a;
        }
        EXPECT_EQ(m.bytesLoaded(), c.count);
        // A contradiction at the run's last byte is found across the same edges.
        std::vector<std::uint8_t> other(c.count, 0x5A);
        other.back() = 0xA5;
        const auto conflict = m.put(c.address, other);
        ASSERT_TRUE(conflict);
        EXPECT_EQ(conflict->address, c.address + c.count - 1);
    }
}

TEST(MemoryImage, TakeMemoryHandsOverTheWholePart) {
    MemoryImage m(16);
    ASSERT_FALSE(m.put(15, bytes({0x42})));
    const std::vector<std::uint8_t> memory = m.takeMemory();
    ASSERT_EQ(memory.size(), 16u);
    EXPECT_EQ(memory[14], 0xFF);
    EXPECT_EQ(memory[15], 0x42);
}

// Addresses above the highest one loaded are not stored until the whole memory is asked for.
TEST(MemoryImage, AddressesAboveTheHighestLoadedReadErased) {
    MemoryImage m(4 * parts::KiB);
    ASSERT_FALSE(m.put(0x10, bytes({1})));
    EXPECT_EQ(m.at(0x11), 0xFF);
    EXPECT_EQ(m.at(4 * parts::KiB - 1), 0xFF);
    EXPECT_FALSE(m.isLoaded(4 * parts::KiB - 1));
    const auto whole = m.memory();
    ASSERT_EQ(whole.size(), 4 * parts::KiB);
    EXPECT_EQ(std::count(whole.begin(), whole.end(), 0xFF), 4 * parts::KiB - 1);
    // Loading on after the memory was read shows in the same view.
    ASSERT_FALSE(m.put(4 * parts::KiB - 1, bytes({2})));
    EXPECT_EQ(whole[4 * parts::KiB - 1], 2);
    EXPECT_TRUE(m.isLoaded(4 * parts::KiB - 1));
    EXPECT_EQ(m.bytesLoaded(), 2u);
    EXPECT_EQ(m.highest(), 4 * parts::KiB - 1);
    const std::vector<std::uint8_t> taken = m.takeMemory();
    ASSERT_EQ(taken.size(), 4 * parts::KiB);
    EXPECT_EQ(std::count(taken.begin(), taken.end(), 0xFF), 4 * parts::KiB - 2);
    EXPECT_EQ(m.size(), 0u);
}

struct RangesCase {
    std::vector<AddressRange> puts; // each filled with zeros
    std::vector<AddressRange> expected;
};

// Runs that touch merge; runs across, at and inside the 64-address words of the bitmap, the
// last address of the part included.
TEST(MemoryImage, LoadedRangesAreMergedAndInOrder) {
    const std::vector<RangesCase> cases = {
        {{}, {}},
        {{{5, 5}}, {{5, 5}}},
        {{{64, 127}, {0, 63}}, {{0, 127}}},
        {{{60, 70}, {71, 71}, {200, 300}}, {{60, 71}, {200, 300}}},
        {{{63, 63}, {65, 65}, {128, 191}}, {{63, 63}, {65, 65}, {128, 191}}},
        {{{0, 1023}}, {{0, 1023}}},
        {{{1000, 1023}, {10, 11}}, {{10, 11}, {1000, 1023}}},
    };
    for (const RangesCase& c : cases) {
        MemoryImage m(1024);
        for (const AddressRange& r : c.puts) {
            ASSERT_FALSE(m.put(r.first, std::vector<std::uint8_t>(r.last - r.first + 1, 0)));
        }
        EXPECT_EQ(m.loadedRanges(), c.expected) << c.puts.size() << " runs";
    }
}

} // namespace
} // namespace vanter::images
