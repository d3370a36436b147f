#pragma once

// Loading one unit from its record of the download script. For now the stand-in only makes
// sure the image file can be opened; this is the place where the image gets read into the
// unit's simulated memory.

#include "result_codes.h"
#include "script.h"

namespace vanter::standin {

// 0, or kImageUnreadable when the image file is missing, a folder, or can't be opened.
Verdict loadUnit(const UnitRecord& unit);

} // namespace vanter::standin
