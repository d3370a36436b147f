#pragma once

// The memories of a simulated chain: loading every unit of a download (all or nothing) and
// keeping each unit's memory, with a manifest, in the simulator's state folder:
//   unit<k>.bin       the unit's whole memory, part-sized, unloaded bytes 0xFF
//   unit<k>.manifest  text: memory type, format, source file, offset, bytes loaded, lowest and
//                     highest memory address, CRC-32 of the memory
// Units that a download does not name keep their files.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image_error.h"

namespace vanter::images {

// One unit of a download, by the codes of the download script.
struct UnitLoad {
    int slot = 0;
    int memoryType = 0; // file code 1 to 15
    int fileFormat = 0; // file code 1 to 3
    std::uint32_t offset = 0;
    std::string fileName;
};

// A unit's memory once its image has loaded.
struct UnitMemory {
    UnitLoad load;
    std::vector<std::uint8_t> bytes; // the whole part
    std::uint64_t bytesLoaded = 0;
    std::optional<std::uint32_t> lowest; // memory addresses; none when nothing loaded
    std::optional<std::uint32_t> highest;
    std::uint32_t crc = 0;
    std::vector<std::string> warnings;
};

// Loads one unit's image into a memory of its part's size. Throws ImageError; codes outside
// the lists throw std::invalid_argument.
UnitMemory loadUnit(const UnitLoad& unit);

// Loads every unit in order; the first failure is thrown (ImageError) and nothing is kept.
std::vector<UnitMemory> loadChain(std::span<const UnitLoad> units);

// The state folder: $VANTER_SIM_STATE_DIR when set and not empty; otherwise "vanter3-sim" in
// the user's cache folder ($XDG_CACHE_HOME, else ~/.cache; %LOCALAPPDATA% on Windows).
std::filesystem::path stateFolder();

std::filesystem::path unitMemoryPath(const std::filesystem::path& folder, int slot);
std::filesystem::path unitManifestPath(const std::filesystem::path& folder, int slot);

// The manifest text of a unit.
std::string manifestText(const UnitMemory& unit);

// Writes the memory and manifest of every unit into `folder` (created when missing). All files
// are first written beside their targets and only then renamed into place, so a failure leaves
// every unit's previous files as they were. Throws ImageError (stateNotWritten).
void writeUnitMemories(const std::filesystem::path& folder, std::span<const UnitMemory> units);

// A download that failed: the slot whose image failed, or -1 when the unit memories could not
// be written.
class ChainError : public ImageError {
public:
    ChainError(int slot, const ImageError& error) : ImageError(error), slot_(slot) {}
    int slot() const noexcept { return slot_; }

private:
    int slot_;
};

// A whole download: loadChain and writeUnitMemories in one, all or nothing, with each unit's
// files written (beside their targets) while the next unit loads. Throws ChainError.
// Writing happens on another thread, one file at a time.
std::vector<UnitMemory> downloadChain(std::span<const UnitLoad> units,
                                      const std::filesystem::path& folder);

// What a unit's manifest says; nullopt when the unit holds nothing (no manifest, or one that
// can't be read).
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

} // namespace vanter::images
