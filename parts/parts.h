#pragma once

// The memory parts a unit emulates and the image file formats it loads: the one table every
// layer reads. At the bottom of the layering: it includes nothing but the standard library.
//
// Three numberings name an entry, each with its own type below:
//   list position     from 0, as the window's lists and the configuration hold it (-1: none)
//   script code       from 1, as the configuration file and the download script write it
//                     (0: none)
//   driver type       the memory type argument of the check call, which counts from 0

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vanter::parts {

inline constexpr std::uint32_t KiB = 1024;

struct Part {
    std::string_view name;
    std::uint32_t size; // bytes
};

// In list order.
inline constexpr std::array<Part, 15> kParts{{
    {"2764", 8 * KiB},
    {"27128", 16 * KiB},
    {"27256", 32 * KiB},
    {"27512", 64 * KiB},
    {"27010", 128 * KiB},
    {"27020", 256 * KiB},
    {"27040", 512 * KiB},
    {"28F040", 512 * KiB},
    {"27080", 1024 * KiB},
    {"6264", 8 * KiB},
    {"62256", 32 * KiB},
    {"621000", 128 * KiB},
    {"624000", 512 * KiB},
    {"16M", 2048 * KiB},
    {"32M", 4096 * KiB},
}};

// The formats, valued by list position.
enum class ImageFormat { binary = 0, intelHex = 1, sRecord = 2 };

inline constexpr std::array<std::string_view, 3> kFormatNames{"Binary", "Hex", "S-record"};

// The names of the parts, in list order, for lists that show them.
inline constexpr std::array<std::string_view, kParts.size()> kPartNames = [] {
    std::array<std::string_view, kParts.size()> names{};
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        names[i] = kParts[i].name;
    }
    return names;
}();

// Script code of a list position; 0 for none (a negative position).
constexpr int scriptCode(int position) noexcept {
    return position < 0 ? 0 : position + 1;
}

// List position of a script code; -1 for code 0 (none) and below.
constexpr int positionOfCode(int code) noexcept {
    return code < 1 ? -1 : code - 1;
}

// The check call's memory type argument for a part's list position.
constexpr std::int32_t driverType(int position) noexcept {
    return position;
}

// List position of the check call's memory type argument.
constexpr int positionOfDriverType(std::int32_t type) noexcept {
    return type;
}

// The part at list position `position`; nullopt outside the list.
constexpr std::optional<Part> partAt(int position) noexcept {
    if (position < 0 || position >= static_cast<int>(kParts.size())) {
        return std::nullopt;
    }
    return kParts[static_cast<std::size_t>(position)];
}

// The part with script code `code`; nullopt outside 1 to 15.
constexpr std::optional<Part> partForCode(int code) noexcept {
    return partAt(positionOfCode(code));
}

// The format at list position `position`; nullopt outside the list.
constexpr std::optional<ImageFormat> formatAt(int position) noexcept {
    if (position < 0 || position >= static_cast<int>(kFormatNames.size())) {
        return std::nullopt;
    }
    return static_cast<ImageFormat>(position);
}

// The format with script code `code`; nullopt outside 1 to 3.
constexpr std::optional<ImageFormat> formatForCode(int code) noexcept {
    return formatAt(positionOfCode(code));
}

constexpr int positionOf(ImageFormat format) noexcept {
    return static_cast<int>(format);
}

constexpr std::string_view formatName(ImageFormat format) noexcept {
    return kFormatNames[static_cast<std::size_t>(format)];
}

// Whether a script code names a part, or a format.
constexpr bool isPartCode(int code) noexcept {
    return partForCode(code).has_value();
}
constexpr bool isFormatCode(int code) noexcept {
    return formatForCode(code).has_value();
}

} // namespace vanter::parts
