#pragma once

// Loading the units of a download: each unit record's image goes into a memory of its part's
// size (unit_state.h), all of them before anything is kept; only when every unit has loaded are
// the unit memories written to the state folder. A failure leaves every unit's memory as it
// was. Here the failures become result codes and the transcript's reasons.

#include <filesystem>
#include <string>
#include <vector>

#include "result_codes.h"
#include "script.h"

namespace vanter::standin {

// 0 with remarks (tolerated oddities of the image files, where the memories went) in `notes`;
// or the image failure's code (0x40 to 0x4a) with the unit, file, line and what is wrong.
Verdict loadUnits(const std::vector<UnitRecord>& units, const std::filesystem::path& stateFolder,
                  std::vector<std::string>& notes);

// The memory type (script code 1 to 15) that a unit holds since its last download, in `held`;
// 0 when it holds nothing known. A manifest that is there but can't be read gives 0x4a.
Verdict heldMemoryType(const std::filesystem::path& stateFolder, int slot, int& held);

} // namespace vanter::standin
