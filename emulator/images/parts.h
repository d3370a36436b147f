#pragma once

// The memory parts a unit can emulate and the image file formats it loads, by the codes of the
// download script (memory type 1 to 15, file format 1 to 3).

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vanter::images {

struct Part {
    std::string_view name;
    std::uint32_t size; // bytes
};

inline constexpr std::uint32_t KiB = 1024;

// In the order of the memory type list: file code n is kParts[n - 1].
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

// The part with memory type file code `code`; nullopt outside 1 to 15.
constexpr std::optional<Part> partForCode(int code) noexcept {
    if (code < 1 || code > static_cast<int>(kParts.size())) {
        return std::nullopt;
    }
    return kParts[static_cast<std::size_t>(code - 1)];
}

enum class ImageFormat { binary = 1, intelHex = 2, sRecord = 3 };

// The format with file format code `code`; nullopt outside 1 to 3.
constexpr std::optional<ImageFormat> formatForCode(int code) noexcept {
    if (code < 1 || code > 3) {
        return std::nullopt;
    }
    return static_cast<ImageFormat>(code);
}

constexpr std::string_view formatName(ImageFormat format) noexcept {
    switch (format) {
    case ImageFormat::binary:
        return "Binary";
    case ImageFormat::intelHex:
        return "Hex";
    case ImageFormat::sRecord:
        return "S-record";
    }
    return "?";
}

} // namespace vanter::images
