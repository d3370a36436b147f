#pragma once

// File names as the configuration file and the driver library carry them: text in the
// system's 8-bit code page, which on Windows is the ANSI code page. The standard library's
// own conversions between such text and a path assume another encoding there (Latin-1 one way,
// UTF-8 the other), so file names cross between the two forms only through these functions.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vanter {

// The file that a name in the 8-bit code page names; separators and drive letters as typed.
std::filesystem::path pathFromNativeName(std::string_view name);

// The name of `path` in the 8-bit code page, for texts the user reads and for the download
// script. A character that the code page lacks becomes '?', which no file name holds: never a
// look-alike letter, which could name another file.
std::string nativeName(const std::filesystem::path& path);

// The name of `path` in the 8-bit code page when the code page holds every character of it;
// nothing otherwise.
std::optional<std::string> exactNativeName(const std::filesystem::path& path);

// A name of the file at `path` that the 8-bit code page holds exactly: `path` itself when it
// does, else on Windows the short (8.3) name that the volume keeps for an existing file.
// Nothing when there is neither.
std::optional<std::filesystem::path> nameInCodePage(const std::filesystem::path& path);

} // namespace vanter
