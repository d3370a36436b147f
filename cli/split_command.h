#pragma once

// split: one image for a bus of 2 or 4 parts side by side, made into one image file per unit
// (every second or fourth byte), and optionally the configuration that loads them all.

#include <iosfwd>

#include "arguments.h"

namespace vanter::cli {

// Reads `arguments.file`, writes the lane files (and the configuration) and reports on `out`,
// problems on `err`; returns the exit status. Nothing is written unless every lane fits and
// no file would be replaced without --force.
int runSplitCommand(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace vanter::cli
