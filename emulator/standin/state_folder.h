#pragma once

// Where the simulated units keep their memories between calls:
//   unit<k>.bin       the unit's whole memory, part-sized, unloaded bytes 0xFF
//   unit<k>.manifest  text: memory type, format, source file, offset, bytes loaded, lowest and
//                     highest memory address, CRC-32 and 16-bit byte sum of the memory
// Units that a download does not name keep their files.

#include <filesystem>

namespace vanter::standin {

// The state folder: $VANTER_SIM_STATE_DIR when set and not empty; otherwise "vanter3-sim" in
// the user's cache folder ($XDG_CACHE_HOME, else ~/.cache; %LOCALAPPDATA% on Windows).
std::filesystem::path stateFolder();

std::filesystem::path unitMemoryPath(const std::filesystem::path& folder, int slot);
std::filesystem::path unitManifestPath(const std::filesystem::path& folder, int slot);

} // namespace vanter::standin
