#pragma once

// map: what each enabled unit will hold, found without the driver: the ranges the image fills
// and the gaps between them, the two checksums of the whole part, and a bar across the part.

#include <iosfwd>

#include "config/configuration.h"

namespace vanter::cli {

// Prints the map of `config` (as JSON when `json`) to `out`, problems to `err` as validate
// reports them; returns the exit status (that of validate).
int runMapCommand(const Configuration& config, bool json, std::ostream& out, std::ostream& err);

} // namespace vanter::cli
