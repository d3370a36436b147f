#pragma once

// A download to the simulated chain: every unit loaded before anything is kept, then every
// unit's memory and manifest written to the state folder (state_folder.h).

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "chain_error.h"
#include "result_codes.h"
#include "script.h"
#include "unit_memory.h"

namespace vanter::standin {

// A whole download, all or nothing: every unit's image loads into its memory (loadUnitMemory),
// then every unit's memory and manifest are written into `folder` (created when missing). All
// files are first written beside their targets and only then renamed into place, so a failure
// leaves every unit's previous files as they were. Throws ChainError.
// Each unit's files are written (beside their targets) on another thread while the next unit
// loads, one file at a time: flushing them to disk takes about as long as the loading.
std::vector<UnitMemory> downloadChain(std::span<const UnitRecord> units,
                                      const std::filesystem::path& folder);

// downloadChain with its failure turned into the result code and the transcript's reason: 0
// with remarks (tolerated oddities of the image files, where the memories went) in `notes`; or
// the image failure's code (0x40 to 0x4a) with the unit, file, line and what is wrong.
Verdict verdictOfDownload(const std::vector<UnitRecord>& units,
                          const std::filesystem::path& stateFolder,
                          std::vector<std::string>& notes);

} // namespace vanter::standin
