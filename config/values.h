#pragma once

// The value lists of a download configuration and the numbers that stand for them.
// A list-valued setting is identified by the position of its entry (from 0, -1 for none).

#include <array>
#include <span>
#include <string_view>

namespace vanter {

inline constexpr int kSlotCount = 4;

inline constexpr std::array<std::string_view, 5> kPortEntries{"0x3BC", "0x378", "0x278", "0x368",
                                                              "USB"};
inline constexpr std::array<std::string_view, 2> kResetEntries{"Low", "High"};
inline constexpr std::array<std::string_view, 15> kMemoryTypes{
    "2764",  "27128", "27256", "27512",  "27010",  "27020", "27040", "28F040",
    "27080", "6264",  "62256", "621000", "624000", "16M",   "32M"};
inline constexpr std::array<std::string_view, 3> kFileFormats{"Binary", "Hex", "S-record"};

inline constexpr int kBinaryFormat = 0;
inline constexpr int kHexFormat = 1;
inline constexpr int kSRecordFormat = 2;

// Position of the entry whose whole text equals `text`, letter case ignored; -1 for none.
int listPosition(std::span<const std::string_view> entries, std::string_view text) noexcept;

// The configuration file counts list entries from 1 and writes 0 for "nothing selected".
constexpr int fileCode(int position) noexcept {
    return position < 0 ? 0 : position + 1;
}

} // namespace vanter
