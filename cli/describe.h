#pragma once

// The configuration in words (show) and as JSON (show --json).

#include <string>
#include <string_view>

#include "config/configuration.h"

namespace vanter::cli {

// Port, reset level and each enabled slot, one item per line, in the window's wording.
std::string describeConfiguration(const Configuration& config);

// The same as a JSON object (two-space indent, ending in a line end). Values the window would
// show as "no entry" are null.
std::string configurationJson(const Configuration& config);

// `text` as a JSON string literal, quotes included. The configuration holds 8-bit text:
// valid UTF-8 passes through but for the C1 controls (U+0080 to U+009F), which are escaped as
// the C0 ones are; any other byte is taken as the Latin-1 character of its value.
std::string jsonString(std::string_view text);

} // namespace vanter::cli
