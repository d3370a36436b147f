#pragma once

// The configuration in words (show) and as JSON (show --json).

#include <string>
#include <string_view>

#include "config/configuration.h"

namespace vanter::cli {

// Port, reset level and each enabled slot, one item per line, in the window's wording.
std::string describeConfiguration(const Configuration& config);

// The same as a JSON object (two-space indent, ending in a line end). Values the window would
// show as "no entry" are null. Texts of the file are decoded from the 8-bit code page (UTF-8;
// on Windows the ANSI code page); one that is not valid there comes with its bytes in
// hexadecimal as well, in a field named after it with "Bytes" appended.
std::string configurationJson(const Configuration& config);

// UTF-8 `text` as a JSON string literal, quotes included: valid UTF-8 passes through but for
// the characters that act on a terminal (C1 controls, format characters such as U+202E, line
// and paragraph separators), which are escaped as the C0 controls are; any other byte is taken
// as the Latin-1 character of its value.
std::string jsonString(std::string_view text);

} // namespace vanter::cli
