#pragma once

// The memories of a simulated chain: loading every unit of a download (all or nothing) and
// keeping each unit's memory, with a manifest, in the simulator's state folder:
//   unit<k>.bin       the unit's whole memory, part-sized, unloaded bytes 0xFF
//   unit<k>.manifest  text: memory type, format, source file, offset, bytes loaded, lowest and
//                     highest memory address, CRC-32 and 16-bit byte sum of the memory
// Units that a download does not name keep their files.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "emulator/images/image_error.h"
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
UnitMemory loadUnit(const UnitRecord& unit);

// Loads every unit in order; the first failure is thrown (images::ImageError) and nothing is
// kept.
std::vector<UnitMemory> loadChain(std::span<const UnitRecord> units);

// The state folder: $VANTER_SIM_STATE_DIR when set and not empty; otherwise "vanter3-sim" in
// the user's cache folder ($XDG_CACHE_HOME, else ~/.cache; %LOCALAPPDATA% on Windows).
std::filesystem::path stateFolder();

std::filesystem::path unitMemoryPath(const std::filesystem::path& folder, int slot);
std::filesystem::path unitManifestPath(const std::filesystem::path& folder, int slot);

// The manifest text of a unit.
std::string manifestText(const UnitMemory& unit);

// A download that failed: the image of the unit in slot() did not load (failure() says why),
// or the unit memories could not be written to the state folder (slot() -1, no failure()); or
// a manifest in the state folder that can't be read (slot() -1, no failure()).
// what() reads "<image file>: line <n>: <reason>" or "<state folder or file>: <reason>".
class ChainError : public std::runtime_error {
public:
    ChainError(int slot, const images::ImageError& error);
    ChainError(const std::filesystem::path& folder, const std::string& reason);

    int slot() const noexcept { return slot_; }
    std::optional<images::LoadFailure> failure() const noexcept { return failure_; }
    // The stand-in's result code (result_codes.h).
    std::int32_t code() const noexcept;
    // The image file, or the state folder.
    const std::string& file() const noexcept { return file_; }
    std::size_t line() const noexcept { return line_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    int slot_;
    std::optional<images::LoadFailure> failure_;
    std::string file_;
    std::size_t line_ = 0;
    std::string reason_;
};

// Writes the memory and manifest of every unit into `folder` (created when missing). All files
// are first written beside their targets and only then renamed into place, so a failure leaves
// every unit's previous files as they were. Throws ChainError (not written).
void writeUnitMemories(const std::filesystem::path& folder, std::span<const UnitMemory> units);

// A whole download: loadChain and writeUnitMemories in one, all or nothing. Throws ChainError.
// Each unit's files are written (beside their targets) on another thread while the next unit
// loads, one file at a time: flushing them to disk takes about as long as the loading.
std::vector<UnitMemory> downloadChain(std::span<const UnitRecord> units,
                                      const std::filesystem::path& folder);

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

} // namespace vanter::standin
