#pragma once

#include <filesystem>
#include <string_view>

namespace vanter {

// Replaces `target` by a file holding exactly `bytes`: writes a temporary file beside it,
// flushes it to disk and renames it over the target. The target is at all times either the
// old file or the complete new one. A symbolic link at the target is replaced, not followed.
// Throws FileError with a text naming the file when anything fails; the temporary is removed.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

} // namespace vanter
