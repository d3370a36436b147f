#pragma once

#include <filesystem>

namespace vanter {

// Where Download writes the download script and the driver library reads it.
// Windows: exactly "c:\$$temp.in3". Elsewhere "$$temp.in3" in the user's private runtime
// directory ($XDG_RUNTIME_DIR/vanter3, else ~/.cache/vanter3), created mode 0700 and checked
// to be a real folder owned by the user. Throws FileError when no such folder can be had.
std::filesystem::path downloadScriptPath();

} // namespace vanter
