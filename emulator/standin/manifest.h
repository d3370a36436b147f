#pragma once

// A unit's manifest in the state folder: what its last download loaded.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "result_codes.h"
#include "unit_memory.h"

namespace vanter::standin {

// The manifest text of a unit.
std::string manifestText(const UnitMemory& unit);

// What a unit's manifest says; nullopt when the unit holds nothing (no manifest, or one that
// names no memory type). A manifest that is there but is not a regular file, can't be read or
// is over kMaxManifestSize throws ChainError (not readable, code 0x4a).
inline constexpr std::size_t kMaxManifestSize = 64 * 1024;
struct UnitManifest {
    int slot = 0;
    int memoryType = 0; // file code
    int fileFormat = 0; // file code
    std::string sourceFile;
    std::uint32_t offset = 0;
    std::uint64_t bytesLoaded = 0;
    std::optional<std::uint32_t> lowest;
    std::optional<std::uint32_t> highest;
    std::uint32_t crc = 0;
};
std::optional<UnitManifest> readUnitManifest(const std::filesystem::path& folder, int slot);

// The memory type (script code) that a unit holds since its last download, in `held`; 0 when
// it holds nothing known. A manifest that is there but can't be read gives 0x4a.
Verdict heldMemoryType(const std::filesystem::path& stateFolder, int slot, int& held);

} // namespace vanter::standin
