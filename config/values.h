#pragma once

// The value lists of a download configuration and the numbers that stand for them.
// A list-valued setting is identified by the position of its entry (from 0, -1 for none).

#include <array>
#include <span>
#include <string_view>

#include "parts/parts.h"

namespace vanter {

inline constexpr int kSlotCount = 4;

inline constexpr std::array<std::string_view, 5> kPortEntries{"0x3BC", "0x378", "0x278", "0x368",
                                                              "USB"};
inline constexpr std::array<std::string_view, 2> kResetEntries{"Low", "High"};
// The memory type and file format lists show the one table of parts and formats.
inline constexpr const auto& kMemoryTypes = parts::kPartNames;
inline constexpr const auto& kFileFormats = parts::kFormatNames;

inline constexpr int kBinaryFormat = parts::positionOf(parts::ImageFormat::binary);
inline constexpr int kHexFormat = parts::positionOf(parts::ImageFormat::intelHex);
inline constexpr int kSRecordFormat = parts::positionOf(parts::ImageFormat::sRecord);

// Position of the entry whose whole text equals `text`, letter case ignored; -1 for none.
int listPosition(std::span<const std::string_view> entries, std::string_view text) noexcept;

} // namespace vanter
