#pragma once

// A simulated unit's memory: its image loaded into a memory of its part's size.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "script.h"

namespace vanter::standin {

// A unit's memory once its image has loaded.
struct UnitMemory {
    UnitRecord load;
    std::vector<std::uint8_t> bytes; // the whole part
    std::uint64_t bytesLoaded = 0;
    std::optional<std::uint32_t> lowest; // memory addresses; none when nothing loaded
    std::optional<std::uint32_t> highest;
    std::uint32_t crc = 0;
    std::uint16_t sum = 0; // of all bytes, modulo 0x10000
    std::vector<std::string> warnings;
};

// Loads one unit's image (its name in the system's 8-bit code page, as the script carries it)
// into a memory of its part's size. Throws images::ImageError; codes outside the lists throw
// std::invalid_argument.
UnitMemory loadUnitMemory(const UnitRecord& unit);

} // namespace vanter::standin
